// Fuzz target of the solution-file reader. Any bytes read: the file reader and the text reader
// must give the same sections, and the reader must leave the objective value, the bound and
// write_zeros alone. What was read is written by the solution writer and read again: that
// must give the same maps, value for value bit for bit (any NaN matches any NaN), and the same
// section flags. A failed read must leave the maps and flags cleared. The reader takes a
// path, so each input goes to an in-memory file first.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "formats/solution/solution_reader.hpp"
#include "formats/solution/solution_writer.hpp"
#include "fuzz_memory_file.hpp"
#include "fuzz_model_check.hpp"

namespace {

using fuzz::require;
using velorium::SolutionData;
using velorium::SolutionValues;

bool sameBits(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameValues(const SolutionValues& a, const SolutionValues& b) {
  if (a.size() != b.size()) return false;
  for (const auto& [name, value] : a) {
    const auto found = b.find(name);
    if (found == b.end() || !sameBits(value, found->second)) return false;
  }
  return true;
}

bool sameSections(const SolutionData& a, const SolutionData& b) {
  return a.has_duals == b.has_duals && a.has_reduced_costs == b.has_reduced_costs && sameValues(a.values, b.values) &&
         sameValues(a.duals, b.duals) && sameValues(a.reduced_costs, b.reduced_costs);
}

// Makes `data` a solution that a read must change in every section and in nothing else. The
// objects live across inputs: the reader reserves large maps, and making them anew for every
// input would cost most of the run.
void makeStale(SolutionData& data) {
  data.write_zeros = false;
  data.source = std::make_shared<velorium::SolutionSource>();
  data.values = {{"stale", 1.0}};
  data.objective_value = -2.5;
  data.has_objective_value = true;
  data.dual_bound = 7.0;
  data.has_dual_bound = true;
  data.has_duals = true;
  data.duals = {{"stale", 2.0}};
  data.has_reduced_costs = true;
  data.reduced_costs = {{"stale", 3.0}};
}

void requireOnlySectionsReplaced(const SolutionData& data) {
  require(data.source == nullptr);
  require(!data.write_zeros);
  require(data.has_objective_value && data.objective_value == -2.5);
  require(data.has_dual_bound && data.dual_bound == 7.0);
}

void requireCleared(const SolutionData& data) {
  require(data.values.empty() && data.duals.empty() && data.reduced_costs.empty());
  require(!data.has_duals && !data.has_reduced_costs);
}

// Reads the file, checking what a read promises whether or not it succeeds.
bool readChecked(SolutionData& data, const std::string& path) {
  const bool read = velorium::readSolutionFile(data, path);
  requireOnlySectionsReplaced(data);
  if (!read) requireCleared(data);
  return read;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::MemoryFile file("velorium-fuzz-solution");
  static SolutionData from_file, from_text, again;
  makeStale(from_file);
  if (!readChecked(from_file, file.write(data, size))) return 0;

  makeStale(from_text);
  require(velorium::readSolutionText(from_text, reinterpret_cast<const char*>(data), size));
  requireOnlySectionsReplaced(from_text);
  require(sameSections(from_text, from_file));

  from_file.write_zeros = true;
  const std::optional<std::string> written = velorium::writeSolutionText(from_file);
  require(written.has_value());  // no name that was read can hold a line feed
  makeStale(again);
  require(readChecked(again, file.write(*written)));
  require(sameSections(again, from_file));
  return 0;
}

// LP files written by glpsol (--wlp) read with the same counts that glpsol reports for them.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "formats/lp/lp_reader.hpp"
#include "support/scratch_dir.hpp"

namespace velorium {
namespace {

struct Counts {
  std::size_t rows = 0;
  std::size_t columns = 0;
  std::size_t matrixNonZeros = 0;
  std::size_t objectiveNonZeros = 0;
  std::size_t integers = 0;
  bool operator==(const Counts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Counts& c) {
  return out << c.rows << " rows, " << c.columns << " columns, " << c.matrixNonZeros << " + " << c.objectiveNonZeros
             << " non-zeros, " << c.integers << " integers";
}

Counts countsOf(const Model& model) {
  Counts counts{model.rows.size(), model.variables.size(), 0, model.objective.linear_terms.size(), 0};
  for (const Constraint& row : model.rows) counts.matrixNonZeros += row.expression.linear_terms.size();
  for (const Variable& variable : model.variables) counts.integers += variable.type == 2 ? 1 : 0;
  return counts;
}

struct Fixture {
  const char* file;
  Counts counts;  // as glpsol --lp FILE --check reports them
};

TEST(LpReaderGlpk, FixturesWrittenByGlpsol) {
  const Fixture fixtures[] = {
      {"plan.lp", {7, 8, 42, 7, 0}},
      {"mps_alloy.lp", {21, 20, 183, 20, 0}},   // names with "/"
      {"mps_furnace.lp", {17, 18, 81, 9, 0}},  // a row named "MN/CR"
      {"money.lp", {31, 91, 259, 0, 83}},      // generals, free columns, "= -0"
      {"cf12a.lp", {19, 40, 75, 38, 0}},
      {"shiftcov.lp", {112, 9, 360, 9, 9}},    // rows written as "0 x" placeholders
      {"qfit.lp", {3, 3, 9, 0, 0}},
      {"todd.lp", {1, 15, 15, 15, 15}},
      {"cal.lp", {0, 0, 0, 0, 0}},  // only comments and End: glpsol refuses it, here an empty model
  };
  for (const Fixture& fixture : fixtures) {
    const std::string path = std::string(VELORIUM_TEST_DATA_DIR) + "/lp/glpk/" + fixture.file;
    std::shared_ptr<Model> model;
    EXPECT_NO_THROW(model = parseLpFile(path)) << fixture.file;
    if (model) EXPECT_EQ(countsOf(*model), fixture.counts) << fixture.file;
  }
}

// Runs a command through the shell and returns its output; -1 in `status` when it failed.
std::string run(const std::string& command, int& status) {
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) {
    status = -1;
    return output;
  }
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
  const int raw = ::pclose(pipe);
  status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return output;
}

// The counts of glpsol's --check report; false when glpsol could not read the file.
bool glpsolCounts(const std::string& lpFile, Counts& counts) {
  int status = 0;
  const std::string report = run("glpsol --lp '" + lpFile + "' --check 2>&1", status);
  auto number = [&](const std::string& label) -> long {
    std::size_t at = report.find(label);
    if (at == std::string::npos) return -1;
    at = report.find('=', at);
    return at == std::string::npos ? -1 : std::stol(report.substr(at + 1));
  };
  if (status != 0 || number("Number of rows") < 0) return false;
  counts.rows = number("Number of rows");
  counts.columns = number("Number of columns");
  counts.matrixNonZeros = number("Number of non-zeros (matrix)");
  counts.objectiveNonZeros = number("Number of non-zeros (objrow)");
  std::size_t integers = report.find(" integer variables");
  if (integers != std::string::npos) {
    std::size_t start = report.rfind('\n', integers);
    counts.integers = std::stoul(report.substr(start == std::string::npos ? 0 : start + 1));
  }
  return true;
}

// Every example model of glpk, written by glpsol as LP, reads here with glpsol's counts.
TEST(LpReaderGlpk, ExamplesWrittenByGlpsol) {
  namespace fs = std::filesystem;
  const fs::path examples = "/usr/share/doc/glpk-utils/examples";
  int status = 0;
  run("command -v glpsol", status);
  if (status != 0 || !fs::is_directory(examples)) GTEST_SKIP() << "glpsol or its examples are not installed";
  test::ScratchDir dir;
  int compared = 0;
  for (const auto& entry : fs::directory_iterator(examples)) {
    const fs::path& source = entry.path();
    const std::string stem = source.stem().string();
    const std::string lp = dir.file(stem + source.extension().string() + ".lp");
    std::string input;
    if (source.extension() == ".mod") {
      fs::path data = source;
      data.replace_extension(".dat");
      input = "-m '" + source.string() + "'" + (fs::exists(data) ? " -d '" + data.string() + "'" : "");
    } else if (source.extension() == ".mps") {
      input = "--freemps '" + source.string() + "'";
    } else {
      continue;
    }
    // Keep the sanitizer build quick: the one very large example (80 MB as LP) is left out.
    if (stem == "huge") continue;
    // In the scratch folder: some examples write files of their own (graph.mod a graph.eps).
    const std::string inScratch = "cd '" + dir.path().string() + "' && timeout 30 glpsol ";
    run(inScratch + input + " --wlp '" + lp + "' --check >/dev/null 2>&1", status);
    if (status != 0 && source.extension() == ".mps") {
      run(inScratch + "--mps '" + source.string() + "' --wlp '" + lp + "' --check >/dev/null 2>&1", status);
    }
    if (status != 0) continue;
    std::shared_ptr<Model> model;
    EXPECT_NO_THROW(model = parseLpFile(lp)) << stem;
    Counts expected;
    if (!model || !glpsolCounts(lp, expected)) continue;
    EXPECT_EQ(countsOf(*model), expected) << source.filename();
    ++compared;
  }
  EXPECT_GT(compared, 40);
}

}  // namespace
}  // namespace velorium

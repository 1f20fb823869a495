// Fuzz target of the MPS reader: any bytes either read into a model whose references all hold,
// or give no model. Nothing may escape, crash or leak. A model that was read is written by
// the MPS writer and read again: that must succeed, and writing the second model must give
// the same text. The reader takes a path, so each input goes to an in-memory file first.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/log/log_options.hpp"
#include "core/names/names_holder.hpp"
#include "formats/mps/mps_reader.hpp"
#include "formats/mps/mps_writer.hpp"
#include "fuzz_memory_file.hpp"
#include "fuzz_model_check.hpp"

namespace {

void checkMpsModel(const velorium::Model& model) {
  fuzz::checkModel(model);
  // Every MPS row and the objective row carry a declared name.
  for (const auto& row : model.rows) fuzz::require(row.expression.name_id >= 0);
  for (const auto& record : model.general_constraints) fuzz::require(!record.nodes.empty());
  fuzz::require(model.sos_sets.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::MemoryFile file("velorium-fuzz-mps");
  const velorium::VeloriumLogOptions silent;  // no output flag: nothing is logged
  auto model = velorium::readMpsFile(silent, file.write(data, size));
  if (!model) return 0;
  checkMpsModel(*model);
  velorium::MpsWriter writer;
  const std::string written = writer.writeModelToText(*model);
  auto again = velorium::readMpsFile(silent, file.write(written));
  fuzz::require(again != nullptr);  // the writer wrote what the reader cannot read
  checkMpsModel(*again);
  fuzz::require(writer.writeModelToText(*again) == written);
  return 0;
}

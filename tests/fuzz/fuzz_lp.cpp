// Fuzz target of the LP reader: any bytes either read into a model whose references all hold,
// or fail with the reader's syntax error. Nothing else may escape, crash or leak. A model
// that was read is written by the LP writer and read again: that must succeed with the same
// rows and general constraints. The first round trip may still renumber columns (the writer
// puts an expression's linear terms before its quadratic block) and move infinite row
// constants into the bounds; after a second one, writing and reading again must change
// nothing at all.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "formats/lp/lp_reader.hpp"
#include "formats/lp/lp_writer.hpp"
#include "fuzz_model_check.hpp"

namespace {

using fuzz::checkModel;
using fuzz::require;

// Writes the model and reads the text back; the reader must take what the writer wrote.
std::shared_ptr<velorium::Model> writeAndRead(const velorium::Model& model, std::string& written) {
  velorium::LpWriter writer;
  written = writer.writeModelToText(model);
  try {
    auto read = velorium::parseLpText(written);
    checkModel(*read);
    return read;
  } catch (const std::invalid_argument&) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    auto model = velorium::parseLpText(std::string_view(reinterpret_cast<const char*>(data), size));
    checkModel(*model);
    std::string first, second, third;
    auto once = writeAndRead(*model, first);
    require(once->rows.size() == model->rows.size());
    require(once->general_constraints.size() == model->general_constraints.size());
    require(once->variables.size() <= model->variables.size());
    auto twice = writeAndRead(*once, second);
    writeAndRead(*twice, third);
    require(third == second);
  } catch (const std::invalid_argument&) {
    // The reader's syntax error: the expected end of most inputs.
  }
  return 0;
}

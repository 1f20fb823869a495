// Fuzz target of the LP reader: any bytes either read into a model whose references all hold,
// or fail with the reader's syntax error. Nothing else may escape, crash or leak. A model
// that was read is written by the LP writer and read again: that must succeed, and writing
// the second model must give the same text (the first round trip settles names, order and
// number precision; after it nothing may change).
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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    auto model = velorium::parseLpText(std::string_view(reinterpret_cast<const char*>(data), size));
    fuzz::checkModel(*model);
    velorium::LpWriter writer;
    const std::string written = writer.writeModelToText(*model);
    std::shared_ptr<velorium::Model> again;
    try {
      again = velorium::parseLpText(written);
    } catch (const std::invalid_argument&) {
      std::abort();  // the writer wrote what the reader cannot read
    }
    fuzz::checkModel(*again);
    fuzz::require(writer.writeModelToText(*again) == written);
  } catch (const std::invalid_argument&) {
    // The reader's syntax error: the expected end of most inputs.
  }
  return 0;
}

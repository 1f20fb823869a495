// Fuzz target of the LP reader: any bytes either read into a model whose references all hold,
// or fail with the reader's syntax error. Nothing else may escape, crash or leak.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "formats/lp/lp_reader.hpp"
#include "fuzz_model_check.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    auto model = velorium::parseLpText(std::string_view(reinterpret_cast<const char*>(data), size));
    fuzz::checkModel(*model);
  } catch (const std::invalid_argument&) {
    // The reader's syntax error: the expected end of most inputs.
  }
  return 0;
}

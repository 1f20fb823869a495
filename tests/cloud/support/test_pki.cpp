#include "cloud/support/test_pki.hpp"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

#include "support/external_tool.hpp"

namespace velorium::test {

const TestPki& TestPki::get() {
  static const TestPki pki;
  return pki;
}

TestPki::TestPki() {
  std::string pattern = (std::filesystem::temp_directory_path() / "velorium-pki-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a folder for the test authority");
  folder_ = pattern;
  const std::string script = std::string(VELORIUM_SOURCE_DIR) + "/tests/cloud/support/make_test_pki.py";
  const ToolRun run = runTool("/usr/bin/python3 " + shellQuoted(script) + " " + shellQuoted(folder_));
  if (run.exit_code != 0) throw std::runtime_error("making the test authority failed: " + run.output);
}

TestPki::~TestPki() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

}  // namespace velorium::test

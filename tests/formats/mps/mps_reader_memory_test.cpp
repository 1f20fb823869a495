// Running out of memory while reading is a failed read, never an exception or a crash.
//
// The reading runs in a fresh copy of this test program under a limit of address space a
// little above what the copy holds when it starts. A fork of the running program would not
// do: the memory that earlier tests freed stays mapped and would let the reading succeed.
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "formats/mps/mps_read_helper.hpp"
#include "support/external_tool.hpp"

namespace velorium {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Set in the fresh copy: the file it is to read under the limit.
constexpr const char* kFileVariable = "VELORIUM_MPS_MEMORY_TEST_FILE";

enum Outcome { kFailedWithMessage = 0, kReadDespiteLimit = 1, kNoMessage = 2, kExceptionEscaped = 4 };

long virtualKilobytes() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("VmSize:", 0) == 0) return std::stol(line.substr(7));
  }
  return -1;
}

[[noreturn]] void readUnderLimit(const std::string& path) {
  const rlim_t limit = static_cast<rlim_t>(virtualKilobytes() + 16 * 1024) * 1024;
  rlimit address_space{limit, limit};
  ::setrlimit(RLIMIT_AS, &address_space);
  int outcome = kExceptionEscaped;
  try {
    auto read = mps_test::readMpsPathOnce(path);
    const bool told = read.log.find("Недостаточно памяти для чтения MPS файла") != std::string::npos;
    outcome = read.model ? kReadDespiteLimit : told ? kFailedWithMessage : kNoMessage;
  } catch (...) {
  }
  ::_exit(outcome);
}

TEST(MpsReaderMemoryTest, ExhaustedMemoryGivesAFailedReadWithAMessage) {
  if (const char* path = std::getenv(kFileVariable)) readUnderLimit(path);
  // The sanitizers reserve huge address ranges and end the process themselves when memory
  // runs out, so the limit can only be tried without them (the optimised build runs it).
  if (kSanitized) GTEST_SKIP() << "needs a build without AddressSanitizer";
  mps_test::ScratchDir dir;
  std::string text = "ROWS\n N obj\n";
  for (int r = 0; r < 2000; ++r) text += " L r" + std::to_string(r) + "\n";
  text += "COLUMNS\n";
  for (int c = 0; c < 200000; ++c) {
    for (int k = 0; k < 10; k += 2) {
      text += " x" + std::to_string(c) + " r" + std::to_string((c * 7 + k) % 2000) + " 1.5 r" +
              std::to_string((c * 7 + k + 1) % 2000) + " 2.5\n";
    }
  }
  text += "ENDATA\n";
  const std::string path = dir.write("big.mps", text);

  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const test::ToolRun run = test::runTool(std::string(kFileVariable) + "=" + test::shellQuoted(path) + " " +
                                          test::shellQuoted(self) +
                                          " --gtest_filter=MpsReaderMemoryTest.ExhaustedMemoryGivesAFailedReadWithAMessage");
  EXPECT_EQ(run.exit_code, kFailedWithMessage)
      << "1: read despite the limit, 2: no message, 4: an exception escaped, other: the copy died\n" << run.output;
}

}  // namespace
}  // namespace velorium

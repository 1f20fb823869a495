// Running out of memory while reading is a failed read, never an exception or a crash.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "formats/mps/mps_read_helper.hpp"

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

long virtualKilobytes() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("VmSize:", 0) == 0) return std::stol(line.substr(7));
  }
  return -1;
}

TEST(MpsReaderMemoryTest, ExhaustedMemoryGivesAFailedReadWithAMessage) {
  // The sanitizers reserve huge address ranges and end the process themselves when memory
  // runs out, so the limit below can only be tried without them.
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
  text.clear();
  text.shrink_to_fit();

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const rlim_t limit = static_cast<rlim_t>(virtualKilobytes() + 16 * 1024) * 1024;
    rlimit address_space{limit, limit};
    ::setrlimit(RLIMIT_AS, &address_space);
    int outcome = 3;
    try {
      auto read = mps_test::readMpsPath(path);
      const bool told = read.log.find("Недостаточно памяти для чтения MPS файла") != std::string::npos;
      outcome = read.model ? 1 : told ? 0 : 2;
    } catch (...) {
      outcome = 4;  // something escaped the reader
    }
    ::_exit(outcome);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the reading process was killed";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: read despite the limit, 2: no message, 3: died, 4: an exception escaped";
}

}  // namespace
}  // namespace velorium

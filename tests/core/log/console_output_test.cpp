#include "core/log/console_output.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <unistd.h>
#include <vector>

#include "support/stdout_capture.hpp"

namespace velorium {
namespace {

using console_detail::cutLinesToCharacters;
using console_detail::writeAll;

std::string repeat(const std::string& piece, std::size_t times) {
  std::string result;
  for (std::size_t i = 0; i < times; ++i) result += piece;
  return result;
}

TEST(ConsoleLineCut, CutsEveryLineAtWholeCharacters) {
  const std::string ya = "я";      // 2 bytes
  const std::string euro = "€";    // 3 bytes
  const std::string emoji = "😀";  // 4 bytes
  struct Case {
    const char* what;
    std::string text;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"short text unchanged", "строка\n", "строка\n"},
      {"exactly the limit", std::string(4095, 'a'), std::string(4095, 'a')},
      {"ascii over the limit", std::string(5000, 'a') + "\n", std::string(4095, 'a') + "\n"},
      {"two-byte characters", repeat(ya, 5000), repeat(ya, 4095)},
      {"three-byte character at the last place", std::string(4094, 'a') + euro + "b",
       std::string(4094, 'a') + euro},
      {"three-byte character just over the limit", std::string(4095, 'a') + euro, std::string(4095, 'a')},
      {"four-byte characters straddling the byte count", repeat(emoji, 4096), repeat(emoji, 4095)},
      {"each line on its own", std::string(4100, 'a') + "\n" + repeat(ya, 4100) + "\nend",
       std::string(4095, 'a') + "\n" + repeat(ya, 4095) + "\nend"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(cutLinesToCharacters(c.text, kConsoleLineLimit), c.expected);
  }
}

// A write call that takes at most three bytes a time, after one interrupted attempt.
struct ShortWriter {
  static inline std::string received;
  static inline int calls = 0;
  static ssize_t write(int, const void* data, std::size_t size) {
    if (calls++ == 0) {
      errno = EINTR;
      return -1;
    }
    std::size_t taken = size < 3 ? size : 3;
    received.append(static_cast<const char*>(data), taken);
    return static_cast<ssize_t>(taken);
  }
};

TEST(ConsoleWrite, RetriesShortAndInterruptedWrites) {
  const std::string text = "ПРЕДУПРЕЖДЕНИЕ: short writes\n";
  ShortWriter::received.clear();
  ShortWriter::calls = 0;
  EXPECT_EQ(writeAll(1, text.data(), text.size(), &ShortWriter::write), text.size());
  EXPECT_EQ(ShortWriter::received, text);
}

TEST(ConsoleWrite, StopsAtAnErrorOrWhenNothingIsWritten) {
  struct Failing {
    static ssize_t error(int, const void*, std::size_t) {
      errno = EBADF;
      return -1;
    }
    static ssize_t nothing(int, const void*, std::size_t) { return 0; }
  };
  EXPECT_EQ(writeAll(1, "abc", 3, &Failing::error), 0u);
  EXPECT_EQ(writeAll(1, "abc", 3, &Failing::nothing), 0u);
}

TEST(ConsoleWrite, FileGetsTheBytesUnchangedAfterEarlierStdioOutput) {
  const std::string long_line = std::string(5000, 'z') + "\n";
  test::StdoutCapture console;
  std::fputs("buffered first\n", stdout);  // still in stdio's buffer when the text is written
  writeConsoleText("ОШИБКА: текст\n");
  writeConsoleText(long_line.c_str());
  EXPECT_EQ(console.finish(), "buffered first\nОШИБКА: текст\n" + long_line);
}

TEST(ConsoleWrite, ClosedPipeNeitherKillsNorLeavesASignal) {
  int pipe_fds[2];
  ASSERT_EQ(::pipe(pipe_fds), 0);
  ::close(pipe_fds[0]);
  std::fflush(stdout);
  int saved = ::dup(STDOUT_FILENO);
  ::dup2(pipe_fds[1], STDOUT_FILENO);
  ::close(pipe_fds[1]);
  writeConsoleText("nobody reads this\n");
  ::dup2(saved, STDOUT_FILENO);
  ::close(saved);
  sigset_t pending;
  sigemptyset(&pending);
  sigpending(&pending);
  EXPECT_EQ(sigismember(&pending, SIGPIPE), 0);
}

}  // namespace
}  // namespace velorium

#include "formats/common/line_reader.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/scratch_dir.hpp"

namespace velorium {
namespace {

using test::ScratchDir;

// Opens the buffer-size seam so that short lines reach every buffer boundary.
class SmallBufferLineReader : public LineReader {
 public:
  SmallBufferLineReader(const std::string& path, std::size_t buffer_size)
      : LineReader(path, buffer_size, true, 2) {}
};

std::vector<std::string> readAll(LineReader& reader) {
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.nextLine(line)) lines.emplace_back(line);
  EXPECT_FALSE(reader.nextLine(line)) << "a finished reader must stay finished";
  return lines;
}

// The expected lines, computed independently of the buffer.
std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    const bool last = end == std::string::npos;
    if (last) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::string letters(std::size_t count, char first = 'a') {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text += static_cast<char>(first + i % 26);
  return text;
}

// Scanners read whole vector pieces past a line's end: those bytes must lie inside the
// buffer for every line, whatever its place in it (AddressSanitizer checks the reads).
TEST(LineReader, BytesAfterEveryLineAreReadable) {
  ScratchDir dir;
  std::string text;
  for (std::size_t length = 0; length < 40; ++length) text += letters(length) + (length % 3 == 0 ? "\r\n" : "\n");
  text += letters(17);  // a last line without its line feed, at the very end of the data
  const std::string path = dir.write("slack.txt", text);
  for (std::size_t buffer_size : {std::size_t{2}, std::size_t{16}, std::size_t{64}, std::size_t{4096}}) {
    SmallBufferLineReader reader(path, buffer_size);
    std::string_view line;
    std::size_t lines = 0;
    unsigned checksum = 0;
    while (reader.nextLine(line)) {
      ++lines;
      const volatile char* after = line.data() + line.size();
      for (std::size_t i = 0; i < LineReader::kReadableAfterLine; ++i) checksum += static_cast<unsigned char>(after[i]);
    }
    EXPECT_EQ(lines, 41u) << buffer_size;
    (void)checksum;
  }
}

TEST(LineReader, LinesAroundTheBufferSizeWithASmallBuffer) {
  ScratchDir dir;
  constexpr std::size_t kBuffer = 8;  // holds 7 bytes of data
  const std::vector<std::size_t> lengths = {0, 1, kBuffer - 2, kBuffer - 1, kBuffer, kBuffer + 1, 2 * kBuffer + 3, 5 * kBuffer};
  const std::vector<std::string> endings = {"\n", "\r\n"};
  for (const std::string& ending : endings) {
    for (bool final_newline : {true, false}) {
      // Every pair of lengths, so each length starts at many offsets inside the buffer.
      std::string text;
      for (std::size_t a : lengths) {
        for (std::size_t b : lengths) text += letters(a) + ending + letters(b, 'A') + ending;
      }
      if (!final_newline) text += letters(kBuffer + 1, 'k');
      const std::string path = dir.write("lines.txt", text);
      for (std::size_t buffer : {std::size_t{2}, std::size_t{3}, kBuffer - 1, kBuffer, kBuffer + 1}) {
        SmallBufferLineReader reader(path, buffer);
        EXPECT_EQ(readAll(reader), splitLines(text))
            << "buffer " << buffer << ", ending " << (ending.size() == 2 ? "CR LF" : "LF")
            << (final_newline ? "" : ", last line unterminated");
      }
    }
  }
}

// The offset of the next line in the file, across every seam of a small buffer; the file's
// size as the system gives it.
TEST(LineReader, OffsetOfTheNextLineAndTheFileSize) {
  ScratchDir dir;
  std::string text;
  for (std::size_t length = 0; length < 30; ++length) text += letters(length) + (length % 4 == 0 ? "\r\n" : "\n");
  text += letters(5);
  const std::string path = dir.write("offsets.txt", text);
  for (std::size_t buffer_size : {std::size_t{2}, std::size_t{7}, std::size_t{4096}}) {
    SmallBufferLineReader reader(path, buffer_size);
    EXPECT_EQ(reader.fileSize(), text.size());
    std::string_view line;
    std::size_t expected = 0;
    while (reader.nextLine(line)) {
      const std::size_t end = text.find('\n', expected);
      expected = end == std::string::npos ? text.size() : end + 1;
      EXPECT_EQ(reader.offset(), expected) << buffer_size;
    }
    EXPECT_EQ(reader.offset(), text.size()) << buffer_size;
  }
}

// Bytes taken as they are after some lines, then the lines again from any offset: the bytes
// are the file's, and the lines from an offset are those the text has from there.
TEST(LineReader, BytesAsTheyAreAndLinesAgainFromAnOffset) {
  ScratchDir dir;
  std::string text;
  for (std::size_t length = 0; length < 40; ++length) text += letters(length) + (length % 3 == 0 ? "\r\n" : "\n");
  text += letters(7);
  const std::string path = dir.write("bytes.txt", text);
  for (std::size_t buffer_size : {std::size_t{2}, std::size_t{9}, std::size_t{4096}}) {
    for (std::size_t lines_first : {0, 1, 5}) {
      for (std::size_t take : {1, 10, 100, 1000}) {
        SmallBufferLineReader reader(path, buffer_size);
        std::string_view line;
        for (std::size_t i = 0; i < lines_first; ++i) ASSERT_TRUE(reader.nextLine(line));
        const std::size_t start = static_cast<std::size_t>(reader.offset());
        std::string bytes(take, '\0');
        bytes.resize(reader.readBytes(bytes.data(), take));
        EXPECT_EQ(bytes, text.substr(start, take)) << buffer_size << " " << lines_first << " " << take;
        EXPECT_EQ(reader.offset(), start + bytes.size());
        for (std::size_t offset : {std::size_t{0}, start + 3, text.size() - 4, text.size()}) {
          ASSERT_TRUE(reader.seek(offset));
          EXPECT_EQ(reader.offset(), offset);
          EXPECT_EQ(readAll(reader), splitLines(text.substr(offset))) << buffer_size << " from " << offset;
        }
      }
    }
  }
}

TEST(LineReader, CarriageReturnSplitFromItsLineFeedByTheBufferSeam) {
  ScratchDir dir;
  // With 4 data bytes per fill, "abc\r" fills the buffer and its "\n" comes in the next read.
  const std::string path = dir.write("seam.txt", "abc\r\nde\r\r\nf\rg\n");
  SmallBufferLineReader reader(path, 5);
  // Only one "\r" right before the line feed is dropped; others belong to the line.
  EXPECT_EQ(readAll(reader), (std::vector<std::string>{"abc", "de\r", "f\rg"}));
}

TEST(LineReader, LinesAroundTheDefaultMinimumBuffer) {
  ScratchDir dir;
  const std::size_t n = LineReader::kMinimumBufferSize;
  const std::string text = letters(n - 1) + "\n" + letters(n) + "\r\n" + letters(n + 1) + "\n" +
                           letters(3 * n + 7) + "\n" + "tail\r";
  const std::string path = dir.write("long.txt", text);
  LineReader reader(path, 0, true);  // a request below the minimum gets the minimum
  EXPECT_EQ(reader.bufferSize(), n);
  EXPECT_EQ(readAll(reader), (std::vector<std::string>{letters(n - 1), letters(n), letters(n + 1), letters(3 * n + 7), "tail"}));
  EXPECT_FALSE(reader.readFailed());
}

TEST(LineReader, EndOfFileCases) {
  struct Case {
    const char* text;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {"\n", {""}},
      {"\r\n", {""}},
      {"\r", {""}},
      {"x", {"x"}},
      {"x\n", {"x"}},
      {"x\n\n", {"x", ""}},
      {"x\r\ny", {"x", "y"}},
      {"\n\ny\r", {"", "", "y"}},
  };
  ScratchDir dir;
  for (const Case& c : cases) {
    const std::string path = dir.write("eof.txt", c.text);
    LineReader reader(path, 262144, true);
    EXPECT_EQ(readAll(reader), c.lines) << "text \"" << c.text << "\"";
  }
}

TEST(LineReader, TextModeReadsTheSameLines) {
  ScratchDir dir;
  const std::string path = dir.write("text.txt", "a b\r\nc\n");
  LineReader reader(path, 4096, false);
  EXPECT_EQ(readAll(reader), (std::vector<std::string>{"a b", "c"}));
}

TEST(LineReader, PathsThatGiveNoLines) {
  ScratchDir dir;
  for (const std::string& path : {dir.file("missing.txt"), dir.path().string(), std::string()}) {
    LineReader reader(path, 4096, true);
    EXPECT_FALSE(reader.isOpen()) << path;
    std::string_view line;
    EXPECT_FALSE(reader.nextLine(line)) << path;
  }
}

TEST(LineReader, ReadErrorEndsTheLinesPromptly) {
  // The process's own memory file opens, but reading at offset 0 fails with an I/O error.
  LineReader reader("/proc/self/mem", 4096, true);
  ASSERT_TRUE(reader.isOpen());
  std::string_view line;
  EXPECT_FALSE(reader.nextLine(line));
  EXPECT_TRUE(reader.readFailed());
  EXPECT_FALSE(reader.nextLine(line));
}

TEST(LineReader, FileWithoutReadPermission) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  ScratchDir dir;
  const std::string path = dir.write("locked.txt", "x\n");
  std::filesystem::permissions(path, std::filesystem::perms::none);
  LineReader reader(path, 4096, true);
  EXPECT_FALSE(reader.isOpen());
  std::string_view line;
  EXPECT_FALSE(reader.nextLine(line));
}

}  // namespace
}  // namespace velorium

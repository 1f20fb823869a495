// Lines of LP texts, from files and from memory, counted and stripped of a byte-order mark.
#include "formats/lp/lp_line_reader.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scratch_dir.hpp"

namespace velorium {
namespace {

std::vector<std::string> linesOf(LpLineReader& reader) {
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.nextLine(line)) lines.emplace_back(line);
  EXPECT_EQ(reader.lineNumber(), lines.size());
  return lines;
}

TEST(LpLineReader, FileAndMemoryGiveTheSameLines) {
  const std::string texts[] = {"", "\xEF\xBB\xBF", "\n", "a", "\xEF\xBB\xBF" "a\r\nb\n\nc\r",
                               "x\n\xEF\xBB\xBFy\n", std::string(200000, 'z') + "\n+"};
  test::ScratchDir dir;
  for (const std::string& text : texts) {
    LpLineReader fromMemory = LpLineReader::ofText(text);
    LpLineReader fromFile = LpLineReader::ofFile(dir.write("t.lp", text));
    std::vector<std::string> lines = linesOf(fromMemory);
    EXPECT_EQ(linesOf(fromFile), lines) << text.substr(0, 20);
  }
  LpLineReader reader = LpLineReader::ofText("\xEF\xBB\xBF" "a\r\nb\n\nc\r");
  EXPECT_EQ(linesOf(reader), (std::vector<std::string>{"a", "b", "", "c"}));
  // Only a mark at the very start is skipped.
  LpLineReader marked = LpLineReader::ofText("x\n\xEF\xBB\xBFy");
  EXPECT_EQ(linesOf(marked)[1], "\xEF\xBB\xBFy");
}

TEST(LpLineReader, MissingFileOrDirectoryFailsAtOnce) {
  test::ScratchDir dir;
  EXPECT_THROW(LpLineReader::ofFile(dir.file("missing.lp")), LpFileError);
  EXPECT_THROW(LpLineReader::ofFile(dir.path().string()), LpFileError);
}

}  // namespace
}  // namespace velorium

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

// Lines are cut at their first ";" or "\\"; what follows is a comment, whatever it holds.
TEST(LpLineReader, CutsLinesAtComments) {
  LpLineReader reader = LpLineReader::ofText("a ; b \\ c\r\nd\\e;f\ng\r\n;\n \\x\r");
  EXPECT_EQ(linesOf(reader), (std::vector<std::string>{"a ", "d", "g", "", " "}));
}

// Files of many megabytes, lines across the reader's buffer and a line longer than it, a
// comment and a NUL byte far into a line: as from memory, and the NUL byte on its line.
TEST(LpLineReader, LinesAcrossTheBuffer) {
  std::string text;
  std::vector<std::string> expected;
  for (int i = 0; i < 60000; ++i) {
    expected.push_back(" + " + std::to_string(i) + " x" + std::to_string(i * 7));
    text += expected.back() + (i % 3 == 0 ? "; note " + std::to_string(i) : "") + (i % 5 == 0 ? "\r\n" : "\n");
  }
  expected.push_back(std::string(700000, 'q'));
  text += expected.back() + "\\" + std::string(300000, 'c') + "\n" + "last";
  expected.push_back("last");
  test::ScratchDir dir;
  LpLineReader fromFile = LpLineReader::ofFile(dir.write("big.lp", text));
  LpLineReader fromMemory = LpLineReader::ofText(text);
  EXPECT_EQ(linesOf(fromFile), expected);
  EXPECT_EQ(linesOf(fromMemory), expected);

  const std::string withNul = text + "\n" + std::string(500000, 'w') + " ; " + std::string(1, '\0') + "\nmore\n";
  LpLineReader nulFile = LpLineReader::ofFile(dir.write("nul.lp", withNul));
  std::string_view line;
  try {
    while (nulFile.nextLine(line)) {
    }
    ADD_FAILURE() << "no error";
  } catch (const LpSyntaxError& error) {
    EXPECT_EQ(error.line(), expected.size() + 1);
  }
}

TEST(LpLineReader, MissingFileOrDirectoryFailsAtOnce) {
  test::ScratchDir dir;
  EXPECT_THROW(LpLineReader::ofFile(dir.file("missing.lp")), LpFileError);
  EXPECT_THROW(LpLineReader::ofFile(dir.path().string()), LpFileError);
}

}  // namespace
}  // namespace velorium

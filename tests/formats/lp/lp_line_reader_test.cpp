// Lines read from a real file, across the reader's chunk boundaries.
#include "formats/lp/lp_line_reader.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace velorium {
namespace {

std::vector<std::string> linesOfFile(const std::string& content) {
  std::FILE* file = std::tmpfile();
  std::fwrite(content.data(), 1, content.size(), file);
  std::rewind(file);
  LpLineReader reader(file);
  std::vector<std::string> lines;
  std::string line;
  while (reader.nextLine(line)) lines.push_back(line);
  EXPECT_EQ(reader.lineNumber(), lines.size());
  std::fclose(file);
  return lines;
}

TEST(LpLineReader, SplitsLinesAcrossChunks) {
  const std::size_t chunk = 1 << 16;
  std::string longLine(3 * chunk + 17, 'a');
  // "\r\n" split across the first chunk boundary, a line longer than several chunks, a last
  // line without its line feed.
  std::string first(chunk - 1 - 3, 'b');
  std::string content = "\xEF\xBB\xBF" + first + "\r\n" + longLine + "\n\nend";
  std::vector<std::string> lines = linesOfFile(content);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], first);
  EXPECT_EQ(lines[1], longLine);
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "end");
}

TEST(LpLineReader, EmptyTextHasNoLines) {
  EXPECT_TRUE(linesOfFile("").empty());
  EXPECT_TRUE(linesOfFile("\xEF\xBB\xBF").empty());
  EXPECT_EQ(linesOfFile("\n").size(), 1u);
  // Only a mark at the very start is skipped.
  EXPECT_EQ(linesOfFile("x\n\xEF\xBB\xBFy")[1], "\xEF\xBB\xBFy");
}

}  // namespace
}  // namespace velorium

#include "formats/common/text_lines.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "formats/common/line_reader.hpp"
#include "support/scratch_dir.hpp"

namespace velorium {
namespace {

template <class Lines>
std::vector<std::string> collect(Lines& lines) {
  std::vector<std::string> result;
  std::string_view line;
  while (lines.nextLine(line)) result.emplace_back(line);
  return result;
}

TEST(TextLines, SplitsAsTheFileReaderDoes) {
  const std::vector<std::string> texts = {"", "\n", "\r\n", "\r", "a", "a\n", "a\r\nb", "a\n\nb\r",
                                          "a\r\r\nb\rc\n", "  x 1\n# h\n\n"};
  test::ScratchDir dir;
  for (const std::string& text : texts) {
    LineReader file(dir.write("t.txt", text), 4096, true);
    TextLines memory(text);
    EXPECT_EQ(collect(memory), collect(file)) << '"' << text << '"';
  }
}

TEST(TextLines, ReadsOnlyTheGivenLength) {
  // An exactly sized heap copy: any read past its end is caught by the address sanitizer.
  const std::string text = "ab\ncd";
  auto exact = std::make_unique<char[]>(text.size());
  std::copy(text.begin(), text.end(), exact.get());
  TextLines whole(exact.get(), text.size());
  EXPECT_EQ(collect(whole), (std::vector<std::string>{"ab", "cd"}));
  TextLines cut(exact.get(), 4);
  EXPECT_EQ(collect(cut), (std::vector<std::string>{"ab", "c"}));
  TextLines none(nullptr, 0);
  EXPECT_TRUE(collect(none).empty());
}

}  // namespace
}  // namespace velorium

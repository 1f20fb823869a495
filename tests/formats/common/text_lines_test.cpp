#include "formats/common/text_lines.hpp"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(TextLines, CountsLineFeedsAsACountingLoopDoes) {
  // Every length around the 16-byte steps, and texts longer than 255 steps, where a byte
  // counter per lane would wrap; each read from an exactly sized copy, so that the address
  // sanitizer catches a read past the end.
  std::vector<std::string> texts;
  for (std::size_t length = 0; length <= 49; ++length) {
    std::string text(length, 'x');
    for (std::size_t i = 0; i < length; i += 3) text[i] = '\n';
    texts.push_back(text);
  }
  texts.push_back(std::string(255 * 16 + 17, '\n'));
  texts.push_back(std::string(100000, '\n') + "a\rb");
  for (const std::string& text : texts) {
    auto exact = std::make_unique<char[]>(text.size());
    std::copy(text.begin(), text.end(), exact.get());
    EXPECT_EQ(countLineFeeds(exact.get(), text.size()), static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')))
        << text.size() << " bytes";
  }
}

}  // namespace
}  // namespace velorium

#include "formats/mps/mps_line_name.hpp"

#include <gtest/gtest.h>

#include <string>

namespace velorium {
namespace {

// Names are read as fields of a line, with more bytes of the line behind them; here the
// bytes behind each name differ from those behind the other, so that a comparison that
// looked past the name's length would be caught.
std::string inLine(const std::string& name, char filler) { return name + std::string(64, filler); }

TEST(MpsLineName, ComparesOnlyTheNamesOwnBytes) {
  for (std::size_t length = 1; length <= 40; ++length) {
    std::string name;
    for (std::size_t i = 0; i < length; ++i) name += static_cast<char>('a' + i % 26);
    const std::string line = inLine(name, 'x');
    MpsLineName kept;
    kept.assign(std::string_view(line.data(), length));
    EXPECT_EQ(kept.view(), name);
    EXPECT_EQ(kept.text(), name);

    const std::string same = inLine(name, 'y');
    EXPECT_TRUE(kept.equals(std::string_view(same.data(), length))) << length;

    // One byte changed, at the first, the last and the middle position.
    for (std::size_t at : {std::size_t{0}, length / 2, length - 1}) {
      std::string other = same;
      other[at] = static_cast<char>(other[at] ^ 0x20);
      EXPECT_FALSE(kept.equals(std::string_view(other.data(), length))) << length << " at " << at;
    }
    // A longer or shorter name that starts alike.
    EXPECT_FALSE(kept.equals(std::string_view(same.data(), length + 1))) << length;
    EXPECT_FALSE(kept.equals(std::string_view(same.data(), length - 1))) << length;
  }
}

TEST(MpsLineName, KeepsItsTextWhenTheLineChanges) {
  std::string line = inLine("column_with_a_rather_long_name_beyond_32", ' ');
  MpsLineName kept;
  kept.assign(std::string_view(line.data(), 40));
  std::string short_line = inLine("x1", ' ');
  MpsLineName short_kept;
  short_kept.assign(std::string_view(short_line.data(), 2));
  line.assign(line.size(), '#');
  short_line.assign(short_line.size(), '#');
  EXPECT_EQ(kept.view(), "column_with_a_rather_long_name_beyond_32");
  EXPECT_EQ(short_kept.view(), "x1");
}

}  // namespace
}  // namespace velorium

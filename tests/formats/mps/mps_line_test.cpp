#include "formats/mps/mps_line.hpp"
#include "formats/mps/mps_section.hpp"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cstring>
#include <random>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace velorium {
namespace {

std::vector<std::string> fieldsOf(const MpsLine& line) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < line.field_count && i < MpsLine::kMaxFields; ++i) out.emplace_back(line.fields[i]);
  return out;
}

TEST(MpsLineTest, SplitsAtAsciiWhiteSpaceOnly) {
  struct Case {
    std::string text;
    std::vector<std::string> fields;
    bool indented;
  };
  const std::vector<Case> cases = {
      {"", {}, false},
      {"   \t  ", {}, true},
      {"ROWS", {"ROWS"}, false},
      {" N  obj", {"N", "obj"}, true},
      {"\tx\tc1\t1.5", {"x", "c1", "1.5"}, true},
      {"x\vc1\f2\r", {"x", "c1", "2"}, false},
      // Bytes above 0x7F are name bytes, whatever the locale says about them.
      {" \xd0\xbf\xd0\xb5\xd1\x80 \xa0x", {"\xd0\xbf\xd0\xb5\xd1\x80", "\xa0x"}, true},
      {"\x85name", {"\x85name"}, false},
  };
  for (const Case& c : cases) {
    MpsLine line;
    splitMpsLine(c.text, line);
    EXPECT_EQ(fieldsOf(line), c.fields) << c.text;
    EXPECT_EQ(line.field_count, c.fields.size()) << c.text;
    EXPECT_EQ(line.indented, c.indented) << c.text;
    EXPECT_FALSE(line.has_nul);
  }
}

TEST(MpsLineTest, CountsFieldsBeyondTheKeptOnesAndFlagsNul) {
  MpsLine line;
  splitMpsLine("a b c d e f g h i j", line);
  EXPECT_EQ(line.field_count, 10u);
  EXPECT_EQ(line.field(7), "h");
  EXPECT_EQ(line.field(8), "");

  std::string with_nul("x c\0 1", 6);
  splitMpsLine(with_nul, line);
  EXPECT_TRUE(line.has_nul);
  EXPECT_EQ(line.field_count, 3u);
  const std::string buffer = with_nul + std::string(64, ' ');
  splitReadableMpsLine(std::string_view(buffer.data(), with_nul.size()), line);
  EXPECT_TRUE(line.has_nul);
  EXPECT_EQ(line.field_count, 3u);
}

TEST(MpsLineTest, LongLinesSplitLikeByteByByte) {
  // Fields across the 64-byte blocks of the splitter, lines of exactly one or two blocks.
  std::mt19937 random(3);
  const std::string alphabet = std::string("ab\xd0\xbf.-") + std::string(" \t\r\v\f");
  for (int i = 0; i < 3000; ++i) {
    std::string text;
    const std::size_t length = i < 300 ? 60 + i % 10 : random() % 300;
    for (std::size_t k = 0; k < length; ++k) text += alphabet[random() % alphabet.size()];
    if (i % 7 == 0) text = std::string(64 * (1 + i % 3) - 1, 'x') + " y";
    std::vector<std::string> expected;
    std::string current;
    for (char c : text) {
      if (std::strchr(" \t\n\v\f\r", c) != nullptr) {
        if (!current.empty()) expected.push_back(current);
        current.clear();
      } else {
        current += c;
      }
    }
    if (!current.empty()) expected.push_back(current);
    MpsLine line;
    splitMpsLine(text, line);
    ASSERT_EQ(line.field_count, expected.size()) << text;
    // The same line inside a buffer, followed by bytes that would extend its last field or
    // flag a NUL if the splitter took them for part of the line.
    std::string buffer = text + std::string("z\0z\0", 4) + std::string(60, 'q');
    MpsLine in_buffer;
    splitReadableMpsLine(std::string_view(buffer.data(), text.size()), in_buffer);
    ASSERT_EQ(in_buffer.field_count, expected.size()) << text;
    EXPECT_FALSE(in_buffer.has_nul) << text;
    expected.resize(std::min(expected.size(), MpsLine::kMaxFields));
    ASSERT_EQ(fieldsOf(line), expected) << text;
    ASSERT_EQ(fieldsOf(in_buffer), expected) << text;
  }
}

TEST(MpsLineTest, CommentAndEmptyLines) {
  MpsLine line;
  splitMpsLine("* ROWS", line);
  EXPECT_TRUE(line.isComment());
  splitMpsLine(" * x", line);
  EXPECT_FALSE(line.isComment());
  splitMpsLine("  ", line);
  EXPECT_TRUE(line.empty());
}

TEST(MpsNumberTest, AcceptsWholeNumbersOnly) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* text;
    bool ok;
    double value;
  };
  const std::vector<Case> cases = {
      {"1", true, 1},        {"-2.5", true, -2.5},   {"+3", true, 3},      {".5", true, 0.5},
      {"1.", true, 1},       {"1e3", true, 1000},    {"1E-2", true, 0.01}, {"-0", true, 0},
      {"inf", true, inf},    {"-Infinity", true, -inf}, {"INF", true, inf}, {"1e400", true, inf},
      {"-1e400", true, -inf}, {"1e-400", true, 0},   {"1.7976931348623157e308", true, 1.7976931348623157e308},
      {"", false, 0},        {"+", false, 0},        {"-", false, 0},      {"abc", false, 0},
      {"1x", false, 0},      {"1,5", false, 0},      {"0x10", false, 0},   {"1e", false, 0},
      {"+-1", false, 0},     {"++1", false, 0},      {" 1", false, 0},     {"1 ", false, 0},
      {"infinit", false, 0}, {"1.5.2", false, 0},
  };
  for (const Case& c : cases) {
    double v = 42;
    EXPECT_EQ(parseMpsNumber(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
  double v = 0;
  ASSERT_TRUE(parseMpsNumber("nan", v));
  EXPECT_TRUE(std::isnan(v));
  ASSERT_TRUE(parseMpsNumber("-NaN", v));
  EXPECT_TRUE(std::isnan(v));
  // A field is a view: the bytes behind it do not belong to the number.
  std::string_view cut("12345", 2);
  ASSERT_TRUE(parseMpsNumber(cut, v));
  EXPECT_EQ(v, 12);
}

TEST(MpsNumberTest, ShortDecimalsReadExactlyAsAFullConversionDoes) {
  std::mt19937_64 random(7);
  std::vector<std::string> texts = {"0.1", "0.3", "-0.6425", "9007199254740993", "9007199254740992", "1e22", "1e23",
                                    "123456789012345678.5", "1.7976931348623157e308", "4.9e-324", "2.2250738585072014e-308",
                                    "0.000000000000000000000001", "1234567890123456789", "12345678901234567890"};
  char buffer[64];
  for (int i = 0; i < 20000; ++i) {
    const double x = std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 200) - 150);
    const int precision = 1 + static_cast<int>(random() % 17);
    std::snprintf(buffer, sizeof buffer, random() % 2 ? "%.*g" : "%.*f", precision, random() % 2 ? x : -x);
    texts.emplace_back(buffer);
  }
  for (const std::string& text : texts) {
    double expected = 0;
    std::from_chars(text.data(), text.data() + text.size(), expected);
    double value = 0;
    ASSERT_TRUE(parseMpsNumber(text, value)) << text;
    ASSERT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << text;  // same bits, the sign of zero included
  }
}

TEST(MpsNumberTest, IgnoresTheProcessLocale) {
  // A locale with a decimal comma, when the machine has one; the reading must not change.
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = old ? old : "C";
  bool switched = std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") != nullptr || std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  double v = 0;
  EXPECT_TRUE(parseMpsNumber("2.5", v));
  EXPECT_EQ(v, 2.5);
  EXPECT_FALSE(parseMpsNumber("2,5", v));
  EXPECT_TRUE(parseMpsNumber("1e999", v));
  EXPECT_EQ(v, std::numeric_limits<double>::infinity());
  std::setlocale(LC_NUMERIC, saved.c_str());
  if (!switched) GTEST_LOG_(INFO) << "no comma locale installed; checked under the current one";
}

TEST(MpsNumberTest, IntegersAreRangeChecked) {
  std::int64_t v = 0;
  EXPECT_TRUE(parseMpsInteger("-1", v));
  EXPECT_EQ(v, -1);
  EXPECT_TRUE(parseMpsInteger("+7", v));
  EXPECT_EQ(v, 7);
  EXPECT_TRUE(parseMpsInteger("9223372036854775807", v));
  EXPECT_FALSE(parseMpsInteger("9223372036854775808", v));
  EXPECT_FALSE(parseMpsInteger("99999999999999999999999", v));
  for (const char* bad : {"", "+", "1.0", "1e2", "x", "2x", "+-3", "--3"}) EXPECT_FALSE(parseMpsInteger(bad, v)) << bad;
}

TEST(MpsSectionTest, KeywordsAreExactAndCaseSensitive) {
  EXPECT_EQ(findMpsSection("NAME"), MpsSection::Name);
  EXPECT_EQ(findMpsSection("ROWS"), MpsSection::Rows);
  EXPECT_EQ(findMpsSection("QCMATRIX"), MpsSection::QcMatrix);
  EXPECT_EQ(findMpsSection("DELAYEDROWS"), MpsSection::DelayedRows);
  EXPECT_EQ(findMpsSection("ENDATA"), MpsSection::EndData);
  EXPECT_EQ(findMpsSection("PWLCON"), MpsSection::PwlCon);
  EXPECT_EQ(findMpsSection("MAX"), MpsSection::Max);
  for (const char* other : {"rows", "Rows", "ROWS2", "ROW", "", "ENDDATA", "MAXIMIZE", "RHS_V", "BOUND"}) {
    EXPECT_EQ(findMpsSection(other), MpsSection::None) << other;
  }
  for (int code = 0; code <= 24; ++code) {
    auto section = static_cast<MpsSection>(code);
    if (section == MpsSection::None) continue;
    EXPECT_EQ(findMpsSection(mpsSectionKeyword(section)), section) << code;
  }
}

}  // namespace
}  // namespace velorium

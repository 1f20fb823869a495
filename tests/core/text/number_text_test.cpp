// Numbers read and written exactly as strtod and printf do in the "C" locale.
#include "core/text/number_text.hpp"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <locale.h>
#include <string>

namespace velorium {
namespace {

// strtod in the "C" locale, whatever the process locale: the reference.
double referenceStrtod(const std::string& text, std::size_t& read) {
  static locale_t c_locale = ::newlocale(LC_ALL_MASK, "C", nullptr);
  char* end = nullptr;
  double value = ::strtod_l(text.c_str(), &end, c_locale);
  read = static_cast<std::size_t>(end - text.c_str());
  return value;
}

TEST(NumberText, DoublePrefixReadsWhatStrtodReads) {
  const char* inputs[] = {
      "0", "1", "-1", "+1.5", ".5", "5.", "-.5e1", "1e10", "1e-10", "1E+3x", "1e", "1e+", "1.5xyz", "1,5",
      "abc", "", "-", "+", ".", "+-1", "--1", "-+1", "inf", "-INF", "Infinity", "infinit", "infx", "nan",
      "-NaN", "nan(123)", "nan(", "0x1p3", "0X1.8P+1", "0x", "0xg", "0x.8", "0x.", "0x-1", "-0x10", "0x1p",
      "1e400", "-1e400", "1e-400", "-1e-400", "4.9e-324", "2.2250738585072014e-308", "1.7976931348623157e308",
      "1.8e308", "123456789012345678901234567890", "0.000000000000000000000000000001e-300",
      "1000000000000000000000000000000000000000e300", "0x1p-1080", "0x1p1024", "00012", "1e0000000000000000001",
      "1e-99999999999999999999", "0e999999", "0x-1", "0x+1", "1.7976931348623158e308", "1.7976931348623159e308",
      "2.4703282292062328e-324", "2.4703282292062327e-324", "0x1p-1074", "0x1p-1075", "0x1.fffffffffffffp1023",
      "0x1.fffffffffffff8p1023", "0x0.0000000000001p-1022"};
  for (const char* input : inputs) {
    SCOPED_TRACE(std::string("[") + input + "]");
    std::size_t expected_read = 0;
    double expected = referenceStrtod(input, expected_read);
    double value = -7.0;
    std::size_t read = parseDoublePrefix(input, value);
    EXPECT_EQ(read, expected_read);
    if (std::isnan(expected)) {
      EXPECT_TRUE(std::isnan(value));
    } else {
      EXPECT_EQ(value, expected);
      EXPECT_EQ(std::signbit(value), std::signbit(expected));
    }
  }
}

TEST(NumberText, WholeIntegersSaturateAtTheLimits) {
  struct Case {
    const char* text;
    bool ok;
    int value;
  };
  const Case cases[] = {
      {"0", true, 0},
      {"", true, 0},
      {"42", true, 42},
      {"+42", true, 42},
      {"-42", true, -42},
      {"007", true, 7},
      {"2147483647", true, 2147483647},
      {"2147483648", true, 2147483647},
      {"-2147483648", true, -2147483647 - 1},
      {"-2147483649", true, -2147483647 - 1},
      {"99999999999999999999999999", true, 2147483647},
      {"-", false, 0},
      {"+", false, 0},
      {"4 2", false, 0},
      {" 42", false, 0},
      {"42 ", false, 0},
      {"4.0", false, 0},
      {"0x10", false, 0},
      {"--1", false, 0},
      {"1e3", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("[") + c.text + "]");
    int value = 555;
    EXPECT_EQ(parseInt32Text(c.text, value), c.ok);
    EXPECT_EQ(value, c.ok ? c.value : 555);
  }
}

TEST(NumberText, FixedAndGeneralFormsMatchPrintfInTheCLocale) {
  ASSERT_STREQ(std::localeconv()->decimal_point, ".");
  const double values[] = {0.0, -0.0, 1.0, -1.0, 0.1, 2.5, 1e-5, 0.0001, 1.5e-7, 123456789.0, 1e15, 1e20,
                           1e300, -1.7976931348623157e308, 4.9e-324, 1e-320, 1234567.0, 999999.5,
                           INFINITY, -INFINITY, NAN};
  for (double value : values) {
    SCOPED_TRACE(value);
    char expected[512];
    std::snprintf(expected, sizeof expected, "%f", value);
    EXPECT_EQ(formatDoubleFixed(value), expected);
    std::snprintf(expected, sizeof expected, "%g", value);
    EXPECT_EQ(formatDoubleGeneral(value), expected);
    std::snprintf(expected, sizeof expected, "%.17g", value);
    EXPECT_EQ(formatDoubleGeneral(value, 17), expected);
  }
}

TEST(NumberText, DecimalDigitsAreAppended) {
  std::string text = "x";
  appendDecimal(text, 0);
  EXPECT_EQ(text, "x0");
  appendDecimal(text, 12);
  EXPECT_EQ(text, "x012");
  text.clear();
  appendDecimal(text, UINT64_MAX);
  EXPECT_EQ(text, "18446744073709551615");
}

}  // namespace
}  // namespace velorium

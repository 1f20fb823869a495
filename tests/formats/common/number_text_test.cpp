#include "formats/common/number_text.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "support/comma_locale.hpp"

namespace velorium {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const std::vector<double> kSampleValues = {
    0.0, -0.0, 1.0, -1.0, 2.5, 0.1, 1.0 / 3.0, 1e-5, 123456789012345678.0, 1e17, 1e16, 1e300, -1e-300,
    4.9e-324, std::numeric_limits<double>::max(), 100.0, 10.000000000000002, kInf, -kInf, kNaN, -kNaN};

std::string printed(const char* format, double value) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

TEST(NumberText, PrintsWhatPrintfPrintsInTheCLocale) {
  for (double value : kSampleValues) {
    std::string general, fixed;
    appendGeneral(general, value, 17);
    appendFixed6(fixed, value);
    EXPECT_EQ(general, printed("%.17g", value));
    EXPECT_EQ(fixed, printed("%f", value));
  }
  std::string integer;
  appendInteger(integer, -42);
  EXPECT_EQ(integer, "-42");
}

// The files print numbers with "%.15g", "%.17g" and "%+.15g"; integers take a fast path, so
// the values around its limits matter as much as the classic hard cases.
TEST(NumberText, GeneralFormsMatchPrintfOnTrickyValues) {
  const std::vector<double> tricky = {
      0.0, -0.0, 1.0, -1.0, 2.0, 0.5, 0.1, -0.1, 1.0 / 3.0, 10.0, 1e5, 123456789.0, 1e14, 999999999999999.0,
      -999999999999999.0, 1e15, 1e15 + 1.0, 1e16, 12345678901234567.0, 1e17, 1e21, -1e21, 1e22, 1e-4, 1e-5,
      1e-300, -1e-300, 4.9e-324, 2.2250738585072014e-308, std::numeric_limits<double>::max(), 0.30000000000000004,
      9.5, 99999999999999.99, 4503599627370496.5, 9007199254740993.0, -7.25e-12, kInf, -kInf, kNaN, -kNaN};
  for (double value : tricky) {
    SCOPED_TRACE(printed("%.17g", value));
    for (int precision : {15, 17}) {
      std::string general, signed_general;
      appendGeneral(general, value, precision);
      appendSignedGeneral(signed_general, value, precision);
      EXPECT_EQ(general, printed(precision == 15 ? "%.15g" : "%.17g", value));
      EXPECT_EQ(signed_general, printed(precision == 15 ? "%+.15g" : "%+.17g", value));
    }
  }
}

TEST(NumberText, GeneralFormsMatchPrintfOnRandomValues) {
  std::mt19937_64 random(20240611);
  std::uniform_int_distribution<std::uint64_t> bits;
  std::uniform_int_distribution<int> small(-100000, 100000);
  for (int i = 0; i < 20000; ++i) {
    std::uint64_t raw = bits(random);
    double any;
    std::memcpy(&any, &raw, sizeof any);
    for (double value : {any, small(random) / 8.0, small(random) * 1e-3, static_cast<double>(small(random))}) {
      std::string g15, g17;
      appendGeneral(g15, value, 15);
      appendGeneral(g17, value, 17);
      ASSERT_EQ(g15, printed("%.15g", value));
      ASSERT_EQ(g17, printed("%.17g", value));
    }
  }
}

TEST(NumberText, ParsesTheLeadingNumberAsAtofDoes) {
  struct Case {
    const char* text;
    double expected;
  };
  const std::vector<Case> cases = {
      {"2.5", 2.5},        {"  \t3", 3.0},       {"+4", 4.0},        {"-4e2", -400.0},  {".5", 0.5},
      {"5.", 5.0},         {"1e", 1.0},          {"1e+", 1.0},       {"7abc", 7.0},     {"abc", 0.0},
      {"", 0.0},           {"-", 0.0},           {"+-1", 0.0},       {"--1", 0.0},      {".", 0.0},
      {"0x10", 16.0},      {"-0X1.8p1", -3.0},   {"0x", 0.0},        {"0xg", 0.0},      {"1e999", kInf},
      {"-1e999", -kInf},   {"1e-999", 0.0},      {"inf", kInf},      {"-inf", -kInf},   {"INFINITY", kInf},
      {"2,5", 2.0},        {"1.5\r", 1.5},       {"0.10000000000000001", 0.1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseLeadingDouble(c.text), c.expected) << '"' << c.text << '"';
  }
  EXPECT_TRUE(std::isnan(parseLeadingDouble("nan")));
  EXPECT_TRUE(std::isnan(parseLeadingDouble("-nan")));
  EXPECT_TRUE(std::isnan(parseLeadingDouble("NaN(123)")));
}

TEST(NumberText, EveryPrintedValueReadsBackExactly) {
  for (double value : kSampleValues) {
    std::string text;
    appendGeneral(text, value, 17);
    const double back = parseLeadingDouble(text);
    if (std::isnan(value)) {
      EXPECT_TRUE(std::isnan(back)) << text;
    } else {
      EXPECT_EQ(back, value) << text;
      EXPECT_EQ(std::signbit(back), std::signbit(value)) << text;
    }
  }
}

TEST(NumberText, ParsingStopsAtTheGivenLength) {
  // An exactly sized heap copy without a terminator: a read past it is caught by the
  // address sanitizer, and the digits behind the length must not count.
  const std::string digits = "12345";
  auto exact = std::make_unique<char[]>(digits.size());
  std::copy(digits.begin(), digits.end(), exact.get());
  EXPECT_EQ(parseLeadingDouble(std::string_view(exact.get(), 2)), 12.0);
  EXPECT_EQ(parseLeadingDouble(std::string_view(exact.get(), digits.size())), 12345.0);
  EXPECT_EQ(parseLeadingDouble(std::string_view("1e5", 2)), 1.0);
}

TEST(NumberText, IgnoresACommaDecimalLocale) {
  test::ScopedCommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "no locale with a decimal comma could be made";
  std::string text;
  appendGeneral(text, 2.5, 17);
  text += ' ';
  appendFixed6(text, 0.25);
  EXPECT_EQ(text, "2.5 0.250000");
  EXPECT_EQ(parseLeadingDouble("2.5"), 2.5);
  EXPECT_EQ(parseLeadingDouble("2,5"), 2.0);
}

}  // namespace
}  // namespace velorium

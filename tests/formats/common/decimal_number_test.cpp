// Decimal numbers must read as a correct conversion reads them, to the bit: the writers print
// "%.17g" and every value must come back as it was. The reader's own grammar (whole fields,
// signs, names of infinity) is tested through the MPS reader's number tests.
#include "formats/common/decimal_number.hpp"

#include <gtest/gtest.h>

#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace velorium {
namespace {

void expectSameAsFullConversion(const std::string& text) {
  double expected = 0;
  std::from_chars(text.data(), text.data() + text.size(), expected);
  double value = 0;
  ASSERT_TRUE(readDecimalNumber(text, value)) << text;
  ASSERT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << text << ": " << value << " against " << expected;
}

// Decimals of up to 19 digits whose value lies exactly halfway between two doubles, or next
// to such a point: in the range of 2^63 doubles are 2048 apart.
TEST(DecimalNumberTest, ValuesAtAndNextToHalfwayPoints) {
  const std::vector<std::string> texts = {
      "9007199254740993",    "9007199254740995",    "9007199254740993.0",  "-9007199254740993",
      "9223372036854776832", "9223372036854776833", "9223372036854776831", "9223372036854778880",
      "922337203685477683.2", "92233720368547768.32e2", "0.9223372036854776832", "9.223372036854776832e-8",
      "1.0000000000000002220", "1.0000000000000001110", "1.0000000000000001111", "0.30000000000000004",
      "123456789012345678.5", "1e23",                 "8.98846567431158e307", "2.2250738585072011e-308",
  };
  for (const std::string& text : texts) expectSameAsFullConversion(text);
}

// Random doubles printed with 15 to 19 significant digits, and random mantissas of up to 19
// digits with the exponents of the fast ways and just beyond them.
TEST(DecimalNumberTest, RandomDecimalsReadAsAFullConversionReadsThem) {
  std::mt19937_64 random(20231);
  char buffer[64];
  for (int i = 0; i < 100000; ++i) {
    const double x = std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 140) - 100);
    std::snprintf(buffer, sizeof buffer, i % 2 ? "%.*g" : "%.*e", 15 + static_cast<int>(random() % 5), i % 3 ? x : -x);
    expectSameAsFullConversion(buffer);
    const std::uint64_t mantissa = random() % 10000000000000000000ull;
    const int exponent = static_cast<int>(random() % 64) - 32;
    std::snprintf(buffer, sizeof buffer, "%" PRIu64 "e%d", mantissa, exponent);
    expectSameAsFullConversion(buffer);
    std::snprintf(buffer, sizeof buffer, "0.%019" PRIu64, mantissa);
    expectSameAsFullConversion(buffer);
  }
}

// Runs of digits far longer than a count in an int must not wrap round into a small exponent.
TEST(DecimalNumberTest, HugeFieldsOfDigits) {
  std::string tiny = "0." + std::string(5000, '0') + "1";
  double value = 1;
  ASSERT_TRUE(readDecimalNumber(tiny, value));
  EXPECT_EQ(value, 0.0);
  std::string long_mantissa = "1" + std::string(400, '0') + ".5";
  ASSERT_TRUE(readDecimalNumber(long_mantissa, value));
  EXPECT_EQ(value, std::numeric_limits<double>::infinity());
  EXPECT_FALSE(readDecimalNumber(std::string(3000, '1') + "x", value));
}

// Exponents of many digits in a field short enough for the fast way (the fuzzer found the
// first one wrapping an int): each reads as a full conversion reads it.
TEST(DecimalNumberTest, ExponentsOfManyDigitsInShortFields) {
  const struct {
    const char* text;
    double expected;
  } cases[] = {
      {"1e99777777977777", std::numeric_limits<double>::infinity()},
      {"-1e9999999999999", -std::numeric_limits<double>::infinity()},
      {"1e-999999999999", 0.0},
      {"5e+0000000000001", 50.0},
      {"7e00000000000022", 7e22},
  };
  for (const auto& c : cases) {
    double value = 1;
    ASSERT_TRUE(readDecimalNumber(c.text, value)) << c.text;
    EXPECT_EQ(value, c.expected) << c.text;
  }
}

// A field of a line is read in one word when it is short: it must give what the general way
// gives, to the bit, the same fields refused, and nothing from the bytes behind it. Fields
// of the bytes numbers are made of, in every order, each followed by digits and points.
TEST(DecimalNumberTest, FieldsOfALineReadAsTheGeneralWayReadsThem) {
  std::vector<std::string> fields = {"0",        "-0",        "7",         "-7",         ".5",       "-.5",
                                     "5.",       "-5.",       ".",         "-.",         "-",        "",
                                     "12345678", "-12345678", "1234567.",  ".1234567",   "1234.567", "0.000001",
                                     "99999999", "123456789", "1.2.3",     "1..2",       "12a",      "1-2",
                                     "1e5",      "+1",        "--1",       "1234567.8",  "0.0000000", "00000000"};
  std::mt19937_64 random(977);
  const std::string alphabet = "0123456789.-+eE x";
  for (int i = 0; i < 200000; ++i) {
    std::string field(random() % 11, ' ');
    // Mostly digits and points; now and then a sign, an exponent or another byte.
    for (char& c : field) c = alphabet[random() % (random() % 4 == 0 ? alphabet.size() : 11)];
    fields.push_back(field);
  }
  for (const std::string& field : fields) {
    for (const char* behind : {"99999999", "........", "\0\0\0\0\0\0\0\0"}) {
      const std::string line = field + std::string(behind, 8);
      double general = 0;
      double of_line = 0;
      const bool general_read = readDecimalNumber(field, general);
      ASSERT_EQ(readDecimalNumberOfLine(std::string_view(line.data(), field.size()), of_line), general_read) << field;
      if (general_read) ASSERT_EQ(std::memcmp(&of_line, &general, sizeof general), 0) << field << ": " << of_line;
    }
  }
}

}  // namespace
}  // namespace velorium

#include "formats/export/number_text.hpp"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace velorium {
namespace {

std::string printfText(const char* format, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

const std::vector<double>& trickyValues() {
  static const std::vector<double> values = {
      0.0, -0.0, 1.0, -1.0, 2.0, 0.5, 0.1, -0.1, 1.0 / 3.0, 2.0 / 3.0, 10.0, 100.0, 1e5, 123456789.0,
      1e14, 999999999999999.0, 1e15, 1e15 + 1.0, 1e16, 12345678901234567.0, 1e17, 1e21, -1e21, 1e22,
      1e-4, 1.5e-4, 1e-5, 0.00012345678901234567, 1e-300, -1e-300, 5e-324, DBL_MIN, DBL_MAX, -DBL_MAX,
      0.30000000000000004, 9.5, 0.95, 99999999999999.99, 1234567.125, 4503599627370496.5,
      9007199254740993.0, 123.456, -7.25e-12, std::numeric_limits<double>::infinity(),
      -std::numeric_limits<double>::infinity(), std::nan(""), -std::nan(""), 3.14159265358979323846,
      2.718281828459045, 1e-7, 0.000001, 100000000000000000000.0};
  return values;
}

TEST(NumberText, MatchesPrintfOnTrickyValues) {
  for (double value : trickyValues()) {
    SCOPED_TRACE(printfText("%.17g", value));
    EXPECT_EQ(formatDoubleG(value, 15), printfText("%.15g", value));
    EXPECT_EQ(formatDoubleG(value, 17), printfText("%.17g", value));
    EXPECT_EQ(formatSignedDoubleG(value, 15), printfText("%+.15g", value));
    EXPECT_EQ(formatSignedDoubleG(value, 17), printfText("%+.17g", value));
  }
}

TEST(NumberText, MatchesPrintfOnRandomValues) {
  std::mt19937_64 random(20240611);
  std::uniform_int_distribution<std::uint64_t> bits;
  std::uniform_int_distribution<int> small(-100000, 100000);
  for (int i = 0; i < 20000; ++i) {
    std::uint64_t raw = bits(random);
    double any;
    std::memcpy(&any, &raw, sizeof any);
    for (double value : {any, small(random) / 8.0, small(random) * 1e-3, static_cast<double>(small(random))}) {
      ASSERT_EQ(formatDoubleG(value, 15), printfText("%.15g", value));
      ASSERT_EQ(formatDoubleG(value, 17), printfText("%.17g", value));
      ASSERT_EQ(formatSignedDoubleG(value, 15), printfText("%+.15g", value));
    }
  }
}

}  // namespace
}  // namespace velorium

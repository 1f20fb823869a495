// The exact fast path of "%.<p>g" must print what printf prints, digit for digit.
#include "formats/common/general_number_text.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "formats/common/number_text.hpp"

namespace velorium {
namespace {

std::string printed(double value, int precision) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
  return buffer;
}

// Checks the fast path where it applies, and the whole conversion in any case.
void expectPrintfText(double value, int precision) {
  char buffer[64];
  char* end = writeGeneralExactly(buffer, value, precision);
  if (end) EXPECT_EQ(std::string(buffer, end), printed(value, precision)) << "fast path, precision " << precision;
  std::string general;
  appendGeneral(general, value, precision);
  EXPECT_EQ(general, printed(value, precision)) << "precision " << precision;
}

TEST(GeneralNumberText, TiesRoundToEvenAsPrintfDoes) {
  const double ties[] = {0.5, 1.5, 2.5, 3.5, 0.125, 0.375, 0.625, 123456789012345.625, 123456789012345.375,
                         1.25, 1.75, 1e-5 + 0.5, 9.5, 99.5, 999.5, 0.25, 0.75};
  for (double value : ties) {
    for (int precision = 1; precision <= 17; ++precision) {
      SCOPED_TRACE(printed(value, 25));
      expectPrintfText(value, precision);
      expectPrintfText(-value, precision);
    }
  }
}

TEST(GeneralNumberText, ValuesAroundPowersOfTen) {
  for (int e = -8; e <= 17; ++e) {
    double power = std::pow(10.0, e);
    const double near[] = {power, std::nextafter(power, 0.0), std::nextafter(power, INFINITY), power * 0.9999999999999999,
                           power * 1.0000000000000002, power * 9.999999999999999, power * 0.5};
    for (double value : near) {
      for (int precision : {1, 2, 6, 15, 16, 17}) {
        SCOPED_TRACE(printed(value, 25));
        expectPrintfText(value, precision);
      }
    }
  }
}

TEST(GeneralNumberText, RandomValuesOverTheCoveredRange) {
  std::mt19937_64 random(12345);
  std::uniform_real_distribution<double> exponent(-8.0, 17.0);
  std::uniform_int_distribution<int> precision_of(1, 17);
  std::uniform_int_distribution<int> thousandths(-1000000, 1000000);
  int covered = 0;
  for (int i = 0; i < 200000; ++i) {
    double value = i % 2 == 0 ? std::pow(10.0, exponent(random)) : thousandths(random) / 1000.0;
    if (i % 3 == 0) value = -value;
    int precision = i % 4 == 0 ? precision_of(random) : (i % 4 == 1 ? 15 : 17);
    char buffer[64];
    char* end = writeGeneralExactly(buffer, value, precision);
    if (end) {
      ++covered;
      ASSERT_EQ(std::string(buffer, end), printed(value, precision)) << printed(value, 25) << " precision " << precision;
    }
  }
  EXPECT_GT(covered, 150000);  // the path covers the usual magnitudes
}

TEST(GeneralNumberText, LeavesOtherValuesToTheGeneralConversion) {
  char buffer[64];
  const double outside[] = {0.0, -0.0, INFINITY, -INFINITY, NAN, 5e-324, 1e300, 1e-300, 9007199254740992.0, 1e20};
  for (double value : outside) {
    EXPECT_EQ(writeGeneralExactly(buffer, value, 17), nullptr) << printed(value, 17);
  }
  EXPECT_EQ(writeGeneralExactly(buffer, 0.5, 0), nullptr);
  EXPECT_EQ(writeGeneralExactly(buffer, 0.5, 18), nullptr);
}

}  // namespace
}  // namespace velorium

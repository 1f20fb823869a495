#include "formats/common/general_number_text.hpp"

#include <bit>
#include <cstdint>
#include <cstring>

namespace velorium {

namespace {

using u128 = unsigned __int128;

constexpr int kMaxScale = 22;  // 10^22 * 2^53 still fits 128 bits

constexpr std::uint64_t kPowersOfTen[] = {1ULL,
                                          10ULL,
                                          100ULL,
                                          1000ULL,
                                          10000ULL,
                                          100000ULL,
                                          1000000ULL,
                                          10000000ULL,
                                          100000000ULL,
                                          1000000000ULL,
                                          10000000000ULL,
                                          100000000000ULL,
                                          1000000000000ULL,
                                          10000000000000ULL,
                                          100000000000000ULL,
                                          1000000000000000ULL,
                                          10000000000000000ULL,
                                          100000000000000000ULL,
                                          1000000000000000000ULL,
                                          10000000000000000000ULL};

u128 powerOfTen(int k) {
  return k <= 19 ? u128(kPowersOfTen[k]) : u128(kPowersOfTen[19]) * kPowersOfTen[k - 19];
}

// floor(m * 10^k / 2^shift): the digits of the value scaled by 10^k, and whether the rest is
// below, at or above one half.
struct Scaled {
  std::uint64_t digits;
  int rest;  // -1 below a half, 0 exactly a half, 1 above
};
Scaled scale(std::uint64_t m, int k, int shift) {
  u128 n = u128(m) * powerOfTen(k);
  u128 rest = n & ((u128(1) << shift) - 1);
  u128 half = u128(1) << (shift - 1);
  return {static_cast<std::uint64_t>(n >> shift), rest < half ? -1 : rest == half ? 0 : 1};
}

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The `count` decimal digits of `digits` (below 10^count), leading zeros included, two at a
// time.
template <typename Unsigned>
void writeDigitRun(char* text, Unsigned digits, int count) {
  int i = count;
  while (i >= 2) {
    std::memcpy(text + i - 2, kDigitPairs + 2 * (digits % 100), 2);
    digits /= 100;
    i -= 2;
  }
  if (i == 1) text[0] = static_cast<char>('0' + digits);
}

// The same for up to 19 digits: the last eight are done apart in 32-bit arithmetic, which
// lets the two halves proceed side by side.
void writeDigits(char* text, std::uint64_t digits, int count) {
  if (count <= 8) {
    writeDigitRun(text, static_cast<std::uint32_t>(digits), count);
    return;
  }
  writeDigitRun(text + count - 8, static_cast<std::uint32_t>(digits % 100000000), 8);
  writeDigitRun(text, digits / 100000000, count - 8);
}

char* writeExponent(char* out, int exponent) {
  *out++ = 'e';
  *out++ = exponent < 0 ? '-' : '+';
  unsigned magnitude = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);
  if (magnitude >= 100) *out++ = static_cast<char>('0' + magnitude / 100);
  *out++ = static_cast<char>('0' + magnitude / 10 % 10);
  *out++ = static_cast<char>('0' + magnitude % 10);
  return out;
}

}  // namespace

char* writeGeneralExactly(char* out, double value, int precision) {
  if (precision < 1 || precision > 17) return nullptr;
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  if (biased == 0 || biased == 0x7FF) return nullptr;  // zero, subnormal, infinity, NaN
  // |value| = m / 2^shift exactly.
  const std::uint64_t m = (bits & ((std::uint64_t(1) << 52) - 1)) | (std::uint64_t(1) << 52);
  const int shift = 1075 - biased;
  if (shift <= 0 || shift >= 128) return nullptr;

  // The decimal exponent of the first digit: |value| lies in [2^(52-shift), 2^(53-shift)), so
  // it is this estimate or one more; the digit count of the scaled value settles it.
  const double estimate = (52 - shift) * 0.30102999566398119521;
  int exponent = static_cast<int>(estimate);  // rounded toward zero, then down
  if (estimate < exponent) --exponent;
  int k = precision - 1 - exponent;
  if (k < 0 || k > kMaxScale) return nullptr;
  Scaled scaled = scale(m, k, shift);
  if (scaled.digits >= kPowersOfTen[precision]) {
    ++exponent;
    if (--k < 0) return nullptr;
    scaled = scale(m, k, shift);
  }
  // printf rounds the exact value to nearest, ties to even.
  std::uint64_t digits = scaled.digits;
  if (scaled.rest > 0 || (scaled.rest == 0 && (digits & 1) != 0)) ++digits;
  if (digits == kPowersOfTen[precision]) {
    digits = kPowersOfTen[precision - 1];
    ++exponent;
  }

  char text[20];
  writeDigits(text, digits, precision);
  int used = precision;
  while (used > 1 && text[used - 1] == '0') --used;  // %g drops trailing zeros

  if (value < 0) *out++ = '-';
  if (exponent < -4 || exponent >= precision) {
    *out++ = text[0];
    if (used > 1) {
      *out++ = '.';
      std::memcpy(out, text + 1, static_cast<std::size_t>(used - 1));
      out += used - 1;
    }
    return writeExponent(out, exponent);
  }
  if (exponent < 0) {
    *out++ = '0';
    *out++ = '.';
    for (int i = -1; i > exponent; --i) *out++ = '0';
    std::memcpy(out, text, static_cast<std::size_t>(used));
    return out + used;
  }
  const int whole = exponent + 1;
  if (used <= whole) {
    std::memcpy(out, text, static_cast<std::size_t>(whole));  // the zeros up to the point stay
    return out + whole;
  }
  std::memcpy(out, text, static_cast<std::size_t>(whole));
  out += whole;
  *out++ = '.';
  std::memcpy(out, text + whole, static_cast<std::size_t>(used - whole));
  return out + (used - whole);
}

}  // namespace velorium

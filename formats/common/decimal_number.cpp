#include "formats/common/decimal_number.hpp"

#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>
#include <system_error>

#include "formats/common/word_bytes.hpp"

namespace velorium {

namespace {

// Powers of ten that a double holds exactly.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

constexpr std::uint64_t kTopBits = 0x8080808080808080ull;
constexpr std::uint64_t kZeroDigits = 0x3030303030303030ull;

// The top bit of every byte of a word that is no decimal digit.
std::uint64_t nonDigitBytes(std::uint64_t word) {
  // Per byte, without carries between bytes: below '0' (the byte with its top bit set, less
  // '0', loses that bit) or above '9' (the low 7 bits plus 0x46 reach the top bit), or a top
  // bit of its own.
  const std::uint64_t below = ~((word | kTopBits) - kZeroDigits) & kTopBits;
  const std::uint64_t above = ((word & ~kTopBits) + 0x4646464646464646ull) & kTopBits;
  return below | above | (word & kTopBits);
}

// The top bit of every byte of a word that equals `byte`.
std::uint64_t bytesEqualTo(std::uint64_t word, char byte) {
  const std::uint64_t x = word ^ (0x0101010101010101ull * static_cast<unsigned char>(byte));
  return ~(((x & ~kTopBits) + ~kTopBits) | x | ~kTopBits);
}

// Fields longer than this are full-precision numbers ("%.17g") as a rule, which the short
// way would only scan to give up on; no mantissa in a field this short can wrap.
constexpr std::ptrdiff_t kLongestShortField = 16;

// The short decimals most files hold, read exactly: a mantissa below 2^53 and a decimal
// exponent within 22 make one multiplication or division by an exact power of ten, which
// rounds once, as a full conversion does. False (nothing read) for anything else, which the
// full conversion then reads. The field has at most kLongestShortField bytes.
bool readShortDecimal(const char* p, const char* last, bool negative, double& value) {
  std::uint64_t mantissa = 0;
  int digits = 0;
  int fraction_digits = 0;
  bool point = false;
  for (; p < last; ++p) {
    // One test for a digit: a byte below '0' wraps round to a large value.
    const unsigned digit = static_cast<unsigned char>(*p) - 48u;
    if (digit < 10u) {
      mantissa = mantissa * 10 + digit;
      ++digits;
      fraction_digits += point ? 1 : 0;
      continue;
    }
    if (*p != '.' || point) break;
    point = true;
  }
  if (digits == 0) return false;
  int exponent = -fraction_digits;
  if (p < last) {
    if (*p != 'e' && *p != 'E') return false;
    ++p;
    const bool negative_exponent = p < last && *p == '-';
    if (p < last && (*p == '-' || *p == '+')) ++p;
    int written = 0;
    const char* exponent_digits = p;
    // An exponent of many digits would wrap an int; past the exact powers it no longer
    // matters how far, since the full conversion reads it then.
    for (; p < last && *p >= '0' && *p <= '9'; ++p) written = written > 1000 ? written : written * 10 + (*p - '0');
    if (p == exponent_digits || p != last) return false;
    exponent += negative_exponent ? -written : written;
  }
  if (mantissa > (std::uint64_t{1} << 53) || exponent < -22 || exponent > 22) return false;
  double result = static_cast<double>(mantissa);
  result = exponent < 0 ? result / kExactPowers[-exponent] : result * kExactPowers[exponent];
  value = negative ? -result : result;
  return true;
}

// strtod under the "C" numeric locale; used only for magnitudes outside the double range,
// whose sign and direction from_chars does not report.
double readOutOfRange(std::string_view field) {
  static locale_t c_locale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
  std::string copy(field);
  if (c_locale == static_cast<locale_t>(nullptr)) return 0.0;
  return strtod_l(copy.c_str(), nullptr, c_locale);
}

}  // namespace

bool readDecimalNumber(std::string_view field, double& value) {
  const char* first = field.data();
  const char* last = first + field.size();
  if (first < last && *first == '+') {
    ++first;
    if (first < last && (*first == '+' || *first == '-')) return false;
  }
  if (first == last) return false;
  const bool negative = *first == '-';
  if (last - first <= kLongestShortField && readShortDecimal(first + (negative ? 1 : 0), last, negative, value)) return true;
  auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ptr != last) return false;
  if (ec == std::errc::result_out_of_range) {
    value = readOutOfRange(std::string_view(first, static_cast<std::size_t>(last - first)));
    return true;
  }
  return ec == std::errc();
}

bool readDecimalNumberOfLine(std::string_view field, double& value) {
  if constexpr (std::endian::native == std::endian::little) {
    const char* p = field.data();
    std::size_t size = field.size();
    const bool negative = size > 0 && *p == '-';
    if (negative) {
      ++p;
      --size;
    }
    if (size >= 1 && size <= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, sizeof word);
      const std::uint64_t own = firstBytesMask(size);
      word &= own;
      const std::uint64_t others = nonDigitBytes(word) & own & kTopBits;
      const std::uint64_t points = bytesEqualTo(word, '.') & own & kTopBits;
      // Digits and at most one point, and at least one digit.
      if (others == points && (points & (points - 1)) == 0 && !(points != 0 && size == 1)) {
        std::uint64_t digits = word;
        std::size_t count = size;
        std::size_t fraction = 0;
        if (points != 0) {
          // The point taken out: the digits behind it moved up to those before it.
          const auto at = static_cast<std::size_t>(std::countr_zero(points)) / 8;
          const std::uint64_t behind = at == 7 ? 0 : word >> (8 * (at + 1));
          digits = (word & firstBytesMask(at)) | (behind << (8 * at));
          count = size - 1;
          fraction = size - 1 - at;
        }
        // Below 10^8, so exact; one division by an exact power of ten rounds once.
        const double whole = static_cast<double>(valueOfDigits(digits, static_cast<unsigned>(count)));
        const double result = fraction == 0 ? whole : whole / kExactPowers[fraction];
        value = negative ? -result : result;
        return true;
      }
    }
  }
  return readDecimalNumber(field, value);
}

}  // namespace velorium

#include "formats/mps/mps_line.hpp"

#include <charconv>
#include <cstring>
#include <clocale>
#include <cstdlib>
#include <locale.h>
#include <string>
#include <system_error>

#include "formats/common/word_bytes.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velorium {

namespace {

// Byte classes: 0 field byte, 1 white space, 2 NUL. A table indexed by the unsigned byte
// keeps bytes above 0x7F (UTF-8 names) out of any signed-char or locale-dependent test.
struct ByteClasses {
  std::array<std::uint8_t, 256> table{};
  constexpr ByteClasses() {
    for (unsigned char c : {'\t', '\n', '\v', '\f', '\r', ' '}) table[c] = 1;
    table[0] = 2;
  }
};
constexpr ByteClasses kByteClasses;

// strtod under the "C" numeric locale; used only for magnitudes outside the double range,
// whose sign and direction from_chars does not report.
double readOutOfRange(std::string_view field) {
  static locale_t c_locale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
  std::string copy(field);
  if (c_locale == static_cast<locale_t>(nullptr)) return 0.0;
  return strtod_l(copy.c_str(), nullptr, c_locale);
}

}  // namespace

namespace {

void addField(MpsLine& line, const char* start, const char* end) {
  if (line.field_count < MpsLine::kMaxFields) {
    line.fields[line.field_count] = std::string_view(start, static_cast<std::size_t>(end - start));
  }
  ++line.field_count;
}

// Bit i of `white` set when byte i of the 16 is white space (tab, line feed, vertical tab,
// form feed, carriage return, blank); bit i of `nul` set when it is a NUL byte.
inline void classify16(const char* bytes, std::uint32_t& white, std::uint32_t& nul) {
#if defined(__SSE2__)
  const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
  const __m128i blank = _mm_cmpeq_epi8(block, _mm_set1_epi8(' '));
  // Tab, line feed, vertical tab, form feed and carriage return are 9 to 13.
  const __m128i shifted = _mm_sub_epi8(block, _mm_set1_epi8(9));
  const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(shifted, _mm_set1_epi8(4)), shifted);
  nul = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_setzero_si128())));
  white = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_or_si128(blank, control)));
#else
  white = 0;
  nul = 0;
  for (int i = 0; i < 16; ++i) {
    const std::uint8_t cls = kByteClasses.table[static_cast<unsigned char>(bytes[i])];
    if (cls == 1) white |= 1u << i;
    if (cls == 2) nul |= 1u << i;
  }
#endif
}

// Bits for the `length` (at most 64) bytes at `bytes`: white space in `white`, NUL bytes in
// `nul`; the bits past the end are clear. Unless `readable_past_end`, a last piece shorter
// than 16 bytes is copied behind blanks, so nothing past the bytes is read.
template <bool readable_past_end>
inline void classify(const char* bytes, std::size_t length, std::uint64_t& white, std::uint64_t& nul) {
  white = 0;
  nul = 0;
  if (readable_past_end) {
    // All four pieces, without a test per piece: what lies past the bytes is masked off.
    for (std::size_t piece = 0; piece < 64; piece += 16) {
      std::uint32_t piece_white = 0;
      std::uint32_t piece_nul = 0;
      classify16(bytes + piece, piece_white, piece_nul);
      white |= std::uint64_t{piece_white} << piece;
      nul |= std::uint64_t{piece_nul} << piece;
    }
    const std::uint64_t valid = lowBitsMask(length);
    white &= valid;
    nul &= valid;
    return;
  }
  for (std::size_t piece = 0; piece < length; piece += 16) {
    const char* source = bytes + piece;
    char padded[16];
    if (!readable_past_end && length - piece < 16) {
      std::memset(padded, ' ', sizeof padded);
      std::memcpy(padded, source, length - piece);
      source = padded;
    }
    std::uint32_t piece_white = 0;
    std::uint32_t piece_nul = 0;
    classify16(source, piece_white, piece_nul);
    white |= std::uint64_t{piece_white} << piece;
    nul |= std::uint64_t{piece_nul} << piece;
  }
  const std::uint64_t valid = lowBitsMask(length);
  white &= valid;
  nul &= valid;
}

// A line of at most 64 bytes with bytes past its end that may be read: one mask of white
// space, and each field's first and last byte straight from it.
void splitShortReadableLine(const char* base, std::size_t size, MpsLine& line) {
  std::uint64_t white = 0;
  std::uint64_t nul = 0;
  classify<true>(base, size, white, nul);
  const std::uint64_t valid = lowBitsMask(size);
  const std::uint64_t field_bits = ~white & valid;
  std::uint64_t starts = field_bits & ~(field_bits << 1);
  std::uint64_t ends = field_bits & ~(field_bits >> 1);
  std::size_t count = 0;
  for (; starts != 0; ++count, starts &= starts - 1, ends &= ends - 1) {
    if (count < MpsLine::kMaxFields) {
      const int first = __builtin_ctzll(starts);
      line.fields[count] = std::string_view(base + first, static_cast<std::size_t>(__builtin_ctzll(ends) - first + 1));
    }
  }
  line.field_count = count;
  line.has_nul = nul != 0;
}

template <bool readable_past_end>
void splitLine(std::string_view text, MpsLine& line) {
  line.text = text;
  line.field_count = 0;
  line.has_nul = false;
  line.indented = !text.empty() && (text.front() == ' ' || text.front() == '\t');
  // Blocks of 64 bytes give a mask of white space; fields are the runs of clear bits.
  const char* base = text.data();
  const std::size_t size = text.size();
  if (readable_past_end && size <= 64) return splitShortReadableLine(base, size, line);
  const char* field_start = nullptr;  // the open field, carried across blocks
  std::uint64_t nul_bits = 0;
  for (std::size_t offset = 0; offset < size; offset += 64) {
    const std::size_t in_block = size - offset < 64 ? size - offset : 64;
    const std::uint64_t valid = lowBitsMask(in_block);
    std::uint64_t white = 0;
    std::uint64_t nul = 0;
    classify<readable_past_end>(base + offset, in_block, white, nul);
    nul_bits |= nul;
    const std::uint64_t field_bits = ~white & valid;
    // Edges: a field starts where a field byte follows white space, and ends where white
    // space follows a field byte.
    const std::uint64_t before = (field_bits << 1) | (field_start != nullptr ? 1u : 0u);
    std::uint64_t edges = field_bits ^ before;
    while (edges != 0) {
      const int at = __builtin_ctzll(edges);
      edges &= edges - 1;
      if (field_start == nullptr) {
        field_start = base + offset + at;
      } else {
        addField(line, field_start, base + offset + at);
        field_start = nullptr;
      }
    }
  }
  if (field_start != nullptr) addField(line, field_start, base + size);
  line.has_nul = nul_bits != 0;
}

}  // namespace

void splitMpsLine(std::string_view text, MpsLine& line) { splitLine<false>(text, line); }

void splitReadableMpsLine(std::string_view text, MpsLine& line) { splitLine<true>(text, line); }

namespace {

// The common short decimals, read exactly: at most 19 digits, a value below 2^53 and a
// decimal exponent within 22 make one multiplication or division by an exact power of ten,
// which rounds once, as a full conversion would. Gives false for anything else.
bool readShortDecimal(const char* first, const char* last, double& value) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  const char* p = first;
  const bool negative = p < last && *p == '-';
  if (negative) ++p;
  // One test per byte: a byte below '0' wraps round to a large digit.
  std::uint64_t mantissa = 0;
  const char* integer_part = p;
  for (unsigned digit; p < last && (digit = static_cast<unsigned char>(*p) - 48u) < 10u; ++p) mantissa = mantissa * 10 + digit;
  std::size_t digits = static_cast<std::size_t>(p - integer_part);
  std::size_t fraction_digits = 0;
  if (p < last && *p == '.') {
    const char* fraction = ++p;
    for (unsigned digit; p < last && (digit = static_cast<unsigned char>(*p) - 48u) < 10u; ++p) mantissa = mantissa * 10 + digit;
    fraction_digits = static_cast<std::size_t>(p - fraction);
    digits += fraction_digits;
  }
  // Past 19 digits the mantissa has wrapped; such numbers take the full conversion.
  if (digits == 0 || digits > 19) return false;
  int exponent = -static_cast<int>(fraction_digits);
  if (p < last && (*p == 'e' || *p == 'E')) {
    ++p;
    const bool negative_exponent = p < last && *p == '-';
    if (p < last && (*p == '-' || *p == '+')) ++p;
    int written = 0;
    int exponent_digits = 0;
    for (; p < last && *p >= '0' && *p <= '9' && exponent_digits < 4; ++p, ++exponent_digits) written = written * 10 + (*p - '0');
    if (exponent_digits == 0) return false;
    exponent += negative_exponent ? -written : written;
  }
  if (p != last || mantissa > (std::uint64_t{1} << 53) || exponent < -22 || exponent > 22) return false;
  double result = static_cast<double>(mantissa);
  result = exponent < 0 ? result / kPowers[-exponent] : result * kPowers[exponent];
  value = negative ? -result : result;
  return true;
}

}  // namespace

bool parseMpsNumber(std::string_view field, double& value) {
  const char* first = field.data();
  const char* last = first + field.size();
  if (first < last && *first == '+') {
    ++first;
    if (first < last && (*first == '+' || *first == '-')) return false;
  }
  if (first == last) return false;
  if (readShortDecimal(first, last, value)) return true;
  auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ptr != last) return false;
  if (ec == std::errc::result_out_of_range) {
    value = readOutOfRange(std::string_view(first, static_cast<std::size_t>(last - first)));
    return true;
  }
  return ec == std::errc();
}

bool parseMpsInteger(std::string_view field, std::int64_t& value) {
  const char* first = field.data();
  const char* last = first + field.size();
  if (first < last && *first == '+') {
    ++first;
    if (first < last && *first == '-') return false;
  }
  if (first == last) return false;
  auto [ptr, ec] = std::from_chars(first, last, value, 10);
  return ec == std::errc() && ptr == last;
}

}  // namespace velorium

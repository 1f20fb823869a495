#include "formats/mps/mps_line.hpp"

#include <array>
#include <charconv>
#include <cstring>
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

// For the `size` (at most 64) bytes at `bytes`, behind which 64 more may be read: the blanks
// in `white`, and true, when the bytes hold no other byte from 0 to 0x20 (most lines: no tab,
// no control byte); else false. Only the 16-byte pieces the bytes reach are looked at.
inline bool classifyBlanksOnly(const char* bytes, std::size_t size, std::uint64_t& white) {
#if defined(__SSE2__)
  std::uint64_t blanks = 0;
  std::uint64_t low = 0;  // bytes from 0 to 0x20
  for (std::size_t piece = 0; piece < size; piece += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + piece));
    const __m128i space = _mm_set1_epi8(' ');
    blanks |= std::uint64_t{static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, space)))} << piece;
    low |= std::uint64_t{static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(block, space), block)))}
           << piece;
  }
  const std::uint64_t valid = lowBitsMask(size);
  white = blanks & valid;
  return (low & valid) == white;
#else
  (void)bytes;
  (void)size;
  (void)white;
  return false;
#endif
}

// A line of at most 64 bytes with bytes past its end that may be read: one mask of white
// space, and each field's first and last byte straight from it.
void splitShortReadableLine(const char* base, std::size_t size, MpsLine& line) {
  std::uint64_t white = 0;
  std::uint64_t nul = 0;
  if (!classifyBlanksOnly(base, size, white)) classify<true>(base, size, white, nul);
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
    if (!readable_past_end || !classifyBlanksOnly(base + offset, in_block, white)) {
      classify<readable_past_end>(base + offset, in_block, white, nul);
    }
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

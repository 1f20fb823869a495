#include "formats/common/text_lines.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cstring>

namespace velorium {

std::size_t countLineFeeds(const char* text, std::size_t length) {
  std::size_t count = 0;
  std::size_t i = 0;
#if defined(__SSE2__)
  // Per byte lane a counter of up to 255 matches (a match compares as -1), summed then.
  const __m128i feed = _mm_set1_epi8('\n');
  while (i + 16 <= length) {
    __m128i lanes = _mm_setzero_si128();
    for (int round = 0; round < 255 && i + 16 <= length; ++round, i += 16) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
      lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(block, feed));
    }
    const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
    count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) + static_cast<std::size_t>(_mm_extract_epi16(sums, 4));
  }
#endif
  for (; i < length; ++i) count += text[i] == '\n' ? 1 : 0;
  return count;
}

bool TextLines::nextLine(std::string_view& line) {
  if (text_ == nullptr || position_ >= length_) return false;
  const char* start = text_ + position_;
  const std::size_t rest = length_ - position_;
  const void* found = std::memchr(start, '\n', rest);
  std::size_t length = found != nullptr ? static_cast<const char*>(found) - start : rest;
  position_ += found != nullptr ? length + 1 : rest;
  if (length > 0 && start[length - 1] == '\r') --length;
  line = std::string_view(start, length);
  return true;
}

}  // namespace velorium

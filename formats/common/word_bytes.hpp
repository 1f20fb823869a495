// Masks for the bytes of a word loaded from memory, and the value of the digits it holds, for
// code that reads names, numbers and lines a word at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace velorium {

// Keeps the first `count` bytes of a word loaded from memory on a little-endian machine (the
// whole word from 8 bytes up).
constexpr std::uint64_t firstBytesMask(std::size_t count) {
  return count >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * count)) - 1;
}

// Up to eight bytes as one word, byte i in bits 8i to 8i + 7 (a whole word in one load); reads
// nothing past the `count` bytes.
inline std::uint64_t wordOfBytes(const char* bytes, std::size_t count) {
  std::uint64_t word = 0;
  if (count >= 8) {
    std::memcpy(&word, bytes, 8);
    return word;
  }
  for (std::size_t i = 0; i < count; ++i) word |= std::uint64_t{static_cast<unsigned char>(bytes[i])} << (8 * i);
  return word;
}

// Whether the `count` bytes at `a` and at `b` are the same; reads nothing past them. The
// texts compared are the ends of names, a few bytes as a rule, for which a call into the C
// library costs more than the comparison: whole words, the last one overlapping the one
// before where the count is no multiple of eight.
inline bool sameBytes(const char* a, const char* b, std::size_t count) {
  auto word = [](const char* bytes) {
    std::uint64_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
  };
  if (count >= 8) {
    for (std::size_t i = 0; i + 8 < count; i += 8) {
      if (word(a + i) != word(b + i)) return false;
    }
    return word(a + count - 8) == word(b + count - 8);
  }
  if (count >= 4) {
    std::uint32_t first[2];
    std::uint32_t last[2];
    std::memcpy(&first[0], a, 4);
    std::memcpy(&first[1], b, 4);
    std::memcpy(&last[0], a + count - 4, 4);
    std::memcpy(&last[1], b + count - 4, 4);
    return first[0] == first[1] && last[0] == last[1];
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// The value of the first `count` (1 to 8) bytes of `word`, decimal digits with the first in
// the lowest byte; the bytes behind them do not count. The digits move to the top behind
// zeros and are combined in pairs, fours and eights, each step by multiplications.
[[gnu::always_inline]] inline std::uint64_t valueOfDigits(std::uint64_t word, unsigned count) {
  std::uint64_t value = (word - 0x3030303030303030ull) << (8 * (8 - count));
  value = (value * 10) + (value >> 8);
  value = (((value & 0x000000FF000000FFull) * 0x000F424000000064ull) +
           (((value >> 16) & 0x000000FF000000FFull) * 0x0000271000000001ull)) >> 32;
  return value;
}

// The low `count` bits (all 64 from 64 up).
constexpr std::uint64_t lowBitsMask(std::size_t count) {
  return count >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
}

}  // namespace velorium

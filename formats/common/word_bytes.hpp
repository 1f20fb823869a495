// Masks for the bytes of a word loaded from memory, for code that reads names and lines a
// word at a time.
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

// The low `count` bits (all 64 from 64 up).
constexpr std::uint64_t lowBitsMask(std::size_t count) {
  return count >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
}

}  // namespace velorium

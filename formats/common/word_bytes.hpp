// Masks for the bytes of a word loaded from memory, for code that reads names and lines a
// word at a time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velorium {

// Keeps the first `count` bytes of a word loaded from memory on a little-endian machine (the
// whole word from 8 bytes up).
constexpr std::uint64_t firstBytesMask(std::size_t count) {
  return count >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * count)) - 1;
}

// The low `count` bits (all 64 from 64 up).
constexpr std::uint64_t lowBitsMask(std::size_t count) {
  return count >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
}

}  // namespace velorium

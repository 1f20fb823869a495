// The 64-bit FNV-1a hash of names, used by every name-keyed map of the library.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velorium {

inline constexpr std::uint64_t kFnv1aOffsetBasis = 0xcbf29ce484222325ull;
inline constexpr std::uint64_t kFnv1aPrime = 0x100000001b3ull;

// One more character of the hashed text.
constexpr std::uint64_t fnv1a_step(std::uint64_t hash, char c) noexcept {
  return (hash ^ static_cast<unsigned char>(c)) * kFnv1aPrime;
}

constexpr std::uint64_t fnv1a_hash(std::string_view text) noexcept {
  std::uint64_t hash = kFnv1aOffsetBasis;
  // Unrolled: fewer instructions per name let the processor overlap more look-ups.
#pragma GCC unroll 8
  for (char c : text) hash = fnv1a_step(hash, c);
  return hash;
}

// FNV-1a mixes its high bits well but its low bits poorly (the last byte reaches bit 0 almost
// unchanged); open-addressing tables take their slot from the low bits, so spread them first.
constexpr std::uint64_t spread_hash_bits(std::uint64_t hash) noexcept {
  hash ^= hash >> 32;
  hash *= 0x9e3779b97f4a7c15ull;
  hash ^= hash >> 29;
  return hash;
}

// Hasher for standard maps keyed by text; transparent, so a string_view finds a std::string key.
struct Fnv1aHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const noexcept { return fnv1a_hash(text); }
  std::size_t operator()(const std::string& text) const noexcept { return fnv1a_hash(text); }
  std::size_t operator()(const char* text) const noexcept { return fnv1a_hash(text); }
};

}  // namespace velorium

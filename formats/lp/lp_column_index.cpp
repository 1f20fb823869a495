#include "formats/lp/lp_column_index.hpp"

#include <bit>
#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>

#include "formats/common/word_bytes.hpp"

namespace velorium {

namespace {

constexpr std::uint64_t kInitialSlots = 256;
constexpr std::uint64_t kTailFactor = 0xc2b2ae3d27d4eb4full;

std::uint64_t readableWordOf(const char* bytes, std::size_t count) {
  std::uint64_t word;
  std::memcpy(&word, bytes, 8);
  return word & firstBytesMask(count);
}

}  // namespace

static_assert(std::endian::native == std::endian::little, "names are read a word at a time");

// A word at a time: a byte-at-a-time hash is a chain of dependent multiplications, and the
// reader hashes every name of every term. The first word as in keyOfReadable, then the rest.
template <std::uint64_t (*Word)(const char*, std::size_t)>
LpColumnIndex::Key LpColumnIndex::makeKey(const char* name, std::size_t length) {
  Key key;
  key.head = Word(name, length < 8 ? length : 8);
  std::uint64_t hash = length * kSizeFactor ^ key.head * kHeadFactor;
  for (std::size_t at = 8; at < length; at += 8) {
    hash = finishHash(hash) + Word(name + at, length - at < 8 ? length - at : 8) * kTailFactor;
  }
  key.hash = finishHash(hash);
  return key;
}

LpColumnIndex::Key LpColumnIndex::keyOfLong(const char* name, std::size_t length) {
  return makeKey<readableWordOf>(name, length);
}

LpColumnIndex::Key LpColumnIndex::keyOf(std::string_view name) { return makeKey<wordOfBytes>(name.data(), name.size()); }

// The pool keeps a name's text followed by a NUL byte, and names read here hold none.
bool LpColumnIndex::sameLongName(std::uint64_t head, std::string_view name) {
  const char* text = pooledText(head);
  return std::strncmp(text, name.data(), name.size()) == 0 && text[name.size()] == '\0';
}

std::int32_t LpColumnIndex::insert(std::string_view pooledName, const Key& key) {
  // Grown at seven eighths full: probes stay a few slots long, mostly within the two cache
  // lines that prefetch asks for, and the table stays at 14 to 28 bytes a name.
  if ((count_ + 1) * 8 > (mask_ + 1) * 7 || mask_ == 0) grow();
  const auto column = static_cast<std::int32_t>(count_);
  std::uint64_t head = key.head;
  std::uint32_t word = static_cast<std::uint32_t>(column) + 1;
  if (pooledName.size() > 8) {
    const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(pooledName.data()));
    // User-space addresses have 47 bits here (more only where a program asks for them).
    if ((address & kTagBits) != 0) throw std::length_error("a name's address leaves no room for its tag");
    head = address | (key.hash & kTagBits);
    word |= kLongName;
  }
  Slot slot;
  std::memcpy(slot.head, &head, sizeof head);
  slot.word = word;
  place(slot, key.hash);
  ++count_;
  return column;
}

void LpColumnIndex::place(const Slot& slot, std::uint64_t hash) {
  Slot* table = slots();
  std::uint64_t i = hash & mask_;
  while (table[i].word != 0) i = (i + 1) & mask_;
  table[i] = slot;
}

void LpColumnIndex::grow() {
  const std::uint64_t newCount = mask_ == 0 ? kInitialSlots : (mask_ + 1) * 2;
  if (newCount > (std::uint64_t{1} << 40)) throw std::bad_alloc();
  MappedMemory old = std::exchange(memory_, MappedMemory(static_cast<std::size_t>(newCount * sizeof(Slot))));
  const std::uint64_t oldCount = mask_ == 0 ? 0 : mask_ + 1;
  mask_ = newCount - 1;
  const Slot* oldSlots = static_cast<const Slot*>(old.data());
  for (std::uint64_t i = 0; i < oldCount; ++i) {
    const Slot& slot = oldSlots[i];
    if (slot.word == 0) continue;
    const std::uint64_t head = headOf(slot);
    // A name of up to 8 bytes is its head, zero-padded (names hold no NUL byte); a longer
    // one is read from the pool.
    const auto shortLength = static_cast<std::size_t>(64 - std::countl_zero(head) + 7) / 8;
    const Key key = (slot.word & kLongName) == 0 ? keyOf(std::string_view(reinterpret_cast<const char*>(&head), shortLength))
                                                 : keyOf(std::string_view(pooledText(head)));
    place(slot, key.hash);
  }
}

}  // namespace velorium

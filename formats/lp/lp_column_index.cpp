#include "formats/lp/lp_column_index.hpp"

#include <bit>
#include <cstring>
#include <new>
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

const char* pooledText(std::uint64_t address) { return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(address)); }

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
bool LpColumnIndex::sameLongName(const Slot& slot, std::string_view name) {
  const char* text = pooledText(slot.head);
  return std::strncmp(text, name.data(), name.size()) == 0 && text[name.size()] == '\0';
}

void LpColumnIndex::insert(std::string_view pooledName, const Key& key, std::int32_t column) {
  // Grown at seven tenths full: probes stay short, and the table stays at 16 to 23 bytes a name.
  if ((count_ + 1) * 10 > (mask_ + 1) * 7 || mask_ == 0) grow();
  Slot slot;
  slot.head = pooledName.size() <= 8 ? key.head : static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(pooledName.data()));
  slot.tag = tagOf(key, pooledName.size());
  slot.columnPlusOne = static_cast<std::uint32_t>(column) + 1;
  place(slot, key.hash);
  ++count_;
}

void LpColumnIndex::place(const Slot& slot, std::uint64_t hash) {
  Slot* table = slots();
  std::uint64_t i = hash & mask_;
  while (table[i].columnPlusOne != 0) i = (i + 1) & mask_;
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
    if (slot.columnPlusOne == 0) continue;
    const std::size_t length = slot.tag & 0xFFu;
    // A name of up to 8 bytes is its head; a longer one is read from the pool.
    const Key key = length <= 8 ? keyOf(std::string_view(reinterpret_cast<const char*>(&slot.head), length)) : keyOf(std::string_view(pooledText(slot.head)));
    place(slot, key.hash);
  }
}

}  // namespace velorium

#include "formats/common/name_index.hpp"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

#include "formats/common/word_bytes.hpp"


namespace velorium {

namespace {

constexpr std::size_t kInitialSlots = 64;

std::uint64_t mix(std::uint64_t value) {
  value ^= value >> 32;
  value *= 0xd6e8feb86659fd93ull;
  value ^= value >> 32;
  return value;
}

}  // namespace

std::uint64_t NameIndex::headHash(std::size_t size, const std::uint64_t (&head)[2]) {
  std::uint64_t hash = size * 0x165667b19e3779f9ull;
  hash ^= head[0] * 0x9e3779b97f4a7c15ull;
  hash ^= ((head[1] * 0xc2b2ae3d27d4eb4full) << 31) | ((head[1] * 0xc2b2ae3d27d4eb4full) >> 33);
  return hash;
}

// The hash works a word at a time: a byte-at-a-time hash is a long chain of dependent
// multiplications, and the reader hashes every row name of every COLUMNS pair.
template <bool readable_past_end>
NameIndex::Key NameIndex::makeKey(std::string_view name) {
  Key key;
  const std::size_t size = name.size();
  if (readable_past_end && std::endian::native == std::endian::little) {
    // Whole words, with the bytes past the name masked off: the same words as below.
    std::uint64_t words[2];
    std::memcpy(words, name.data(), sizeof words);
    key.head[0] = words[0] & firstBytesMask(size);
    key.head[1] = size <= 8 ? 0 : words[1] & firstBytesMask(size - 8);
  } else {
    key.head[0] = wordOfBytes(name.data(), std::min<std::size_t>(size, 8));
    key.head[1] = size > 8 ? wordOfBytes(name.data() + 8, std::min<std::size_t>(size - 8, 8)) : 0;
  }
  std::uint64_t hash = headHash(size, key.head);
  for (std::size_t at = kHeadBytes; at < size; at += 8) {
    hash = mix(hash) + wordOfBytes(name.data() + at, std::min<std::size_t>(size - at, 8)) * 0x9e3779b97f4a7c15ull;
  }
  key.hash = mix(hash);
  return key;
}

NameIndex::Key NameIndex::keyOf(std::string_view name) { return makeKey<false>(name); }

NameIndex::Key NameIndex::keyOfReadable(std::string_view name) { return makeKey<true>(name); }

const NameIndex::Slot& NameIndex::probeFrom(std::string_view name, const Key& key, std::size_t& i) const {
  const Slot* table = slots();
  const std::size_t mask = slot_count_ - 1;
  for (;; i = (i + 1) & mask) {
    const Slot& slot = table[i];
    if (slot.text == nullptr ||
        (slot.length == name.size() && slot.head[0] == key.head[0] && slot.head[1] == key.head[1])) {
      return slot;
    }
  }
}

std::int32_t NameIndex::findByHead(std::string_view name, const Key& key, std::size_t& slot) const {
  if (slot_count_ == 0) return kMissing;
  slot = static_cast<std::size_t>(key.hash) & (slot_count_ - 1);
  const Slot& found = probeFrom(name, key, slot);
  if (found.text == nullptr) return kMissing;
  if (name.size() <= kHeadBytes) return found.value;
  prefetchForRead(found.text + kHeadBytes);
  return kCompareRest;
}

std::int32_t NameIndex::findFrom(std::string_view name, const Key& key, std::size_t slot) const {
  const std::size_t mask = slot_count_ - 1;
  for (;; slot = (slot + 1) & mask) {
    const Slot& found = probeFrom(name, key, slot);
    if (found.text == nullptr) return kMissing;
    if (name.size() <= kHeadBytes ||
        std::memcmp(found.text + kHeadBytes, name.data() + kHeadBytes, name.size() - kHeadBytes) == 0) {
      return found.value;
    }
  }
}

std::int32_t NameIndex::find(std::string_view name, const Key& key) const {
  if (slot_count_ == 0) return kMissing;
  return findFrom(name, key, static_cast<std::size_t>(key.hash) & (slot_count_ - 1));
}

bool NameIndex::insertNew(std::string_view stored_name, std::int32_t value, const Key& key) {
  if (stored_name.size() > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
  if ((count_ + 1) * 2 > slot_count_) grow();
  std::size_t i = static_cast<std::size_t>(key.hash) & (slot_count_ - 1);
  if (findFrom(stored_name, key, i) != kMissing) return false;
  Slot slot;
  slot.text = stored_name.data();
  slot.length = static_cast<std::uint32_t>(stored_name.size());
  slot.value = value;
  slot.head[0] = key.head[0];
  slot.head[1] = key.head[1];
  place(slot, key.hash);
  ++count_;
  return true;
}

void NameIndex::place(const Slot& slot, std::uint64_t hash) {
  Slot* table = slots();
  const std::size_t mask = slot_count_ - 1;
  std::size_t i = static_cast<std::size_t>(hash) & mask;
  while (table[i].text != nullptr) i = (i + 1) & mask;
  table[i] = slot;
}

void NameIndex::grow() {
  const std::size_t new_count = slot_count_ == 0 ? kInitialSlots : slot_count_ * 2;
  MappedMemory old = std::exchange(memory_, MappedMemory(new_count * sizeof(Slot)));
  const std::size_t old_count = std::exchange(slot_count_, new_count);
  const Slot* old_slots = static_cast<const Slot*>(old.data());
  for (std::size_t i = 0; i < old_count; ++i) {
    const Slot& slot = old_slots[i];
    if (slot.text == nullptr) continue;
    // A short name is all in its slot: its hash needs no read of its text, which lies
    // elsewhere in memory.
    const std::uint64_t hash = slot.length <= kHeadBytes ? mix(headHash(slot.length, slot.head))
                                                         : keyOf(std::string_view(slot.text, slot.length)).hash;
    place(slot, hash);
  }
}

}  // namespace velorium

// A reader's per-read index from a name to a value (a row, a column, a local id).
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/base/prefetch.hpp"
#include "formats/common/mapped_memory.hpp"
#include "formats/common/word_bytes.hpp"

namespace velorium {

// Open-addressing hash table over names that live elsewhere (the pool of names, or the
// reader's own store, keeps them for the life of the index). It grows with the names of the
// file being read, so a small file costs a small table however many names the process has
// interned before. A slot holds the first bytes of its name, so a look-up of a short name
// reads one slot and nothing else.
class NameIndex {
 public:
  static constexpr std::int32_t kMissing = INT32_MIN;

  // What a look-up needs of a name: its first bytes as two words (zero-padded) and its hash.
  struct Key {
    std::uint64_t head[2];
    std::uint64_t hash;
  };
  static Key keyOf(std::string_view name) { return makeKey<false>(name); }
  // The same key for a name behind whose start at least 16 bytes may be read (a field of a
  // line that LineReader gives out): its first bytes are taken as whole words.
  static Key keyOfReadable(std::string_view name) { return makeKey<true>(name); }

  // The value stored for `name`, or kMissing.
  std::int32_t find(std::string_view name) const { return find(name, keyOf(name)); }
  // The same with the name's key already made.
  std::int32_t find(std::string_view name, const Key& key) const;
  // Asks for the slot where a look-up of `key` starts, ahead of the look-up.
  void prefetch(const Key& key) const {
    if (slot_count_ == 0) return;
    const std::size_t home = static_cast<std::size_t>(key.hash) & (slot_count_ - 1);
    const Slot* first = &slots()[home];
    prefetchForRead(first);
    // Two slots share a cache line: from the second, a look-up that goes on goes into the
    // next line. A prefetch past the end of the table is harmless: it never faults.
    if (home % kSlotsPerLine == kSlotsPerLine - 1) prefetchForRead(first + 1);
  }

  // A look-up in two steps, for a caller that overlaps the memory waits of many: the first
  // reads slots only and decides every name of up to kHeadBytes bytes; for a longer name it
  // gives kCompareRest and the slot whose length and first bytes match, and asks for that
  // slot's text, which the second step, some time later, compares.
  static constexpr std::int32_t kCompareRest = INT32_MIN + 1;
  std::int32_t findByHead(std::string_view name, const Key& key, std::size_t& slot) const {
    if (slot_count_ == 0) return kMissing;
    slot = static_cast<std::size_t>(key.hash) & (slot_count_ - 1);
    const Slot& found = probeFrom(name, key, slot);
    if (found.text == nullptr) return kMissing;
    if (name.size() <= kHeadBytes) return found.value;
    prefetchForRead(found.text + kHeadBytes);
    return kCompareRest;
  }
  std::int32_t findFrom(std::string_view name, const Key& key, std::size_t slot) const;
  // Stores `value` for `stored_name`, which must not be in the index yet and must outlive it.
  void insert(std::string_view stored_name, std::int32_t value) { insertNew(stored_name, value, keyOf(stored_name)); }
  // Stores `value` for `stored_name` (which must outlive the index) unless the name is in the
  // index already: then changes nothing and gives false. `key` is the name's key.
  bool insertNew(std::string_view stored_name, std::int32_t value, const Key& key);
  std::size_t size() const { return count_; }

 private:
  static constexpr std::size_t kHeadBytes = 16;
  static constexpr std::size_t kSlotsPerLine = 2;

  // A zero-filled slot is empty: the memory comes zeroed from the system.
  struct Slot {
    const char* text = nullptr;  // null: an empty slot
    std::uint32_t length = 0;
    std::int32_t value = 0;
    std::uint64_t head[2] = {};  // as in the name's Key
  };
  static_assert(sizeof(Slot) * kSlotsPerLine == 64);

  static std::uint64_t mix(std::uint64_t value) {
    value ^= value >> 32;
    value *= 0xd6e8feb86659fd93ull;
    value ^= value >> 32;
    return value;
  }

  // The hash of a name's length and first bytes; a name longer than kHeadBytes mixes in the rest.
  static std::uint64_t headHash(std::size_t size, const std::uint64_t (&head)[2]) {
    std::uint64_t hash = size * 0x165667b19e3779f9ull;
    hash ^= head[0] * 0x9e3779b97f4a7c15ull;
    hash ^= ((head[1] * 0xc2b2ae3d27d4eb4full) << 31) | ((head[1] * 0xc2b2ae3d27d4eb4full) >> 33);
    return hash;
  }

  // The hash works a word at a time: a byte-at-a-time hash is a long chain of dependent
  // multiplications, and the readers hash every name of a file.
  template <bool readable_past_end>
  static Key makeKey(std::string_view name) {
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

  // From slot `i` on: the first slot whose length and first bytes match, or an empty one.
  const Slot& probeFrom(std::string_view name, const Key& key, std::size_t& i) const {
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
  void place(const Slot& slot, std::uint64_t hash);
  void grow();

  Slot* slots() const { return static_cast<Slot*>(memory_.data()); }

  MappedMemory memory_;
  std::size_t slot_count_ = 0;  // a power of two, or 0
  std::size_t count_ = 0;
};

}  // namespace velorium

// The LP reader's index from a column's name to the column.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/base/prefetch.hpp"
#include "formats/common/mapped_memory.hpp"
#include "formats/common/word_bytes.hpp"

namespace velorium {

// Open addressing over 16-byte slots, so that the index of a file with millions of columns
// stays small next to the model. A slot holds a name of up to 8 bytes itself; a longer name
// is compared with its text in the pool of names, which keeps it, NUL-terminated, at one
// address for good. Names never hold a NUL byte: the reader refuses them.
class LpColumnIndex {
 public:
  static constexpr std::int32_t kMissing = -1;

  // What a look-up needs of a name, worked out once when the name is read.
  struct Key {
    std::uint64_t head;  // the first 8 bytes, zero-padded
    std::uint64_t hash;
  };
  // `name` must have 8 readable bytes behind its end (of any value).
  static Key keyOfReadable(const char* name, std::size_t length) {
    std::uint64_t head;
    std::memcpy(&head, name, sizeof head);
    if (length < 8) head &= firstBytesMask(length);
    if (length <= 8) return Key{head, finishHash(length * kSizeFactor ^ head * kHeadFactor)};
    return keyOfLong(name, length);
  }
  // The same key for any name.
  static Key keyOf(std::string_view name);

  // The column of `name`, or kMissing.
  std::int32_t find(std::string_view name, const Key& key) const {
    if (mask_ == 0) return kMissing;
    const Slot* table = slots();
    const std::uint32_t tag = tagOf(key, name.size());
    for (std::uint64_t i = key.hash & mask_;; i = (i + 1) & mask_) {
      const Slot& slot = table[i];
      if (slot.columnPlusOne == 0) return kMissing;
      if (slot.tag == tag && (name.size() <= 8 ? slot.head == key.head : sameLongName(slot, name))) {
        return static_cast<std::int32_t>(slot.columnPlusOne - 1);
      }
    }
  }
  // Asks for the slot where a look-up of `key` starts, ahead of the look-up.
  void prefetch(const Key& key) const {
    if (mask_ != 0) prefetchForRead(&slots()[key.hash & mask_]);
  }
  // Enters `column` for a name that is not in the index; `pooledName` is the name's text in
  // the pool of names (NUL-terminated there).
  void insert(std::string_view pooledName, const Key& key, std::int32_t column);
  std::size_t size() const { return count_; }

 private:
  struct Slot {
    std::uint64_t head;    // the name's bytes (up to 8), or the address of its pooled text
    std::uint32_t tag;     // the hash's upper half with the length (up to 255) in its low byte
    std::uint32_t columnPlusOne;  // 0 in an empty slot: the memory comes zeroed from the system
  };
  static_assert(sizeof(Slot) == 16);

  static constexpr std::uint64_t kSizeFactor = 0x165667b19e3779f9ull;
  static constexpr std::uint64_t kHeadFactor = 0x9e3779b97f4a7c15ull;
  static std::uint64_t finishHash(std::uint64_t value) {
    value ^= value >> 32;
    value *= 0xd6e8feb86659fd93ull;
    value ^= value >> 32;
    return value;
  }
  static Key keyOfLong(const char* name, std::size_t length);
  template <std::uint64_t (*Word)(const char*, std::size_t)>
  static Key makeKey(const char* name, std::size_t length);
  static bool sameLongName(const Slot& slot, std::string_view name);

  static std::uint32_t tagOf(const Key& key, std::size_t length) {
    return (static_cast<std::uint32_t>(key.hash >> 32) & ~0xFFu) | static_cast<std::uint32_t>(length < 255 ? length : 255);
  }
  Slot* slots() const { return static_cast<Slot*>(memory_.data()); }
  void place(const Slot& slot, std::uint64_t hash);
  void grow();

  MappedMemory memory_;
  std::uint64_t mask_ = 0;  // slot count - 1, or 0 before the first insertion
  std::size_t count_ = 0;
};

}  // namespace velorium

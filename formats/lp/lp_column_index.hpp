// The LP reader's index from a column's name to the column.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/base/prefetch.hpp"
#include "formats/common/mapped_memory.hpp"
#include "formats/common/word_bytes.hpp"

namespace velorium {

// Open addressing over 12-byte slots, so that the index of a file with millions of columns
// stays small next to the model: the reader's peak memory is the model, the pool of names and
// this index together. A slot holds a name of up to 8 bytes itself; for a longer name it
// holds the address of the name's text in the pool of names, which keeps it, NUL-terminated,
// at one address for good, with 16 bits of the name's hash in the address's unused top bits,
// so that other long names are passed over without reading their text. Names never hold a
// NUL byte: the reader refuses them.
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
    const bool isLong = name.size() > 8;
    // A short name is its head; a long one is found by its tag, then compared in the pool.
    const std::uint64_t wanted = isLong ? key.hash & kTagBits : key.head;
    const std::uint64_t compared = isLong ? kTagBits : ~std::uint64_t{0};
    const std::uint32_t kind = isLong ? kLongName : 0;
    for (std::uint64_t i = key.hash & mask_;; i = (i + 1) & mask_) {
      const Slot& slot = table[i];
      const std::uint32_t word = slot.word;
      if (word == 0) return kMissing;
      const std::uint64_t head = headOf(slot);
      if ((word & kLongName) == kind && (head & compared) == wanted && (!isLong || sameLongName(head, name))) {
        return static_cast<std::int32_t>((word & ~kLongName) - 1);
      }
    }
  }
  // Asks for the slots where a look-up of `key` starts (two cache lines: a look-up may probe
  // a few slots), ahead of the look-up.
  void prefetch(const Key& key) const {
    if (mask_ == 0) return;
    const char* home = reinterpret_cast<const char*>(&slots()[key.hash & mask_]);
    prefetchForRead(home);
    prefetchForRead(home + 64);
  }
  // Enters the next column (numbered from 0 in the order of insertion) for a name that is not
  // in the index and returns it; `pooledName` is the name's text in the pool of names
  // (NUL-terminated there).
  std::int32_t insert(std::string_view pooledName, const Key& key);
  std::size_t size() const { return count_; }

 private:
  struct Slot {
    std::uint32_t head[2];  // the name's bytes (up to 8), or the tag and the address of its pooled text
    std::uint32_t word;     // the column plus one, with kLongName; 0 in an empty slot (the memory comes zeroed)
  };
  static_assert(sizeof(Slot) == 12);
  static constexpr std::uint32_t kLongName = 0x80000000u;  // columns stay below 2^31 - 1
  static constexpr std::uint64_t kTagBits = 0xFFFF000000000000ull;  // above the 48 bits of an address

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
  // `head` holds the tag and the address of a pooled text.
  static bool sameLongName(std::uint64_t head, std::string_view name);
  static const char* pooledText(std::uint64_t head) {
    return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(head & ~kTagBits));
  }
  static std::uint64_t headOf(const Slot& slot) {
    std::uint64_t head;
    std::memcpy(&head, slot.head, sizeof head);
    return head;
  }

  Slot* slots() const { return static_cast<Slot*>(memory_.data()); }
  void place(const Slot& slot, std::uint64_t hash);
  void grow();

  MappedMemory memory_;
  std::uint64_t mask_ = 0;  // slot count - 1, or 0 before the first insertion
  std::size_t count_ = 0;
};

}  // namespace velorium

// A reader's per-read index from a name to a value (a row, a column, a local id).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/base/prefetch.hpp"
#include "formats/common/mapped_memory.hpp"

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
  static Key keyOf(std::string_view name);
  // The same key for a name behind whose start at least 16 bytes may be read (a field of a
  // line that LineReader gives out): its first bytes are taken as whole words.
  static Key keyOfReadable(std::string_view name);

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
  std::int32_t findByHead(std::string_view name, const Key& key, std::size_t& slot) const;
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

  template <bool readable_past_end>
  static Key makeKey(std::string_view name);
  // The hash of a name's length and first bytes; a name longer than kHeadBytes mixes in the rest.
  static std::uint64_t headHash(std::size_t size, const std::uint64_t (&head)[2]);
  // From slot `i` on: the first slot whose length and first bytes match, or an empty one.
  const Slot& probeFrom(std::string_view name, const Key& key, std::size_t& i) const;
  void place(const Slot& slot, std::uint64_t hash);
  void grow();

  Slot* slots() const { return static_cast<Slot*>(memory_.data()); }

  MappedMemory memory_;
  std::size_t slot_count_ = 0;  // a power of two, or 0
  std::size_t count_ = 0;
};

}  // namespace velorium

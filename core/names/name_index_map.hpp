// A map from a pooled name's id to a 32-bit number (a store index): the name indexes of the
// model store.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/names/table_memory.hpp"

namespace velorium {

// Keyed by the pool's id of a name rather than its text: the pool has found the text's id
// already (an addition interns its name, a look-up asks the pool first), so a name costs one
// hash look-up of its text in all, and the map compares 4-byte ids, never texts.
//
// Open addressing and backward-shift removal, so look-ups, insertions and removals are O(1)
// amortised and removals leave no tombstones. The slots form blocks of eight (a cache line
// when the table is aligned): eight consecutive ids share a home block, placed by a hash of
// id / 8, each at its own place in it (the id's rest rotated by that hash). The names of a
// model that are interned one after another get consecutive ids, so adding them writes the
// table block by block instead of at a random place each. A probe steps nine slots at a time,
// to the next place of the next block: it stays near home, and as every step is odd it visits
// every slot, with the short runs of probing by a hash per id.
class NameIndexMap {
 public:
  NameIndexMap() = default;
  NameIndexMap(const NameIndexMap&) = delete;
  NameIndexMap& operator=(const NameIndexMap&) = delete;

  // The number stored under the name of `name_id`, or null.
  const std::int32_t* find(std::uint32_t name_id) const noexcept;
  // Sets the number of `name_id`, adding it when it is not there.
  void assign(std::uint32_t name_id, std::int32_t value);
  // Removes `name_id`; true when it was there.
  bool erase(std::uint32_t name_id) noexcept;
  // Removes `name_id` only while it maps to `value`; true when it was removed.
  bool erase_if_maps_to(std::uint32_t name_id, std::int32_t value) noexcept;

  // Makes room for `count` names without growing again.
  void reserve(std::size_t count);
  void clear() noexcept;
  std::size_t size() const noexcept { return used_; }

 private:
  static constexpr unsigned kBlockBits = 3;
  static constexpr std::size_t kBlock = std::size_t{1} << kBlockBits;
  static constexpr std::size_t kStep = kBlock + 1;

  struct Slot {
    std::uint32_t id_plus_one;  // 0 for an empty slot
    std::int32_t value;
  };
  static_assert(sizeof(Slot) == 8);

  std::size_t home_of(std::uint32_t name_id) const noexcept;
  // The number of probe steps from slot `from` forward to slot `to`.
  std::size_t steps(std::size_t from, std::size_t to) const noexcept;
  // The slot of `name_id`, or the empty slot where it would go.
  std::size_t find_slot(std::uint32_t name_id) const noexcept;
  void remove_at(std::size_t at) noexcept;
  void rehash(std::size_t capacity);

  TableArray<Slot> slots_;
  std::size_t capacity_ = 0;  // a power of two of at least 8, or 0 before the first insertion
  std::size_t used_ = 0;
};

// Removes the name of `name_id` from a name index; 1 when an entry was removed, 0 when it was
// not there.
int erase_name(NameIndexMap& map, std::uint32_t name_id) noexcept;

}  // namespace velorium

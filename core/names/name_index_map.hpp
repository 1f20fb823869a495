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
// Open addressing with linear probing and backward-shift removal, so look-ups, insertions and
// removals are O(1) amortised and removals leave no tombstones. Eight consecutive ids share
// one neighbourhood of eight slots (one cache line when the table is aligned), placed by a
// hash of id / 8: the names of a model that are interned one after another get consecutive
// ids, so adding them writes the table line by line instead of at a random place each.
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
  static constexpr unsigned kNeighbourhoodBits = 3;

  struct Slot {
    std::uint32_t id_plus_one;  // 0 for an empty slot
    std::int32_t value;
  };
  static_assert(sizeof(Slot) == 8);

  std::size_t home_of(std::uint32_t name_id) const noexcept;
  std::size_t find_slot(std::uint32_t name_id) const noexcept;  // capacity_ when absent
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

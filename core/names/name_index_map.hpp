// A map from a pooled name's id to a 32-bit number (a store index): the name indexes of the
// model store.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/names/table_memory.hpp"

namespace velorium {

// Keyed by the pool's id of a name rather than its text: the pool has found the text's id
// already (an addition interns its name, a look-up asks the pool first), so a name costs one
// hash look-up of its text in all, and the map compares 4-byte ids, never texts. The numbers
// stored are not negative (store indices).
//
// Two parts. The names of a model are mostly interned one after another, so their ids mostly
// follow each other: the run holds a range of ids directly, a number per id (-1 for an id not
// in the map), as long as at least a quarter of the range is in the map; it costs 4 to 16
// bytes a name and no hashing. Every other id goes to the hashed part. An id is in one part
// only: the run reaches over no id of the hashed part.
//
// The hashed part: open addressing and backward-shift removal, so look-ups, insertions and
// removals are O(1) amortised and removals leave no tombstones. The slots form blocks of eight
// (a cache line when the table is aligned): eight consecutive ids share a home block, placed
// by a hash of id / 8, each at its own place in it (the id's rest rotated by that hash), so
// that runs of ids the run could not take are still written block by block. A probe steps
// nine slots at a time, to the next place of the next block: it stays near home, and as every
// step is odd it visits every slot, with the short runs of probing by a hash per id.
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

  // Makes room for `count` names in all: up to that many, assign allocates nothing and
  // cannot fail.
  void reserve(std::size_t count);
  void clear() noexcept;
  std::size_t size() const noexcept { return run_used_ + used_; }

 private:
  static constexpr unsigned kBlockBits = 3;
  static constexpr std::size_t kBlock = std::size_t{1} << kBlockBits;
  static constexpr std::size_t kStep = kBlock + 1;
  static constexpr std::int32_t kAbsent = -1;
  // The run's range may be this many times the ids it holds.
  static constexpr std::size_t kRunSpread = 4;

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
  // Makes the hashed part hold room for `count` ids.
  void reserve_hashed(std::size_t count);

  // The run's number for `name_id`, or null outside its range.
  std::int32_t* in_run(std::uint32_t name_id) noexcept {
    const std::uint32_t offset = name_id - run_first_;
    return offset < run_.size() ? &run_[offset] : nullptr;
  }
  const std::int32_t* in_run(std::uint32_t name_id) const noexcept {
    return const_cast<NameIndexMap*>(this)->in_run(name_id);
  }
  // Stretches the run's range to reach `name_id` (an id in neither part) when the range stays
  // dense enough, reaches over no hashed id and the memory can be had; false otherwise.
  bool stretch_run_to(std::uint32_t name_id) noexcept;

  std::vector<std::int32_t> run_;  // ids run_first_ .. run_first_ + size - 1
  std::uint32_t run_first_ = 0;
  std::size_t run_used_ = 0;

  TableArray<Slot> slots_;
  std::size_t capacity_ = 0;  // a power of two of at least 8, or 0 before the first insertion
  std::size_t used_ = 0;
  // Bounds of every id the hashed part took since it was last emptied (its removals aside).
  std::uint32_t hashed_lowest_ = UINT32_MAX;
  std::uint32_t hashed_highest_ = 0;
};

// Removes the name of `name_id` from a name index; 1 when an entry was removed, 0 when it was
// not there.
int erase_name(NameIndexMap& map, std::uint32_t name_id) noexcept;

}  // namespace velorium

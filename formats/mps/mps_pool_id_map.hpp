// The MPS reader's map from pool ids of column names to column indexes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velorium {

// Ids that the pool hands out during one reading follow each other from the pool's size at
// its start, so they index a plain table; ids the pool held before (names that another model
// uses too) go to a small hash table. Both grow with the file, not with the pool.
class MpsPoolIdMap {
 public:
  static constexpr std::int32_t kMissing = -1;

  explicit MpsPoolIdMap(std::uint32_t first_new_id) : first_new_id_(first_new_id) {}

  // The value set for `id`, or kMissing (also for a negative id).
  std::int32_t get(std::int32_t id) const;
  // Sets the value of a non-negative id.
  void set(std::int32_t id, std::int32_t value);

 private:
  struct Slot {
    std::uint32_t id_plus_one = 0;  // 0: an empty slot
    std::int32_t value = 0;
  };

  void growOld();

  std::uint32_t first_new_id_;
  std::vector<std::int32_t> new_ids_;  // by id - first_new_id_
  std::vector<Slot> old_ids_;
  std::size_t old_count_ = 0;
};

}  // namespace velorium

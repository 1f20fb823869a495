// The rows that the current COLUMNS column has an entry in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velorium {

// A small hash set of row indexes, emptied at the start of each column in constant time (by
// a new generation), so that a repeated row of one column is found without touching any
// per-row memory. It grows with the largest column, not with the number of rows.
class MpsRowSet {
 public:
  void clear() {
    if (++generation_ == 0) {  // after 2^32 clears, start over with truly empty slots
      slots_.assign(slots_.size(), Slot{});
      generation_ = 1;
    }
    count_ = 0;
  }

  // Adds `row`; false when it was there already.
  bool insert(std::int32_t row) {
    if ((count_ + 1) * 2 > slots_.size()) grow();
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = slotOf(row, mask);; i = (i + 1) & mask) {
      Slot& slot = slots_[i];
      if (slot.generation != generation_) {
        slot = Slot{row, generation_};
        ++count_;
        return true;
      }
      if (slot.row == row) return false;
    }
  }

 private:
  struct Slot {
    std::int32_t row = 0;
    std::uint32_t generation = 0;  // the slot is in use when it equals the set's generation
  };

  static std::size_t slotOf(std::int32_t row, std::size_t mask) {
    return static_cast<std::size_t>((static_cast<std::uint64_t>(static_cast<std::uint32_t>(row)) * 0x9e3779b97f4a7c15ull) >> 32) &
           mask;
  }
  void grow();

  std::vector<Slot> slots_;
  std::size_t count_ = 0;
  std::uint32_t generation_ = 1;
};

}  // namespace velorium

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
  bool insert(std::int32_t row);

 private:
  struct Slot {
    std::int32_t row = 0;
    std::uint32_t generation = 0;  // the slot is in use when it equals the set's generation
  };

  void grow();

  std::vector<Slot> slots_;
  std::size_t count_ = 0;
  std::uint32_t generation_ = 1;
};

}  // namespace velorium

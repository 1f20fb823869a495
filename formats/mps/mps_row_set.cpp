#include "formats/mps/mps_row_set.hpp"

namespace velorium {

void MpsRowSet::grow() {
  constexpr std::size_t kInitialSlots = 32;
  std::vector<Slot> old(slots_.empty() ? kInitialSlots : slots_.size() * 2);
  old.swap(slots_);
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.generation != generation_) continue;
    std::size_t i = slotOf(slot.row, mask);
    while (slots_[i].generation == generation_) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

}  // namespace velorium

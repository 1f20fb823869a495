#include "formats/mps/mps_row_set.hpp"

namespace velorium {

namespace {

constexpr std::size_t kInitialSlots = 32;

std::size_t slotOf(std::int32_t row, std::size_t mask) {
  return static_cast<std::size_t>((static_cast<std::uint64_t>(static_cast<std::uint32_t>(row)) * 0x9e3779b97f4a7c15ull) >> 32) &
         mask;
}

}  // namespace

bool MpsRowSet::insert(std::int32_t row) {
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

void MpsRowSet::grow() {
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

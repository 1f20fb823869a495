#include "formats/mps/mps_pool_id_map.hpp"

namespace velorium {

namespace {

constexpr std::size_t kInitialSlots = 64;

std::size_t slotOf(std::uint32_t id, std::size_t mask) {
  return static_cast<std::size_t>((std::uint64_t{id} * 0x9e3779b97f4a7c15ull) >> 32) & mask;
}

}  // namespace

std::int32_t MpsPoolIdMap::get(std::int32_t id) const {
  if (id < 0) return kMissing;
  const auto key = static_cast<std::uint32_t>(id);
  if (key >= first_new_id_) {
    const std::size_t at = key - first_new_id_;
    return at < new_ids_.size() ? new_ids_[at] : kMissing;
  }
  if (old_ids_.empty()) return kMissing;
  const std::size_t mask = old_ids_.size() - 1;
  for (std::size_t i = slotOf(key, mask);; i = (i + 1) & mask) {
    if (old_ids_[i].id_plus_one == 0) return kMissing;
    if (old_ids_[i].id_plus_one == key + 1) return old_ids_[i].value;
  }
}

void MpsPoolIdMap::set(std::int32_t id, std::int32_t value) {
  const auto key = static_cast<std::uint32_t>(id);
  if (key >= first_new_id_) {
    const std::size_t at = key - first_new_id_;
    if (at >= new_ids_.size()) new_ids_.resize(at + 1, kMissing);
    new_ids_[at] = value;
    return;
  }
  if ((old_count_ + 1) * 2 > old_ids_.size()) growOld();
  const std::size_t mask = old_ids_.size() - 1;
  std::size_t i = slotOf(key, mask);
  while (old_ids_[i].id_plus_one != 0 && old_ids_[i].id_plus_one != key + 1) i = (i + 1) & mask;
  if (old_ids_[i].id_plus_one == 0) ++old_count_;
  old_ids_[i] = Slot{key + 1, value};
}

void MpsPoolIdMap::growOld() {
  std::vector<Slot> old(old_ids_.empty() ? kInitialSlots : old_ids_.size() * 2);
  old.swap(old_ids_);
  const std::size_t mask = old_ids_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.id_plus_one == 0) continue;
    std::size_t i = slotOf(slot.id_plus_one - 1, mask);
    while (old_ids_[i].id_plus_one != 0) i = (i + 1) & mask;
    old_ids_[i] = slot;
  }
}

}  // namespace velorium

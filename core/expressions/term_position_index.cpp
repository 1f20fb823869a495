#include "core/expressions/term_position_index.hpp"

#include <algorithm>

namespace velorium::cpp_impl {

namespace {

// Spreads the bits of a key (variable indexes are small and dense) over the whole word.
inline std::uint64_t spread(std::uint64_t key) noexcept {
  key ^= key >> 30;
  key *= 0xbf58476d1ce4e5b9ULL;
  key ^= key >> 27;
  key *= 0x94d049bb133111ebULL;
  key ^= key >> 31;
  return key;
}

constexpr std::size_t kFirstCapacity = 16;

}  // namespace

std::size_t TermPositionIndex::slot_of(std::uint64_t key) const noexcept {
  if (capacity_ == 0) return capacity_;
  const std::size_t mask = capacity_ - 1;
  for (std::size_t at = spread(key) & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (slot.position == -1) return capacity_;
    if (slot.key == key) return at;
  }
}

std::int32_t TermPositionIndex::first(std::uint64_t key) const noexcept {
  const std::size_t at = slot_of(key);
  if (at == capacity_) return -1;
  const std::int32_t position = slots_[at].position;
  if (position != kRepeated) return position;
  const auto found = repeated_.find(key);
  return found == repeated_.end() || found->second.empty() ? -1 : found->second.front();
}

std::span<const std::int32_t> TermPositionIndex::all(std::uint64_t key) const noexcept {
  const std::size_t at = slot_of(key);
  if (at == capacity_) return {};
  if (slots_[at].position != kRepeated) return {&slots_[at].position, 1};
  const auto found = repeated_.find(key);
  if (found == repeated_.end()) return {};
  return {found->second.data(), found->second.size()};
}

void TermPositionIndex::insert_slot(std::uint64_t key, std::int32_t position) {
  // Kept at most half full, so probe runs stay short.
  if ((used_ + 1) * 2 > capacity_) rehash(capacity_ ? capacity_ * 2 : kFirstCapacity);
  const std::size_t mask = capacity_ - 1;
  std::size_t at = spread(key) & mask;
  while (slots_[at].position != -1) at = (at + 1) & mask;
  slots_[at] = Slot{key, position};
  ++used_;
}

void TermPositionIndex::remove_slot(std::size_t at) noexcept {
  // Backward shift: later members of the probe run move up, so no tombstones are left.
  const std::size_t mask = capacity_ - 1;
  std::size_t hole = at;
  for (std::size_t next = (hole + 1) & mask; slots_[next].position != -1; next = (next + 1) & mask) {
    const std::size_t home = spread(slots_[next].key) & mask;
    // The member at `next` may fill the hole when its home is not in (hole, next].
    const bool home_after_hole = hole <= next ? (home > hole && home <= next) : (home > hole || home <= next);
    if (!home_after_hole) {
      slots_[hole] = slots_[next];
      hole = next;
    }
  }
  slots_[hole].position = -1;
  --used_;
}

void TermPositionIndex::rehash(std::size_t capacity) {
  std::unique_ptr<Slot[]> old = std::move(slots_);
  const std::size_t old_capacity = capacity_;
  slots_ = std::make_unique<Slot[]>(capacity);
  for (std::size_t i = 0; i < capacity; ++i) slots_[i].position = -1;
  capacity_ = capacity;
  used_ = 0;
  for (std::size_t i = 0; i < old_capacity; ++i) {
    if (old[i].position != -1) insert_slot(old[i].key, old[i].position);
  }
}

void TermPositionIndex::add_last(std::uint64_t key, std::int32_t position) {
  const std::size_t at = slot_of(key);
  if (at == capacity_) {
    insert_slot(key, position);
    return;
  }
  Slot& slot = slots_[at];
  if (slot.position == kRepeated) {
    repeated_[key].push_back(position);
    return;
  }
  repeated_[key] = {slot.position, position};
  slot.position = kRepeated;
}

void TermPositionIndex::erase(std::uint64_t key, std::int32_t position) noexcept {
  const std::size_t at = slot_of(key);
  if (at == capacity_) return;
  Slot& slot = slots_[at];
  if (slot.position != kRepeated) {
    if (slot.position == position) remove_slot(at);
    return;
  }
  auto found = repeated_.find(key);
  if (found == repeated_.end()) return;
  std::vector<std::int32_t>& positions = found->second;
  const auto it = std::lower_bound(positions.begin(), positions.end(), position);
  if (it == positions.end() || *it != position) return;
  positions.erase(it);
  if (positions.size() == 1) {
    slot.position = positions.front();
    repeated_.erase(found);
  }
}

void TermPositionIndex::move(std::uint64_t key, std::int32_t from, std::int32_t to) {
  const std::size_t at = slot_of(key);
  if (at == capacity_) return;
  Slot& slot = slots_[at];
  if (slot.position != kRepeated) {
    if (slot.position == from) slot.position = to;
    return;
  }
  std::vector<std::int32_t>& positions = repeated_[key];
  const auto it = std::lower_bound(positions.begin(), positions.end(), from);
  if (it == positions.end() || *it != from) return;
  positions.erase(it);
  positions.insert(std::lower_bound(positions.begin(), positions.end(), to), to);
}

void TermPositionIndex::clear() noexcept {
  slots_.reset();
  capacity_ = 0;
  used_ = 0;
  repeated_.clear();
}

void TermPositionIndex::reserve(std::size_t count) {
  std::size_t capacity = capacity_ ? capacity_ : kFirstCapacity;
  while (count * 2 > capacity) capacity *= 2;
  if (capacity != capacity_) rehash(capacity);
}

}  // namespace velorium::cpp_impl

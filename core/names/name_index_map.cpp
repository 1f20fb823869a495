#include "core/names/name_index_map.hpp"

#include <algorithm>
#include <bit>

#include "core/names/fnv1a_hash.hpp"

namespace velorium {

namespace {

// The inverse of an odd number modulo 2^64 (Newton's iteration, each round doubling the bits
// that are right), so that a distance in slots turns into a number of steps.
constexpr std::uint64_t inverse_of_odd(std::uint64_t odd) noexcept {
  std::uint64_t inverse = odd;  // right in the lowest 3 bits
  for (int round = 0; round < 5; ++round) inverse *= 2 - odd * inverse;
  return inverse;
}

}  // namespace

std::size_t NameIndexMap::steps(std::size_t from, std::size_t to) const noexcept {
  constexpr std::uint64_t kInverseStep = inverse_of_odd(kStep);
  static_assert(kInverseStep * kStep == 1);
  return static_cast<std::size_t>((to - from) * kInverseStep) & (capacity_ - 1);
}

std::size_t NameIndexMap::home_of(std::uint32_t name_id) const noexcept {
  const std::uint64_t hash = spread_hash_bits(name_id >> kBlockBits);
  const std::uint64_t place = (name_id + hash) & (kBlock - 1);
  return static_cast<std::size_t>((hash & ~std::uint64_t{kBlock - 1}) | place) & (capacity_ - 1);
}

std::size_t NameIndexMap::find_slot(std::uint32_t name_id) const noexcept {
  const std::size_t mask = capacity_ - 1;
  const std::uint32_t key = name_id + 1;
  for (std::size_t at = home_of(name_id);; at = (at + kStep) & mask) {
    const std::uint32_t held = slots_[at].id_plus_one;
    if (held == key || held == 0) return at;
  }
}

const std::int32_t* NameIndexMap::find(std::uint32_t name_id) const noexcept {
  if (used_ == 0) return nullptr;
  const Slot& slot = slots_[find_slot(name_id)];
  return slot.id_plus_one == 0 ? nullptr : &slot.value;
}

void NameIndexMap::rehash(std::size_t capacity) {
  TableArray<Slot> old = allocate_table<Slot>(capacity);
  old.swap(slots_);
  const std::size_t old_capacity = capacity_;
  capacity_ = capacity;
  for (std::size_t i = 0; i < old_capacity; ++i) {
    if (old[i].id_plus_one != 0) slots_[find_slot(old[i].id_plus_one - 1)] = old[i];
  }
}

void NameIndexMap::reserve(std::size_t count) {
  // At most half full, so a miss stops after a few probes.
  const std::size_t wanted = std::bit_ceil(std::max(kBlock, count * 2));
  if (wanted > capacity_) rehash(wanted);
}

void NameIndexMap::assign(std::uint32_t name_id, std::int32_t value) {
  reserve(used_ + 1);  // first, so that the slot found below stays valid
  Slot& slot = slots_[find_slot(name_id)];
  if (slot.id_plus_one == 0) {
    slot.id_plus_one = name_id + 1;
    ++used_;
  }
  slot.value = value;
}

void NameIndexMap::remove_at(std::size_t at) noexcept {
  // Backward shift along the probe sequence: pull later members into the hole when the hole
  // lies between their home slot and where they sit.
  const std::size_t mask = capacity_ - 1;
  std::size_t hole = at;
  for (std::size_t next = (hole + kStep) & mask; slots_[next].id_plus_one != 0; next = (next + kStep) & mask) {
    const std::size_t home = home_of(slots_[next].id_plus_one - 1);
    if (steps(home, next) >= steps(hole, next)) {
      slots_[hole] = slots_[next];
      hole = next;
    }
  }
  slots_[hole].id_plus_one = 0;
  --used_;
}

bool NameIndexMap::erase(std::uint32_t name_id) noexcept {
  if (used_ == 0) return false;
  const std::size_t at = find_slot(name_id);
  if (slots_[at].id_plus_one == 0) return false;
  remove_at(at);
  return true;
}

bool NameIndexMap::erase_if_maps_to(std::uint32_t name_id, std::int32_t value) noexcept {
  if (used_ == 0) return false;
  const std::size_t at = find_slot(name_id);
  if (slots_[at].id_plus_one == 0 || slots_[at].value != value) return false;
  remove_at(at);
  return true;
}

void NameIndexMap::clear() noexcept {
  slots_.reset();
  capacity_ = 0;
  used_ = 0;
}

int erase_name(NameIndexMap& map, std::uint32_t name_id) noexcept { return map.erase(name_id) ? 1 : 0; }

}  // namespace velorium

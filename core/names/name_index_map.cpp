#include "core/names/name_index_map.hpp"

#include <algorithm>
#include <bit>

#include "core/names/fnv1a_hash.hpp"

namespace velorium {

std::size_t NameIndexMap::home_of(std::uint32_t name_id) const noexcept {
  constexpr std::uint32_t kInNeighbourhood = (1u << kNeighbourhoodBits) - 1;
  const std::uint64_t neighbourhood = spread_hash_bits(name_id >> kNeighbourhoodBits);
  return static_cast<std::size_t>((neighbourhood << kNeighbourhoodBits) | (name_id & kInNeighbourhood)) &
         (capacity_ - 1);
}

std::size_t NameIndexMap::find_slot(std::uint32_t name_id) const noexcept {
  const std::size_t mask = capacity_ - 1;
  const std::uint32_t key = name_id + 1;
  for (std::size_t at = home_of(name_id);; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (slot.id_plus_one == key) return at;
    if (slot.id_plus_one == 0) return capacity_;
  }
}

const std::int32_t* NameIndexMap::find(std::uint32_t name_id) const noexcept {
  if (used_ == 0) return nullptr;
  const std::size_t at = find_slot(name_id);
  return at == capacity_ ? nullptr : &slots_[at].value;
}

void NameIndexMap::rehash(std::size_t capacity) {
  TableArray<Slot> old = allocate_table<Slot>(capacity);
  old.swap(slots_);
  const std::size_t old_capacity = capacity_;
  capacity_ = capacity;
  const std::size_t mask = capacity - 1;
  for (std::size_t i = 0; i < old_capacity; ++i) {
    if (old[i].id_plus_one == 0) continue;
    std::size_t at = home_of(old[i].id_plus_one - 1);
    while (slots_[at].id_plus_one != 0) at = (at + 1) & mask;
    slots_[at] = old[i];
  }
}

void NameIndexMap::reserve(std::size_t count) {
  // At most half full, so a miss stops after a few probes.
  const std::size_t wanted = std::bit_ceil(std::max<std::size_t>(std::size_t{1} << kNeighbourhoodBits, count * 2));
  if (wanted > capacity_) rehash(wanted);
}

void NameIndexMap::assign(std::uint32_t name_id, std::int32_t value) {
  if (used_ != 0) {
    const std::size_t at = find_slot(name_id);
    if (at != capacity_) {
      slots_[at].value = value;
      return;
    }
  }
  reserve(used_ + 1);
  const std::size_t mask = capacity_ - 1;
  std::size_t at = home_of(name_id);
  while (slots_[at].id_plus_one != 0) at = (at + 1) & mask;
  slots_[at] = {name_id + 1, value};
  ++used_;
}

void NameIndexMap::remove_at(std::size_t at) noexcept {
  // Backward shift: pull later members of the probe run into the hole when the hole lies
  // between their home slot and where they sit.
  const std::size_t mask = capacity_ - 1;
  std::size_t hole = at;
  for (std::size_t next = (hole + 1) & mask; slots_[next].id_plus_one != 0; next = (next + 1) & mask) {
    const std::size_t home = home_of(slots_[next].id_plus_one - 1);
    if (((next - home) & mask) >= ((next - hole) & mask)) {
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
  if (at == capacity_) return false;
  remove_at(at);
  return true;
}

bool NameIndexMap::erase_if_maps_to(std::uint32_t name_id, std::int32_t value) noexcept {
  if (used_ == 0) return false;
  const std::size_t at = find_slot(name_id);
  if (at == capacity_ || slots_[at].value != value) return false;
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

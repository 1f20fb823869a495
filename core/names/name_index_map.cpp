#include "core/names/name_index_map.hpp"

#include <bit>

#include "core/names/fnv1a_hash.hpp"

namespace velorium {

namespace {
std::uint32_t hash_of(std::string_view name) noexcept {
  return static_cast<std::uint32_t>(spread_hash_bits(fnv1a_hash(name)));
}
}  // namespace

std::size_t NameIndexMap::find_slot(std::string_view name, std::uint32_t hash) const noexcept {
  if (capacity_ == 0) return 0;
  const std::size_t mask = capacity_ - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (!slot.occupied) return capacity_;
    if (slot.hash == hash && std::string_view(slot.text, slot.length) == name) return at;
  }
}

const std::int32_t* NameIndexMap::find(std::string_view name) const noexcept {
  if (used_ == 0) return nullptr;
  const std::size_t at = find_slot(name, hash_of(name));
  return at == capacity_ ? nullptr : &slots_[at].value;
}

void NameIndexMap::rehash(std::size_t capacity) {
  auto grown = allocate_table<Slot>(capacity);
  const std::size_t mask = capacity - 1;
  for (std::size_t i = 0; i < capacity_; ++i) {
    if (!slots_[i].occupied) continue;
    std::size_t at = slots_[i].hash & mask;
    while (grown[at].occupied) at = (at + 1) & mask;
    grown[at] = slots_[i];
  }
  slots_ = std::move(grown);
  capacity_ = capacity;
}

void NameIndexMap::reserve(std::size_t count) {
  // At most half full, so a miss stops after a couple of probes.
  const std::size_t wanted = std::bit_ceil(std::max<std::size_t>(8, count * 2));
  if (wanted > capacity_) rehash(wanted);
}

void NameIndexMap::assign(std::string_view name, std::int32_t value) {
  const std::uint32_t hash = hash_of(name);
  if (used_ != 0) {
    const std::size_t at = find_slot(name, hash);
    if (at != capacity_) {
      slots_[at].value = value;
      return;
    }
  }
  reserve(used_ + 1);
  const std::size_t mask = capacity_ - 1;
  std::size_t at = hash & mask;
  while (slots_[at].occupied) at = (at + 1) & mask;
  slots_[at] = {name.data(), static_cast<std::uint32_t>(name.size()), hash, value, true};
  ++used_;
}

void NameIndexMap::remove_at(std::size_t at) noexcept {
  // Backward shift: pull later members of the probe run into the hole when the hole lies
  // between their home slot and where they sit.
  const std::size_t mask = capacity_ - 1;
  std::size_t hole = at;
  for (std::size_t next = (hole + 1) & mask; slots_[next].occupied; next = (next + 1) & mask) {
    const std::size_t home = slots_[next].hash & mask;
    if (((next - home) & mask) >= ((next - hole) & mask)) {
      slots_[hole] = slots_[next];
      hole = next;
    }
  }
  slots_[hole].occupied = false;
  --used_;
}

bool NameIndexMap::erase(std::string_view name) noexcept {
  if (used_ == 0) return false;
  const std::size_t at = find_slot(name, hash_of(name));
  if (at == capacity_) return false;
  remove_at(at);
  return true;
}

bool NameIndexMap::erase_if_maps_to(std::string_view name, std::int32_t value) noexcept {
  if (used_ == 0) return false;
  const std::size_t at = find_slot(name, hash_of(name));
  if (at == capacity_ || slots_[at].value != value) return false;
  remove_at(at);
  return true;
}

void NameIndexMap::clear() noexcept {
  slots_.reset();
  capacity_ = 0;
  used_ = 0;
}

int erase_name(NameIndexMap& map, std::string_view name) noexcept { return map.erase(name) ? 1 : 0; }

}  // namespace velorium

#include "core/names/name_index_map.hpp"

#include <algorithm>
#include <bit>
#include <new>

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
  if (const std::int32_t* number = in_run(name_id)) return *number == kAbsent ? nullptr : number;
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

void NameIndexMap::reserve_hashed(std::size_t count) {
  // At most half full, so a miss stops after a few probes.
  const std::size_t wanted = std::bit_ceil(std::max(kBlock, count * 2));
  if (wanted > capacity_) rehash(wanted);
}

void NameIndexMap::reserve(std::size_t count) {
  // Whatever the run cannot take goes to the hashed part, which then must not grow.
  if (count > size()) reserve_hashed(used_ + (count - size()));
}

bool NameIndexMap::stretch_run_to(std::uint32_t name_id) noexcept {
  if (run_.empty()) {
    run_first_ = name_id;
  } else if (name_id < run_first_) {
    return false;
  }
  const std::size_t end = run_first_ + std::size_t{run_.size()};  // the first id past the range
  const std::size_t length = std::size_t{name_id} - run_first_ + 1;
  if (length > kRunSpread * (run_used_ + 1)) return false;
  if (used_ != 0 && hashed_highest_ >= end && hashed_lowest_ <= name_id) return false;
  try {
    // Geometric growth, through huge pages once the run is large.
    if (length > run_.capacity()) grow_capacity(run_, std::max(length, 2 * run_.capacity()));
    // Members mostly come one id past the run: a push_back, not resize's fill call.
    if (length == run_.size() + 1) {
      run_.push_back(kAbsent);
    } else {
      run_.resize(length, kAbsent);
    }
  } catch (const std::bad_alloc&) {
    return false;  // the hashed part takes it
  }
  return true;
}

void NameIndexMap::assign(std::uint32_t name_id, std::int32_t value) {
  if (std::int32_t* number = in_run(name_id)) {
    if (*number == kAbsent) ++run_used_;
    *number = value;
    return;
  }
  if (used_ != 0) {
    Slot& slot = slots_[find_slot(name_id)];
    if (slot.id_plus_one != 0) {
      slot.value = value;
      return;
    }
  }
  if (stretch_run_to(name_id)) {
    run_[name_id - run_first_] = value;
    ++run_used_;
    return;
  }
  reserve_hashed(used_ + 1);  // first, so that the slot found below stays valid
  Slot& slot = slots_[find_slot(name_id)];
  slot = {name_id + 1, value};
  ++used_;
  hashed_lowest_ = std::min(hashed_lowest_, name_id);
  hashed_highest_ = std::max(hashed_highest_, name_id);
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
  if (std::int32_t* number = in_run(name_id)) {
    if (*number == kAbsent) return false;
    *number = kAbsent;
    --run_used_;
    return true;
  }
  if (used_ == 0) return false;
  const std::size_t at = find_slot(name_id);
  if (slots_[at].id_plus_one == 0) return false;
  remove_at(at);
  return true;
}

bool NameIndexMap::erase_if_maps_to(std::uint32_t name_id, std::int32_t value) noexcept {
  const std::int32_t* number = find(name_id);
  return number && *number == value && erase(name_id);
}

void NameIndexMap::clear() noexcept {
  run_ = std::vector<std::int32_t>();
  run_first_ = 0;
  run_used_ = 0;
  slots_.reset();
  capacity_ = 0;
  used_ = 0;
  hashed_lowest_ = UINT32_MAX;
  hashed_highest_ = 0;
}

int erase_name(NameIndexMap& map, std::uint32_t name_id) noexcept { return map.erase(name_id) ? 1 : 0; }

}  // namespace velorium

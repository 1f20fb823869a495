#include "core/names/name_index_map.hpp"

#include <algorithm>
#include <bit>
#include <cstring>

#include "core/names/fnv1a_hash.hpp"

namespace velorium {

namespace {
std::uint32_t hash_of(std::string_view name) noexcept {
  return static_cast<std::uint32_t>(spread_hash_bits(fnv1a_hash(name)));
}

template <class Word>
Word load_word(const char* bytes) noexcept {
  Word word;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

// Whether the `size` bytes at `a` and `b` are equal, for sizes up to 16, in a few fixed-size
// loads: two overlapping words cover every size between one word and two.
bool same_short_bytes(const char* a, const char* b, std::size_t size) noexcept {
  if (size >= 8) {
    return ((load_word<std::uint64_t>(a) ^ load_word<std::uint64_t>(b)) |
            (load_word<std::uint64_t>(a + size - 8) ^ load_word<std::uint64_t>(b + size - 8))) == 0;
  }
  if (size >= 4) {
    return ((load_word<std::uint32_t>(a) ^ load_word<std::uint32_t>(b)) |
            (load_word<std::uint32_t>(a + size - 4) ^ load_word<std::uint32_t>(b + size - 4))) == 0;
  }
  if (size == 0) return true;
  return a[0] == b[0] && a[size / 2] == b[size / 2] && a[size - 1] == b[size - 1];
}

}  // namespace

bool NameIndexMap::same_text(const Slot& slot, std::string_view name) noexcept {
  // Look-ups are bound by the wait for the slot's memory; the fewer instructions each one
  // takes, the more of those waits the processor overlaps, so short names avoid a call.
  if (name.size() <= kHeadBytes) return same_short_bytes(slot.head, name.data(), name.size());
  return std::memcmp(slot.head, name.data(), kHeadBytes) == 0 &&
         std::memcmp(slot.text + kHeadBytes, name.data() + kHeadBytes, name.size() - kHeadBytes) == 0;
}

[[gnu::always_inline]] inline std::size_t NameIndexMap::find_slot(std::string_view name,
                                                                   std::uint32_t hash) const noexcept {
  if (capacity_ == 0) return 0;
  const std::size_t mask = capacity_ - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (!slot.text) return capacity_;
    if (slot.hash == hash && slot.length == name.size() && same_text(slot, name)) return at;
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
    if (!slots_[i].text) continue;
    std::size_t at = slots_[i].hash & mask;
    while (grown[at].text) at = (at + 1) & mask;
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
  while (slots_[at].text) at = (at + 1) & mask;
  Slot& slot = slots_[at];
  slot = {name.data() ? name.data() : "", static_cast<std::uint32_t>(name.size()), hash, value, {}};
  if (!name.empty()) std::memcpy(slot.head, name.data(), std::min(name.size(), kHeadBytes));
  ++used_;
}

void NameIndexMap::remove_at(std::size_t at) noexcept {
  // Backward shift: pull later members of the probe run into the hole when the hole lies
  // between their home slot and where they sit.
  const std::size_t mask = capacity_ - 1;
  std::size_t hole = at;
  for (std::size_t next = (hole + 1) & mask; slots_[next].text; next = (next + 1) & mask) {
    const std::size_t home = slots_[next].hash & mask;
    if (((next - home) & mask) >= ((next - hole) & mask)) {
      slots_[hole] = slots_[next];
      hole = next;
    }
  }
  slots_[hole].text = nullptr;
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

#include "formats/mps/mps_name_index.hpp"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

#include "core/names/fnv1a_hash.hpp"

namespace velorium {

namespace {

constexpr std::size_t kInitialSlots = 64;

}  // namespace

// Low bits pick the slot; they must be well mixed.
std::uint64_t MpsNameIndex::hashOf(std::string_view name) { return spread_hash_bits(fnv1a_hash(name)); }

void MpsNameIndex::headWords(std::string_view name, std::uint64_t (&words)[2]) {
  // Built in registers, byte by byte: copying a name of any length into a buffer and reading
  // the buffer back as words makes the processor wait for the copy.
  words[0] = 0;
  words[1] = 0;
  const std::size_t length = std::min(name.size(), kHeadBytes);
  for (std::size_t i = 0; i < length; ++i) {
    words[i / 8] |= std::uint64_t{static_cast<unsigned char>(name[i])} << (8 * (i % 8));
  }
}

std::int32_t MpsNameIndex::find(std::string_view name, std::uint64_t hash) const {
  if (slot_count_ == 0) return kMissing;
  std::uint64_t key[2];
  headWords(name, key);
  const Slot* table = slots();
  const std::size_t mask = slot_count_ - 1;
  for (std::size_t i = static_cast<std::size_t>(hash) & mask;; i = (i + 1) & mask) {
    const Slot& slot = table[i];
    if (slot.text == nullptr) return kMissing;
    if (slot.length != name.size() || slot.head[0] != key[0] || slot.head[1] != key[1]) continue;
    if (name.size() <= kHeadBytes ||
        std::memcmp(slot.text + kHeadBytes, name.data() + kHeadBytes, name.size() - kHeadBytes) == 0) {
      return slot.value;
    }
  }
}

void MpsNameIndex::insert(std::string_view stored_name, std::int32_t value) {
  if (stored_name.size() > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
  if ((count_ + 1) * 2 > slot_count_) grow();
  Slot slot;
  slot.text = stored_name.data();
  slot.length = static_cast<std::uint32_t>(stored_name.size());
  slot.value = value;
  headWords(stored_name, slot.head);
  place(slot, hashOf(stored_name));
  ++count_;
}

void MpsNameIndex::place(const Slot& slot, std::uint64_t hash) {
  Slot* table = slots();
  const std::size_t mask = slot_count_ - 1;
  std::size_t i = static_cast<std::size_t>(hash) & mask;
  while (table[i].text != nullptr) i = (i + 1) & mask;
  table[i] = slot;
}

void MpsNameIndex::grow() {
  const std::size_t new_count = slot_count_ == 0 ? kInitialSlots : slot_count_ * 2;
  MappedMemory old = std::exchange(memory_, MappedMemory(new_count * sizeof(Slot)));
  const std::size_t old_count = std::exchange(slot_count_, new_count);
  const Slot* old_slots = static_cast<const Slot*>(old.data());
  for (std::size_t i = 0; i < old_count; ++i) {
    if (old_slots[i].text != nullptr) place(old_slots[i], hashOf(std::string_view(old_slots[i].text, old_slots[i].length)));
  }
}

}  // namespace velorium

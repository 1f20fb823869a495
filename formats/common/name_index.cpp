#include "formats/common/name_index.hpp"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

#include "formats/common/word_bytes.hpp"


namespace velorium {

namespace {

constexpr std::size_t kInitialSlots = 64;

}  // namespace

std::int32_t NameIndex::findFrom(std::string_view name, const Key& key, std::size_t slot) const {
  const std::size_t mask = slot_count_ - 1;
  for (;; slot = (slot + 1) & mask) {
    const Slot& found = probeFrom(name, key, slot);
    if (found.text == nullptr) return kMissing;
    if (name.size() <= kHeadBytes ||
        sameBytes(found.text + kHeadBytes, name.data() + kHeadBytes, name.size() - kHeadBytes)) {
      return found.value;
    }
  }
}

std::int32_t NameIndex::find(std::string_view name, const Key& key) const {
  if (slot_count_ == 0) return kMissing;
  return findFrom(name, key, static_cast<std::size_t>(key.hash) & (slot_count_ - 1));
}

bool NameIndex::insertNew(std::string_view stored_name, std::int32_t value, const Key& key) {
  if (stored_name.size() > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
  if ((count_ + 1) * 2 > slot_count_) grow();
  std::size_t i = static_cast<std::size_t>(key.hash) & (slot_count_ - 1);
  if (findFrom(stored_name, key, i) != kMissing) return false;
  Slot slot;
  slot.text = stored_name.data();
  slot.length = static_cast<std::uint32_t>(stored_name.size());
  slot.value = value;
  slot.head[0] = key.head[0];
  slot.head[1] = key.head[1];
  place(slot, key.hash);
  ++count_;
  return true;
}

void NameIndex::place(const Slot& slot, std::uint64_t hash) {
  Slot* table = slots();
  const std::size_t mask = slot_count_ - 1;
  std::size_t i = static_cast<std::size_t>(hash) & mask;
  while (table[i].text != nullptr) i = (i + 1) & mask;
  table[i] = slot;
}

void NameIndex::grow() {
  const std::size_t new_count = slot_count_ == 0 ? kInitialSlots : slot_count_ * 2;
  MappedMemory old = std::exchange(memory_, MappedMemory(new_count * sizeof(Slot)));
  const std::size_t old_count = std::exchange(slot_count_, new_count);
  const Slot* old_slots = static_cast<const Slot*>(old.data());
  for (std::size_t i = 0; i < old_count; ++i) {
    const Slot& slot = old_slots[i];
    if (slot.text == nullptr) continue;
    // A short name is all in its slot: its hash needs no read of its text, which lies
    // elsewhere in memory.
    const std::uint64_t hash = slot.length <= kHeadBytes ? mix(headHash(slot.length, slot.head))
                                                         : keyOf(std::string_view(slot.text, slot.length)).hash;
    place(slot, hash);
  }
}

}  // namespace velorium

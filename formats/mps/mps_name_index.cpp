#include "formats/mps/mps_name_index.hpp"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "core/names/fnv1a_hash.hpp"

namespace velorium {

namespace {

constexpr std::size_t kInitialSlots = 64;

}  // namespace

// Low bits pick the slot; they must be well mixed.
std::uint64_t MpsNameIndex::hashOf(std::string_view name) { return spread_hash_bits(fnv1a_hash(name)); }

std::int32_t MpsNameIndex::find(std::string_view name, std::uint64_t hash) const {
  if (slots_.empty()) return kMissing;
  // The name's head, padded with zeros as the slots keep theirs, compared as two words.
  char key[kHeadBytes] = {};
  std::memcpy(key, name.data(), std::min(name.size(), kHeadBytes));
  std::uint64_t key_words[2];
  std::memcpy(key_words, key, sizeof key_words);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = static_cast<std::size_t>(hash) & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.text == nullptr) return kMissing;
    if (slot.length != name.size()) continue;
    std::uint64_t slot_words[2];
    std::memcpy(slot_words, slot.head, sizeof slot_words);
    if (slot_words[0] != key_words[0] || slot_words[1] != key_words[1]) continue;
    if (name.size() <= kHeadBytes ||
        std::memcmp(slot.text + kHeadBytes, name.data() + kHeadBytes, name.size() - kHeadBytes) == 0) {
      return slot.value;
    }
  }
}

void MpsNameIndex::insert(std::string_view stored_name, std::int32_t value) {
  if (stored_name.size() > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
  if ((count_ + 1) * 2 > slots_.size()) grow();
  Slot slot;
  slot.text = stored_name.data();
  slot.length = static_cast<std::uint32_t>(stored_name.size());
  slot.value = value;
  std::memcpy(slot.head, stored_name.data(), std::min(stored_name.size(), kHeadBytes));
  place(slot, hashOf(stored_name));
  ++count_;
}

void MpsNameIndex::place(const Slot& slot, std::uint64_t hash) {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = static_cast<std::size_t>(hash) & mask;
  while (slots_[i].text != nullptr) i = (i + 1) & mask;
  slots_[i] = slot;
}

void MpsNameIndex::grow() {
  std::vector<Slot> old(slots_.empty() ? kInitialSlots : slots_.size() * 2);
  old.swap(slots_);
  for (const Slot& slot : old) {
    if (slot.text != nullptr) place(slot, hashOf(std::string_view(slot.text, slot.length)));
  }
}

}  // namespace velorium

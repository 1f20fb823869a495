#include "formats/mps/mps_name_index.hpp"

#include <cstring>

namespace velorium {

namespace {

constexpr std::size_t kInitialSlots = 64;

std::uint64_t hashName(std::string_view name) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (unsigned char c : name) {
    hash ^= c;
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

bool sameName(const char* stored, std::string_view name) {
  return std::strncmp(stored, name.data(), name.size()) == 0 && stored[name.size()] == '\0';
}

}  // namespace

std::int32_t MpsNameIndex::find(std::string_view name) const {
  if (slots_.empty()) return kMissing;
  std::uint64_t hash = hashName(name);
  auto check = static_cast<std::uint32_t>(hash >> 32);
  std::size_t mask = slots_.size() - 1;
  for (std::size_t i = static_cast<std::size_t>(hash) & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.text == nullptr) return kMissing;
    if (slot.check == check && sameName(slot.text, name)) return slot.value;
  }
}

void MpsNameIndex::insert(std::string_view stored_name, std::int32_t value) {
  if ((count_ + 1) * 2 > slots_.size()) grow();
  std::uint64_t hash = hashName(stored_name);
  std::size_t mask = slots_.size() - 1;
  std::size_t i = static_cast<std::size_t>(hash) & mask;
  while (slots_[i].text != nullptr) i = (i + 1) & mask;
  slots_[i] = Slot{stored_name.data(), static_cast<std::uint32_t>(hash >> 32), value};
  ++count_;
}

void MpsNameIndex::grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? kInitialSlots : old.size() * 2, Slot{});
  std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.text == nullptr) continue;
    std::uint64_t hash = hashName(slot.text);
    std::size_t i = static_cast<std::size_t>(hash) & mask;
    while (slots_[i].text != nullptr) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

}  // namespace velorium

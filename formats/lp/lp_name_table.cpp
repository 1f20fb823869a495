#include "formats/lp/lp_name_table.hpp"

#include <cstring>
#include <stdexcept>

namespace velorium {

namespace {
constexpr std::size_t kBlockSize = 1 << 16;
constexpr std::size_t kInitialSlots = 64;

std::uint64_t hashName(std::string_view name) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (unsigned char c : name) {
    hash ^= c;
    hash *= 0x100000001b3ULL;
  }
  return hash;
}
}  // namespace

LpNameTable::LpNameTable() : slots_(kInitialSlots, 0) {}

std::string_view LpNameTable::store(std::string_view name) {
  if (name.empty()) return std::string_view();
  if (blocks_.empty() || blockSize_ - blockUsed_ < name.size()) {
    // A name longer than a block gets a block of its own size.
    blockSize_ = name.size() > kBlockSize ? name.size() : kBlockSize;
    blocks_.push_back(std::make_unique<char[]>(blockSize_));
    blockUsed_ = 0;
  }
  char* place = blocks_.back().get() + blockUsed_;
  std::memcpy(place, name.data(), name.size());
  blockUsed_ += name.size();
  return std::string_view(place, name.size());
}

namespace {
std::uint64_t slotOf(std::uint64_t hash, std::uint32_t id) { return (hash & 0xFFFFFFFF00000000ULL) | (id + 1ULL); }
std::uint32_t idOf(std::uint64_t slot) { return static_cast<std::uint32_t>(slot) - 1; }
}  // namespace

void LpNameTable::grow() {
  std::vector<std::uint64_t> slots(slots_.size() * 2, 0);
  const std::size_t mask = slots.size() - 1;
  for (std::uint32_t id = 0; id < names_.size(); ++id) {
    const std::uint64_t hash = hashName(names_[id]);
    std::size_t at = hash & mask;
    while (slots[at] != 0) at = (at + 1) & mask;
    slots[at] = slotOf(hash, id);
  }
  slots_.swap(slots);
}

std::uint32_t LpNameTable::intern(std::string_view name) {
  const std::uint64_t hash = hashName(name);
  const std::size_t mask = slots_.size() - 1;
  std::size_t at = hash & mask;
  for (; slots_[at] != 0; at = (at + 1) & mask) {
    if ((slots_[at] ^ hash) >> 32 == 0 && names_[idOf(slots_[at])] == name) return idOf(slots_[at]);
  }
  if (names_.size() >= UINT32_MAX - 1) throw std::length_error("too many names in one LP file");
  const std::uint32_t id = static_cast<std::uint32_t>(names_.size());
  names_.push_back(store(name));
  slots_[at] = slotOf(hash, id);
  if (names_.size() * 2 > slots_.size()) grow();
  return id;
}

}  // namespace velorium

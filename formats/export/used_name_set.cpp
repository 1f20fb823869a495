#include "formats/export/used_name_set.hpp"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>

#include "core/base/prefetch.hpp"
#include "core/text/number_text.hpp"

namespace velorium {

namespace {
std::uint64_t hashOf(std::string_view name) { return std::hash<std::string_view>{}(name); }
std::uint32_t tagOf(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32); }
// Stands for the empty text, whose view may have a null data pointer.
constexpr char kEmpty[] = "";
}  // namespace

UsedNameSet::UsedNameSet(std::size_t expected_count) {
  std::size_t capacity = std::bit_ceil(std::max<std::size_t>(16, expected_count * 2));
  slots_.resize(capacity);
  mask_ = capacity - 1;
}

std::size_t UsedNameSet::find(std::string_view name, std::uint64_t hash) const {
  const std::uint32_t tag = tagOf(hash);
  std::size_t slot = hash & mask_;
  for (;; slot = (slot + 1) & mask_) {
    const Slot& s = slots_[slot];
    if (s.data == nullptr) return slot;
    if (s.tag == tag && s.size == name.size() && std::memcmp(s.data, name.data(), name.size()) == 0) return slot;
  }
}

bool UsedNameSet::contains(std::string_view name) const { return slots_[find(name, hashOf(name))].data != nullptr; }

void UsedNameSet::prefetch(std::string_view name) const { prefetchForRead(&slots_[hashOf(name) & mask_]); }

bool UsedNameSet::insert(std::string_view name) {
  std::uint64_t hash = hashOf(name);
  Slot& slot = slots_[find(name, hash)];
  if (slot.data != nullptr) return false;
  slot = {name.empty() ? kEmpty : name.data(), static_cast<std::uint32_t>(name.size()), tagOf(hash)};
  if (++count_ * 2 > slots_.size()) grow();
  return true;
}

void UsedNameSet::grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.size() * 2, Slot());
  mask_ = slots_.size() - 1;
  for (const Slot& s : old) {
    if (s.data == nullptr) continue;
    std::string_view name(s.data, s.size);
    slots_[find(name, hashOf(name))] = s;
  }
}

const std::string& UsedNameSet::firstFreeSuffixed(std::string_view base) {
  std::uint64_t& k = next_suffix_.try_emplace(std::string(base), 1).first->second;
  for (;; ++k) {
    candidate_.assign(base);
    candidate_.push_back('#');
    appendDecimal(candidate_, k);
    if (!contains(candidate_)) break;
  }
  ++k;
  return candidate_;
}

}  // namespace velorium

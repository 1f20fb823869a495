#include "formats/export/used_name_set.hpp"

#include <bit>
#include <charconv>
#include <functional>

namespace velorium {

UsedNameSet::UsedNameSet(std::size_t expected_count) {
  std::size_t capacity = std::bit_ceil(std::max<std::size_t>(16, expected_count * 2));
  slots_.assign(capacity, std::string_view());
  mask_ = capacity - 1;
}

std::size_t UsedNameSet::slotOf(std::string_view name) const {
  std::size_t slot = std::hash<std::string_view>{}(name) & mask_;
  while (slots_[slot].data() != nullptr && slots_[slot] != name) slot = (slot + 1) & mask_;
  return slot;
}

bool UsedNameSet::contains(std::string_view name) const { return slots_[slotOf(name)].data() != nullptr; }

bool UsedNameSet::insert(std::string_view name) {
  std::size_t slot = slotOf(name);
  if (slots_[slot].data() != nullptr) return false;
  slots_[slot] = name.data() ? name : std::string_view("", 0);
  if (++count_ * 2 > slots_.size()) grow();
  return true;
}

void UsedNameSet::grow() {
  std::vector<std::string_view> old = std::move(slots_);
  slots_.assign(old.size() * 2, std::string_view());
  mask_ = slots_.size() - 1;
  for (std::string_view name : old) {
    if (name.data() != nullptr) slots_[slotOf(name)] = name;
  }
}

const std::string& UsedNameSet::firstFreeSuffixed(std::string_view base) {
  std::uint64_t& k = next_suffix_.try_emplace(std::string(base), 1).first->second;
  char digits[24];
  for (;; ++k) {
    candidate_.assign(base);
    candidate_.push_back('#');
    candidate_.append(digits, std::to_chars(digits, digits + sizeof digits, k).ptr);
    if (!contains(candidate_)) break;
  }
  ++k;
  return candidate_;
}

}  // namespace velorium

// The names already written for one kind of record (columns, rows, general constraints), and
// the search for a free "#k" suffix.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velorium {

// An open-addressing hash set of views; the viewed texts must outlive the set (they live in
// the export's NameArena).
class UsedNameSet {
 public:
  explicit UsedNameSet(std::size_t expected_count = 0);

  // Adds `name`; false when it was there already.
  bool insert(std::string_view name);
  bool contains(std::string_view name) const;
  std::size_t size() const { return count_; }

  // The first "<base>#<k>" (k = 1, 2, ...) not in the set. Each base keeps the number it got
  // to, since every smaller number is taken for good; so all searches together cost time in
  // proportion to the names, not to their square.
  const std::string& firstFreeSuffixed(std::string_view base);

 private:
  std::size_t slotOf(std::string_view name) const;
  void grow();

  std::vector<std::string_view> slots_;  // an empty slot has a null data pointer
  std::size_t mask_ = 0;
  std::size_t count_ = 0;
  std::unordered_map<std::string, std::uint64_t> next_suffix_;
  std::string candidate_;
};

}  // namespace velorium

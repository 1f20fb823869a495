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
  // Starts fetching the slot where `name` would be looked up.
  void prefetch(std::string_view name) const;
  std::size_t size() const { return count_; }

  // The first "<base>#<k>" (k = 1, 2, ...) not in the set; the caller adds it. Each base keeps
  // the number it got to, since every smaller number is taken for good; so all searches
  // together cost time in proportion to the names, not to their square.
  const std::string& firstFreeSuffixed(std::string_view base);

 private:
  // A slot keeps part of the name's hash, so that a probe rarely has to compare texts (which
  // would mean a cache miss into the name storage for each).
  struct Slot {
    const char* data = nullptr;  // null: empty slot
    std::uint32_t size = 0;
    std::uint32_t tag = 0;
  };
  std::size_t find(std::string_view name, std::uint64_t hash) const;
  void grow();

  std::vector<Slot> slots_;
  std::size_t mask_ = 0;
  std::size_t count_ = 0;
  std::unordered_map<std::string, std::uint64_t> next_suffix_;
  std::string candidate_;
};

}  // namespace velorium

// A map from a name to a 32-bit number (a store index), keyed by views of texts that outlive
// the map (the pooled names): the name indexes of the model store.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "core/names/table_memory.hpp"

namespace velorium {

// Open addressing with linear probing and backward-shift removal, so look-ups, insertions
// and removals are O(1) amortised and removals leave no tombstones. The hash is FNV-1a.
// The map never copies a key: each key's text must stay valid while it is in the map.
class NameIndexMap {
 public:
  NameIndexMap() = default;
  NameIndexMap(const NameIndexMap&) = delete;
  NameIndexMap& operator=(const NameIndexMap&) = delete;

  // The number stored under `name`, or null.
  const std::int32_t* find(std::string_view name) const noexcept;
  // Sets the number of `name`, adding the name when it is not there.
  void assign(std::string_view name, std::int32_t value);
  // Removes `name`; true when it was there.
  bool erase(std::string_view name) noexcept;
  // Removes `name` only while it maps to `value`; true when it was removed.
  bool erase_if_maps_to(std::string_view name, std::int32_t value) noexcept;

  // Makes room for `count` names without growing again.
  void reserve(std::size_t count);
  void clear() noexcept;
  std::size_t size() const noexcept { return used_; }

 private:
  static constexpr std::size_t kHeadBytes = 12;

  // 32 bytes, two to a cache line. The first bytes of the name sit in the slot itself, so
  // that a look-up of a short name reads no memory but the slot: the pooled text lies
  // elsewhere, and reading it was a second cache miss on every look-up.
  struct Slot {
    const char* text;  // null for an empty slot
    std::uint32_t length;
    std::uint32_t hash;
    std::int32_t value;
    char head[kHeadBytes];  // the first bytes of the name (all of a short one), zero-padded
  };
  static_assert(sizeof(Slot) == 32);

  // Whether the slot's name is `name`, once its hash and length are known to agree.
  static bool same_text(const Slot& slot, std::string_view name) noexcept;
  std::size_t find_slot(std::string_view name, std::uint32_t hash) const noexcept;  // capacity_ when absent
  void remove_at(std::size_t at) noexcept;
  void rehash(std::size_t capacity);

  TableArray<Slot> slots_;
  std::size_t capacity_ = 0;  // a power of two, or 0 before the first insertion
  std::size_t used_ = 0;
};

// Removes `name` from a name index; 1 when an entry was removed, 0 when it was not there.
int erase_name(NameIndexMap& map, std::string_view name) noexcept;

}  // namespace velorium

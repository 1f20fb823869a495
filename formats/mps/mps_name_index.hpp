// The MPS reader's per-read index from a row or column name to its position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace velorium {

// Open-addressing hash table over names that live elsewhere (the pool of names keeps them
// for the life of the process). It grows with the names of the file being read, so a small
// file costs a small table however many names the process has interned before.
class MpsNameIndex {
 public:
  static constexpr std::int32_t kMissing = INT32_MIN;

  // The value stored for `name`, or kMissing.
  std::int32_t find(std::string_view name) const;
  // Stores `value` for `stored_name`, which must not be in the index yet, must hold no NUL
  // byte, must be followed by a NUL byte in memory, and must outlive the index.
  void insert(std::string_view stored_name, std::int32_t value);
  std::size_t size() const { return count_; }

 private:
  struct Slot {
    const char* text = nullptr;
    std::uint32_t check = 0;  // high half of the name's hash, compared before the text
    std::int32_t value = 0;
  };

  void grow();

  std::vector<Slot> slots_;
  std::size_t count_ = 0;
};

}  // namespace velorium

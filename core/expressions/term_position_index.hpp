// Positions of terms by key in a term sequence that grows at its end and shrinks by moving its
// last term into a freed position: the look-up behind finding a linear term by variable and a
// quadratic term by its pair of variables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

namespace velorium::cpp_impl {

// A key may occur at several positions (files and bulk additions may repeat a variable);
// `first` gives the lowest one, so look-ups find the first term in term order. Keys that occur
// once live in an open-addressing table; the rare repeated keys keep a sorted position list.
// Every operation is O(1) amortised, apart from the length of a repeated key's list.
class TermPositionIndex {
 public:
  TermPositionIndex() = default;
  TermPositionIndex(const TermPositionIndex&) = delete;
  TermPositionIndex& operator=(const TermPositionIndex&) = delete;

  // The lowest position of `key`, or -1.
  std::int32_t first(std::uint64_t key) const noexcept;
  // Every position of `key`, ascending; valid until the next change.
  std::span<const std::int32_t> all(std::uint64_t key) const noexcept;
  // Records `key` at `position`, which must lie after every position recorded so far (a term
  // appended, or the terms entered in order).
  void add_last(std::uint64_t key, std::int32_t position);
  // Forgets `key` at `position`.
  void erase(std::uint64_t key, std::int32_t position) noexcept;
  // The term of `key` moved from `from` to the free position `to`.
  void move(std::uint64_t key, std::int32_t from, std::int32_t to);

  void clear() noexcept;
  void reserve(std::size_t count);
  std::size_t key_count() const noexcept { return used_; }

 private:
  static constexpr std::int32_t kRepeated = -2;  // the key's positions are in repeated_

  struct Slot {
    std::uint64_t key;
    std::int32_t position;  // -1: empty slot
  };

  std::size_t slot_of(std::uint64_t key) const noexcept;  // the key's slot, or capacity_
  void insert_slot(std::uint64_t key, std::int32_t position);
  void remove_slot(std::size_t at) noexcept;
  void rehash(std::size_t capacity);

  std::unique_ptr<Slot[]> slots_;
  std::size_t capacity_ = 0;  // a power of two, or 0 before the first insertion
  std::size_t used_ = 0;      // occupied slots
  std::unordered_map<std::uint64_t, std::vector<std::int32_t>> repeated_;
};

}  // namespace velorium::cpp_impl

// A set of numbers known to be taken, with a fast search for the first number not known to
// be taken from a given start: the memory behind generated unique names ("C#5").
#pragma once

#include <cstdint>
#include <vector>

namespace velorium::cpp_impl {

// A bit per number from `origin` on, with summary levels above it (a bit per word of the
// level below, set when that word is full), so that marking, unmarking and the search each
// touch a handful of words however many numbers are marked. The numbers below the origin are
// added when a search starts there; the covered span at least doubles each time, so that
// stays amortised O(1) per number.
class TakenNumbers {
 public:
  explicit TakenNumbers(std::uint32_t first_start);

  void mark(std::uint32_t number);
  void unmark(std::uint32_t number) noexcept;
  bool is_marked(std::uint32_t number) const noexcept;
  // The first number from `start` on that is not marked.
  std::uint64_t first_unmarked_from(std::uint32_t start);

 private:
  static constexpr int kLevels = 6;  // 64^6 > 2^32

  void lower_origin(std::uint32_t start);
  void rebuild_summaries();

  std::uint32_t origin_;  // a multiple of 64
  std::vector<std::uint64_t> levels_[kLevels];
};

}  // namespace velorium::cpp_impl

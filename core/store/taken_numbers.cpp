#include "core/store/taken_numbers.hpp"

#include <algorithm>
#include <bit>

namespace velorium::cpp_impl {

namespace {
constexpr std::uint64_t kFull = ~std::uint64_t{0};

std::uint64_t word_at(const std::vector<std::uint64_t>& level, std::uint64_t index) noexcept {
  return index < level.size() ? level[index] : 0;
}
}  // namespace

TakenNumbers::TakenNumbers(std::uint32_t first_start) : origin_(first_start & ~std::uint32_t{63}) {}

void TakenNumbers::mark(std::uint32_t number) {
  if (number < origin_) lower_origin(number);
  std::uint64_t bit = number - origin_;
  for (auto& level : levels_) {
    const std::uint64_t word = bit >> 6;
    if (word >= level.size()) level.resize(word + 1, 0);
    level[word] |= std::uint64_t{1} << (bit & 63);
    if (level[word] != kFull) return;
    bit = word;  // the word filled up: mark it full one level higher
  }
}

void TakenNumbers::unmark(std::uint32_t number) noexcept {
  if (number < origin_) return;
  std::uint64_t bit = number - origin_;
  for (auto& level : levels_) {
    const std::uint64_t word = bit >> 6;
    if (word >= level.size()) return;
    const bool was_full = level[word] == kFull;
    level[word] &= ~(std::uint64_t{1} << (bit & 63));
    if (!was_full) return;
    bit = word;
  }
}

bool TakenNumbers::is_marked(std::uint32_t number) const noexcept {
  if (number < origin_) return false;
  const std::uint64_t bit = number - origin_;
  return (word_at(levels_[0], bit >> 6) >> (bit & 63)) & 1;
}

std::uint64_t TakenNumbers::first_unmarked_from(std::uint32_t start) {
  if (start < origin_) lower_origin(start);
  // Climb while the rest of the current word is full, then descend along non-full words.
  std::uint64_t position = start - origin_;
  int level = 0;
  for (;; ++level) {
    const std::uint64_t below = (std::uint64_t{1} << (position & 63)) - 1;
    const std::uint64_t word = word_at(levels_[level], position >> 6) | below;
    if (word != kFull) {
      position = (position & ~std::uint64_t{63}) + static_cast<unsigned>(std::countr_one(word));
      break;
    }
    position = (position >> 6) + 1;  // the next word, as a bit of the level above
  }
  for (--level; level >= 0; --level) {
    position = position * 64 + static_cast<unsigned>(std::countr_one(word_at(levels_[level], position)));
  }
  return origin_ + position;
}

void TakenNumbers::lower_origin(std::uint32_t start) {
  const std::uint64_t span = std::max<std::uint64_t>(64, levels_[0].size() * 64);
  const std::uint64_t doubled = origin_ > span ? origin_ - span : 0;
  const auto new_origin = static_cast<std::uint32_t>(std::min<std::uint64_t>(doubled, start) & ~std::uint64_t{63});
  const std::size_t shift = (origin_ - new_origin) / 64;
  if (!levels_[0].empty()) levels_[0].insert(levels_[0].begin(), shift, 0);
  origin_ = new_origin;
  rebuild_summaries();
}

void TakenNumbers::rebuild_summaries() {
  for (int level = 1; level < kLevels; ++level) {
    const std::vector<std::uint64_t>& below = levels_[level - 1];
    std::vector<std::uint64_t>& summary = levels_[level];
    summary.assign((below.size() + 63) / 64, 0);
    for (std::size_t word = 0; word < below.size(); ++word) {
      if (below[word] == kFull) summary[word >> 6] |= std::uint64_t{1} << (word & 63);
    }
  }
}

}  // namespace velorium::cpp_impl

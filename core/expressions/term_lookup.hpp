// Finding, appending and removing the terms of one place of terms (an expression's own terms,
// the objective, a row, a free constraint), for every object that works on that place.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "core/expressions/term_position_index.hpp"
#include "core/records/expression.hpp"

namespace velorium::cpp_impl {

// Absolute values below this count as zero in expression arithmetic.
inline constexpr double kNegligibleCoefficient = 1e-14;

// Keys of the look-up: a linear term's variable, and a quadratic term's unordered pair, so
// that (a, b) and (b, a) are one term.
inline std::uint64_t linear_term_key(std::int32_t variable) noexcept {
  return static_cast<std::uint32_t>(variable);
}
inline std::uint64_t quadratic_term_key(std::int32_t a, std::int32_t b) noexcept {
  const std::uint32_t low = static_cast<std::uint32_t>(a < b ? a : b);
  const std::uint32_t high = static_cast<std::uint32_t>(a < b ? b : a);
  return (static_cast<std::uint64_t>(low) << 32) | high;
}

// One look-up per place of terms, shared by every object working on that place, and kept in
// step by the operations below. Short sequences are scanned; a longer side (linear, quadratic)
// gets an index on its first search, which is then kept up term by term, so building an
// expression of m terms one by one costs O(m).
//
// Changes made to the terms without going through this object are followed as far as they can
// be seen: terms appended at the end are taken in; a shorter sequence, or one that moved to
// other storage (a new sequence assigned), rebuilds; and a change of the replacement counter
// (bumped by whoever replaces terms wholesale) drops everything. A found position is always
// checked against the term there, so a hit is never stale.
//
// Terms are appended at the end; removing position p moves the last term into p.
class TermLookup {
 public:
  TermLookup() = default;
  // `replacements`: the counter of wholesale replacements of the model that holds the place.
  explicit TermLookup(std::shared_ptr<const std::atomic<std::uint64_t>> replacements);
  TermLookup(const TermLookup&) = delete;
  TermLookup& operator=(const TermLookup&) = delete;

  // Position of the first linear term of `variable`, or -1.
  std::int32_t find_linear(Expression& terms, std::int32_t variable);
  void append_linear(Expression& terms, std::int32_t variable, double coefficient);
  void remove_linear_at(Expression& terms, std::int32_t position);

  // Position of the first quadratic term of the pair (a, b) in either order, or -1.
  std::int32_t find_quadratic(Expression& terms, std::int32_t a, std::int32_t b);
  // The term a merge adds to, among the first `limit` terms: the last of the pair in the
  // order (a, b), else the last in the order (b, a); -1 when there is none.
  std::int32_t find_quadratic_for_merge(Expression& terms, std::int32_t a, std::int32_t b, std::size_t limit);
  void append_quadratic(Expression& terms, std::int32_t a, std::int32_t b, double coefficient);
  void remove_quadratic_at(Expression& terms, std::int32_t position);

  // Drops both sides; the next search rebuilds them from the terms.
  void forget() noexcept;

  // Whether a quadratic coefficient below kNegligibleCoefficient may be present: set by
  // note_quadratic_coefficient with such a value and by every change this look-up did not
  // make, cleared by the caller once it has swept the terms.
  bool may_hold_negligible_quadratic() const noexcept { return negligible_quadratic_possible_; }
  void note_quadratic_coefficient(double coefficient) noexcept;
  void note_quadratic_swept() noexcept { negligible_quadratic_possible_ = false; }

  // Whether the linear (quadratic) terms are known to hold no term of a variable removed from
  // the model while the model counts `removed_count` removed variables; a sweep that found none
  // records it. Any change this look-up did not make forgets it, and so does a merge that
  // appends a quadratic term of a removed variable.
  bool known_free_of_removed_linear(const Expression& terms, std::int32_t removed_count);
  bool known_free_of_removed_quadratic(const Expression& terms, std::int32_t removed_count);
  void note_free_of_removed_linear(std::int32_t removed_count) noexcept { linear_.free_of_removed_at = removed_count; }
  void note_free_of_removed_quadratic(std::int32_t removed_count) noexcept {
    quadratic_.free_of_removed_at = removed_count;
  }
  void note_quadratic_term_of_removed_variable() noexcept { quadratic_.free_of_removed_at = -1; }

  // One side of the look-up: its index (built on the first search of a long sequence), and the
  // length and storage of the sequence it last saw.
  struct Side {
    TermPositionIndex index;
    bool built = false;
    std::size_t covered = 0;
    const void* storage = nullptr;
    std::int32_t free_of_removed_at = -1;  // removed-variable count of the last clean sweep
  };

 private:
  void follow_replacements() noexcept;
  void follow_quadratic(const Expression& terms);

  Side linear_;
  Side quadratic_;
  std::shared_ptr<const std::atomic<std::uint64_t>> replacements_;
  std::uint64_t replacements_seen_ = 0;
  bool negligible_quadratic_possible_ = true;
};

}  // namespace velorium::cpp_impl

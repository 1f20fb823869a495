#include "core/expressions/term_lookup.hpp"

#include <cmath>
#include <vector>

namespace velorium::cpp_impl {

namespace {

// Sequences up to this length are searched by a scan: cheaper than building an index.
constexpr std::size_t kScanLimit = 16;

std::uint64_t key_of(const LinearTerm& term) noexcept { return linear_term_key(term.variable); }
std::uint64_t key_of(const QuadTerm& term) noexcept { return quadratic_term_key(term.variable1, term.variable2); }

template <class Terms>
void build(TermLookup::Side& side, const Terms& terms) {
  side.index.clear();
  side.index.reserve(terms.size());
  for (std::size_t p = 0; p < terms.size(); ++p) side.index.add_last(key_of(terms[p]), static_cast<std::int32_t>(p));
  side.covered = terms.size();
  side.storage = terms.data();
  side.built = true;
}

// Takes in what changed without this look-up; true when something did. Terms appended at the
// end are added to the index; a shorter sequence means terms were removed elsewhere, and other
// storage that the sequence was replaced, so then the index is dropped and rebuilt on its next
// search (a sequence that grew into new storage is rebuilt too: rare, as storage grows
// geometrically).
template <class Terms>
bool follow(TermLookup::Side& side, const Terms& terms) {
  const bool moved = terms.data() != side.storage;
  if (terms.size() == side.covered && !moved) return false;
  side.storage = terms.data();
  side.free_of_removed_at = -1;
  if (side.built) {
    if (terms.size() < side.covered || moved) {
      side.built = false;
      side.index.clear();
    } else {
      for (std::size_t p = side.covered; p < terms.size(); ++p) {
        side.index.add_last(key_of(terms[p]), static_cast<std::int32_t>(p));
      }
    }
  }
  side.covered = terms.size();
  return true;
}

template <class Terms>
std::int32_t scan(const Terms& terms, std::uint64_t key) {
  for (std::size_t p = 0; p < terms.size(); ++p) {
    if (key_of(terms[p]) == key) return static_cast<std::int32_t>(p);
  }
  return -1;
}

template <class Terms>
std::int32_t find(TermLookup::Side& side, const Terms& terms, std::uint64_t key) {
  if (!side.built) {
    if (terms.size() <= kScanLimit) return scan(terms, key);
    build(side, terms);
  }
  const std::int32_t position = side.index.first(key);
  if (position < 0) return -1;
  if (static_cast<std::size_t>(position) < terms.size() && key_of(terms[static_cast<std::size_t>(position)]) == key) {
    return position;
  }
  // The terms were rearranged behind the look-up's back: start again from them.
  build(side, terms);
  return side.index.first(key);
}

template <class Terms, class Term>
void append(TermLookup::Side& side, Terms& terms, const Term& term) {
  terms.push_back(term);
  if (side.built) side.index.add_last(key_of(term), static_cast<std::int32_t>(terms.size() - 1));
  side.covered = terms.size();
  side.storage = terms.data();
}

template <class Terms>
void remove_at(TermLookup::Side& side, Terms& terms, std::int32_t position) {
  const std::size_t p = static_cast<std::size_t>(position);
  const std::size_t last = terms.size() - 1;
  if (side.built) {
    side.index.erase(key_of(terms[p]), position);
    if (p != last) side.index.move(key_of(terms[last]), static_cast<std::int32_t>(last), position);
  }
  if (p != last) terms[p] = terms[last];
  terms.pop_back();
  side.covered = terms.size();
}

}  // namespace

TermLookup::TermLookup(std::shared_ptr<const std::atomic<std::uint64_t>> replacements)
    : replacements_(std::move(replacements)),
      replacements_seen_(replacements_ ? replacements_->load(std::memory_order_relaxed) : 0) {}

void TermLookup::follow_replacements() noexcept {
  if (!replacements_) return;
  const std::uint64_t now = replacements_->load(std::memory_order_relaxed);
  if (now == replacements_seen_) return;
  replacements_seen_ = now;
  forget();
}

void TermLookup::follow_quadratic(const Expression& terms) {
  follow_replacements();
  if (follow(quadratic_, terms.quadratic_terms)) negligible_quadratic_possible_ = true;
}

void TermLookup::forget() noexcept {
  linear_.index.clear();
  linear_.built = false;
  linear_.free_of_removed_at = -1;
  quadratic_.index.clear();
  quadratic_.built = false;
  quadratic_.free_of_removed_at = -1;
  negligible_quadratic_possible_ = true;
}

bool TermLookup::known_free_of_removed_linear(const Expression& terms, std::int32_t removed_count) {
  follow_replacements();
  follow(linear_, terms.linear_terms);
  return linear_.free_of_removed_at == removed_count;
}

bool TermLookup::known_free_of_removed_quadratic(const Expression& terms, std::int32_t removed_count) {
  follow_quadratic(terms);
  return quadratic_.free_of_removed_at == removed_count;
}

void TermLookup::note_quadratic_coefficient(double coefficient) noexcept {
  if (!(std::fabs(coefficient) >= kNegligibleCoefficient)) negligible_quadratic_possible_ = true;
}

std::int32_t TermLookup::find_linear(Expression& terms, std::int32_t variable) {
  follow_replacements();
  follow(linear_, terms.linear_terms);
  return find(linear_, terms.linear_terms, linear_term_key(variable));
}

void TermLookup::append_linear(Expression& terms, std::int32_t variable, double coefficient) {
  follow_replacements();
  follow(linear_, terms.linear_terms);
  append(linear_, terms.linear_terms, LinearTerm{variable, coefficient});
}

void TermLookup::remove_linear_at(Expression& terms, std::int32_t position) {
  follow_replacements();
  follow(linear_, terms.linear_terms);
  remove_at(linear_, terms.linear_terms, position);
}

std::int32_t TermLookup::find_quadratic(Expression& terms, std::int32_t a, std::int32_t b) {
  follow_quadratic(terms);
  return find(quadratic_, terms.quadratic_terms, quadratic_term_key(a, b));
}

std::int32_t TermLookup::find_quadratic_for_merge(Expression& terms, std::int32_t a, std::int32_t b,
                                                  std::size_t limit) {
  follow_quadratic(terms);
  const std::vector<QuadTerm>& quadratic = terms.quadratic_terms;
  std::int32_t same_order = -1;
  std::int32_t reversed = -1;
  auto consider = [&](std::size_t p) {
    if (p >= limit) return;
    const QuadTerm& term = quadratic[p];
    if (term.variable1 == a && term.variable2 == b) same_order = static_cast<std::int32_t>(p);
    else if (term.variable1 == b && term.variable2 == a) reversed = static_cast<std::int32_t>(p);
  };
  if (!quadratic_.built && quadratic.size() <= kScanLimit) {
    for (std::size_t p = 0; p < quadratic.size(); ++p) consider(p);
    return same_order >= 0 ? same_order : reversed;
  }
  if (!quadratic_.built) build(quadratic_, quadratic);
  const std::uint64_t key = quadratic_term_key(a, b);
  for (int attempt = 0; attempt < 2; ++attempt) {
    bool stale = false;
    for (const std::int32_t position : quadratic_.index.all(key)) {
      const std::size_t p = static_cast<std::size_t>(position);
      if (p >= quadratic.size() || key_of(quadratic[p]) != key) {
        stale = true;
        break;
      }
      consider(p);
    }
    if (!stale) break;
    // The terms were rearranged behind the look-up's back: start again from them.
    same_order = reversed = -1;
    build(quadratic_, quadratic);
  }
  return same_order >= 0 ? same_order : reversed;
}

void TermLookup::append_quadratic(Expression& terms, std::int32_t a, std::int32_t b, double coefficient) {
  follow_quadratic(terms);
  note_quadratic_coefficient(coefficient);
  append(quadratic_, terms.quadratic_terms, QuadTerm{a, b, coefficient});
}

void TermLookup::remove_quadratic_at(Expression& terms, std::int32_t position) {
  follow_quadratic(terms);
  remove_at(quadratic_, terms.quadratic_terms, position);
}

}  // namespace velorium::cpp_impl

#include "core/expressions/term_lookup.hpp"

#include <vector>

namespace velorium::cpp_impl {

namespace {

std::uint64_t key_of(const LinearTerm& term) noexcept { return linear_term_key(term.variable); }
std::uint64_t key_of(const QuadTerm& term) noexcept { return quadratic_term_key(term.variable1, term.variable2); }

template <class Term>
void build(TermLookup::Side& side, const std::vector<Term>& terms) {
  side.index.clear();
  side.index.reserve(terms.size());
  for (std::size_t p = 0; p < terms.size(); ++p) side.index.add_last(key_of(terms[p]), static_cast<std::int32_t>(p));
  side.covered = terms.size();
  side.built = true;
}

// Takes in what changed without this look-up: terms appended at the end are added; a shorter
// sequence means terms were removed elsewhere, so the side is rebuilt on its next search.
template <class Term>
void follow(TermLookup::Side& side, const std::vector<Term>& terms) {
  if (!side.built) return;
  if (terms.size() < side.covered) {
    side.built = false;
    side.index.clear();
    return;
  }
  for (std::size_t p = side.covered; p < terms.size(); ++p) side.index.add_last(key_of(terms[p]), static_cast<std::int32_t>(p));
  side.covered = terms.size();
}

template <class Term>
std::int32_t find(TermLookup::Side& side, const std::vector<Term>& terms, std::uint64_t key) {
  follow(side, terms);
  if (!side.built) build(side, terms);
  std::int32_t position = side.index.first(key);
  if (position < 0) return -1;
  if (static_cast<std::size_t>(position) < terms.size() && key_of(terms[static_cast<std::size_t>(position)]) == key) {
    return position;
  }
  // The terms were rearranged behind the look-up's back: start again from them.
  build(side, terms);
  return side.index.first(key);
}

template <class Term>
void append(TermLookup::Side& side, std::vector<Term>& terms, const Term& term) {
  follow(side, terms);
  terms.push_back(term);
  if (side.built) {
    side.index.add_last(key_of(term), static_cast<std::int32_t>(terms.size() - 1));
    side.covered = terms.size();
  }
}

template <class Term>
void remove_at(TermLookup::Side& side, std::vector<Term>& terms, std::int32_t position) {
  follow(side, terms);
  const std::size_t p = static_cast<std::size_t>(position);
  const std::size_t last = terms.size() - 1;
  if (side.built) {
    side.index.erase(key_of(terms[p]), position);
    if (p != last) side.index.move(key_of(terms[last]), static_cast<std::int32_t>(last), position);
  }
  if (p != last) terms[p] = terms[last];
  terms.pop_back();
  if (side.built) side.covered = terms.size();
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

void TermLookup::forget() noexcept {
  linear_.index.clear();
  linear_.built = false;
  quadratic_.index.clear();
  quadratic_.built = false;
}

std::int32_t TermLookup::find_linear(Expression& terms, std::int32_t variable) {
  follow_replacements();
  return find(linear_, terms.linear_terms, linear_term_key(variable));
}

void TermLookup::append_linear(Expression& terms, std::int32_t variable, double coefficient) {
  follow_replacements();
  append(linear_, terms.linear_terms, LinearTerm{variable, coefficient});
}

void TermLookup::remove_linear_at(Expression& terms, std::int32_t position) {
  follow_replacements();
  remove_at(linear_, terms.linear_terms, position);
}

std::int32_t TermLookup::find_quadratic(Expression& terms, std::int32_t a, std::int32_t b) {
  follow_replacements();
  return find(quadratic_, terms.quadratic_terms, quadratic_term_key(a, b));
}

void TermLookup::append_quadratic(Expression& terms, std::int32_t a, std::int32_t b, double coefficient) {
  follow_replacements();
  append(quadratic_, terms.quadratic_terms, QuadTerm{a, b, coefficient});
}

void TermLookup::remove_quadratic_at(Expression& terms, std::int32_t position) {
  follow_replacements();
  remove_at(quadratic_, terms.quadratic_terms, position);
}

}  // namespace velorium::cpp_impl

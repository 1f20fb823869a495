#include "core/expressions/expression_merge.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/base/catalogue_error.hpp"
#include "core/base/number_checks.hpp"
#include "core/expressions/term_rules.hpp"

namespace velorium::cpp_impl {

namespace {

bool negligible(double value) noexcept { return std::fabs(value) < kNegligibleCoefficient; }

// Both stores' terms, after the checks that must pass before anything changes.
struct MergeSides {
  Expression& target;
  Expression& source;
  bool shared;  // the same terms: read the source from a snapshot
};

// Every number the merge adds must be finite: factor times each coefficient and the constant.
void check_products(const Expression& source, double factor) {
  refuse_non_finite(source.constant * factor);
  for (const LinearTerm& term : source.linear_terms) refuse_non_finite(term.coefficient * factor);
  for (const QuadTerm& term : source.quadratic_terms) refuse_non_finite(term.coefficient * factor);
}

MergeSides prepare(expr_data& target, expr_data& source, double factor) {
  Expression& target_terms = target.get_terms();
  Expression& source_terms = source.get_terms();
  check_products(source_terms, factor);
  const bool source_has_terms = !source_terms.linear_terms.empty() || !source_terms.quadratic_terms.empty();
  if (target.model() && target.model() != source.model() && source_has_terms) throw_catalogue_error(405);
  target.take_model(source.model());
  return {target_terms, source_terms, &target_terms == &source_terms};
}

void merge_linear_terms(expr_data& target, Expression& terms, const LinearTerms& source_terms,
                        double source_constant, double factor) {
  TermLookup& lookup = target.lookup();
  const ModelBuilder* model = target.model().get();
  for (const LinearTerm& term : source_terms) {
    if (variable_removed_in(model, term.variable)) continue;
    const double value = term.coefficient * factor;
    const std::int32_t position = lookup.find_linear(terms, term.variable);
    if (position < 0) {
      lookup.append_linear(terms, term.variable, value);
      continue;
    }
    double& coefficient = terms.linear_terms[static_cast<std::size_t>(position)].coefficient;
    coefficient += value;
    if (negligible(coefficient)) lookup.remove_linear_at(terms, position);
  }
  terms.constant += source_constant * factor;
}

// Removes the negligible quadratic terms among `touched` (positions changed by this merge) or,
// when the look-up cannot rule out older ones, among all terms; from the last position to the
// first, so the term moved into a freed position has been looked at already.
void sweep_negligible_quadratic(expr_data& target, Expression& terms, std::vector<std::int32_t>& touched) {
  TermLookup& lookup = target.lookup();
  if (lookup.may_hold_negligible_quadratic()) {
    for (std::size_t p = terms.quadratic_terms.size(); p-- > 0;) {
      if (negligible(terms.quadratic_terms[p].coefficient)) lookup.remove_quadratic_at(terms, static_cast<std::int32_t>(p));
    }
    lookup.note_quadratic_swept();
    return;
  }
  std::sort(touched.begin(), touched.end(), std::greater<>());
  touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
  for (const std::int32_t position : touched) {
    if (negligible(terms.quadratic_terms[static_cast<std::size_t>(position)].coefficient)) {
      lookup.remove_quadratic_at(terms, position);
    }
  }
}

void merge_quadratic_terms(expr_data& target, Expression& terms, const std::vector<QuadTerm>& source_terms,
                           double factor) {
  TermLookup& lookup = target.lookup();
  const ModelBuilder* model = target.model().get();
  const std::size_t before = terms.quadratic_terms.size();
  std::vector<std::int32_t> touched;
  touched.reserve(source_terms.size());
  for (const QuadTerm& term : source_terms) {
    const double value = term.coefficient * factor;
    // Terms appended by this merge are not summed into: each source term of a new pair is a
    // term of its own.
    const std::int32_t position = lookup.find_quadratic_for_merge(terms, term.variable1, term.variable2, before);
    if (position >= 0) {
      terms.quadratic_terms[static_cast<std::size_t>(position)].coefficient += value;
      touched.push_back(position);
    } else {
      lookup.append_quadratic(terms, term.variable1, term.variable2, value);
      if (variable_removed_in(model, term.variable1) || variable_removed_in(model, term.variable2)) {
        lookup.note_quadratic_term_of_removed_variable();
      }
      touched.push_back(static_cast<std::int32_t>(terms.quadratic_terms.size() - 1));
    }
  }
  if (!source_terms.empty()) sweep_negligible_quadratic(target, terms, touched);
  drop_removed_quadratic_term(target);
}

void merge_linear_part(expr_data& target, const MergeSides& sides, double factor) {
  if (sides.shared) {
    const LinearTerms snapshot = sides.source.linear_terms;
    merge_linear_terms(target, sides.target, snapshot, sides.source.constant, factor);
  } else {
    merge_linear_terms(target, sides.target, sides.source.linear_terms, sides.source.constant, factor);
  }
}

void merge_quadratic_part(expr_data& target, const MergeSides& sides, double factor) {
  if (sides.shared) {
    const std::vector<QuadTerm> snapshot = sides.source.quadratic_terms;
    merge_quadratic_terms(target, sides.target, snapshot, factor);
  } else {
    merge_quadratic_terms(target, sides.target, sides.source.quadratic_terms, factor);
  }
}

}  // namespace

void merge_linear_first(expr_data& target, expr_data& source, double factor) {
  if (factor == 0.0) return;
  const MergeSides sides = prepare(target, source, factor);
  merge_linear_part(target, sides, factor);
  merge_quadratic_part(target, sides, factor);
}

void merge_quadratic_first(expr_data& target, expr_data& source, double factor) {
  if (factor == 0.0) return;
  const MergeSides sides = prepare(target, source, factor);
  merge_quadratic_part(target, sides, factor);
  merge_linear_part(target, sides, factor);
}

}  // namespace velorium::cpp_impl

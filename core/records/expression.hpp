// The expression record: the terms, constant and name of a row or of the objective.
#pragma once

#include <cstdint>
#include <vector>

#include "core/records/term_list.hpp"

namespace velorium {

struct LinearTerm {
  std::int32_t variable = -1;  // store index of the variable
  double coefficient = 0.0;
};

// coefficient * variable1 * variable2; the two may be the same variable.
struct QuadTerm {
  std::int32_t variable1 = -1;
  std::int32_t variable2 = -1;
  double coefficient = 0.0;
};

// A row's linear terms: two of them are held in the record itself, as in most rows that are
// added one at a time.
using LinearTerms = TermList<LinearTerm, 2>;

// Terms are kept in insertion order; the record imposes no ordering or uniqueness.
struct Expression {
  LinearTerms linear_terms;
  std::vector<QuadTerm> quadratic_terms;
  double constant = 0.0;    // for the objective, its offset
  std::int32_t name_id = -1;  // pool id of the row's (or the objective's) name; negative: none
};

}  // namespace velorium

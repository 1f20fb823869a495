// The factories of free constraints from an expression, a sense and a right-hand side.
#include <cmath>
#include <memory>

#include "core/constraints/constraint_impl.hpp"
#include "core/constraints/free_row.hpp"
#include "core/expressions/expression_views.hpp"
#include "velorium/velorium.hpp"

namespace velorium::cpp_impl {
namespace {

// A free constraint holding copies of the whole store of `store` (linear and quadratic terms,
// constant, name) and its model; null when there is no store, its terms cannot be read or the
// right-hand side is NaN (whatever the sense).
IConstraint* free_constraint_from(expr_data* store, constraint_sense sense, double rhs) noexcept {
  if (!store || std::isnan(rhs)) return nullptr;
  try {
    auto row = std::make_shared<FreeRow>(store->model(), Constraint(-kVeloriumInf, kVeloriumInf, store->get_terms()));
    apply_sense(row->record, sense, rhs);
    return new ConstraintImpl(std::move(row));
  } catch (...) {
    return nullptr;  // a view of a removed row, or no memory: no object to hold the error
  }
}

}  // namespace
}  // namespace velorium::cpp_impl

velorium::IConstraint* CreateConstraint(velorium::ILinearExpression* expr, velorium::constraint_sense sense,
                                        double rhs) {
  return velorium::cpp_impl::free_constraint_from(velorium::cpp_impl::store_of(expr), sense, rhs);
}

velorium::IConstraint* CreateConstraint(velorium::IQuadExpression* expr, velorium::constraint_sense sense,
                                        double rhs) {
  return velorium::cpp_impl::free_constraint_from(velorium::cpp_impl::store_of(expr), sense, rhs);
}

#include "core/constraints/constraint_impl.hpp"

#include <cmath>
#include <limits>
#include <utility>

#include "core/base/catalogue_error.hpp"
#include "core/base/kernel.hpp"
#include "core/base/number_checks.hpp"
#include "core/expressions/expr_data.hpp"
#include "core/expressions/expression_names.hpp"
#include "core/expressions/expression_views.hpp"
#include "core/store/model_builder.hpp"

namespace velorium::cpp_impl {

static_assert(sizeof(void*) != 8 || sizeof(ConstraintImpl) == 72, "the size the handles' memory is laid out for");


namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

bool infinite(double bound) noexcept { return std::fabs(bound) == kInfinity; }

}  // namespace

void apply_sense(Constraint& row, constraint_sense sense, double rhs) noexcept {
  switch (sense) {
    case constraint_sense::equal:
      row.lower = rhs;
      row.upper = rhs;
      break;
    case constraint_sense::less_equal:
      row.upper = rhs;
      break;
    case constraint_sense::greater_equal:
      row.lower = rhs;
      break;
  }
}

ConstraintImpl::ConstraintImpl(std::shared_ptr<ModelBuilder> model, std::int32_t row_index) noexcept
    : row_index_(row_index), model_(std::move(model)) {}

ConstraintImpl::ConstraintImpl(std::shared_ptr<FreeRow> row) noexcept : free_data_(std::move(row)) {}

ConstraintImpl::~ConstraintImpl() = default;

Constraint& ConstraintImpl::resolve_row() {
  if (free_data_) return free_data_->record;
  return model_->row_record(row_index_);
}

std::shared_ptr<expr_data> ConstraintImpl::view_store() {
  if (!free_data_) return expr_data::make_row_view(model_, row_index_);
  return expr_data::make_free_row_view(free_data_);
}

void ConstraintImpl::Remove() {
  guarded([&] {
    if (free_data_) return;
    auto snapshot = std::make_shared<FreeRow>(model_, resolve_row());
    model_->remove_row(row_index_);
    // From here on the handle shows its copy; changes no longer reach the model.
    free_data_ = std::move(snapshot);
    row_index_ = -1;
  });
}

ILinearExpression* ConstraintImpl::GetLinearExpression() {
  return guarded(static_cast<ILinearExpression*>(nullptr), [&] {
    resolve_row();
    return make_linear_view(view_store());
  });
}

IQuadExpression* ConstraintImpl::GetQuadExpression() {
  return guarded(static_cast<IQuadExpression*>(nullptr), [&] {
    resolve_row();
    return make_quadratic_view(view_store());
  });
}

void ConstraintImpl::SetUpperBound(double value) {
  guarded([&] {
    refuse_nan(value);
    resolve_row().upper = value;
  });
}

double ConstraintImpl::GetUpperBound() {
  return guarded(0.0, [&] { return resolve_row().upper; });
}

void ConstraintImpl::SetLowerBound(double value) {
  guarded([&] {
    refuse_nan(value);
    resolve_row().lower = value;
  });
}

double ConstraintImpl::GetLowerBound() {
  return guarded(0.0, [&] { return resolve_row().lower; });
}

double ConstraintImpl::GetRange() {
  return guarded(kInfinity, [&] {
    const Constraint& row = resolve_row();
    return row.upper - row.lower;
  });
}

void ConstraintImpl::SetRange(double range) {
  guarded([&] {
    refuse_nan(range);
    Constraint& row = resolve_row();
    const double lower = row.lower;
    const double upper = row.upper;
    if (infinite(lower) && infinite(upper)) throw_catalogue_error(112);
    if (infinite(lower)) {
      // Anchored at the upper bound: the range lies below it, or above it when negative.
      if (range > 0) {
        row.lower = upper - range;
      } else {
        row.lower = upper;
        row.upper = upper - range;
      }
    } else if (range > 0) {
      // Anchored at the lower bound: the range lies above it, or below it when not positive.
      row.upper = lower + range;
    } else {
      row.lower = lower + range;
      row.upper = lower;
    }
  });
}

const char* ConstraintImpl::GetName() {
  return guarded(static_cast<const char*>(nullptr), [&] {
    require_kernel();
    resolve_row();
    return expression_name(*view_store());
  });
}

void ConstraintImpl::SetName(const char* name) {
  guarded([&] {
    require_kernel();
    resolve_row();
    set_expression_name(*view_store(), name);
  });
}

}  // namespace velorium::cpp_impl

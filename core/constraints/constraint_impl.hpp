// The constraint handle: a row of a model, or a free constraint of its own.
#pragma once

#include <cstdint>
#include <memory>

#include "core/base/error_info_base.hpp"
#include "core/constraints/free_row.hpp"
#include "core/records/constraint.hpp"
#include "velorium/velorium.hpp"

namespace velorium::cpp_impl {

class ModelBuilder;
class expr_data;

// lower <= linear terms + quadratic terms + constant <= upper. A model row is addressed by its
// store index and changes the model; a free constraint owns its record (shared with the
// expression views taken from it) and belongs to no row table. Removing a model row through
// its handle turns the handle into a free constraint holding a copy of the row.
class ConstraintImpl : public ErrorInfoBase<IConstraint> {
 public:
  // A handle on row `row_index` of `model`; nothing is checked until it is used.
  ConstraintImpl(std::shared_ptr<ModelBuilder> model, std::int32_t row_index) noexcept;
  // A free constraint on `row`.
  explicit ConstraintImpl(std::shared_ptr<FreeRow> row) noexcept;
  ~ConstraintImpl() override;

  void Remove() override;
  ILinearExpression* GetLinearExpression() override;
  IQuadExpression* GetQuadExpression() override;
  void SetUpperBound(double value) override;
  double GetUpperBound() override;
  void SetLowerBound(double value) override;
  double GetLowerBound() override;
  double GetRange() override;
  void SetRange(double range) override;
  const char* GetName() override;
  void SetName(const char* name) override;

  bool is_model_row() const noexcept { return is_model_row_; }
  std::int32_t row_index() const noexcept { return row_index_; }
  // A model row: the store that holds it. A free constraint: the model its terms refer to
  // (empty when it has none).
  const std::shared_ptr<ModelBuilder>& model() const noexcept { return is_model_row_ ? model_ : free_data_->model; }
  // A free constraint's shared data; empty for a model row.
  const std::shared_ptr<FreeRow>& free_data() const noexcept { return free_data_; }
  // The record: a free constraint's own, or the live row (throws 110 or 111 with the row index).
  Constraint& resolve_row();

 private:
  // A store showing this constraint's terms: a row view or a view of the free record.
  std::shared_ptr<expr_data> view_store();

  std::shared_ptr<ModelBuilder> model_;  // a model row's store
  std::int32_t row_index_ = -1;
  bool is_model_row_ = false;
  std::shared_ptr<FreeRow> free_data_;
};

// The bounds of a constraint made from (sense, rhs): equal both rhs, less_equal the upper
// bound, greater_equal the lower bound; any other sense leaves them as they are.
void apply_sense(Constraint& row, constraint_sense sense, double rhs) noexcept;

}  // namespace velorium::cpp_impl

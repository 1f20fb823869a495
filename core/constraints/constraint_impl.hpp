// The constraint handle: a row of a model, or a free constraint of its own.
#pragma once

#include <cstdint>
#include <memory>

#include "core/base/error_info_base.hpp"
#include "core/base/handle_memory.hpp"
#include "core/constraints/free_row.hpp"
#include "core/records/constraint.hpp"
#include "velorium/velorium.hpp"

namespace velorium::cpp_impl {

class ModelBuilder;
class expr_data;

// lower <= linear terms + quadratic terms + constant <= upper. A model row is addressed by its
// store index and changes the model; a free constraint owns its record (shared with the
// expression views taken from it) and belongs to no row table. Removing a model row through
// its handle turns the handle into a free constraint holding a copy of the row. A model hands
// out one per row added: 72 bytes, from the handles' own memory.
class ConstraintImpl : public ErrorInfoBase<IConstraint> {
 public:
  // A handle on row `row_index` of `model`; nothing is checked until it is used.
  ConstraintImpl(std::shared_ptr<ModelBuilder> model, std::int32_t row_index) noexcept;
  // A free constraint on `row`.
  explicit ConstraintImpl(std::shared_ptr<FreeRow> row) noexcept;
  ~ConstraintImpl() override;

  static void* operator new(std::size_t size) { return allocate_handle(size); }
  static void operator delete(void* block, std::size_t size) noexcept { release_handle(block, size); }

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

  bool is_model_row() const noexcept { return !free_data_; }
  std::int32_t row_index() const noexcept { return row_index_; }
  // A model row: the store that holds it. A free constraint: the model its terms refer to
  // (empty when it has none).
  const std::shared_ptr<ModelBuilder>& model() const noexcept { return free_data_ ? free_data_->model : model_; }
  // A free constraint's shared data; empty for a model row.
  const std::shared_ptr<FreeRow>& free_data() const noexcept { return free_data_; }
  // The record: a free constraint's own, or the live row (throws 110 or 111 with the row index).
  Constraint& resolve_row();

 private:
  // A store showing this constraint's terms: a row view or a view of the free record.
  std::shared_ptr<expr_data> view_store();

  std::int32_t row_index_ = -1;  // first, where it fits beside the error code
  std::shared_ptr<ModelBuilder> model_;  // a model row's store
  std::shared_ptr<FreeRow> free_data_;   // a free constraint's data; empty for a model row
};

// The bounds of a constraint made from (sense, rhs): equal both rhs, less_equal the upper
// bound, greater_equal the lower bound; any other sense leaves them as they are.
void apply_sense(Constraint& row, constraint_sense sense, double rhs) noexcept;

}  // namespace velorium::cpp_impl

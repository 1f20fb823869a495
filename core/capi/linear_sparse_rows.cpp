#include "core/capi/linear_sparse_rows.hpp"

#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "core/capi/argument_checks.hpp"
#include "core/capi/model_error.hpp"
#include "velorium/velorium.h"

namespace velorium::capi {
namespace {

struct RowFailure {
  int code;
  std::string text;
};

// Keeps the code even when there is no memory left for the text.
RowFailure make_failure(int code, const char* text) noexcept {
  RowFailure failure{code, {}};
  try {
    failure.text = text != nullptr ? text : "";
  } catch (...) {
  }
  return failure;
}

struct ReleaseObject {
  void operator()(IReleasable* object) const { object->Release(); }
};

// Removes every live row from position `start` on, the last first, so that no row has to move
// into a freed position. A position that cannot be resolved is skipped.
void remove_rows_from(IMatrixModel& model, int start) noexcept {
  for (int position = model.GetConstraintsCount() - 1; position >= start; --position) {
    try {
      std::unique_ptr<IConstraint, ReleaseObject> row(model.GetConstraint(position));
      if (row != nullptr) row->Remove();
    } catch (...) {
      // Out of memory for one handle: that row stays; the others are still removed.
    }
  }
}

// Adds the rows in order; the failure of the first row that fails, if any.
std::optional<RowFailure> add_rows(IMatrixModel& model, const LinearSparseRows& rows) {
  for (std::uint64_t r = 0; r < rows.rows; ++r) {
    const double* row_values = rows.values != nullptr ? rows.values + r * rows.count : nullptr;
    model.AddConstraintLinearSparse(row_values, rows.positions, rows.count,
                                    static_cast<constraint_sense>(rows.senses[r]), rows.rhs[r]);
    if (const int code = model.GetErrorCode(); code != 0) {
      return make_failure(code, model.GetErrorText());
    }
  }
  return std::nullopt;
}

}  // namespace

void add_linear_sparse_rows(IMatrixModel& model, const LinearSparseRows& rows) noexcept {
  const int start = model.GetConstraintsCount();
  std::optional<RowFailure> failure;
  try {
    failure = add_rows(model, rows);
  } catch (const std::exception& e) {
    failure = make_failure(-1, e.what());
  } catch (...) {
    failure = make_failure(-1, "Unknown error");
  }
  if (!failure) return;
  remove_rows_from(model, start);
  store_model_error(&model, failure->text.c_str(), failure->code);
}

}  // namespace velorium::capi

extern "C" {

void MatrixModel_AddConstraintsLinearSparse(VeloriumModel* model, const double* values,
                                            const int* indices, uint64_t count,
                                            const int* senses, const double* rhs,
                                            uint64_t rows) {
  auto* matrix = dynamic_cast<velorium::IMatrixModel*>(model);
  if (matrix == nullptr) return;
  // Every sense is checked before the first row is added, so a stray one changes nothing.
  if (!velorium::capi::accept_constraint_senses(model, senses, rows)) return;
  velorium::capi::add_linear_sparse_rows(*matrix, {values, indices, count, senses, rhs, rows});
}

}  // extern "C"

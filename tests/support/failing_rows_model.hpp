// Test seam for the all-or-none addition of rows (MatrixModel_AddConstraintsLinearSparse): a
// model that passes the row operations on to another model, and makes one chosen row addition
// fail (or throw) as if that model had refused it. It keeps its own error information, the
// library's kind, so the function interface can store the failing row's error in it.
#pragma once

#include <cstdint>
#include <stdexcept>

#include "core/base/error_info_base.hpp"
#include "support/recording_objects.hpp"
#include "velorium/velorium.hpp"

namespace velorium::testing {

class FailingRowsModel : public RecordingMatrixModelT<cpp_impl::ErrorInfoBase<IMatrixModel>> {
 public:
  static constexpr int kInjectedCode = -5;
  static constexpr const char* kInjectedText = "injected row failure";

  explicit FailingRowsModel(IMatrixModel& inner) : inner_(inner) {}

  // Row additions are counted from 0; -1 for none.
  int fail_at_row = -1;
  int throw_at_row = -1;
  int rows_attempted = 0;

  int GetErrorCode() const override { return ErrorInfoBase::GetErrorCode(); }
  const char* GetErrorText() const override { return ErrorInfoBase::GetErrorText(); }

  int GetConstraintsCount() override {
    const int count = inner_.GetConstraintsCount();
    copy_inner_error();
    return count;
  }
  IConstraint* GetConstraint(int idx) override {
    IConstraint* row = inner_.GetConstraint(idx);
    copy_inner_error();
    return row;
  }
  int AddConstraintLinearSparse(const double* values, const std::int32_t* positions,
                                std::uint64_t count, constraint_sense sense,
                                double rhs) override {
    const int row = rows_attempted++;
    if (row == throw_at_row) throw std::runtime_error("thrown by the model");
    if (row == fail_at_row) {
      SetError(kInjectedText, kInjectedCode);
      return -1;
    }
    const int index = inner_.AddConstraintLinearSparse(values, positions, count, sense, rhs);
    copy_inner_error();
    return index;
  }

 private:
  void copy_inner_error() { SetError(inner_.GetErrorText(), inner_.GetErrorCode()); }

  IMatrixModel& inner_;
};

}  // namespace velorium::testing

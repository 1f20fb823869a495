// MatrixModel_AddConstraintsLinearSparse adds all rows or none: when a row fails, the rows
// added before it are removed again and the model reports that row's error.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/error_info_base.hpp"
#include "support/catalogue_failure.hpp"
#include "support/failing_rows_model.hpp"
#include "support/recording_objects.hpp"
#include "velorium/velorium.h"
#include "velorium/velorium.hpp"

namespace velorium::testing {
namespace {

// A model that keeps a list of rows, as the model store does: store indices never change, a
// removed row leaves the list of live rows and the last live row takes its position.
class RowListModel : public RecordingMatrixModelT<cpp_impl::ErrorInfoBase<IMatrixModel>> {
 public:
  struct Row {
    const double* values;
    const std::int32_t* positions;
    std::uint64_t count;
    constraint_sense sense;
    double rhs;
  };
  std::vector<Row> rows;          // by store index
  std::vector<int> live;          // store indices by position

  int GetErrorCode() const override { return ErrorInfoBase::GetErrorCode(); }
  const char* GetErrorText() const override { return ErrorInfoBase::GetErrorText(); }

  int GetConstraintsCount() override {
    clear_error();
    return static_cast<int>(live.size());
  }
  int AddConstraintLinearSparse(const double* values, const std::int32_t* positions,
                                std::uint64_t count, constraint_sense sense,
                                double rhs) override {
    clear_error();
    rows.push_back({values, positions, count, sense, rhs});
    live.push_back(static_cast<int>(rows.size()) - 1);
    return live.back();
  }
  IConstraint* GetConstraint(int idx) override {
    clear_error();
    if (idx < 0 || idx >= static_cast<int>(live.size())) {
      SetError("Invalid object index", -1);
      return new RowHandle(*this, -1);
    }
    return new RowHandle(*this, live[idx]);
  }

 private:
  class RowHandle : public RecordingConstraint {
   public:
    RowHandle(RowListModel& model, int index) : model_(model), index_(index) {}
    void Remove() override { model_.remove_row(index_); }
    void Release() override { delete this; }

   private:
    RowListModel& model_;
    int index_;
  };

  void remove_row(int index) {
    for (std::size_t position = 0; position < live.size(); ++position) {
      if (live[position] == index) {
        live[position] = live.back();
        live.pop_back();
        return;
      }
    }
  }
};

// Five rows on the positions {0, 2}, added to a model that already holds two rows.
class AddConstraintsLinearSparseTest : public ::testing::Test {
 protected:
  AddConstraintsLinearSparseTest() {
    rows_.AddConstraintLinearSparse(nullptr, nullptr, 0, constraint_sense::equal, 1.0);
    rows_.AddConstraintLinearSparse(nullptr, nullptr, 0, constraint_sense::equal, 2.0);
  }

  void add_rows(const double* values = kValues) {
    MatrixModel_AddConstraintsLinearSparse(&model_, values, kPositions, 2, kSenses, kRhs, 5);
  }

  static constexpr double kValues[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  static constexpr int kPositions[] = {0, 2};
  static constexpr int kSenses[] = {0, 1, 2, 1, 0};
  static constexpr double kRhs[] = {10, 11, 12, 13, 14};

  RowListModel rows_;
  FailingRowsModel model_{rows_};
};

TEST_F(AddConstraintsLinearSparseTest, AddsEveryRowWithItsCoefficientsSenseAndRightHandSide) {
  add_rows();
  EXPECT_EQ(Model_GetErrorCode(&model_), 0);
  ASSERT_EQ(Model_GetConstraintsCount(&model_), 7);
  for (int r = 0; r < 5; ++r) {
    const RowListModel::Row& row = rows_.rows[2 + r];
    EXPECT_EQ(row.values, kValues + 2 * r) << r;
    EXPECT_EQ(row.positions, kPositions) << r;  // one column pattern for every row
    EXPECT_EQ(row.count, 2u) << r;
    EXPECT_EQ(static_cast<int>(row.sense), kSenses[r]) << r;
    EXPECT_EQ(row.rhs, kRhs[r]) << r;
  }
}

TEST_F(AddConstraintsLinearSparseTest, WithoutValuesEveryRowGetsNone) {
  add_rows(nullptr);
  ASSERT_EQ(rows_.rows.size(), 7u);
  for (int r = 0; r < 5; ++r) EXPECT_EQ(rows_.rows[2 + r].values, nullptr) << r;
}

TEST_F(AddConstraintsLinearSparseTest, NoRowsOnlyCountsTheRows) {
  MatrixModel_AddConstraintsLinearSparse(&model_, kValues, kPositions, 2, kSenses, kRhs, 0);
  EXPECT_EQ(model_.rows_attempted, 0);
  EXPECT_EQ(Model_GetConstraintsCount(&model_), 2);
  EXPECT_EQ(Model_GetErrorCode(&model_), 0);
}

TEST_F(AddConstraintsLinearSparseTest, ASenseOutOfRangeRefusesEveryRowBeforeTheFirst) {
  for (const int stray : {3, -1, 7}) {
    const int senses[] = {0, 1, 2, stray, 0};
    MatrixModel_AddConstraintsLinearSparse(&model_, kValues, kPositions, 2, senses, kRhs, 5);
    EXPECT_EQ(model_.rows_attempted, 0) << stray;
    EXPECT_EQ(Model_GetErrorCode(&model_), -1) << stray;
    EXPECT_STREQ(Model_GetErrorText(&model_), catalogue_text(152).c_str()) << stray;
    EXPECT_EQ(Model_GetConstraintsCount(&model_), 2) << stray;
  }
}

struct FailureCase {
  const char* name;
  int fail_at_row;
  int throw_at_row;
  int expected_code;
  const char* expected_text;
};

TEST_F(AddConstraintsLinearSparseTest, AFailingRowRemovesTheRowsAddedBeforeIt) {
  const FailureCase cases[] = {
      {"fourth row refused", 3, -1, FailingRowsModel::kInjectedCode,
       FailingRowsModel::kInjectedText},
      {"first row refused", 0, -1, FailingRowsModel::kInjectedCode,
       FailingRowsModel::kInjectedText},
      {"last row refused", 4, -1, FailingRowsModel::kInjectedCode,
       FailingRowsModel::kInjectedText},
      {"third row throws", -1, 2, -1, "thrown by the model"},
  };
  for (const FailureCase& c : cases) {
    RowListModel rows;
    rows.AddConstraintLinearSparse(nullptr, nullptr, 0, constraint_sense::equal, 1.0);
    rows.AddConstraintLinearSparse(nullptr, nullptr, 0, constraint_sense::equal, 2.0);
    FailingRowsModel model(rows);
    model.fail_at_row = c.fail_at_row;
    model.throw_at_row = c.throw_at_row;

    MatrixModel_AddConstraintsLinearSparse(&model, kValues, kPositions, 2, kSenses, kRhs, 5);

    EXPECT_EQ(Model_GetErrorCode(&model), c.expected_code) << c.name;
    EXPECT_STREQ(Model_GetErrorText(&model), c.expected_text) << c.name;
    // The rows after the failing one were not tried; the two rows held before stay.
    EXPECT_EQ(model.rows_attempted, (c.fail_at_row >= 0 ? c.fail_at_row : c.throw_at_row) + 1)
        << c.name;
    EXPECT_EQ(rows.live, (std::vector<int>{0, 1})) << c.name;
  }
}

TEST_F(AddConstraintsLinearSparseTest, AModelWithoutTheMatrixFaceIsLeftAlone) {
  RecordingModel plain;
  MatrixModel_AddConstraintsLinearSparse(&plain, kValues, kPositions, 2, kSenses, kRhs, 5);
  EXPECT_EQ(plain.call_count(), 0);
}

}  // namespace
}  // namespace velorium::testing

// Matrix-form additions of the store: bulk variables, rows and the objective from arrays.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/base/kernel.hpp"
#include "core/names/names_holder.hpp"
#include "core/store/model_builder.hpp"
#include "support/catalogue_failure.hpp"
#include "support/test_models.hpp"

namespace velorium::cpp_impl {
namespace {

using velorium::testing::fails_with;

using test::kInf;
using test::nameOrNone;

class MatrixAdditionsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(get_or_create_kernel()); }

  void add_continuous(std::uint64_t n) {
    const double lower = 0.0, upper = 10.0;
    const std::int32_t type = 0;
    store->add_variables(&lower, 1, &upper, 1, nullptr, 0, &type, 1, n);
  }
  std::string variable_name(std::int32_t store_index) {
    const char* name = store->variable_name(store_index);
    return name ? name : "<none>";
  }
  std::string row_name(std::int32_t store_index) { return nameOrNone(store->model->rows[store_index].expression.name_id); }
  // The whole objective and row content, for checking that a rejected call changed nothing.
  std::string snapshot() const {
    std::string text = std::to_string(store->model->objective_sense) + "|";
    auto append_expression = [&text](const Expression& e) {
      for (const LinearTerm& t : e.linear_terms) text += std::to_string(t.variable) + ":" + std::to_string(t.coefficient) + " ";
      for (const QuadTerm& t : e.quadratic_terms) {
        text += std::to_string(t.variable1) + "*" + std::to_string(t.variable2) + ":" + std::to_string(t.coefficient) + " ";
      }
      text += "|";
    };
    append_expression(store->model->objective);
    for (const Constraint& row : store->model->rows) append_expression(row.expression);
    return text + std::to_string(store->model->variables.size());
  }
  static void expect_terms(const std::vector<QuadTerm>& terms, const std::vector<QuadTerm>& expected) {
    ASSERT_EQ(terms.size(), expected.size());
    for (std::size_t k = 0; k < terms.size(); ++k) {
      EXPECT_EQ(terms[k].variable1, expected[k].variable1) << k;
      EXPECT_EQ(terms[k].variable2, expected[k].variable2) << k;
      EXPECT_DOUBLE_EQ(terms[k].coefficient, expected[k].coefficient) << k;
    }
  }

  std::shared_ptr<ModelBuilder> store = std::make_shared<ModelBuilder>();
};

TEST_F(MatrixAdditionsTest, VariablesWithSharedAndPerVariableValues) {
  const double lower = 0.0;
  const double upper[] = {1.0, 2.0, 3.0};
  const std::int32_t types[] = {2, 2, 0};
  EXPECT_TRUE(store->add_variables(&lower, 1, upper, 3, nullptr, 0, types, 3, 3));
  ASSERT_EQ(store->variable_count(), 3);
  for (std::int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(variable_name(i), "x#" + std::to_string(i));
    EXPECT_EQ(store->variable_lower(i), 0.0);
    EXPECT_EQ(store->variable_upper(i), upper[i]);
    EXPECT_EQ(store->variable_type_of(i), static_cast<std::uint32_t>(types[i]));
  }
  EXPECT_TRUE(store->model->objective.linear_terms.empty());
}

TEST_F(MatrixAdditionsTest, BinaryBoundsAreRoundedAndObjectiveTermsSkipZeros) {
  const double lower[] = {-0.4, 0.6};
  const double upper[] = {7.0, 0.7};
  const double objective[] = {1e-15, -2.0};
  const std::int32_t binary = 1;
  store->add_variables(lower, 2, upper, 2, objective, 2, &binary, 1, 2);
  EXPECT_EQ(store->variable_lower(0), 0.0);
  EXPECT_EQ(store->variable_upper(0), 1.0);
  EXPECT_EQ(store->variable_lower(1), 1.0);
  EXPECT_EQ(store->variable_upper(1), 1.0);
  ASSERT_EQ(store->model->objective.linear_terms.size(), 1u);
  EXPECT_EQ(store->model->objective.linear_terms[0].variable, 1);
  EXPECT_EQ(store->model->objective.linear_terms[0].coefficient, -2.0);
}

TEST_F(MatrixAdditionsTest, RejectedVariableArraysAddNothing) {
  add_continuous(1);
  const double two[] = {0.0, 1.0};
  const double crossed_upper[] = {1.0, 1.0, 1.0};
  const double crossed_lower[] = {0.0, 5.0, 0.0};
  const double half[] = {0.0, 0.5};
  const std::int32_t integer = 2;
  const std::int32_t continuous = 0;
  const double one = 1.0;
  struct Case {
    const char* what;
    std::function<void()> call;
    int message;
  };
  const std::vector<Case> cases = {
      {"no variables", [&] { store->add_variables(&one, 1, &one, 1, nullptr, 0, &continuous, 1, 0); }, 128},
      {"two lower bounds for three", [&] { store->add_variables(two, 2, &one, 1, nullptr, 0, &continuous, 1, 3); }, 129},
      {"null lower bounds", [&] { store->add_variables(nullptr, 1, &one, 1, nullptr, 0, &continuous, 1, 3); }, 129},
      {"two upper bounds for three", [&] { store->add_variables(&one, 1, two, 2, nullptr, 0, &continuous, 1, 3); }, 130},
      {"no types", [&] { store->add_variables(&one, 1, &one, 1, nullptr, 0, nullptr, 1, 3); }, 131},
      {"one objective coefficient for two", [&] { store->add_variables(&one, 1, &one, 1, &one, 1, &continuous, 1, 2); }, 132},
  };
  const std::string before = snapshot();
  for (const Case& c : cases) {
    EXPECT_TRUE(fails_with(c.call, c.message)) << c.what;
    EXPECT_EQ(snapshot(), before) << c.what;
  }
  EXPECT_TRUE(fails_with([&] { store->add_variables(crossed_lower, 3, crossed_upper, 3, nullptr, 0, &continuous, 1, 3); },
                         115, 1.0, 5.0));
  EXPECT_TRUE(fails_with([&] { store->add_variables(half, 2, two, 2, nullptr, 0, &integer, 1, 2); }, 113, 0.5));
  EXPECT_EQ(store->variable_count(), 1);
  EXPECT_EQ(snapshot(), before);
}

TEST_F(MatrixAdditionsTest, DenseQuadraticMatrixBecomesHalfOfXQX) {
  add_continuous(2);
  const double q[] = {1.0, 2.0, 2.0, 4.0};
  store->set_objective_dense(q, 2, 2, nullptr, 0, 0);
  expect_terms(store->model->objective.quadratic_terms, {{0, 0, 0.5}, {0, 1, 2.0}, {1, 1, 2.0}});
}

TEST_F(MatrixAdditionsTest, SparseQuadraticMatrixMatchesTheDenseOne) {
  add_continuous(3);
  // Row 0: (0, 1.0) (1, 2.0); row 1: (0, 2.0) (1, 4.0) (2, 0.0); row 2: (1, -3.0) (1, 1.0)
  const double values[] = {1.0, 2.0, 2.0, 4.0, 0.0, -3.0, 1.0};
  const std::int32_t columns[] = {0, 1, 0, 1, 2, 1, 1};
  const std::int32_t starts[] = {0, 2, 5, 7};
  const double c[] = {0.0, 1.0, 0.0};
  store->set_objective_sparse(values, columns, starts, 3, 3, c, 3, 1);
  expect_terms(store->model->objective.quadratic_terms, {{0, 0, 0.5}, {0, 1, 2.0}, {1, 1, 2.0}, {1, 2, -1.0}});
  ASSERT_EQ(store->model->objective.linear_terms.size(), 1u);
  EXPECT_EQ(store->model->objective.linear_terms[0].variable, 1);
  EXPECT_EQ(store->model->objective_sense, 1);
}

TEST_F(MatrixAdditionsTest, PositionsAreTurnedIntoStoreIndices) {
  add_continuous(3);
  store->remove_variable(0);  // store index 2 moves to position 0
  const double q[] = {0.0, 1.0, 1.0, 0.0};
  const double c[] = {5.0, 0.0};
  store->set_objective_dense(q, 2, 2, c, 2, 0);
  expect_terms(store->model->objective.quadratic_terms, {{1, 2, 1.0}});
  EXPECT_EQ(store->model->objective.linear_terms[0].variable, 2);
  const double values[] = {1.0, 3.0};
  const std::int32_t positions[] = {1, 0};
  const std::int32_t row = store->add_row_linear_sparse(values, positions, 2, 1, 4.0);
  const LinearTerms& terms = store->model->rows[row].expression.linear_terms;
  ASSERT_EQ(terms.size(), 2u);
  EXPECT_EQ(terms[0].variable, 1);
  EXPECT_EQ(terms[1].variable, 2);
}

TEST_F(MatrixAdditionsTest, RejectedObjectiveLeavesTheObjectiveAsItWas) {
  add_continuous(3);
  const double c[] = {1.0, 2.0, 3.0};
  store->set_objective_dense(nullptr, 0, 0, c, 3, 1);
  const double q6[] = {1, 0, 0, 1, 0, 0};
  const double q4[] = {1, 0, 0, 1};
  const double far_c[] = {1.0, 0.0, 0.0, 2.0};
  const double values[] = {1.0, 1.0};
  const std::int32_t good_columns[] = {0, 1};
  const std::int32_t bad_columns[] = {0, 3};
  const std::int32_t negative_start[] = {-1, 0, 1, 2};
  const std::int32_t decreasing[] = {0, 2, 1, 2};
  const std::int32_t starts[] = {0, 1, 2, 2};
  struct Case {
    const char* what;
    std::function<void()> call;
    int message;
  };
  const std::vector<Case> cases = {
      {"3 by 2", [&] { store->set_objective_dense(q6, 3, 2, nullptr, 0, 0); }, 133},
      {"2 by 2 for three variables", [&] { store->set_objective_dense(q4, 2, 2, nullptr, 0, 0); }, 134},
      {"coefficient past the variables", [&] { store->set_objective_dense(nullptr, 0, 0, far_c, 4, 0); }, 110},
      {"sparse 0 by 1", [&] { store->set_objective_sparse(values, good_columns, starts, 0, 1, nullptr, 0, 0); }, 133},
      {"sparse without row starts", [&] { store->set_objective_sparse(values, good_columns, nullptr, 3, 3, nullptr, 0, 0); }, 154},
      {"sparse without columns", [&] { store->set_objective_sparse(values, nullptr, starts, 3, 3, nullptr, 0, 0); }, 154},
      {"negative row start", [&] { store->set_objective_sparse(values, good_columns, negative_start, 3, 3, nullptr, 0, 0); }, 154},
      {"decreasing row starts", [&] { store->set_objective_sparse(values, good_columns, decreasing, 3, 3, nullptr, 0, 0); }, 154},
      {"column past the variables", [&] { store->set_objective_sparse(values, bad_columns, starts, 3, 3, nullptr, 0, 0); }, 110},
  };
  const std::string before = snapshot();
  for (const Case& c : cases) {
    // The one position named by a 110 is 3; the other messages take no argument.
    EXPECT_TRUE(fails_with(c.call, c.message, 3)) << c.what;
    EXPECT_EQ(snapshot(), before) << c.what;
  }
}

TEST_F(MatrixAdditionsTest, DenseRowChecks) {
  // No variables: a Q of 0 rows passes even with 5 columns.
  const std::int32_t empty_row = store->add_row_dense(nullptr, 0, 5, nullptr, 0, 0, 1.0);
  const double nothing[1] = {0.0};
  EXPECT_EQ(store->add_row_dense(nothing, 0, 5, nullptr, 0, 0, 1.0), empty_row + 1);
  add_continuous(2);
  const double q[] = {1.0, 0.0, 0.0, 1.0};
  const double c3[] = {1.0, 1.0, 1.0};
  const double c2[] = {0.0, 3.0};
  EXPECT_TRUE(fails_with([&] { store->add_row_dense(q, 0, 2, nullptr, 0, 0, 1.0); }, 134));
  EXPECT_TRUE(fails_with([&] { store->add_row_dense(q, 2, 1, nullptr, 0, 0, 1.0); }, 133));
  EXPECT_TRUE(fails_with([&] { store->add_row_dense(q, 2, 2, c3, 3, 0, 1.0); }, 138));
  EXPECT_EQ(store->row_count(), 2);
  const std::int32_t row = store->add_row_dense(q, 2, 2, c2, 2, 2, 1.0);
  const Constraint& added = store->model->rows[row];
  EXPECT_EQ(added.lower, 1.0);
  EXPECT_EQ(added.upper, kInf);
  ASSERT_EQ(added.expression.linear_terms.size(), 1u);
  EXPECT_EQ(added.expression.linear_terms[0].variable, 1);
  expect_terms(added.expression.quadratic_terms, {{0, 0, 0.5}, {1, 1, 0.5}});
}

TEST_F(MatrixAdditionsTest, SparseRowChecksRowStartsBeforeAdding) {
  add_continuous(2);
  const double values[] = {2.0, 1.0};
  const std::int32_t columns[] = {1, 0};
  const std::int32_t starts[] = {0, 1, 2};
  const std::int32_t bad_starts[] = {0, 2, 1};
  const double c_far[] = {0.0, 0.0, 0.0, 1.0};
  EXPECT_TRUE(fails_with([&] { store->add_row_sparse(values, columns, bad_starts, 2, 2, nullptr, 0, 0, 1.0); }, 154));
  EXPECT_TRUE(fails_with([&] { store->add_row_sparse(values, columns, starts, 2, 2, c_far, 4, 0, 1.0); }, 110, 3));
  EXPECT_EQ(store->row_count(), 0);
  const std::int32_t row = store->add_row_sparse(values, columns, starts, 2, 2, c_far, 2, 1, 1.0);
  expect_terms(store->model->rows[row].expression.quadratic_terms, {{0, 1, 1.5}});
  EXPECT_TRUE(store->model->rows[row].expression.linear_terms.empty());
}

TEST_F(MatrixAdditionsTest, SenseGivesTheBounds) {
  add_continuous(1);
  const double value = 1.0;
  const std::int32_t position = 0;
  struct Case {
    int sense;
    double lower, upper;
  };
  for (const Case c : {Case{0, 4.0, 4.0}, Case{1, -kInf, 4.0}, Case{2, 4.0, kInf}, Case{7, 0.0, 0.0}, Case{-1, 0.0, 0.0}}) {
    const std::int32_t row = store->add_row_linear_sparse(&value, &position, 1, c.sense, 4.0);
    EXPECT_EQ(store->model->rows[row].lower, c.lower) << c.sense;
    EXPECT_EQ(store->model->rows[row].upper, c.upper) << c.sense;
  }
}

TEST_F(MatrixAdditionsTest, LinearSparseRowsAreCheckedBeforeTheyAreAdded) {
  add_continuous(2);
  const double values[] = {1.0, 2.0, 3.0};
  const std::int32_t bad_positions[] = {0, 1, 2};
  EXPECT_TRUE(fails_with([&] { store->add_row_linear_sparse(values, bad_positions, 3, 0, 1.0); }, 110, 2));
  EXPECT_TRUE(fails_with([&] { store->add_row_linear_sparse(values, nullptr, 3, 0, 1.0); }, 154));
  EXPECT_EQ(store->row_count(), 0);
  // Without values the positions are still checked, and the row has no terms.
  EXPECT_TRUE(fails_with([&] { store->add_row_linear_sparse(nullptr, bad_positions, 3, 0, 1.0); }, 110, 2));
  const std::int32_t row = store->add_row_linear_sparse(nullptr, bad_positions, 2, 0, 1.0);
  EXPECT_TRUE(store->model->rows[row].expression.linear_terms.empty());
}

TEST_F(MatrixAdditionsTest, LinearSparseRowsTakeDefaultNamesUntilARowIsNamedOtherwise) {
  add_continuous(1);
  const double value = 1.0;
  const std::int32_t position = 0;
  EXPECT_EQ(row_name(store->add_row_linear_sparse(&value, &position, 1, 0, 1.0)), "C#0");
  EXPECT_EQ(row_name(store->add_row_linear_sparse(&value, &position, 1, 0, 1.0)), "C#1");
  EXPECT_EQ(row_name(store->add_row(Expression{}, 0.0, 1.0, "C#3", nullptr)), "C#3");
  EXPECT_FALSE(store->row_table.default_names_only);
  // Three live rows, C#3 taken: the unique name is C#4.
  EXPECT_EQ(row_name(store->add_row_linear_sparse(&value, &position, 1, 0, 1.0)), "C#4");
  EXPECT_EQ(row_name(store->add_row_dense(nullptr, 0, 0, nullptr, 0, 0, 1.0)), "C#5");
}

}  // namespace
}  // namespace velorium::cpp_impl

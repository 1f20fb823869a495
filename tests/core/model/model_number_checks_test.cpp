// Numbers that enter a model through the object interface: NaN is refused everywhere, and an
// infinity wherever only a finite number makes sense; a refused call changes nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "core/expressions/expression_views.hpp"
#include "model_test_support.hpp"
#include "support/fake_engine.hpp"
#include "support/scratch_dir.hpp"

namespace velorium::cpp_impl {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = kVeloriumInf;
constexpr int kNonFinite = 505;
constexpr std::int32_t kContinuousType[] = {0};

void describe_terms(std::ostringstream& out, const Expression& terms) {
  for (const LinearTerm& t : terms.linear_terms) out << " " << t.variable << "*" << t.coefficient;
  for (const QuadTerm& t : terms.quadratic_terms) {
    out << " " << t.variable1 << "*" << t.variable2 << "*" << t.coefficient;
  }
  out << " + " << terms.constant << "\n";
}

// A model of x in [0, 10] (objective 3), y in [-1, 1], the row c: x + y <= 4, the objective
// constant 1; a free expression 2 x + 5 + x*y and a free constraint 2 x + 5 + x*y >= 1.
class NumberChecks : public ModelFixture {
 protected:
  void SetUp() override {
    ModelFixture::SetUp();
    x = add(0, 10, variable_type::continuous, "x", 3.0);
    y = add(-1, 1, variable_type::continuous, "y");
    ILinearExpression* sum = own(CreateLinearExpression());
    sum->AddTerm(x, 1.0);
    sum->AddTerm(y, 1.0);
    row = own(model->AddConstraintLinear1(sum, constraint_sense::less_equal, 4.0, "c"));
    model->SetObjectiveOffset(1.0);
    expr = own(CreateLinearExpression());
    expr->AddTerm(x, 2.0);
    expr->AddConstant(5.0);
    quad = own(expr->GetQuadPart());
    quad->AddTerm(x, y, 1.0);
    free_row = own(CreateConstraint(expr, constraint_sense::greater_equal, 1.0));
    ASSERT_NE(row, nullptr);
    ASSERT_NE(free_row, nullptr);
  }

  // Everything a refused call might have changed.
  std::string state() {
    std::ostringstream out;
    const Model& m = *store().model;
    for (const Variable& v : m.variables) out << "v " << v.type << " " << v.lower << " " << v.upper << "\n";
    for (const Constraint& r : m.rows) {
      out << "r " << r.lower << " " << r.upper;
      describe_terms(out, r.expression);
    }
    out << "o " << m.objective_sense;
    describe_terms(out, m.objective);
    out << "e";
    describe_terms(out, store_of(expr)->get_terms());
    out << "f " << free_row->GetLowerBound() << " " << free_row->GetUpperBound() << "\n";
    return out.str();
  }

  IVariable* x = nullptr;
  IVariable* y = nullptr;
  IConstraint* row = nullptr;
  ILinearExpression* expr = nullptr;
  IQuadExpression* quad = nullptr;
  IConstraint* free_row = nullptr;
};

// Which numbers a case refuses: NaN only (bounds, right-hand sides, ranges), or every number
// that is not finite (coefficients, constants, factors).
enum class Refused { nan, non_finite };

struct Case {
  const char* title;
  IErrorInfo* holder;  // where the operation reports
  std::function<void(double value)> call;
  Refused refused;
};

TEST_F(NumberChecks, RefusedNumbersChangeNothingAndGive505) {
  ILinearExpression* row_view = own(row->GetLinearExpression());
  ILinearExpression* objective = own(model->GetObjective());
  ILinearExpression* empty = own(CreateLinearExpression());
  IMatrixModel* m = model;
  constexpr auto kNaNOnly = Refused::nan;
  constexpr auto kFinite = Refused::non_finite;
  const auto add_variable = [&](double lower, double upper, double c, const char* name) {
    own(model->AddVariable(lower, upper, c, variable_type::continuous, name));
  };
  const auto add_variables = [&](std::vector<double> lower, std::vector<double> upper, std::vector<double> c) {
    m->AddVariables(2, lower.data(), lower.size(), upper.data(), upper.size(), c.data(), c.size(), kContinuousType, 1);
  };
  const auto sense = [](int value) { return static_cast<constraint_sense>(value); };
  const std::int32_t columns[] = {0, 1};
  const std::int32_t diagonal_starts[] = {0, 1, 2};
  const std::vector<Case> cases = {
      // Variables.
      {"AddVariable lower", model, [&](double v) { add_variable(v, 1, 0, "n"); }, kNaNOnly},
      {"AddVariable upper", model, [&](double v) { add_variable(0, v, 0, "n"); }, kNaNOnly},
      {"AddVariable objective", model, [&](double v) { add_variable(0, 1, v, nullptr); }, kFinite},
      {"AddVariable objective, replacing x", model, [&](double v) { add_variable(0, 1, v, "x"); }, kFinite},
      {"SetLowerBound", x, [&](double v) { x->SetLowerBound(v); }, kNaNOnly},
      {"SetUpperBound", x, [&](double v) { x->SetUpperBound(v); }, kNaNOnly},
      // Constraints.
      {"row SetLowerBound", row, [&](double v) { row->SetLowerBound(v); }, kNaNOnly},
      {"row SetUpperBound", row, [&](double v) { row->SetUpperBound(v); }, kNaNOnly},
      {"row SetRange", row, [&](double v) { row->SetRange(v); }, kNaNOnly},
      {"free SetUpperBound", free_row, [&](double v) { free_row->SetUpperBound(v); }, kNaNOnly},
      {"free SetRange", free_row, [&](double v) { free_row->SetRange(v); }, kNaNOnly},
      {"AddConstraintLinear1", model,
       [&](double v) { own(model->AddConstraintLinear1(expr, constraint_sense::equal, v, "n")); }, kNaNOnly},
      {"AddConstraintLinear1, unknown sense", model,
       [&](double v) { own(model->AddConstraintLinear1(expr, sense(7), v, "n")); }, kNaNOnly},
      {"AddConstraintQuad1", model,
       [&](double v) { own(model->AddConstraintQuad1(quad, constraint_sense::greater_equal, v, "n")); }, kNaNOnly},
      {"AddConstraintLinear2 lower", model, [&](double v) { own(model->AddConstraintLinear2(expr, v, 1, "n")); },
       kNaNOnly},
      {"AddConstraintQuad2 upper", model, [&](double v) { own(model->AddConstraintQuad2(quad, 0, v, "n")); },
       kNaNOnly},
      {"AddConstraintLinear2 without terms", model,
       [&](double v) { own(model->AddConstraintLinear2(empty, v, 1, "n")); }, kNaNOnly},
      // Objective.
      {"SetObjectiveOffset", model, [&](double v) { model->SetObjectiveOffset(v); }, kFinite},
      {"objective view AddTerm", objective, [&](double v) { objective->AddTerm(y, v); }, kFinite},
      // Linear expressions: a free one, a row's view.
      {"SetTermCoeff", expr, [&](double v) { expr->SetTermCoeff(0, v); }, kFinite},
      {"SetConstant", expr, [&](double v) { expr->SetConstant(v); }, kFinite},
      {"AddConstant", expr, [&](double v) { expr->AddConstant(v); }, kFinite},
      {"AddTerm, new term", expr, [&](double v) { expr->AddTerm(y, v); }, kFinite},
      {"AddTerm, existing term", expr, [&](double v) { expr->AddTerm(x, v); }, kFinite},
      {"AddExpression factor", expr, [&](double v) { expr->AddExpression(expr, v); }, kFinite},
      {"row view AddTerm", row_view, [&](double v) { row_view->AddTerm(x, v); }, kFinite},
      {"row view SetConstant", row_view, [&](double v) { row_view->SetConstant(v); }, kFinite},
      // Quadratic expressions.
      {"quad SetTermCoeff", quad, [&](double v) { quad->SetTermCoeff(0, v); }, kFinite},
      {"quad AddTerm, new term", quad, [&](double v) { quad->AddTerm(y, y, v); }, kFinite},
      {"quad AddTerm, existing term", quad, [&](double v) { quad->AddTerm(y, x, v); }, kFinite},
      {"quad AddExpression factor", quad, [&](double v) { quad->AddExpression(quad, v); }, kFinite},
      // Matrix form: one bad entry among good ones.
      {"AddVariables lower", model, [&](double v) { add_variables({0, v}, {1}, {}); }, kNaNOnly},
      {"AddVariables upper", model, [&](double v) { add_variables({0}, {1, v}, {}); }, kNaNOnly},
      {"AddVariables objective", model, [&](double v) { add_variables({0}, {1}, {1, v}); }, kFinite},
      {"SetObjective c", model,
       [&](double v) {
         const double c[] = {1, v};
         m->SetObjective(nullptr, 0, 0, c, 2, objective_sense::maximize);
       },
       kFinite},
      {"SetObjective Q", model,
       [&](double v) {
         const double q[] = {1, 0, 0, v};
         m->SetObjective(q, 2, 2, nullptr, 0, objective_sense::maximize);
       },
       kFinite},
      {"SetObjectiveSparse Q", model,
       [&](double v) {
         const double q[] = {1, v};
         m->SetObjectiveSparse(q, columns, diagonal_starts, 2, 2, nullptr, 0, objective_sense::minimize);
       },
       kFinite},
      {"AddConstraint c", model,
       [&](double v) {
         const double c[] = {v, 1};
         m->AddConstraint(nullptr, 0, 0, c, 2, constraint_sense::less_equal, 1);
       },
       kFinite},
      {"AddConstraint Q", model,
       [&](double v) {
         const double q[] = {v, 0, 0, 1};
         m->AddConstraint(q, 2, 2, nullptr, 0, constraint_sense::less_equal, 1);
       },
       kFinite},
      {"AddConstraint rhs", model,
       [&](double v) {
         const double c[] = {1, 1};
         m->AddConstraint(nullptr, 0, 0, c, 2, constraint_sense::equal, v);
       },
       kNaNOnly},
      {"AddConstraintSparse Q", model,
       [&](double v) {
         const double q[] = {1, v};
         m->AddConstraintSparse(q, columns, diagonal_starts, 2, 2, nullptr, 0, constraint_sense::less_equal, 1);
       },
       kFinite},
      {"AddConstraintSparse rhs, unknown sense", model,
       [&](double v) { m->AddConstraintSparse(nullptr, nullptr, nullptr, 0, 0, nullptr, 0, sense(9), v); }, kNaNOnly},
      {"AddConstraintLinearSparse values", model,
       [&](double v) {
         const double a[] = {1, v};
         m->AddConstraintLinearSparse(a, columns, 2, constraint_sense::less_equal, 1);
       },
       kFinite},
      {"AddConstraintLinearSparse rhs", model,
       [&](double v) {
         const double a[] = {1};
         m->AddConstraintLinearSparse(a, columns, 1, constraint_sense::greater_equal, v);
       },
       kNaNOnly},
  };
  for (const Case& c : cases) {
    std::vector<double> values = {kNaN, -kNaN};
    if (c.refused == Refused::non_finite) values.insert(values.end(), {kInf, -kInf});
    for (const double value : values) {
      SCOPED_TRACE(std::string(c.title) + " with " + std::to_string(value));
      const std::string before = state();
      const int variables = model->GetVariablesCount();
      const int rows = model->GetConstraintsCount();
      c.call(value);
      expect_failure(c.holder, kNonFinite);
      EXPECT_EQ(state(), before);
      EXPECT_EQ(model->GetVariablesCount(), variables);
      EXPECT_EQ(model->GetConstraintsCount(), rows);
    }
  }
}

// Coefficients and constants that become infinite through a sum or a product are refused too.
TEST_F(NumberChecks, OverflowingSumsAndProductsAreRefused) {
  const double huge = std::numeric_limits<double>::max();
  const std::vector<std::pair<const char*, std::function<IErrorInfo*()>>> cases = {
      {"AddTerm onto a huge term", [&] { expr->AddTerm(y, huge); expr->AddTerm(y, huge); return expr; }},
      {"quad AddTerm onto a huge term",
       [&] {
         quad->AddTerm(y, y, huge);
         quad->AddTerm(y, y, huge);
         return quad;
       }},
      {"AddConstant onto a huge constant",
       [&] {
         expr->SetConstant(huge);
         expr->AddConstant(huge);
         return expr;
       }},
      {"AddExpression of a huge factor", [&] { expr->AddExpression(expr, huge); return expr; }},
  };
  for (const auto& [title, call] : cases) {
    SCOPED_TRACE(title);
    IErrorInfo* object = call();
    expect_failure(object, kNonFinite);
    const Expression& terms = store_of(expr)->get_terms();
    for (const LinearTerm& t : terms.linear_terms) EXPECT_TRUE(std::isfinite(t.coefficient));
    for (const QuadTerm& t : terms.quadratic_terms) EXPECT_TRUE(std::isfinite(t.coefficient));
    EXPECT_TRUE(std::isfinite(terms.constant));
  }
}

// An infinite bound is a missing one: it stays allowed wherever a bound is taken.
TEST_F(NumberChecks, InfiniteBoundsAndRightHandSidesStay) {
  IMatrixModel* m = model;
  const double lower[] = {-kInf};
  const double upper[] = {kInf};
  const double one[] = {1};
  const std::int32_t first[] = {0};
  const std::vector<std::pair<const char*, std::function<IErrorInfo*()>>> cases = {
      {"AddVariable",
       [&] {
         own(model->AddVariable(-kInf, kInf, 0, variable_type::continuous, "free"));
         return model;
       }},
      {"SetLowerBound", [&] { x->SetLowerBound(-kInf); return x; }},
      {"SetUpperBound", [&] { y->SetUpperBound(kInf); return y; }},
      {"row SetUpperBound", [&] { row->SetUpperBound(kInf); return row; }},
      {"row SetRange", [&] { row->SetLowerBound(0); row->SetRange(kInf); return row; }},
      {"AddConstraintLinear1",
       [&] {
         own(model->AddConstraintLinear1(expr, constraint_sense::less_equal, kInf, "n1"));
         return model;
       }},
      {"AddConstraintLinear2",
       [&] {
         own(model->AddConstraintLinear2(expr, -kInf, kInf, "n2"));
         return model;
       }},
      {"AddVariables",
       [&] {
         m->AddVariables(2, lower, 1, upper, 1, nullptr, 0, kContinuousType, 1);
         return model;
       }},
      {"AddConstraintLinearSparse",
       [&] {
         m->AddConstraintLinearSparse(one, first, 1, constraint_sense::greater_equal, -kInf);
         return model;
       }},
  };
  for (const auto& [title, call] : cases) {
    SCOPED_TRACE(title);
    expect_ok(call());
  }
  EXPECT_EQ(x->GetLowerBound(), -kInf);
  EXPECT_EQ(row->GetUpperBound(), kInf);
}

// Start values are not visible in the model: a run of the stand-in engine shows what it got.
TEST_F(NumberChecks, StartValuesMustBeFinite) {
  test::ScratchDir dir;
  const std::string file = dir.write("start.sol", "x nan\ny 0.5\n");
  for (const double value : {kNaN, kInf, -kInf}) {
    model->AddMipStartValue(x, value);
    expect_failure(model, kNonFinite);
    model->AddMipStartValueByName("y", value);
    expect_failure(model, kNonFinite);
  }
  {
    test::FakeEngine engine;
    own(model->Solve());
    EXPECT_FALSE(engine.start_values.has_value()) << "no start value was given";
  }
  model->AddMipStartValues(file.c_str());
  expect_failure(model, kNonFinite);
  test::FakeEngine engine;
  own(model->Solve());
  ASSERT_TRUE(engine.start_values.has_value());
  EXPECT_EQ(*engine.start_values, (StartValues{{"y", 0.5}})) << "the file's good entries are taken";
}

// Factories have no object to hold an error: a refused number gives no object.
TEST_F(NumberChecks, FactoriesGiveNullForRefusedNumbers) {
  EXPECT_EQ(CreateConstraint(expr, constraint_sense::equal, kNaN), nullptr);
  EXPECT_EQ(CreateConstraint(quad, static_cast<constraint_sense>(7), kNaN), nullptr) << "whatever the sense";
  Owned<IConstraint> open(CreateConstraint(expr, constraint_sense::less_equal, kInf));
  ASSERT_NE(open, nullptr) << "an infinite right-hand side is a missing bound";
  EXPECT_EQ(open->GetUpperBound(), kInf);
  for (const double value : {kNaN, kInf, -kInf}) EXPECT_EQ(CreateGeneralExpression(value), nullptr) << value;
  Owned<IGeneralExpression> constant(CreateGeneralExpression(2.5));
  ASSERT_NE(constant, nullptr);
  EXPECT_EQ(constant->GetConstant(), 2.5);
}

// The store checks what reaches a row or the objective, whichever way it came.
TEST_F(NumberChecks, TheStoreRefusesRowsAndObjectivesHoldingNonFiniteNumbers) {
  const auto with = [](auto change) {
    Expression terms;
    terms.linear_terms = {{0, 1.0}};
    terms.quadratic_terms = {{0, 1, 1.0}};
    change(terms);
    return terms;
  };
  const Expression bad[] = {
      with([](Expression& e) { e.linear_terms[0].coefficient = kNaN; }),
      with([](Expression& e) { e.quadratic_terms[0].coefficient = -kInf; }),
      with([](Expression& e) { e.constant = kInf; }),
  };
  const std::string before = state();
  using velorium::testing::fails_with;
  for (const Expression& terms : bad) {
    EXPECT_TRUE(fails_with([&] { store().add_row(terms, 0.0, 1.0, "n", nullptr); }, kNonFinite));
    EXPECT_TRUE(fails_with([&] { store().set_objective(terms, 1); }, kNonFinite));
  }
  const Expression good = with([](Expression&) {});
  EXPECT_TRUE(fails_with([&] { store().add_row(good, kNaN, 1.0, "n", nullptr); }, kNonFinite));
  EXPECT_EQ(state(), before);
}

}  // namespace
}  // namespace velorium::cpp_impl

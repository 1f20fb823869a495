// What the LP writer does beyond the plain format reads back through the LP reader: legal
// names for the objective and general constraints, integer semi-integer columns, indicators
// on both lines of a ranged row, integer columns without a lower bound.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "formats/lp/lp_test_support.hpp"
#include "support/test_models.hpp"

namespace velorium {
namespace {

using test::kInf;
using test::nameText;
using test::TestModel;
using test::writeAndReadLp;

const Variable* findColumn(const Model& model, const std::string& name) {
  for (const Variable& variable : model.variables) {
    if (nameText(variable.name_id) == name) return &variable;
  }
  return nullptr;
}

TEST(LpWriterReadBack, GeneralConstraintAndObjectiveNamesReadBackLegal) {
  TestModel m;
  int x = m.addVariable("x");
  int r = m.addVariable("r", -kInf, kInf);
  m.nameObjective("total cost");
  const char* names[] = {"g 1", "g_1", "", "max", "1st", "a:b"};
  for (const char* name : names) {
    m.model.general_constraints.push_back(
        {name, {ExprNodeRecord::operation(3, -1), ExprNodeRecord::variable(x, 0), ExprNodeRecord::constant(2, 0)}, r});
  }
  std::shared_ptr<Model> back = writeAndReadLp(m.model);
  EXPECT_EQ(nameText(back->objective.name_id), "total_cost");
  ASSERT_EQ(back->general_constraints.size(), 6u);
  const char* written[] = {"g_1", "g_1#1", "name", "_max", "_1st", "a_b"};
  for (std::size_t g = 0; g < 6; ++g) {
    EXPECT_EQ(back->general_constraints[g].name, written[g]);
    ASSERT_EQ(back->general_constraints[g].nodes.size(), 3u);
    EXPECT_EQ(back->general_constraints[g].nodes[2].constant_value(), 2);
    EXPECT_EQ(nameText(back->variables[back->general_constraints[g].result_variable].name_id), "r");
  }
}

// An objective without terms is written "obj: 0 <first column>" and read back as an objective
// without terms, its constant and sense kept; a model without columns keeps the empty line.
TEST(LpWriterReadBack, ObjectiveWithoutTermsReadsBackWithoutTerms) {
  for (const double constant : {0.0, 5.0}) {
    SCOPED_TRACE(constant);
    TestModel m;
    int x = m.addVariable("x", 0, 3);
    int y = m.addVariable("y");
    m.addRow("c", 1, kInf, {{y, 1}, {x, 1}});
    m.setObjective({}, constant, 1);
    std::shared_ptr<Model> back = writeAndReadLp(m.model);
    EXPECT_TRUE(back->objective.linear_terms.empty());
    EXPECT_TRUE(back->objective.quadratic_terms.empty());
    EXPECT_EQ(back->objective.constant, constant);
    EXPECT_EQ(back->objective_sense, 1);
    EXPECT_EQ(test::columnNames(*back), "y x") << "the zero term makes no column first";
    ASSERT_EQ(back->rows.size(), 1u);
    EXPECT_EQ(test::linearText(*back, back->rows[0].expression), "1 y + 1 x");
    EXPECT_EQ(findColumn(*back, "x")->upper, 3);
  }
  TestModel empty;
  empty.addRow("c", -kInf, 10, {});
  std::shared_ptr<Model> back = writeAndReadLp(empty.model);
  EXPECT_TRUE(back->variables.empty());
  EXPECT_TRUE(back->objective.linear_terms.empty());
  ASSERT_EQ(back->rows.size(), 1u);
  EXPECT_EQ(back->rows[0].upper, 10);
}

TEST(LpWriterReadBack, ColumnTypesAndBoundsSurvive) {
  TestModel m;
  int si = m.addVariable("si", 1, 5, test::kSemiInteger);
  int lo = m.addVariable("lo", -kInf, 5, test::kInteger);
  int k = m.addVariable("k", 0, 0, test::kBinary);
  m.setObjective({{si, 1}, {lo, 1}, {k, 1}});
  std::shared_ptr<Model> back = writeAndReadLp(m.model);
  const Variable* semi = findColumn(*back, "si");
  ASSERT_NE(semi, nullptr);
  EXPECT_EQ(semi->type, test::kSemiInteger);
  EXPECT_EQ(semi->lower, 1);
  EXPECT_EQ(semi->upper, 5);
  const Variable* integer = findColumn(*back, "lo");
  ASSERT_NE(integer, nullptr);
  EXPECT_EQ(integer->type, test::kInteger);
  EXPECT_EQ(integer->lower, -kInf);
  EXPECT_EQ(integer->upper, 5);
  const Variable* fixed = findColumn(*back, "k");
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->type, test::kBinary);
  EXPECT_EQ(fixed->upper, 0);
}

TEST(LpWriterReadBack, RangedIndicatorRowKeepsItsIndicatorOnBothRows) {
  TestModel m;
  int x = m.addVariable("x");
  int b = m.addVariable("b", 0, 1, test::kBinary);
  int c = m.addRow("c", 2, 8, {{x, 1}, {x, 1}});
  m.setIndicator(c, b, false);
  std::shared_ptr<Model> back = writeAndReadLp(m.model);
  ASSERT_EQ(back->rows.size(), 2u);
  for (const Constraint& row : back->rows) {
    EXPECT_EQ(nameText(row.expression.name_id), "c");
    ASSERT_GE(row.indicator_variable, 0);
    EXPECT_EQ(nameText(back->variables[row.indicator_variable].name_id), "b");
    EXPECT_FALSE(row.indicator_value);
    ASSERT_EQ(row.expression.linear_terms.size(), 1u);  // x + x was written once, as 2 x
    EXPECT_EQ(row.expression.linear_terms[0].coefficient, 2);
  }
  EXPECT_EQ(back->rows[0].upper, 8);
  EXPECT_EQ(back->rows[1].lower, 2);
}

}  // namespace
}  // namespace velorium

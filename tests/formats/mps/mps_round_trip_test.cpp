// What the MPS writer prints, the MPS reader reads back as the same model.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "formats/mps/mps_read_helper.hpp"
#include "formats/mps/mps_writer.hpp"
#include "support/test_models.hpp"

namespace velorium {
namespace {

using test::kInf;
using test::TestModel;

void expectSameExpression(const Expression& a, const Expression& b, const std::string& what) {
  ASSERT_EQ(a.linear_terms.size(), b.linear_terms.size()) << what;
  for (std::size_t i = 0; i < a.linear_terms.size(); ++i) {
    EXPECT_EQ(a.linear_terms[i].variable, b.linear_terms[i].variable) << what << " term " << i;
    EXPECT_EQ(a.linear_terms[i].coefficient, b.linear_terms[i].coefficient) << what << " term " << i;
  }
  ASSERT_EQ(a.quadratic_terms.size(), b.quadratic_terms.size()) << what;
  for (std::size_t i = 0; i < a.quadratic_terms.size(); ++i) {
    EXPECT_EQ(a.quadratic_terms[i].variable1, b.quadratic_terms[i].variable1) << what << " quadratic term " << i;
    EXPECT_EQ(a.quadratic_terms[i].variable2, b.quadratic_terms[i].variable2) << what << " quadratic term " << i;
    EXPECT_EQ(a.quadratic_terms[i].coefficient, b.quadratic_terms[i].coefficient) << what << " quadratic term " << i;
  }
  EXPECT_EQ(a.constant, b.constant) << what;
  EXPECT_EQ(a.name_id, b.name_id) << what;
}

TEST(MpsRoundTripTest, TheWrittenModelReadsBackUnchanged) {
  TestModel m;
  // Every kind of column and every bound line the writer has; names that need no legalising.
  int x = m.addVariable("x");
  int up = m.addVariable("up", 0, 5);
  int neg = m.addVariable("neg", -kInf, -1);
  int mi = m.addVariable("mi", -kInf, 5);
  int lo = m.addVariable("lo", 3, kInf);
  int box = m.addVariable("box", -5, -1);
  int fx = m.addVariable("fx", 4, 4);
  int fr = m.addVariable("fr", -kInf, kInf);
  int bin = m.addVariable("binary01", 0, 1, test::kBinary);
  int i1 = m.addVariable("i1", 0, kInf, test::kInteger);
  int i2 = m.addVariable("i2", 2, 10, test::kInteger);
  int i3 = m.addVariable("i3", 0, 7, test::kInteger);
  int sc = m.addVariable("sc", 2, 10, test::kSemiContinuous);
  int si = m.addVariable("si", 0, 8, test::kSemiInteger);
  int lonely = m.addVariable("lonely");  // no coefficient anywhere
  (void)lonely;
  // Rows of every type, a range, a free row; terms in rising column order, as the reader
  // gives them.
  int l = m.addRow("l", -kInf, 4, {{x, 1}, {up, 2.5}, {i2, -1}});
  m.addRow("g", 1, kInf, {{neg, 1}, {bin, 3}});
  m.addRow("e", 3, 3, {{mi, 1}, {lo, -1e-9}, {sc, 7}});
  m.addRow("ranged", 1, 5, {{box, 1}, {si, 1}});
  m.addRow("freerow", -kInf, kInf, {{fx, 1}, {fr, 1}});
  int q = m.addRow("q", -kInf, 10, {{x, 1}, {i1, 1}, {i3, 1}});
  m.addRowQuadratic(q, {{x, x, 2}, {x, i1, 1.5}});
  m.setIndicator(l, bin, false);
  m.setObjective({{x, 2}, {up, -1}, {i1, 0.125}}, 3, 1);
  m.nameObjective("cost");
  m.addObjectiveQuadratic({{x, up, 1.5}, {up, up, 0.5}});
  m.model.general_constraints.push_back(
      {"g1", {ExprNodeRecord::operation(3, -1), ExprNodeRecord::variable(x, 0), ExprNodeRecord::constant(2.5, 0)}, fr});
  m.model.general_constraints.push_back(
      {"g2", {ExprNodeRecord::operation(8, -1), ExprNodeRecord::variable(up, 0), ExprNodeRecord::constant(-0.1, 0)}, fr});
  const Model& original = m.model;

  mps_test::ScratchDir dir;
  const std::string path = dir.file("round.mps");
  mps_test::LogCapture quiet;
  ASSERT_EQ(writeModelAsMps(quiet.options(), path, original), 0);
  auto read = mps_test::readMpsPath(path);
  ASSERT_TRUE(read.model) << read.log << mps_test::readFileBytes(path);
  const Model& back = *read.model;

  EXPECT_EQ(back.objective_sense, 1);
  expectSameExpression(original.objective, back.objective, "objective");
  ASSERT_EQ(back.variables.size(), original.variables.size());
  for (std::size_t j = 0; j < original.variables.size(); ++j) {
    const Variable& a = original.variables[j];
    const Variable& b = back.variables[j];
    EXPECT_EQ(a.name_id, b.name_id) << j;
    EXPECT_EQ(a.type, b.type) << test::nameText(a.name_id);
    EXPECT_EQ(a.lower, b.lower) << test::nameText(a.name_id);
    EXPECT_EQ(a.upper, b.upper) << test::nameText(a.name_id);
  }
  ASSERT_EQ(back.rows.size(), original.rows.size());
  for (std::size_t r = 0; r < original.rows.size(); ++r) {
    const Constraint& a = original.rows[r];
    const Constraint& b = back.rows[r];
    const std::string name = test::nameText(a.expression.name_id);
    expectSameExpression(a.expression, b.expression, name);
    EXPECT_EQ(a.lower, b.lower) << name;
    EXPECT_EQ(a.upper, b.upper) << name;
    EXPECT_EQ(a.indicator_variable, b.indicator_variable) << name;
    EXPECT_EQ(a.indicator_value, b.indicator_value) << name;
  }
  EXPECT_EQ(back.indicator_count, 1);
  ASSERT_EQ(back.general_constraints.size(), 2u);
  for (std::size_t g = 0; g < 2; ++g) {
    const GeneralConstraintRecord& a = original.general_constraints[g];
    const GeneralConstraintRecord& b = back.general_constraints[g];
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.result_variable, b.result_variable);
    ASSERT_EQ(a.nodes.size(), b.nodes.size());
    for (std::size_t n = 0; n < a.nodes.size(); ++n) {
      EXPECT_EQ(a.nodes[n].type, b.nodes[n].type);
      EXPECT_EQ(a.nodes[n].parent, b.nodes[n].parent);
      EXPECT_EQ(std::memcmp(a.nodes[n].payload.data(), b.nodes[n].payload.data(), 8), 0) << a.name << " node " << n;
    }
  }
  EXPECT_TRUE(read.log.empty()) << read.log;
}

TEST(MpsRoundTripTest, NumbersKeepEveryBit) {
  TestModel m;
  const double values[] = {0.1, 1.0 / 3.0, -2.2250738585072014e-308, 1.7976931348623157e308, 4.9e-324, 123456789.123456789};
  int x = m.addVariable("x", -kInf, 1.0 / 7.0);
  for (double v : values) m.addRow(std::nullopt, -kInf, v, {{x, v}});
  // Unnamed rows get generated names from the writer; compare by position.
  mps_test::ScratchDir dir;
  const std::string path = dir.file("numbers.mps");
  mps_test::LogCapture quiet;
  ASSERT_EQ(writeModelAsMps(quiet.options(), path, m.model), 0);
  auto read = mps_test::readMpsPath(path);
  ASSERT_TRUE(read.model) << read.log;
  ASSERT_EQ(read.model->rows.size(), std::size(values));
  for (std::size_t r = 0; r < std::size(values); ++r) {
    EXPECT_EQ(read.model->rows[r].upper, values[r]);
    EXPECT_EQ(read.model->rows[r].expression.linear_terms.at(0).coefficient, values[r]);
  }
  EXPECT_EQ(read.model->variables[0].upper, 1.0 / 7.0);
}

}  // namespace
}  // namespace velorium

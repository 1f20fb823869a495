// Models written by the LP writer read back as the same model, up to what the LP text cannot
// carry: ranged rows (two rows), row constants (moved to the bound), 0/1-integer columns
// (binary), unused columns, more than 15 significant digits, and names that had to be made
// legal.
#include <gtest/gtest.h>

#include <string>

#include "formats/lp/lp_reader.hpp"
#include "formats/lp/lp_writer.hpp"
#include "lp_test_support.hpp"
#include "support/test_models.hpp"

namespace velorium {
namespace {

using test::kBinary;
using test::kContinuous;
using test::kInf;
using test::kInteger;
using test::kSemiContinuous;
using test::kSemiInteger;
using test::linearText;
using test::nameText;
using test::quadraticText;
using test::TestModel;
using test::writeAndReadLp;

// The column of the read model with this name; -1 when there is none.
int column(const Model& model, const std::string& name) {
  for (std::size_t j = 0; j < model.variables.size(); ++j) {
    if (nameText(model.variables[j].name_id) == name) return static_cast<int>(j);
  }
  return -1;
}

// The rows of the read model with this name, in order.
std::vector<const Constraint*> rows(const Model& model, const std::string& name) {
  std::vector<const Constraint*> found;
  for (const Constraint& row : model.rows) {
    if (nameText(row.expression.name_id) == name) found.push_back(&row);
  }
  return found;
}

TEST(LpRoundTrip, ObjectiveRowsBoundsAndTypes) {
  TestModel t;
  const int x = t.addVariable("x");
  const int y = t.addVariable("y", -kInf, kInf);
  const int z = t.addVariable("z", 2, 8, kInteger);
  const int b = t.addVariable("b", 0, 1, kBinary);
  const int i01 = t.addVariable("i01", 0, 1, kInteger);
  const int s = t.addVariable("s", 1, 5, kSemiContinuous);
  const int si = t.addVariable("si", 1, 5, kSemiInteger);
  t.addVariable("unused");
  const int n = t.addVariable("n", -3, kInf);
  const int m = t.addVariable("m", -kInf, 4);
  t.setObjective({{x, 2}, {y, -0.12345678901234567}, {z, 3}, {b, 1}, {i01, 1}, {s, 1}, {si, 1}, {n, 1}, {m, -1}}, 4.5, 1);
  t.nameObjective("profit");
  t.addRow("c1", -kInf, 10, {{x, 1}, {y, 1}});
  t.addRow("c2", 2, kInf, {{x, 3}, {z, -1}});
  t.addRow("e", 4, 4, {{x, 1}, {b, 1}});
  t.addRow("r", 2, 8, {{x, 2}, {z, 1}});
  t.addRow("k", -kInf, 10, {{x, 1}}, 3);
  t.addRow("open", -kInf, kInf, {{x, 1}, {y, 1}});

  auto read = writeAndReadLp(t.model);
  const Model& back = *read;
  EXPECT_EQ(back.objective_sense, 1);
  EXPECT_EQ(nameText(back.objective.name_id), "profit");
  EXPECT_EQ(back.objective.constant, 4.5);
  EXPECT_EQ(linearText(back, back.objective),
            "2 x + -0.123456789012346 y + 3 z + 1 b + 1 i01 + 1 s + 1 si + 1 n + -1 m");
  EXPECT_EQ(column(back, "unused"), -1);

  struct Expected {
    const char* name;
    std::uint32_t type;
    double lower, upper;
  } columns[] = {{"x", kContinuous, 0, kInf},   {"y", kContinuous, -kInf, kInf}, {"z", kInteger, 2, 8},
                 {"b", kBinary, 0, 1},          {"i01", kBinary, 0, 1},          {"s", kSemiContinuous, 1, 5},
                 {"si", kSemiInteger, 1, 5}, {"n", kContinuous, -3, kInf},    {"m", kContinuous, -kInf, 4}};
  for (const Expected& e : columns) {
    const int j = column(back, e.name);
    ASSERT_GE(j, 0) << e.name;
    EXPECT_EQ(back.variables[j].type, e.type) << e.name;
    EXPECT_EQ(back.variables[j].lower, e.lower) << e.name;
    EXPECT_EQ(back.variables[j].upper, e.upper) << e.name;
  }

  ASSERT_EQ(rows(back, "c1").size(), 1u);
  EXPECT_EQ(linearText(back, rows(back, "c1")[0]->expression), "1 x + 1 y");
  EXPECT_EQ(rows(back, "c1")[0]->upper, 10);
  EXPECT_EQ(rows(back, "c2")[0]->lower, 2);
  EXPECT_EQ(linearText(back, rows(back, "c2")[0]->expression), "3 x + -1 z");
  EXPECT_EQ(rows(back, "e")[0]->lower, 4);
  EXPECT_EQ(rows(back, "e")[0]->upper, 4);
  // A ranged row comes back as two rows of its name, the upper side first.
  auto ranged = rows(back, "r");
  ASSERT_EQ(ranged.size(), 2u);
  EXPECT_EQ(ranged[0]->lower, -kInf);
  EXPECT_EQ(ranged[0]->upper, 8);
  EXPECT_EQ(ranged[1]->lower, 2);
  EXPECT_EQ(ranged[1]->upper, kInf);
  // The row constant moves to the right-hand side.
  EXPECT_EQ(rows(back, "k")[0]->upper, 7);
  EXPECT_EQ(rows(back, "k")[0]->expression.constant, 0);
  EXPECT_EQ(rows(back, "open")[0]->lower, -kInf);
  EXPECT_EQ(rows(back, "open")[0]->upper, kInf);
  EXPECT_EQ(back.rows.size(), 7u);
}

TEST(LpRoundTrip, QuadraticPartsAndIndicators) {
  TestModel t;
  const int x = t.addVariable("x");
  const int y = t.addVariable("y");
  const int b = t.addVariable("b", 0, 1, kBinary);
  t.setObjective({{x, 1}});
  t.addObjectiveQuadratic({{x, x, 1.5}, {x, y, -2}});
  const int q = t.addRow("q", -kInf, 3, {});
  t.addRowQuadratic(q, {{x, x, 1}, {x, y, 4}});
  const int ind = t.addRow("ind", -kInf, 3, {{x, 2}});
  t.setIndicator(ind, b, true);
  const int off = t.addRow("off", 1, kInf, {{x, 1}, {y, 1}});
  t.setIndicator(off, b, false);

  auto read = writeAndReadLp(t.model);
  const Model& back = *read;
  EXPECT_EQ(quadraticText(back, back.objective), "1.5 x*x + -2 x*y");
  EXPECT_EQ(quadraticText(back, rows(back, "q")[0]->expression), "1 x*x + 4 x*y");
  EXPECT_EQ(rows(back, "q")[0]->upper, 3);
  EXPECT_EQ(back.indicator_count, 2);
  const Constraint& on = *rows(back, "ind")[0];
  EXPECT_EQ(nameText(back.variables[on.indicator_variable].name_id), "b");
  EXPECT_TRUE(on.indicator_value);
  EXPECT_EQ(linearText(back, on.expression), "2 x");
  EXPECT_EQ(on.upper, 3);
  const Constraint& offRow = *rows(back, "off")[0];
  EXPECT_FALSE(offRow.indicator_value);
  EXPECT_EQ(offRow.lower, 1);
}

TEST(LpRoundTrip, GeneralConstraints) {
  TestModel t;
  const int x = t.addVariable("x");
  const int y = t.addVariable("y", -kInf, kInf);
  t.setObjective({{x, 1}});
  GeneralConstraintRecord g{"g1",
                            {ExprNodeRecord::operation(static_cast<int>(gen_expr_type::plus), -1),
                             ExprNodeRecord::variable(x, 0), ExprNodeRecord::constant(2.5, 0),
                             ExprNodeRecord::operation(static_cast<int>(gen_expr_type::func_sin), 0),
                             ExprNodeRecord::constant(-1e-20, 3)},
                            y};
  t.model.general_constraints.push_back(g);
  auto read = writeAndReadLp(t.model);
  const Model& back = *read;
  ASSERT_EQ(back.general_constraints.size(), 1u);
  const GeneralConstraintRecord& r = back.general_constraints[0];
  EXPECT_EQ(r.name, "g1");
  EXPECT_EQ(nameText(back.variables[r.result_variable].name_id), "y");
  ASSERT_EQ(r.nodes.size(), g.nodes.size());
  for (std::size_t i = 0; i < g.nodes.size(); ++i) {
    EXPECT_EQ(r.nodes[i].type, g.nodes[i].type) << i;
    EXPECT_EQ(r.nodes[i].parent, g.nodes[i].parent) << i;
  }
  EXPECT_EQ(nameText(back.variables[r.nodes[1].variable_index()].name_id), "x");
  EXPECT_EQ(r.nodes[2].constant_value(), 2.5);
  EXPECT_EQ(r.nodes[4].constant_value(), -1e-20);
}

TEST(LpRoundTrip, GeneralConstraintNamesAreMadeLegal) {
  // A name with a blank or a keyword would not lex as one label; the writer changes it.
  TestModel t;
  const int x = t.addVariable("x");
  t.setObjective({{x, 1}});
  t.model.general_constraints.push_back(GeneralConstraintRecord{"my g", {ExprNodeRecord::variable(x, -1)}, x});
  t.model.general_constraints.push_back(GeneralConstraintRecord{"end", {ExprNodeRecord::constant(1, -1)}, x});
  auto read = writeAndReadLp(t.model);
  ASSERT_EQ(read->general_constraints.size(), 2u);
  EXPECT_EQ(read->general_constraints[0].name.find(' '), std::string::npos);
  EXPECT_NE(read->general_constraints[1].name, "end");
}

TEST(LpRoundTrip, EmptyModel) {
  Model empty;
  auto read = writeAndReadLp(empty);
  EXPECT_TRUE(read->variables.empty());
  EXPECT_TRUE(read->rows.empty());
  EXPECT_EQ(read->objective_sense, 0);
  EXPECT_EQ(nameText(read->objective.name_id), "obj");  // the writer's label for an unnamed objective
}

TEST(LpRoundTrip, LongLinesAndIllegalNames) {
  // Names that the writer must change, and a row long enough to wrap.
  TestModel t;
  std::vector<std::pair<int, double>> terms;
  const int weird = t.addVariable("a b:c");
  for (int j = 0; j < 300; ++j) t.addVariable("long_variable_name_" + std::to_string(j));
  Constraint row(-kInf, 1000);
  row.expression.name_id = test::nameId("wide");
  for (int j = 1; j <= 300; ++j) row.expression.linear_terms.push_back({j, 1.0 + j});
  t.model.rows.push_back(row);
  t.setObjective({{weird, 1}});
  auto read = writeAndReadLp(t.model);
  EXPECT_EQ(read->variables.size(), 301u);
  ASSERT_EQ(rows(*read, "wide").size(), 1u);
  EXPECT_EQ(rows(*read, "wide")[0]->expression.linear_terms.size(), 300u);
  EXPECT_EQ(rows(*read, "wide")[0]->expression.linear_terms.back().coefficient, 301);
}

}  // namespace
}  // namespace velorium

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/records/model.hpp"

namespace velorium {
namespace {

TEST(ModelRecords, NewModelIsEmptyWithRoomReserved) {
  Model model;
  EXPECT_TRUE(model.name.empty());
  EXPECT_TRUE(model.source_path.empty());
  EXPECT_TRUE(model.objective.linear_terms.empty());
  EXPECT_TRUE(model.objective.quadratic_terms.empty());
  EXPECT_EQ(model.objective.constant, 0.0);
  EXPECT_EQ(model.objective.name_id, -1);
  EXPECT_EQ(model.objective_sense, 0);
  EXPECT_TRUE(model.rows.empty());
  EXPECT_TRUE(model.variables.empty());
  EXPECT_TRUE(model.sos_sets.empty());
  EXPECT_TRUE(model.general_constraints.empty());
  EXPECT_EQ(model.indicator_count, 0);
  EXPECT_GE(model.rows.capacity(), 65536u);
  EXPECT_GE(model.variables.capacity(), 262144u);
  EXPECT_GE(model.sos_sets.capacity(), 1024u);
}

TEST(ModelRecords, ConstraintFromBoundsOnly) {
  const Constraint row(1.0, 2.0);
  EXPECT_EQ(row.lower, 1.0);
  EXPECT_EQ(row.upper, 2.0);
  EXPECT_TRUE(row.expression.linear_terms.empty());
  EXPECT_TRUE(row.expression.quadratic_terms.empty());
  EXPECT_EQ(row.expression.constant, 0.0);
  EXPECT_EQ(row.expression.name_id, -1);
  EXPECT_EQ(row.indicator_variable, -1);
  EXPECT_TRUE(row.indicator_value);

  const Constraint unbounded;
  EXPECT_TRUE(std::isinf(unbounded.lower) && unbounded.lower < 0);
  EXPECT_TRUE(std::isinf(unbounded.upper) && unbounded.upper > 0);

  Expression terms{{{2, 1.5}}, {{0, 1, 3.0}}, 4.0, 17};
  const Constraint with_terms(-1.0, 1.0, terms);
  EXPECT_EQ(with_terms.expression.linear_terms.size(), 1u);
  EXPECT_EQ(with_terms.expression.quadratic_terms.size(), 1u);
  EXPECT_EQ(with_terms.expression.constant, 4.0);
  EXPECT_EQ(with_terms.expression.name_id, 17) << "the whole expression, name id included";
}

Model sample_model() {
  Model model;
  model.name = "m";
  model.source_path = "/tmp/m.lp";
  model.objective = Expression{{{0, 1.0}}, {}, 5.0, 3};
  model.objective_sense = 1;
  model.variables.push_back({2, 0.0, 10.0, 7});
  model.rows.emplace_back(0.0, 4.0, Expression{{{0, 2.0}}, {}, 0.0, 8});
  model.general_constraints.push_back({"g", {ExprNodeRecord::variable(0, -1)}, 0});
  model.sos_sets.push_back({9, 2, {{0, 1.0}}});
  model.indicator_count = 1;
  return model;
}

TEST(ModelRecords, CopiesAreDeep) {
  const Model source = sample_model();
  Model copy(source);
  copy.rows[0].expression.linear_terms[0].coefficient = 99.0;
  copy.rows[0].expression.linear_terms.push_back({0, 1.0});
  copy.general_constraints[0].nodes.clear();
  copy.sos_sets[0].entries.clear();
  EXPECT_EQ(source.rows[0].expression.linear_terms.size(), 1u);
  EXPECT_EQ(source.rows[0].expression.linear_terms[0].coefficient, 2.0);
  EXPECT_EQ(source.general_constraints[0].nodes.size(), 1u);
  EXPECT_EQ(source.sos_sets[0].entries.size(), 1u);

  Model assigned;
  assigned = source;
  EXPECT_EQ(assigned.name, "m");
  EXPECT_EQ(assigned.source_path, "/tmp/m.lp");
  EXPECT_EQ(assigned.objective.constant, 5.0);
  EXPECT_EQ(assigned.objective.name_id, 3);
  EXPECT_EQ(assigned.objective_sense, 1);
  EXPECT_EQ(assigned.indicator_count, 1);
  EXPECT_EQ(assigned.variables[0].name_id, 7);
  assigned.variables[0].upper = 1.0;
  EXPECT_EQ(source.variables[0].upper, 10.0);
}

TEST(ModelRecords, SelfAssignmentChangesNothing) {
  Model model = sample_model();
  Model& alias = model;
  model = alias;
  EXPECT_EQ(model.name, "m");
  ASSERT_EQ(model.rows.size(), 1u);
  EXPECT_EQ(model.rows[0].expression.linear_terms[0].coefficient, 2.0);
  EXPECT_EQ(model.general_constraints[0].name, "g");
  EXPECT_EQ(model.objective.linear_terms.size(), 1u);
}

TEST(ModelRecords, MoveAssignmentEmptiesTheSource) {
  Model source = sample_model();
  Model target;
  target = std::move(source);
  EXPECT_EQ(target.rows.size(), 1u);
  EXPECT_EQ(target.variables.size(), 1u);
  EXPECT_EQ(target.name, "m");
  EXPECT_TRUE(source.rows.empty());  // NOLINT(bugprone-use-after-move): the emptying is the contract
  EXPECT_TRUE(source.variables.empty());
  EXPECT_TRUE(source.general_constraints.empty());
  EXPECT_TRUE(source.sos_sets.empty());
}

TEST(ModelRecords, NodePayloads) {
  const ExprNodeRecord variable = ExprNodeRecord::variable(12, -1);
  EXPECT_EQ(variable.type, 1);
  EXPECT_EQ(variable.parent, -1);
  EXPECT_EQ(variable.variable_index(), 12);
  const unsigned char zeros[4] = {};
  EXPECT_EQ(std::memcmp(variable.payload.data() + 4, zeros, 4), 0) << "four zero bytes behind the index";

  const ExprNodeRecord constant = ExprNodeRecord::constant(-2.5, 3);
  EXPECT_EQ(constant.type, 0);
  EXPECT_EQ(constant.parent, 3);
  EXPECT_EQ(constant.constant_value(), -2.5);

  const ExprNodeRecord plus = ExprNodeRecord::operation(3, 0);
  EXPECT_EQ(plus.payload, (std::array<unsigned char, 8>{}));
}

}  // namespace
}  // namespace velorium

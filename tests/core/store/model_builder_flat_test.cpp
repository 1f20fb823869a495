// The flat model of a store: removed members left out, indices renumbered.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/base/kernel.hpp"
#include "core/names/names_holder.hpp"
#include "core/store/model_builder.hpp"
#include "support/test_models.hpp"

namespace velorium::cpp_impl {
namespace {

using test::kInf;
using test::nameOrNone;

class FlatModelTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(get_or_create_kernel()); }

  std::int32_t add_variable(const char* name) { return store->add_variable(0.0, 10.0, 0.0, 0, name, nullptr); }
  std::int32_t add_row(Expression expression, const char* name = nullptr) {
    return store->add_row(expression, -kInf, 5.0, name, nullptr);
  }
  void build() { store->build_model(flat, variable_map, row_map); }

  std::shared_ptr<ModelBuilder> store = std::make_shared<ModelBuilder>();
  std::shared_ptr<Model> flat;
  std::vector<std::int32_t> variable_map{7, 7};  // stale content that must not survive
  std::vector<std::int32_t> row_map{7};
};

TEST_F(FlatModelTest, WithoutRemovalsTheWorkingModelItselfIsHandedOut) {
  add_variable("a");
  add_row(Expression{{{0, 1.0}}, {}, 0.0, -1});
  build();
  EXPECT_EQ(flat, store->model);
  // Empty tables: every index maps to itself.
  EXPECT_TRUE(variable_map.empty());
  EXPECT_TRUE(row_map.empty());
  // It is the same object, so later changes show in it.
  add_variable("b");
  EXPECT_EQ(flat->variables.size(), 2u);
}

TEST_F(FlatModelTest, RemovedVariableLeavesItsTermsBehind) {
  add_variable("v0");
  add_variable("v1");
  add_variable("v2");
  Expression row{{{0, 1.0}, {1, 2.0}, {2, 3.0}}, {{1, 2, 4.0}, {0, 2, 5.0}, {2, 2, 6.0}}, 1.5, -1};
  add_row(row, "r");
  store->model->objective = Expression{{{1, 7.0}, {2, 8.0}}, {{0, 1, 9.0}, {0, 0, 1.0}}, 2.5, -1};
  store->set_objective_name("cost");
  store->model->name = "plan";
  store->model->source_path = "plan.lp";
  store->model->objective_sense = 1;
  store->remove_variable(1);

  build();
  ASSERT_NE(flat, store->model);
  EXPECT_EQ(variable_map, (std::vector<std::int32_t>{0, -1, 1}));
  EXPECT_EQ(row_map, (std::vector<std::int32_t>{0}));
  ASSERT_EQ(flat->variables.size(), 2u);
  EXPECT_EQ(nameOrNone(flat->variables[0].name_id), "v0");
  EXPECT_EQ(nameOrNone(flat->variables[1].name_id), "v2");

  ASSERT_EQ(flat->rows.size(), 1u);
  const Expression& kept = flat->rows[0].expression;
  ASSERT_EQ(kept.linear_terms.size(), 2u);
  EXPECT_EQ(kept.linear_terms[0].variable, 0);
  EXPECT_EQ(kept.linear_terms[1].variable, 1);
  EXPECT_EQ(kept.linear_terms[1].coefficient, 3.0);
  // (1, 2) is dropped; (0, 2) and (2, 2) are renumbered.
  ASSERT_EQ(kept.quadratic_terms.size(), 2u);
  EXPECT_EQ(kept.quadratic_terms[0].variable1, 0);
  EXPECT_EQ(kept.quadratic_terms[0].variable2, 1);
  EXPECT_EQ(kept.quadratic_terms[0].coefficient, 5.0);
  EXPECT_EQ(kept.quadratic_terms[1].variable1, 1);
  EXPECT_EQ(kept.quadratic_terms[1].variable2, 1);
  EXPECT_EQ(kept.constant, 1.5);
  EXPECT_EQ(nameOrNone(kept.name_id), "r");
  EXPECT_EQ(flat->rows[0].upper, 5.0);

  const Expression& objective = flat->objective;
  ASSERT_EQ(objective.linear_terms.size(), 1u);
  EXPECT_EQ(objective.linear_terms[0].variable, 1);
  EXPECT_EQ(objective.linear_terms[0].coefficient, 8.0);
  ASSERT_EQ(objective.quadratic_terms.size(), 1u);
  EXPECT_EQ(objective.quadratic_terms[0].coefficient, 1.0);
  EXPECT_EQ(objective.constant, 2.5);
  EXPECT_EQ(nameOrNone(objective.name_id), "cost");
  EXPECT_EQ(flat->name, "plan");
  EXPECT_EQ(flat->source_path, "plan.lp");
  EXPECT_EQ(flat->objective_sense, 1);

  // The working model keeps everything.
  EXPECT_EQ(store->model->rows[0].expression.linear_terms.size(), 3u);
}

TEST_F(FlatModelTest, RemovedRowsAreLeftOutAndStoreOrderIsKept) {
  for (const char* name : {"a", "b", "c"}) add_variable(name);
  for (const char* name : {"r0", "r1", "r2", "r3"}) add_row(Expression{{{2, 1.0}}, {}, 0.0, -1}, name);
  // Removing position 0 moves the last member there; the flat model keeps store order.
  store->remove_variable(0);
  store->remove_row(1);
  build();
  EXPECT_EQ(store->variable_at_position(0), 2);
  EXPECT_EQ(variable_map, (std::vector<std::int32_t>{-1, 0, 1}));
  EXPECT_EQ(row_map, (std::vector<std::int32_t>{0, -1, 1, 2}));
  ASSERT_EQ(flat->variables.size(), 2u);
  EXPECT_EQ(nameOrNone(flat->variables[0].name_id), "b");
  ASSERT_EQ(flat->rows.size(), 3u);
  EXPECT_EQ(nameOrNone(flat->rows[1].expression.name_id), "r2");
  EXPECT_EQ(flat->rows[1].expression.linear_terms[0].variable, 1);
}

TEST_F(FlatModelTest, IndicatorsFollowTheirVariables) {
  for (const char* name : {"z", "y", "x"}) add_variable(name);
  add_row(Expression{{{2, 1.0}}, {}, 0.0, -1}, "on_z");
  add_row(Expression{{{2, 1.0}}, {}, 0.0, -1}, "on_y");
  store->model->rows[0].indicator_variable = 0;
  store->model->rows[0].indicator_value = false;
  store->model->rows[1].indicator_variable = 1;
  store->model->indicator_count = 2;
  store->remove_variable(0);
  build();
  ASSERT_EQ(flat->rows.size(), 2u);
  // The indicator of a removed variable is gone; the other one is renumbered.
  EXPECT_EQ(flat->rows[0].indicator_variable, -1);
  EXPECT_FALSE(flat->rows[0].indicator_value);
  EXPECT_EQ(flat->rows[1].indicator_variable, 0);
  EXPECT_EQ(flat->indicator_count, 1);
}

TEST_F(FlatModelTest, CompactedModelIsASnapshot) {
  add_variable("a");
  add_variable("b");
  store->remove_variable(0);
  build();
  add_variable("c");
  store->model->name = "later";
  EXPECT_EQ(flat->variables.size(), 1u);
  EXPECT_EQ(flat->name, "");
  // A second build sees the new member and gives fresh tables.
  build();
  EXPECT_EQ(flat->variables.size(), 2u);
  EXPECT_EQ(variable_map, (std::vector<std::int32_t>{-1, 0, 1}));
}

}  // namespace
}  // namespace velorium::cpp_impl

// The model object: constraints, the objective as an expression, general constraints.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

#include "core/names/names_holder.hpp"
#include "core/model/model_test_support.hpp"
#include "support/log_capture.hpp"
#include "support/recording_objects.hpp"
#include "support/stdout_capture.hpp"

namespace velorium::cpp_impl {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

class ModelConstraintsTest : public ModelFixture {
 protected:
  void SetUp() override {
    ModelFixture::SetUp();
    x = add(0.0, 10.0, variable_type::continuous, "x");
    y = add(0.0, 10.0, variable_type::continuous, "y");
  }
  // x + 2y + constant, as a new linear expression of this model.
  ILinearExpression* linear(double constant = 0.0) {
    ILinearExpression* e = own(CreateLinearExpression());
    e->AddTerm(x, 1.0);
    e->AddTerm(y, 2.0);
    e->SetConstant(constant);
    return e;
  }
  // A model of its own with one variable, and an expression on it.
  ILinearExpression* foreign_linear() {
    other.reset(new ModelImpl());
    IVariable* z = own(other->AddVariable(0.0, 1.0, 0.0, variable_type::continuous, "z"));
    ILinearExpression* e = own(CreateLinearExpression());
    e->AddTerm(z, 1.0);
    return e;
  }
  static void expect_bounds(IConstraint* c, double lower, double upper) {
    EXPECT_EQ(c->GetLowerBound(), lower);
    EXPECT_EQ(c->GetUpperBound(), upper);
  }

  IVariable* x = nullptr;
  IVariable* y = nullptr;
  Owned<ModelImpl> other;
};

TEST_F(ModelConstraintsTest, SenseGivesTheRowBounds) {
  struct Case {
    int sense;
    double lower, upper;
  };
  for (const Case c : {Case{0, 4.0, 4.0}, Case{1, -kInf, 4.0}, Case{2, 4.0, kInf}, Case{3, 0.0, 0.0}}) {
    IConstraint* row = own(model->AddConstraintLinear1(linear(), static_cast<constraint_sense>(c.sense), 4.0, nullptr));
    expect_ok(model);
    ASSERT_NE(row, nullptr) << c.sense;
    expect_bounds(row, c.lower, c.upper);
    IQuadExpression* quad = own(linear()->GetQuadPart());
    quad->AddTerm(x, y, 1.0);
    IConstraint* quad_row = own(model->AddConstraintQuad1(quad, static_cast<constraint_sense>(c.sense), 4.0, nullptr));
    ASSERT_NE(quad_row, nullptr) << c.sense;
    expect_bounds(quad_row, c.lower, c.upper);
  }
  EXPECT_EQ(model->GetConstraintsCount(), 8);
  EXPECT_TRUE(model->IsNonlinear());
}

TEST_F(ModelConstraintsTest, RowCopiesTermsConstantAndGetsAName) {
  IConstraint* row = own(model->AddConstraintLinear2(linear(1.5), -1.0, 3.0, "cap"));
  expect_ok(model);
  EXPECT_STREQ(row->GetName(), "cap");
  const Constraint& stored = store().model->rows[0];
  EXPECT_EQ(stored.expression.linear_terms.size(), 2u);
  EXPECT_EQ(stored.expression.constant, 1.5);
  EXPECT_STREQ(own(model->AddConstraintLinear2(linear(), -1.0, 3.0, nullptr))->GetName(), "C#1");
  // A name taken by another row gets a unique one made from it.
  EXPECT_STREQ(own(model->AddConstraintLinear2(linear(), -1.0, 3.0, "cap"))->GetName(), "cap#2");
  own(model->AddConstraintLinear2(linear(), -1.0, 3.0, " blank"));
  expect_failure(model, 137);
  EXPECT_EQ(model->GetConstraintsCount(), 3);
}

TEST_F(ModelConstraintsTest, OnlyAnExpressionWithoutTermsGivesAFreeConstraint) {
  // Only a constant: no row.
  ILinearExpression* constant_only = own(CreateLinearExpression());
  constant_only->SetConstant(3.0);
  IConstraint* free_one = own(model->AddConstraintLinear2(constant_only, 1.0, 2.0, "f"));
  expect_ok(model);
  ASSERT_NE(free_one, nullptr);
  expect_bounds(free_one, -kInf, kInf);
  EXPECT_EQ(model->GetConstraintsCount(), 0);

  // A quadratic face holding only linear terms is a row, not a dropped constraint.
  IQuadExpression* linear_only = own(linear()->GetQuadPart());
  ASSERT_EQ(linear_only->GetTermsCount(), 0);
  IConstraint* row = own(model->AddConstraintQuad2(linear_only, 0.0, 5.0, "q"));
  expect_ok(model);
  EXPECT_EQ(model->GetConstraintsCount(), 1);
  EXPECT_STREQ(row->GetName(), "q");
  // And a linear face holding only quadratic terms as well.
  IQuadExpression* quadratic_only = own(CreateQuadExpression());
  quadratic_only->AddTerm(x, x, 1.0);
  own(model->AddConstraintLinear2(own(quadratic_only->GetLinearPart()), 0.0, 5.0, nullptr));
  EXPECT_EQ(model->GetConstraintsCount(), 2);
  EXPECT_EQ(store().model->rows[1].expression.quadratic_terms.size(), 1u);

  // A free constraint from the model can become a row once it has terms.
  IConstraint* empty = own(model->AddConstraintQuad2(own(CreateQuadExpression()), 0.0, 1.0, nullptr));
  own(empty->GetLinearExpression())->AddTerm(y, 4.0);
  empty->SetUpperBound(9.0);
  IConstraint* added = own(model->AddConstraint(empty, "from_free"));
  expect_ok(model);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(model->GetConstraintsCount(), 3);
  expect_bounds(added, -kInf, 9.0);
}

TEST_F(ModelConstraintsTest, ObjectsThatAreNotTheLibrarysAreRefused) {
  velorium::testing::RecordingLinearExpression linear_fake;
  velorium::testing::RecordingQuadExpression quad_fake;
  velorium::testing::RecordingConstraint constraint_fake;
  EXPECT_EQ(model->AddConstraintLinear2(nullptr, 0.0, 1.0, nullptr), nullptr);
  expect_failure(model, 391);
  EXPECT_EQ(model->AddConstraintLinear1(&linear_fake, constraint_sense::equal, 1.0, nullptr), nullptr);
  expect_failure(model, 391);
  EXPECT_EQ(model->AddConstraintQuad2(&quad_fake, 0.0, 1.0, nullptr), nullptr);
  expect_failure(model, 391);
  EXPECT_EQ(model->AddConstraint(&constraint_fake, nullptr), nullptr);
  expect_failure(model, 402);
  EXPECT_EQ(model->AddConstraint(static_cast<IConstraint*>(nullptr), nullptr), nullptr);
  expect_failure(model, 402);
  model->SetObjectiveLinear(&linear_fake, objective_sense::maximize);
  expect_failure(model, 391);
  EXPECT_EQ(model->GetObjectiveSense(), objective_sense::minimize);
  model->RemoveConstr(&constraint_fake);
  expect_failure(model, 398);
  model->RemoveConstr(nullptr);
  expect_failure(model, 398);
  EXPECT_EQ(model->GetConstraintsCount(), 0);
  // Every refusal above left the fakes untouched.
  EXPECT_EQ(linear_fake.call_count(), 0);
  EXPECT_EQ(constraint_fake.call_count(), 0);
}

TEST_F(ModelConstraintsTest, AnotherModelsTermsAreRefusedAndNothingIsAdded) {
  ILinearExpression* theirs = foreign_linear();
  store().set_objective_name("mine");
  const std::size_t objective_terms_before = store().model->objective.linear_terms.size();

  EXPECT_EQ(model->AddConstraintLinear2(theirs, 0.0, 1.0, "t"), nullptr);
  expect_failure(model, 405);
  EXPECT_EQ(model->AddConstraintQuad1(own(theirs->GetQuadPart()), constraint_sense::equal, 1.0, nullptr), nullptr);
  expect_failure(model, 405);
  IConstraint* their_row = own(other->AddConstraintLinear2(theirs, 0.0, 1.0, "r"));
  EXPECT_EQ(model->AddConstraint(their_row, nullptr), nullptr);
  expect_failure(model, 405);
  IConstraint* their_free = own(CreateConstraint(theirs, constraint_sense::less_equal, 1.0));
  EXPECT_EQ(model->AddConstraint(their_free, nullptr), nullptr);
  expect_failure(model, 405);
  EXPECT_EQ(model->GetConstraintsCount(), 0);
  own(model->GetConstraintByName("t"));
  expect_failure(model, 135, "t");

  model->SetObjectiveLinear(theirs, objective_sense::maximize);
  expect_failure(model, 405);
  EXPECT_EQ(store().model->objective.linear_terms.size(), objective_terms_before);
  EXPECT_EQ(model->GetObjectiveSense(), objective_sense::minimize);
  EXPECT_STREQ(get_names_holder()->names_holder_get(store().model->objective.name_id), "mine");

  // Without terms there is nothing of theirs to take: a free constraint.
  ILinearExpression* constant_only = own(CreateLinearExpression());
  constant_only->SetConstant(2.0);
  EXPECT_NE(own(model->AddConstraintLinear2(constant_only, 0.0, 1.0, nullptr)), nullptr);
  expect_ok(model);

  model->RemoveConstr(their_row);
  expect_failure(model, 397);
  EXPECT_EQ(other->GetConstraintsCount(), 1);
}

TEST_F(ModelConstraintsTest, LookupsAndRemoval) {
  own(model->AddConstraintLinear2(linear(), 0.0, 1.0, "a"));
  own(model->AddConstraintLinear2(linear(), 0.0, 2.0, "b"));
  own(model->AddConstraintLinear2(linear(), 0.0, 3.0, "c"));
  IConstraint* past_end = own(model->GetConstraint(3));
  expect_failure(model, 110, 3);
  ASSERT_NE(past_end, nullptr);
  EXPECT_EQ(past_end->GetUpperBound(), 0.0);
  EXPECT_EQ(std::string(past_end->GetErrorText()), velorium::testing::catalogue_text(110, -1));
  EXPECT_NE(own(model->GetConstraintByName(nullptr)), nullptr);
  expect_failure(model, 135, "");

  IConstraint* a = own(model->GetConstraintByName("a"));
  model->RemoveConstr(a);
  expect_ok(model);
  EXPECT_EQ(model->GetConstraintsCount(), 2);
  EXPECT_STREQ(own(model->GetConstraint(0))->GetName(), "c");
  // The handle now holds a free copy of the row; removing it again reports nothing.
  model->RemoveConstr(a);
  expect_ok(model);
  EXPECT_EQ(a->GetUpperBound(), 1.0);
  // Another handle of the removed row reports the removal through the model.
  own(model->AddConstraintLinear2(linear(), 0.0, 4.0, "d"));
  IConstraint* b = own(model->GetConstraintByName("b"));
  IConstraint* b_again = own(model->GetConstraintByName("b"));
  model->RemoveConstr(b);
  model->RemoveConstr(b_again);
  expect_failure(model, 111, 1);
  model->RemoveConstr(past_end);
  expect_failure(model, 110, -1);
  EXPECT_EQ(model->GetConstraintsCount(), 2);

  // A handle of a removed row cannot be copied into the model: 402 there, 111 in the handle.
  IConstraint* c = own(model->GetConstraintByName("c"));
  IConstraint* c_again = own(model->GetConstraintByName("c"));
  c->Remove();
  EXPECT_EQ(model->AddConstraint(c_again, nullptr), nullptr);
  expect_failure(model, 402);
  expect_failure(c_again, 111, 2);
}

TEST_F(ModelConstraintsTest, ObjectiveViewsFollowTheModel) {
  ILinearExpression* view = own(model->GetObjective());
  expect_ok(model);
  EXPECT_EQ(view->GetTermsCount(), 0);
  ILinearExpression* objective = linear(7.0);
  model->SetObjectiveLinear(objective, static_cast<objective_sense>(4));
  expect_ok(model);
  EXPECT_EQ(model->GetObjectiveSense(), objective_sense::maximize);
  EXPECT_EQ(view->GetTermsCount(), 2);
  EXPECT_EQ(view->GetConstant(), 7.0);
  // A change through the view is a change of the model's objective.
  view->AddTerm(x, 3.0);
  EXPECT_EQ(store().model->objective.linear_terms[0].coefficient, 4.0);

  IQuadExpression* quad = own(CreateQuadExpression());
  quad->AddTerm(x, y, 2.0);
  own(quad->GetLinearPart())->AddTerm(y, 1.0);
  model->SetObjectiveQuad(quad, objective_sense::minimize);
  IQuadExpression* quad_view = own(model->GetQuadObjective());
  EXPECT_EQ(quad_view->GetTermsCount(), 1);
  EXPECT_EQ(view->GetTermsCount(), 1);
  EXPECT_EQ(view->GetConstant(), 0.0);
  EXPECT_EQ(model->GetObjectiveSense(), objective_sense::minimize);

  // The views see a matrix-form objective too, and ClearObjective.
  const double c[] = {0.0, 5.0};
  model->SetObjective(nullptr, 0, 0, c, 2, objective_sense::minimize);
  EXPECT_EQ(view->GetTermsCount(), 1);
  EXPECT_EQ(view->GetTermCoeff(0), 5.0);
  EXPECT_EQ(quad_view->GetTermsCount(), 0);
  model->ClearObjective();
  EXPECT_EQ(view->GetTermsCount(), 0);
}

TEST_F(ModelConstraintsTest, ClearLeavesOldConstraintHandlesOnRemovedRows) {
  IConstraint* row = own(model->AddConstraintLinear2(linear(), 0.0, 1.0, "a"));
  model->Clear();
  EXPECT_EQ(model->GetConstraintsCount(), 0);
  EXPECT_EQ(row->GetUpperBound(), 0.0);
  expect_failure(row, 111, 0);
  model->RemoveConstr(row);
  expect_failure(model, 397);
}

class ModelGeneralConstraintsTest : public ModelConstraintsTest {
 protected:
  // result = x / y
  IGeneralConstraint* add_quotient(IVariable* result, const char* name) {
    IGeneralExpression* xe = own(CreateGeneralExpression(x));
    IGeneralExpression* ye = own(CreateGeneralExpression(y));
    IGeneralExpression* quotient = own(CreateGeneralExpression(gen_expr_type::divide, xe, ye));
    return own(model->AddGeneralConstraint(quotient, result, name));
  }
};

TEST_F(ModelGeneralConstraintsTest, AddLookUpCopyAndRemove) {
  IVariable* z = add(0.0, 100.0, variable_type::continuous, "z");
  EXPECT_FALSE(model->IsNonlinear());
  IGeneralConstraint* gc = add_quotient(z, "quot");
  expect_ok(model);
  ASSERT_NE(gc, nullptr);
  EXPECT_TRUE(model->IsNonlinear());
  EXPECT_EQ(model->GetGeneralConstraintsCount(), 1);
  EXPECT_STREQ(gc->GetName(), "quot");
  EXPECT_STREQ(own(gc->GetVariable())->GetName(), "z");

  EXPECT_EQ(own(model->GetGeneralConstraint(-1)), nullptr);
  expect_failure(model, 461, -1);
  EXPECT_EQ(own(model->GetGeneralConstraint(1)), nullptr);
  expect_failure(model, 461, 1);
  EXPECT_EQ(own(model->GetGeneralConstraintByName("none")), nullptr);
  expect_failure(model, 462, "none");

  IGeneralConstraint* found = own(model->GetGeneralConstraint(0));
  model->AddGeneralConstraintObject(found);
  expect_ok(model);
  EXPECT_EQ(model->GetGeneralConstraintsCount(), 2);
  // Names of general constraints are checked against the rows only: the copy keeps the name,
  // and the name finds the later one.
  IGeneralConstraint* copy = own(model->GetGeneralConstraint(1));
  EXPECT_STREQ(copy->GetName(), "quot");
  copy->SetName("copy");
  EXPECT_STREQ(own(model->GetGeneralConstraintByName("quot"))->GetName(), "quot");

  model->RemoveGeneralConstraint(gc);
  expect_ok(model);
  EXPECT_EQ(model->GetGeneralConstraintsCount(), 1);
  EXPECT_EQ(own(model->GetGeneralConstraintByName("quot")), nullptr);
  expect_failure(model, 462, "quot");
  EXPECT_STREQ(own(model->GetGeneralConstraint(0))->GetName(), "copy");
  // Removing it again, or through another wrapper, changes nothing.
  model->RemoveGeneralConstraint(gc);
  expect_ok(model);
  EXPECT_EQ(model->GetGeneralConstraintsCount(), 1);

  velorium::testing::RecordingGeneralConstraint fake;
  model->RemoveGeneralConstraint(&fake);
  expect_failure(model, 402);
  model->AddGeneralConstraintObject(nullptr);
  expect_failure(model, 402);
}

// A name given again changes a variable in place (23) or gets a new name for a row or a general
// constraint (24): the modeller hears of it where the model's other lines go.
TEST_F(ModelGeneralConstraintsTest, RepeatedNamesAreWarnedThroughTheModelsLog) {
  using velorium::testing::catalogue_text;
  const std::string warning = catalogue_text(71);
  IVariable* z = add(0.0, 100.0, variable_type::continuous, "z");
  own(model->AddConstraintLinear2(linear(), -kInf, 3.0, "cap"));
  int fresh = 0;
  struct Case {
    const char* what;
    std::function<std::string()> add;  // adds, and gives the line that must be logged ("" for none)
  };
  const Case cases[] = {
      {"a variable's name again",
       [&] {
         add(1.0, 2.0, variable_type::integer, "x");
         return warning + catalogue_text(23, "x") + "\n";
       }},
      {"a row's name again",
       [&] {
         IConstraint* row = own(model->AddConstraintLinear1(linear(), constraint_sense::equal, 1.0, "cap"));
         return warning + catalogue_text(24, "cap", row->GetName()) + "\n";
       }},
      {"a row's name for a general constraint",
       [&] { return warning + catalogue_text(24, "cap", add_quotient(z, "cap")->GetName()) + "\n"; }},
      {"new names",
       [&] {
         const std::string name = "fresh" + std::to_string(fresh++);
         add(0.0, 1.0, variable_type::continuous, name.c_str());
         own(model->AddConstraintLinear2(linear(), -kInf, 3.0, name.c_str()));
         add_quotient(z, ("g" + name).c_str());
         return std::string();
       }},
  };
  CollectingCallback callback;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // Without a callback the console gets the line, unless log_to_console is off. (Taking the
    // callback away turns the output off when the console is off too: the console first.)
    model->SetBoolParam("log_to_console", true);
    model->SetLogCallback(nullptr);
    for (const bool console_on : {true, false}) {
      model->SetBoolParam("log_to_console", console_on);
      test::StdoutCapture console;
      const std::string line = c.add();
      expect_ok(model);
      EXPECT_EQ(console.finish(), console_on ? line : "");
    }
    model->SetLogCallback(&callback);
    callback.lines.clear();
    test::StdoutCapture console;
    const std::string line = c.add();
    expect_ok(model);
    EXPECT_EQ(console.finish(), "") << "the callback takes the console's place";
    EXPECT_EQ(callback.all(), line);
  }
  EXPECT_EQ(model->GetVariablesCount(), 6) << "x, y, z and three fresh ones: a repeated name adds no variable";
  EXPECT_EQ(own(model->GetVariableByName("x"))->GetType(), variable_type::integer);
  EXPECT_STREQ(own(model->GetConstraint(1))->GetName(), "cap#1");
}

TEST_F(ModelGeneralConstraintsTest, VariablesMustNameALiveVariableOfThisModel) {
  IVariable* detached = own(model->GetVariable(99));
  EXPECT_EQ(add_quotient(detached, "g"), nullptr);
  expect_failure(model, 110, -1);
  IVariable* removed = add(0.0, 1.0, variable_type::continuous, "gone");
  model->RemoveVar(removed);
  EXPECT_EQ(add_quotient(removed, "g"), nullptr);
  expect_failure(model, 111, 2);

  other.reset(new ModelImpl());
  IVariable* theirs = own(other->AddVariable(0.0, 1.0, 0.0, variable_type::continuous, "t"));
  EXPECT_EQ(add_quotient(theirs, "g"), nullptr);
  expect_failure(model, 405);
  // A tree of their variables for our result variable.
  IGeneralExpression* their_tree = own(CreateGeneralExpression(theirs));
  EXPECT_EQ(own(model->AddGeneralConstraint(their_tree, x, "g")), nullptr);
  expect_failure(model, 405);
  // A general constraint of theirs.
  IGeneralConstraint* their_gc = own(other->AddGeneralConstraint(their_tree, theirs, "tg"));
  ASSERT_NE(their_gc, nullptr);
  model->AddGeneralConstraintObject(their_gc);
  expect_failure(model, 405);
  model->RemoveGeneralConstraint(their_gc);
  expect_failure(model, 397);
  EXPECT_EQ(model->GetGeneralConstraintsCount(), 0);
  EXPECT_EQ(other->GetGeneralConstraintsCount(), 1);
}

TEST_F(ModelGeneralConstraintsTest, FlatModelKeepsGeneralConstraintsRenumbered) {
  IVariable* z = add(0.0, 100.0, variable_type::continuous, "z");  // store index 2
  IVariable* w = add(0.0, 100.0, variable_type::continuous, "w");  // store index 3
  add_quotient(z, "on_z");
  add_quotient(w, "on_w");
  IGeneralExpression* on_y = own(CreateGeneralExpression(gen_expr_type::func_exp, own(CreateGeneralExpression(y))));
  own(model->AddGeneralConstraint(on_y, w, "exp_y"));
  model->RemoveVar(z);
  model->RemoveVar(y);

  velorium::test::LogCapture log;
  std::shared_ptr<Model> flat;
  std::vector<std::int32_t> variable_map, row_map;
  store().build_model(flat, variable_map, row_map, &log.options());
  EXPECT_EQ(variable_map, (std::vector<std::int32_t>{0, -1, -1, 1}));
  // Each of the three refers to a removed variable (z as result, y in the tree).
  EXPECT_TRUE(flat->general_constraints.empty());
  ASSERT_EQ(log.texts().size(), 3u);
  EXPECT_NE(log.texts()[0].text.find("on_z"), std::string::npos);
  EXPECT_EQ(log.texts()[0].level, kLogLevelWarning);
  // The working model keeps all of them under store indices.
  EXPECT_EQ(store().model->general_constraints.size(), 3u);
}

TEST_F(ModelGeneralConstraintsTest, FlatModelRenumbersTheVariablesOfKeptGeneralConstraints) {
  IVariable* z = add(0.0, 100.0, variable_type::continuous, "z");  // store index 2
  IVariable* gone = add(0.0, 1.0, variable_type::continuous, "gone");  // store index 3
  (void)gone;
  model->RemoveVar(own(model->GetVariableByName("x")));
  IGeneralExpression* exp_y = own(CreateGeneralExpression(gen_expr_type::func_exp, own(CreateGeneralExpression(y))));
  own(model->AddGeneralConstraint(exp_y, z, "exp_y"));
  velorium::test::LogCapture log;
  std::shared_ptr<Model> flat;
  std::vector<std::int32_t> variable_map, row_map;
  store().build_model(flat, variable_map, row_map, &log.options());
  EXPECT_TRUE(log.texts().empty());
  ASSERT_EQ(flat->general_constraints.size(), 1u);
  const GeneralConstraintRecord& record = flat->general_constraints[0];
  EXPECT_EQ(record.name, "exp_y");
  EXPECT_EQ(record.result_variable, 1);
  ASSERT_EQ(record.nodes.size(), 2u);
  EXPECT_EQ(record.nodes[0].type, static_cast<int>(gen_expr_type::func_exp));
  EXPECT_EQ(record.nodes[1].type, ExprNodeRecord::kVariableType);
  EXPECT_EQ(record.nodes[1].parent, 0);
  EXPECT_EQ(record.nodes[1].variable_index(), 0);  // y: store index 1, flat index 0
}

}  // namespace
}  // namespace velorium::cpp_impl

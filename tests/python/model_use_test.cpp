// What each value reaches: a model's members, views and results share its ModelUse, an
// expression takes the model of its first term (and its views with it), and a busy model
// refuses every value that reaches it.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "python/wrappers/expression_arithmetic.hpp"
#include "python/wrappers/expression_comparisons.hpp"
#include "python/wrappers/general_arithmetic.hpp"
#include "tests/python/failure_text.hpp"
#include "tests/python/model_fixture.hpp"

namespace velorium::testing {
namespace {

const std::string kBusyWriting =
    "-1 Модель занята операцией write_mps, которая ещё выполняется; модель и её объекты нельзя использовать, пока она "
    "не закончится";

class ModelUseTest : public ModelFixture {
 protected:
  template <class Value>
  bool reaches_the_model(const Value& value) const {
    return reached_model(value.use()) == model.use();
  }
};

TEST_F(ModelUseTest, MembersViewsAndWhatIsBuiltFromThemReachTheModel) {
  const Constraint row = model.add_constraint(x + y, constraint_sense::less_equal, 4.0, "row");
  const LinearExpression sum = x + y;
  EXPECT_TRUE(reaches_the_model(x));
  EXPECT_TRUE(reaches_the_model(model.get_variable("y")));
  EXPECT_TRUE(reaches_the_model(row));
  EXPECT_TRUE(reaches_the_model(row.get_linear_expression()));
  EXPECT_TRUE(reaches_the_model(model.get_objective()));
  EXPECT_TRUE(reaches_the_model(sum));
  EXPECT_TRUE(reaches_the_model(sum.copy()));
  EXPECT_TRUE(reaches_the_model(sum.get_term_variable(0)));
  EXPECT_TRUE(reaches_the_model(x * y));
  EXPECT_TRUE(reaches_the_model(compare(sum, constraint_sense::equal, 1.0)));
  EXPECT_TRUE(reaches_the_model(general_form(x) / y));
  EXPECT_TRUE(reaches_the_model(general_form(2.0) + sum));
  EXPECT_TRUE(reaches_the_model(equals(general_form(2.0) * x, z)));
  // Nothing of a model: numbers, and expressions without terms.
  EXPECT_EQ(reached_model(new_linear_expression().use()), nullptr);
  EXPECT_EQ(reached_model((new_linear_expression() + 2.0).use()), nullptr);
  EXPECT_EQ(reached_model(general_form(2.0).use()), nullptr);
}

TEST_F(ModelUseTest, AStoreTakesTheModelOfItsFirstTermAndEveryValueSharingItSeesIt) {
  LinearExpression e = new_linear_expression();
  const LinearExpression copy = e;
  const QuadExpression view = e.get_quad_part();
  e.add_term(x, 0.0);  // adds nothing, binds nothing
  e.add_expression(x + y, 0.0);
  EXPECT_EQ(reached_model(e.use()), nullptr);
  e.add_term(x, 2.0);
  EXPECT_TRUE(reaches_the_model(e));
  EXPECT_TRUE(reaches_the_model(copy));
  EXPECT_TRUE(reaches_the_model(view));

  // A store keeps its first model: another's terms are refused, and an empty one binds nothing.
  Model other;
  const Variable w = other.add_variable(0.0, 1.0, 0.0, variable_type::continuous, "w");
  LinearExpression f = new_linear_expression();
  f.add_expression(new_linear_expression() + 1.0, 1.0);
  f.add_term(x, 1.0);
  EXPECT_NE(failure_of([&] { f.add_term(w, 1.0); }), "no exception");
  EXPECT_TRUE(reaches_the_model(f));

  GeneralExpression g = general_form(2.0);
  const GeneralExpression g_copy = g;
  g *= general_form(y);
  EXPECT_TRUE(reaches_the_model(g));
  EXPECT_TRUE(reaches_the_model(g_copy));
}

TEST_F(ModelUseTest, ABusyModelRefusesEveryValueThatReachesItAndNothingElse) {
  const LinearExpression sum = x + y;
  LinearExpression free = new_linear_expression();
  Model other;
  const Variable w = other.add_variable(0.0, 1.0, 0.0, variable_type::continuous, "w");
  {
    const ModelUse::Running running(*model.use(), "write_mps");
    EXPECT_EQ(failure_of([&] { model.get_variables_count(); }), kBusyWriting);
    EXPECT_EQ(failure_of([&] { x.get_name(); }), kBusyWriting);
    EXPECT_EQ(failure_of([&] { sum.get_terms_count(); }), kBusyWriting);
    EXPECT_EQ(failure_of([&] { free.add_term(y, 1.0); }), kBusyWriting);  // as an argument
    EXPECT_EQ(failure_of([&] { x + 1.0; }), kBusyWriting);
    EXPECT_EQ(failure_of([&] { w.get_name(); }), "no exception");
    EXPECT_EQ(failure_of([&] { free.add_term(w, 1.0); }), "no exception");
  }
  EXPECT_EQ(failure_of([&] { x.get_name(); }), "no exception");
  EXPECT_EQ(model.get_variables_count(), 3);
}

TEST_F(ModelUseTest, ALogLineInPythonCodeHoldsTheModelForTheOtherThreadsOnly) {
  std::string here, there;
  {
    const ModelUse::Delivering delivering(*model.use());
    here = failure_of([&] { x.get_name(); });
    std::thread other([&] { there = failure_of([&] { x.get_name(); }); });
    other.join();
  }
  EXPECT_EQ(here, "no exception");
  EXPECT_EQ(there,
            "-1 Модель занята операцией в другом потоке (передаёт строку лога); модель и её объекты нельзя "
            "использовать, пока она не закончится");
  std::thread after([&] { there = failure_of([&] { x.get_name(); }); });
  after.join();
  EXPECT_EQ(there, "no exception");
}

}  // namespace
}  // namespace velorium::testing

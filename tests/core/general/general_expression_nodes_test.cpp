// The node classes: arity and display names, what each operation does on each class, the
// error messages, child removal order, completeness and views.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/general/binary_general_expr.hpp"
#include "core/general/multi_general_expr.hpp"
#include "core/general/origin_general_expr.hpp"
#include "core/general/unary_general_expr.hpp"
#include "general_expr_test_support.hpp"

namespace velorium::testing {
namespace {

using cpp_impl::BinaryGeneralExpr;
using cpp_impl::GeneralExprPtr;
using cpp_impl::MultiGeneralExpr;
using cpp_impl::OwnedGeneralExpr;
using cpp_impl::UnaryGeneralExpr;
using cpp_impl::VariableGeneralExpr;
using T = gen_expr_type;

// The Russian texts in force.
constexpr const char* kOperationFailed = "Операция не удалась\n";
std::string not_applicable(const char* type_name) {
  return std::string("Действие не применимо к выражению типа '") + type_name + "'\n";
}
std::string invalid_index(int index) { return "Недопустимое значение индекса - " + std::to_string(index) + "\n"; }

void expect_error(const IGeneralExpression* expr, const std::string& text) {
  EXPECT_EQ(expr->GetErrorCode(), -1);
  EXPECT_EQ(expr->GetErrorText(), text);
}
void expect_no_error(const IGeneralExpression* expr) {
  EXPECT_EQ(expr->GetErrorCode(), 0);
  EXPECT_STREQ(expr->GetErrorText(), "");
}

// plus(a, b, c, ...) of constants.
OwnedExpr sum_of(const std::vector<double>& values) {
  OwnedExpr sum = node(T::plus);
  for (double value : values) sum->AddExpr(constant(value).get());
  return sum;
}

struct TypeRow {
  T type;
  int arity;
  const char* name;
};

TEST(GeneralExpressionTypes, ArityDisplayNameAndTheFactoriesThatAcceptEachType) {
  const std::vector<TypeRow> rows = {
      {T::constant, 0, "Constant"},      {T::variable, 0, "Variable"},    {T::minus, 2, "Minus"},
      {T::plus, -1, "Plus"},             {T::divide, 2, "Divide"},        {T::multiply, -1, "Multiply"},
      {T::func_square_root, 1, "SquareRoot"}, {T::func_sqr, 1, "Sqr"}, {T::func_pow, 2, "Pow"},
      {T::func_exp, 1, "Exp"},           {T::func_log, 1, "Log"},         {T::func_log2, 1, "Log2"},
      {T::func_log10, 1, "Log10"},       {T::func_sin, 1, "Sin"},         {T::func_cos, 1, "Cos"},
      {T::func_tan, 1, "Tan"},           {T::func_logistic, 1, "Logistic"}, {T::func_tanh, 1, "Tanh"},
      {T::func_signpow, 2, "SignPow"},
  };
  const OwnedExpr one = constant(1.0);
  for (const TypeRow& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(gen_expr_arity(row.type), row.arity);
    EXPECT_STREQ(gen_expr_display_name(row.type), row.name);

    const OwnedExpr empty = node(row.type);
    const bool empty_made = row.type == T::constant || row.arity == -1;
    ASSERT_EQ(empty != nullptr, empty_made);
    if (empty) {
      EXPECT_EQ(empty->GetType(), row.type);
      EXPECT_EQ(empty->GetArity(), row.arity);
      EXPECT_EQ(empty->GetExprCount(), 0);
      EXPECT_TRUE(node_of(empty.get()).IsComplete());
    }
    const OwnedExpr unary = node(row.type, one.get());
    ASSERT_EQ(unary != nullptr, row.arity == 1);
    if (unary) {
      EXPECT_EQ(unary->GetArity(), 1);
      EXPECT_EQ(unary->GetExprCount(), 1);
      expect_no_error(unary.get());
    }
    const OwnedExpr binary = node(row.type, one.get(), one.get());
    ASSERT_EQ(binary != nullptr, row.arity == 2);
    if (binary) {
      EXPECT_EQ(binary->GetArity(), 2);
      EXPECT_EQ(binary->GetExprCount(), 2);
      expect_no_error(binary.get());
    }
  }
  for (int outside : {-1, 19, 1000}) {
    EXPECT_EQ(gen_expr_arity(static_cast<T>(outside)), 0);
    EXPECT_STREQ(gen_expr_display_name(static_cast<T>(outside)), "");
    EXPECT_EQ(node(static_cast<T>(outside)), nullptr);
  }
  EXPECT_DOUBLE_EQ(node(T::constant)->GetConstant(), 0.0);
}

TEST(GeneralExpressionNodes, OperationsAClassDoesNotOfferReport458WithTheTypeName) {
  const OwnedExpr one = constant(1.0);
  const OwnedExpr two = constant(2.0);
  const OwnedExpr sum = sum_of({1.0});
  const OwnedExpr root = node(T::func_sqr, one.get());
  const OwnedExpr power = node(T::func_pow, one.get(), two.get());

  EXPECT_DOUBLE_EQ(sum->GetConstant(), 0.0);
  expect_error(sum.get(), not_applicable("Plus"));
  EXPECT_EQ(one->GetVariable(), nullptr);
  expect_error(one.get(), not_applicable("Constant"));
  EXPECT_EQ(one->GetExpr(0), nullptr);
  expect_error(one.get(), not_applicable("Constant"));
  one->SetExpr(0, two.get());
  expect_error(one.get(), not_applicable("Constant"));
  one->RemoveExpr(0);
  expect_error(one.get(), not_applicable("Constant"));
  root->AddExpr(two.get());
  expect_error(root.get(), not_applicable("Sqr"));
  EXPECT_EQ(root->GetExprCount(), 1);
  root->RemoveExpr(0);
  expect_error(root.get(), not_applicable("Sqr"));
  EXPECT_EQ(root->GetExprCount(), 1);
  EXPECT_EQ(power->GetVariable(), nullptr);
  expect_error(power.get(), not_applicable("Pow"));

  for (T type : {T::minus, T::divide, T::func_pow, T::func_signpow}) {
    const OwnedExpr binary = node(type, one.get(), two.get());
    binary->AddExpr(one.get());
    expect_error(binary.get(), not_applicable(gen_expr_display_name(type)));
    EXPECT_EQ(binary->GetExprCount(), 2);
  }

  // The next operation that succeeds clears the error information.
  EXPECT_DOUBLE_EQ(one->GetConstant(), 1.0);
  expect_no_error(one.get());
  EXPECT_EQ(one->GetType(), T::constant);
}

TEST(GeneralExpressionNodes, ChildIndexesOutsideTheNodeReport459Or461AndChangeNothing) {
  const OwnedExpr one = constant(1.0);
  const OwnedExpr two = constant(2.0);
  const OwnedExpr nine = constant(9.0);
  const OwnedExpr exp = node(T::func_exp, one.get());
  const OwnedExpr minus = node(T::minus, one.get(), two.get());
  const OwnedExpr sum = sum_of({1, 2, 3});

  EXPECT_EQ(OwnedExpr(exp->GetExpr(1)), nullptr);
  expect_error(exp.get(), kOperationFailed);
  for (int index : {-1, 2}) {
    EXPECT_EQ(OwnedExpr(minus->GetExpr(index)), nullptr);
    expect_error(minus.get(), kOperationFailed);
    minus->SetExpr(index, nine.get());
    expect_error(minus.get(), kOperationFailed);
  }
  exp->SetExpr(1, nine.get());
  expect_error(exp.get(), kOperationFailed);
  for (int index : {-1, 3}) {
    sum->SetExpr(index, nine.get());
    expect_error(sum.get(), kOperationFailed);
    EXPECT_EQ(OwnedExpr(sum->GetExpr(index)), nullptr);
    expect_error(sum.get(), invalid_index(index));
    sum->RemoveExpr(index);
    expect_error(sum.get(), invalid_index(index));
  }
  EXPECT_EQ(describe(exp.get()), "Exp(1)");
  EXPECT_EQ(describe(minus.get()), "Minus(1, 2)");
  EXPECT_EQ(describe(sum.get()), "Plus(1, 2, 3)");

  // A one-child node that the store made from a type alone has no child to replace.
  UnaryGeneralExpr bare(T::func_log);
  bare.SetExpr(0, nine.get());
  expect_error(&bare, kOperationFailed);
  EXPECT_EQ(OwnedExpr(bare.GetExpr(0)), nullptr);
  expect_error(&bare, kOperationFailed);
}

TEST(GeneralExpressionNodes, SetExprReplacesACopyOfTheArgument) {
  const OwnedExpr one = constant(1.0);
  const OwnedExpr two = constant(2.0);
  const OwnedExpr nine = constant(9.0);
  const OwnedExpr minus = node(T::minus, one.get(), two.get());
  const OwnedExpr exp = node(T::func_exp, one.get());
  const OwnedExpr sum = sum_of({1, 2, 3});
  minus->SetExpr(1, nine.get());
  exp->SetExpr(0, nine.get());
  sum->SetExpr(1, nine.get());
  for (const OwnedExpr* changed : {&minus, &exp, &sum}) expect_no_error(changed->get());
  EXPECT_EQ(describe(minus.get()), "Minus(1, 9)");
  EXPECT_EQ(describe(exp.get()), "Exp(9)");
  EXPECT_EQ(describe(sum.get()), "Plus(1, 9, 3)");
  // The argument stays the caller's.
  EXPECT_NE(node_of(minus.get()).GetChild(1), &node_of(nine.get()));
  EXPECT_EQ(describe(nine.get()), "9");
}

TEST(GeneralExpressionNodes, RemoveExprMovesTheLastChildIntoTheFreedPlace) {
  struct Case {
    std::vector<double> children;
    int removed;
    const char* left;
  };
  for (const Case& c : std::vector<Case>{{{1, 2, 3}, 0, "Plus(3, 2)"},
                                         {{1, 2, 3, 4}, 1, "Plus(1, 4, 3)"},
                                         {{1, 2, 3}, 2, "Plus(1, 2)"},
                                         {{7}, 0, "Plus()"}}) {
    const OwnedExpr sum = sum_of(c.children);
    sum->RemoveExpr(c.removed);
    expect_no_error(sum.get());
    EXPECT_EQ(describe(sum.get()), c.left);
  }
}

TEST(GeneralExpressionNodes, AnInnerNodeOfATypeWithAnotherArityCarries460) {
  const OwnedExpr one = constant(1.0);
  const OwnedExpr two = constant(2.0);
  const OwnedGeneralExpr sum_of_sine(new MultiGeneralExpr(T::func_sin));
  expect_error(sum_of_sine.get(), "Недопустимая арность '-1' для операции 'Sin'\n");
  const OwnedGeneralExpr unary_plus(new UnaryGeneralExpr(T::plus, one.get()));
  expect_error(unary_plus.get(), "Недопустимая арность '1' для операции 'Plus'\n");
  EXPECT_EQ(unary_plus->GetExprCount(), 0);
  const OwnedGeneralExpr binary_exp(new BinaryGeneralExpr(T::func_exp, one.get(), two.get()));
  expect_error(binary_exp.get(), "Недопустимая арность '2' для операции 'Exp'\n");
  EXPECT_EQ(binary_exp->GetExprCount(), 0);
}

TEST(GeneralExpressionNodes, AnArgumentThatIsNoNodeOfTheLibraryIsRefusedWith391) {
  const OwnedExpr sum = sum_of({1});
  sum->AddExpr(nullptr);
  expect_error(sum.get(), "Невалидный объект выражения");
  sum->SetExpr(0, nullptr);
  expect_error(sum.get(), "Невалидный объект выражения");
  EXPECT_EQ(describe(sum.get()), "Plus(1)");
  const OwnedExpr exp = node(T::func_exp, nullptr);
  ASSERT_NE(exp, nullptr);
  EXPECT_EQ(exp->GetErrorCode(), -1);
  EXPECT_EQ(exp->GetExprCount(), 0);
  const OwnedExpr one = constant(1.0);
  const OwnedExpr minus = node(T::minus, one.get(), nullptr);
  EXPECT_EQ(minus->GetErrorCode(), -1);
  EXPECT_EQ(minus->GetExprCount(), 0);
}

TEST(GeneralExpressionNodes, CompletenessOfTrees) {
  const OwnedExpr one = constant(1.0);
  EXPECT_TRUE(node_of(node(T::plus).get()).IsComplete());
  EXPECT_TRUE(node_of(node(T::minus, one.get(), one.get()).get()).IsComplete());

  BinaryGeneralExpr half(T::divide);
  half.AppendChild(node_of(one.get()).Clone());
  EXPECT_FALSE(half.IsComplete());
  half.AppendChild(node_of(one.get()).Clone());
  EXPECT_TRUE(half.IsComplete());

  MultiGeneralExpr sum(T::plus);
  sum.AppendChild(cpp_impl::share_node(OwnedGeneralExpr(new VariableGeneralExpr({}, 3))));
  EXPECT_TRUE(sum.IsComplete());
  OwnedGeneralExpr bad_leaf(new VariableGeneralExpr({}, -1));
  EXPECT_FALSE(bad_leaf->IsComplete());
  UnaryGeneralExpr exp(T::func_exp);
  exp.AppendChild(cpp_impl::share_node(std::move(bad_leaf)));
  sum.AppendChild(cpp_impl::share_node(node_of(exp.Clone().get()).Clone()));
  EXPECT_FALSE(sum.IsComplete());
}

TEST(GeneralExpressionNodes, CopiesAreIndependentOfTheirSource) {
  const OwnedExpr inner = sum_of({1, 2});
  const OwnedExpr outer = node(T::func_exp, inner.get());
  const OwnedExpr copy(outer->CreateFreeCopy());
  expect_no_error(copy.get());
  const OwnedExpr view(outer->GetExpr(0));
  view->AddExpr(constant(3).get());
  EXPECT_EQ(describe(outer.get()), "Exp(Plus(1, 2, 3))");
  EXPECT_EQ(describe(copy.get()), "Exp(Plus(1, 2))");
  EXPECT_EQ(describe(inner.get()), "Plus(1, 2)");
}

TEST(GeneralExpressionNodes, OperandsMayBeReleasedAfterTheFactory) {
  IGeneralExpression* a = CreateGeneralExpression(4.0);
  IGeneralExpression* b = CreateGeneralExpression(T::func_sqr, a);
  const OwnedExpr minus = node(T::minus, a, b);
  a->Release();
  b->Release();
  EXPECT_EQ(describe(minus.get()), "Minus(4, Sqr(4))");
  EXPECT_TRUE(node_of(minus.get()).IsComplete());
}

TEST(GeneralExpressionViews, AViewChangesTheTreeItCameFromAndOutlivesIt) {
  OwnedExpr parent = node(T::func_exp, sum_of({1, 2}).get());
  const OwnedExpr view(parent->GetExpr(0));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->GetType(), T::plus);
  EXPECT_EQ(view->GetArity(), -1);
  EXPECT_EQ(view->GetExprCount(), 2);

  view->SetExpr(0, constant(5).get());
  view->AddExpr(constant(6).get());
  EXPECT_EQ(describe(parent.get()), "Exp(Plus(5, 2, 6))");

  // A copy of a view is another view of the same node.
  const OwnedExpr second(view->CreateFreeCopy());
  EXPECT_EQ(node_of(second.get()).view_target(), node_of(view.get()).view_target());
  second->RemoveExpr(0);
  EXPECT_EQ(describe(parent.get()), "Exp(Plus(6, 2))");

  // A view of a child of a view stands for that child directly.
  const OwnedExpr grandchild(view->GetExpr(1));
  EXPECT_DOUBLE_EQ(grandchild->GetConstant(), 2.0);
  EXPECT_EQ(node_of(grandchild.get()).view_target(), node_of(view.get()).GetChild(1));

  parent.reset();
  EXPECT_EQ(describe(view.get()), "&Plus(6, 2)");
  EXPECT_EQ(describe(second.get()), "&Plus(6, 2)");
  EXPECT_TRUE(node_of(view.get()).IsComplete());
}

TEST(GeneralExpressionViews, AViewTakesOverTheErrorOfTheOperationItForwards) {
  const OwnedExpr parent = sum_of({1, 2});
  const OwnedExpr view(parent->GetExpr(1));
  view->AddExpr(constant(3).get());
  expect_error(view.get(), not_applicable("Constant"));
  EXPECT_DOUBLE_EQ(view->GetConstant(), 2.0);
  expect_no_error(view.get());
  const OwnedExpr sum_view(OwnedExpr(node(T::func_exp, parent.get()))->GetExpr(0));
  EXPECT_EQ(OwnedExpr(sum_view->GetExpr(5)), nullptr);
  expect_error(sum_view.get(), invalid_index(5));
}

TEST(GeneralExpressionViews, AttachingAViewAttachesAnotherViewOfTheSameNode) {
  const OwnedExpr parent = node(T::func_exp, sum_of({1}).get());
  const OwnedExpr view(parent->GetExpr(0));
  const OwnedExpr holder = node(T::plus);
  holder->AddExpr(view.get());
  const OwnedExpr wrapped = node(T::func_sin, view.get());
  EXPECT_EQ(describe(holder.get()), "Plus(&Plus(1))");
  view->AddExpr(constant(2).get());
  EXPECT_EQ(describe(holder.get()), "Plus(&Plus(1, 2))");
  EXPECT_EQ(describe(wrapped.get()), "Sin(&Plus(1, 2))");
  // A deep copy of the holder still shares the viewed node.
  const OwnedExpr copy(holder->CreateFreeCopy());
  view->AddExpr(constant(3).get());
  EXPECT_EQ(describe(copy.get()), "Plus(&Plus(1, 2, 3))");
}

}  // namespace
}  // namespace velorium::testing

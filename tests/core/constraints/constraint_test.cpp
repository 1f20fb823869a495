// Constraints: free ones from expressions, rows of a model, ranges, removal through the
// handle, names and views.
#include <gtest/gtest.h>

#include <functional>

#include "core/constraints/constraint_impl.hpp"
#include "support/expression_fixture.hpp"
#include "support/kernel_absence.hpp"

namespace velorium::testing {
namespace {

constexpr double kInf = kVeloriumInf;

class ConstraintTest : public ExpressionFixture {
 protected:
  IConstraint* row_handle(std::int32_t row) { return own<IConstraint>(new cpp_impl::ConstraintImpl(model, row)); }
  IConstraint* free_with_bounds(double lower, double upper) {
    IConstraint* c = own(CreateConstraint(linear(), constraint_sense::less_equal, 0.0));
    c->SetLowerBound(lower);
    c->SetUpperBound(upper);
    return c;
  }
  std::int32_t row_of_x(const char* name, double lower = 0.0, double upper = 10.0) {
    Expression e;
    e.linear_terms = {{0, 1.0}};
    return model->add_row(e, lower, upper, name, nullptr);
  }
};

TEST_F(ConstraintTest, BoundsBySense) {
  struct Case {
    int sense;
    double lower, upper, range;
  } cases[] = {
      {1, -kInf, 5.0, kInf}, {0, 5.0, 5.0, 0.0}, {2, 5.0, kInf, kInf}, {3, -kInf, kInf, kInf},
  };
  for (const Case& c : cases) {
    IConstraint* constraint = own(CreateConstraint(linear(), static_cast<constraint_sense>(c.sense), 5.0));
    ASSERT_NE(constraint, nullptr);
    EXPECT_EQ(constraint->GetLowerBound(), c.lower) << c.sense;
    EXPECT_EQ(constraint->GetUpperBound(), c.upper) << c.sense;
    EXPECT_EQ(constraint->GetRange(), c.range) << c.sense;
    EXPECT_TRUE(ok(constraint));
  }
}

TEST_F(ConstraintTest, MadeFromACopyOfTheWholeStore) {
  ILinearExpression* e = linear();
  e->AddTerm(x, 1.0);
  e->AddConstant(2.0);
  own(e->GetQuadPart())->AddTerm(x, y, 3.0);
  e->SetName("c");
  IConstraint* c = own(CreateConstraint(e, constraint_sense::less_equal, 5.0));
  e->AddTerm(y, 1.0);  // no longer reaches the constraint
  ILinearExpression* view = own(c->GetLinearExpression());
  EXPECT_EQ(view->GetTermsCount(), 1);
  EXPECT_EQ(view->GetConstant(), 2.0);  // the constant stays in the expression
  EXPECT_EQ(c->GetUpperBound(), 5.0);
  EXPECT_STREQ(c->GetName(), "c");
  EXPECT_EQ(own(c->GetQuadExpression())->GetTermsCount(), 1);

  IConstraint* from_quad = own(CreateConstraint(own(e->GetQuadPart()), constraint_sense::equal, 1.0));
  EXPECT_EQ(own(from_quad->GetLinearExpression())->GetTermsCount(), 2);

  EXPECT_EQ(CreateConstraint(static_cast<ILinearExpression*>(nullptr), constraint_sense::equal, 1.0), nullptr);
  EXPECT_EQ(CreateConstraint(static_cast<IQuadExpression*>(nullptr), constraint_sense::equal, 1.0), nullptr);
}

TEST_F(ConstraintTest, FactoryOfAViewOfARemovedRowGivesNull) {
  const std::int32_t row = row_of_x("r");
  ILinearExpression* view = own(row_handle(row)->GetLinearExpression());
  model->remove_row(row);
  EXPECT_EQ(CreateConstraint(view, constraint_sense::equal, 1.0), nullptr);
}

TEST_F(ConstraintTest, SetRangeAnchors) {
  struct Case {
    double lower, upper, range, new_lower, new_upper;
  } cases[] = {
      {-kInf, 5.0, 3.0, 2.0, 5.0}, {-kInf, 5.0, -3.0, 5.0, 8.0}, {1.0, kInf, 3.0, 1.0, 4.0},
      {1.0, kInf, -3.0, -2.0, 1.0}, {1.0, kInf, 0.0, 1.0, 1.0},  {0.0, 10.0, 2.0, 0.0, 2.0},
      {-kInf, 5.0, 0.0, 5.0, 5.0},
  };
  for (const Case& c : cases) {
    IConstraint* constraint = free_with_bounds(c.lower, c.upper);
    constraint->SetRange(c.range);
    EXPECT_TRUE(ok(constraint));
    EXPECT_EQ(constraint->GetLowerBound(), c.new_lower) << c.lower << " " << c.upper << " " << c.range;
    EXPECT_EQ(constraint->GetUpperBound(), c.new_upper) << c.lower << " " << c.upper << " " << c.range;
  }
  IConstraint* unbounded = free_with_bounds(-kInf, kInf);
  unbounded->SetRange(1.0);
  EXPECT_TRUE(failed(unbounded, 112));
  EXPECT_STREQ(unbounded->GetErrorText(), "Невозможно задать range для ограничения без заданных границ");
  EXPECT_EQ(unbounded->GetLowerBound(), -kInf);
  EXPECT_EQ(unbounded->GetUpperBound(), kInf);

  IConstraint* crossed = free_with_bounds(0.0, 5.0);
  crossed->SetLowerBound(7.0);
  EXPECT_TRUE(ok(crossed));
  EXPECT_EQ(crossed->GetRange(), -2.0);
}

TEST_F(ConstraintTest, RowHandleChangesTheModel) {
  const std::int32_t row = row_of_x("r");
  IConstraint* c = row_handle(row);
  c->SetUpperBound(4.0);
  EXPECT_EQ(model->row_record(row).upper, 4.0);
  own(c->GetLinearExpression())->AddTerm(y, 2.0);
  EXPECT_EQ(model->row_record(row).expression.linear_terms.size(), 2u);
  c->SetName("renamed");
  EXPECT_EQ(model->find_constraint_index("renamed"), row);
}

TEST_F(ConstraintTest, RemoveTurnsTheHandleIntoAFreeSnapshot) {
  const std::int32_t row = row_of_x("r", 1.0, 3.0);
  IConstraint* c = row_handle(row);
  ILinearExpression* old_view = own(c->GetLinearExpression());
  const std::int32_t before = model->row_count();
  c->Remove();
  EXPECT_TRUE(ok(c));
  EXPECT_EQ(model->row_count(), before - 1);
  EXPECT_EQ(c->GetLowerBound(), 1.0);
  EXPECT_TRUE(ok(c));
  EXPECT_STREQ(c->GetName(), "r");
  c->Remove();  // a second time: nothing
  EXPECT_TRUE(ok(c));

  // The snapshot is free: changes stay with it; views taken before refer to the removed row.
  c->SetUpperBound(9.0);
  ILinearExpression* new_view = own(c->GetLinearExpression());
  ASSERT_NE(new_view, nullptr);
  new_view->AddTerm(y, 1.0);
  EXPECT_TRUE(ok(new_view));
  EXPECT_EQ(c->GetUpperBound(), 9.0);
  EXPECT_EQ(model->row_table.records[static_cast<std::size_t>(row)].upper, 3.0);
  EXPECT_EQ(model->row_table.records[static_cast<std::size_t>(row)].expression.linear_terms.size(), 1u);
  EXPECT_EQ(old_view->GetTermsCount(), 0);
  EXPECT_TRUE(failed(old_view, 111, row));
  // A name taken by a live row is accepted by a free constraint.
  row_of_x("live");
  c->SetName("live");
  EXPECT_TRUE(ok(c));
}

TEST_F(ConstraintTest, HandleOfARowRemovedElsewhere) {
  const std::int32_t row = row_of_x("r");
  IConstraint* c = row_handle(row);
  model->remove_row(row);
  EXPECT_EQ(c->GetRange(), kInf);
  EXPECT_TRUE(failed(c, 111, row));
  EXPECT_STREQ(c->GetErrorText(), "Объект с индексом [0] удален");
  EXPECT_EQ(c->GetLowerBound(), 0.0);
  EXPECT_TRUE(failed(c, 111, row));
  const std::function<void()> operations[] = {
      [&] { c->Remove(); },            [&] { c->SetUpperBound(1.0); }, [&] { c->SetRange(1.0); },
      [&] { c->GetName(); },           [&] { c->SetName("n"); },       [&] { c->GetLinearExpression(); },
      [&] { c->GetQuadExpression(); }, [&] { c->GetUpperBound(); },
  };
  for (const auto& operation : operations) {
    operation();
    EXPECT_TRUE(failed(c, 111, row));
  }
}

TEST_F(ConstraintTest, HandlesOfNoRowAndOfAClearedStore) {
  IConstraint* nowhere = row_handle(-1);
  EXPECT_EQ(nowhere->GetUpperBound(), 0.0);
  EXPECT_TRUE(failed(nowhere, 110, -1));
  EXPECT_EQ(nowhere->GetLinearExpression(), nullptr);
  EXPECT_TRUE(failed(nowhere, 110, -1));

  const std::int32_t row = row_of_x("r");
  IConstraint* c = row_handle(row);
  model->remove_all();
  EXPECT_EQ(c->GetName(), nullptr);
  EXPECT_TRUE(failed(c, 111, row));
  c->Remove();
  EXPECT_TRUE(failed(c, 111, row));
}

TEST_F(ConstraintTest, Names) {
  const std::int32_t first = row_of_x("first");
  row_of_x("second");
  IConstraint* c = row_handle(first);
  c->SetName("second");
  EXPECT_TRUE(failed(c, 140, "second"));
  EXPECT_STREQ(c->GetName(), "first");
  c->SetName("first");
  EXPECT_TRUE(ok(c));

  IConstraint* free = own(CreateConstraint(linear(), constraint_sense::equal, 0.0));
  EXPECT_EQ(free->GetName(), nullptr);
  EXPECT_TRUE(ok(free));
  free->SetName("second");
  EXPECT_STREQ(free->GetName(), "second");
  free->SetName(nullptr);
  EXPECT_EQ(free->GetName(), nullptr);

  ScopedKernelAbsence absent;
  EXPECT_EQ(c->GetName(), nullptr);
  EXPECT_STREQ(c->GetErrorText(), "Ошибка инициализации ядра velorium");
  c->SetName("x");
  EXPECT_EQ(c->GetErrorCode(), -1);
}

TEST_F(ConstraintTest, ViewsOfAFreeConstraintShareItsModel) {
  // Made from an expression without a model: the first term added through one view binds the
  // constraint, and every later view knows the model.
  IConstraint* c = own(CreateConstraint(linear(), constraint_sense::less_equal, 1.0));
  ILinearExpression* first = own(c->GetLinearExpression());
  first->AddTerm(x, 1.0);
  ILinearExpression* second = own(c->GetLinearExpression());
  IVariable* term_variable = own(second->GetTermVariable(0));
  ASSERT_NE(term_variable, nullptr);
  EXPECT_STREQ(term_variable->GetName(), "x");
  auto other = std::make_shared<cpp_impl::ModelBuilder>();
  second->AddTerm(add_variable(other), 1.0);
  EXPECT_TRUE(failed(second, 405));
  EXPECT_EQ(static_cast<cpp_impl::ConstraintImpl*>(c)->model(), model);
}

}  // namespace
}  // namespace velorium::testing

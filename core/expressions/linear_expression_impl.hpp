// The linear face of an expression store.
#pragma once

#include <memory>

#include "core/expressions/expression_impl_base.hpp"
#include "velorium/velorium.hpp"

namespace velorium::cpp_impl {

// Linear terms (addressed by position, in the store's term order) and the constant of its
// store. AddExpression and CreateFreeCopy carry the store's quadratic terms along.
class LinearExpressionImpl final : public ExpressionObject<ILinearExpression> {
 public:
  using ExpressionObject<ILinearExpression>::ExpressionObject;
  ~LinearExpressionImpl() override;

  int GetTermsCount() override;
  IVariable* GetTermVariable(int i) override;
  int GetTermVariableIndex(int i) override;
  double GetTermCoeff(int i) override;
  void SetTermCoeff(int i, double coeff) override;
  double GetConstant() override;
  void SetConstant(double value) override;
  void AddConstant(double value) override;
  void AddTerm(const IVariable* var, double coeff) override;
  void AddExpression(const ILinearExpression* expr, double factor) override;
  void RemoveTerm(int i) override;
  void RemoveVariable(const IVariable* var) override;
  IQuadExpression* GetQuadPart() override;
  ILinearExpression* CreateFreeCopy() override;
};

}  // namespace velorium::cpp_impl

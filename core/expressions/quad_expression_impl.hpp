// The quadratic face of an expression store.
#pragma once

#include <memory>

#include "core/expressions/expression_impl_base.hpp"
#include "velorium/velorium.hpp"

namespace velorium::cpp_impl {

// Quadratic terms (addressed by position, in the store's term order); the linear terms and
// the constant are reached through GetLinearPart. AddExpression and CreateFreeCopy carry them
// along.
class QuadExpressionImpl final : public ExpressionObject<IQuadExpression> {
 public:
  using ExpressionObject<IQuadExpression>::ExpressionObject;
  ~QuadExpressionImpl() override;

  int GetTermsCount() override;
  IVariable* GetTermVariable1(int i) override;
  int GetTermVariable1Index(int i) override;
  IVariable* GetTermVariable2(int i) override;
  int GetTermVariable2Index(int i) override;
  double GetTermCoeff(int i) override;
  void SetTermCoeff(int i, double coeff) override;
  void AddTerm(const IVariable* var1, const IVariable* var2, double coeff) override;
  void AddExpression(const IQuadExpression* expr, double factor) override;
  void RemoveTerm(int i) override;
  ILinearExpression* GetLinearPart() override;
  IQuadExpression* CreateFreeCopy() override;
};

}  // namespace velorium::cpp_impl

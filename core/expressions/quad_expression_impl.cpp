#include "core/expressions/quad_expression_impl.hpp"

#include "core/base/catalogue_error.hpp"
#include "core/base/number_checks.hpp"
#include "core/expressions/expression_merge.hpp"
#include "core/expressions/expression_views.hpp"
#include "core/expressions/linear_expression_impl.hpp"
#include "core/expressions/term_rules.hpp"

namespace velorium::cpp_impl {

namespace {

QuadTerm& term_at(Expression& terms, int i) {
  check_term_position(i, terms.quadratic_terms.size());
  return terms.quadratic_terms[static_cast<std::size_t>(i)];
}

}  // namespace

QuadExpressionImpl::~QuadExpressionImpl() = default;

int QuadExpressionImpl::GetTermsCount() {
  return guarded(0, [&] { return static_cast<int>(data_->get_terms().quadratic_terms.size()); });
}

IVariable* QuadExpressionImpl::GetTermVariable1(int i) {
  return guarded(static_cast<IVariable*>(nullptr),
                 [&] { return term_variable_handle(*data_, term_at(data_->get_terms(), i).variable1); });
}

int QuadExpressionImpl::GetTermVariable1Index(int i) {
  return guarded(-1, [&] { return static_cast<int>(term_at(data_->get_terms(), i).variable1); });
}

IVariable* QuadExpressionImpl::GetTermVariable2(int i) {
  return guarded(static_cast<IVariable*>(nullptr),
                 [&] { return term_variable_handle(*data_, term_at(data_->get_terms(), i).variable2); });
}

int QuadExpressionImpl::GetTermVariable2Index(int i) {
  return guarded(-1, [&] { return static_cast<int>(term_at(data_->get_terms(), i).variable2); });
}

double QuadExpressionImpl::GetTermCoeff(int i) {
  return guarded(0.0, [&] { return term_at(data_->get_terms(), i).coefficient; });
}

void QuadExpressionImpl::SetTermCoeff(int i, double coeff) {
  guarded([&] {
    refuse_non_finite(coeff);
    term_at(data_->get_terms(), i).coefficient = coeff;
    data_->lookup().note_quadratic_coefficient(coeff);
  });
}

void QuadExpressionImpl::AddTerm(const IVariable* var1, const IVariable* var2, double coeff) {
  guarded([&] { add_quadratic_term(*data_, var1, var2, coeff); });
}

void QuadExpressionImpl::AddExpression(const IQuadExpression* expr, double factor) {
  guarded([&] {
    if (factor == 0.0) return;
    refuse_non_finite(factor);
    expr_data* source = store_of(expr);
    if (!source) throw_catalogue_error(391);
    merge_quadratic_first(*data_, *source, factor);
  });
}

void QuadExpressionImpl::RemoveTerm(int i) {
  guarded([&] {
    Expression& terms = data_->get_terms();
    check_term_position(i, terms.quadratic_terms.size());
    data_->lookup().remove_quadratic_at(terms, i);
  });
}

ILinearExpression* QuadExpressionImpl::GetLinearPart() {
  return guarded(static_cast<ILinearExpression*>(nullptr), [&] { return new LinearExpressionImpl(data_); });
}

IQuadExpression* QuadExpressionImpl::CreateFreeCopy() {
  return guarded(static_cast<IQuadExpression*>(nullptr),
                 [&] { return new QuadExpressionImpl(expr_data::make_free_copy(*data_)); });
}

}  // namespace velorium::cpp_impl

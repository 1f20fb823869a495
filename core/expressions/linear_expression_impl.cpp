#include "core/expressions/linear_expression_impl.hpp"

#include "core/base/catalogue_error.hpp"
#include "core/base/number_checks.hpp"
#include "core/expressions/expression_merge.hpp"
#include "core/expressions/expression_views.hpp"
#include "core/expressions/quad_expression_impl.hpp"
#include "core/expressions/term_rules.hpp"
#include "core/model/variable_impl.hpp"

namespace velorium::cpp_impl {

namespace {

LinearTerm& term_at(Expression& terms, int i) {
  check_term_position(i, terms.linear_terms.size());
  return terms.linear_terms[static_cast<std::size_t>(i)];
}

}  // namespace

LinearExpressionImpl::~LinearExpressionImpl() = default;

int LinearExpressionImpl::GetTermsCount() {
  return guarded(0, [&] { return static_cast<int>(data_->get_terms().linear_terms.size()); });
}

IVariable* LinearExpressionImpl::GetTermVariable(int i) {
  return guarded(static_cast<IVariable*>(nullptr),
                 [&] { return term_variable_handle(*data_, term_at(data_->get_terms(), i).variable); });
}

int LinearExpressionImpl::GetTermVariableIndex(int i) {
  return guarded(-1, [&] { return static_cast<int>(term_at(data_->get_terms(), i).variable); });
}

double LinearExpressionImpl::GetTermCoeff(int i) {
  return guarded(0.0, [&] { return term_at(data_->get_terms(), i).coefficient; });
}

void LinearExpressionImpl::SetTermCoeff(int i, double coeff) {
  guarded([&] {
    refuse_non_finite(coeff);
    term_at(data_->get_terms(), i).coefficient = coeff;
  });
}

double LinearExpressionImpl::GetConstant() {
  return guarded(0.0, [&] { return data_->get_terms().constant; });
}

void LinearExpressionImpl::SetConstant(double value) {
  guarded([&] {
    refuse_non_finite(value);
    data_->get_terms().constant = value;
  });
}

void LinearExpressionImpl::AddConstant(double value) {
  guarded([&] {
    double& constant = data_->get_terms().constant;
    refuse_non_finite(constant + value);  // also a sum that overflows
    constant += value;
  });
}

void LinearExpressionImpl::AddTerm(const IVariable* var, double coeff) {
  guarded([&] { add_linear_term(*data_, var, coeff); });
}

void LinearExpressionImpl::AddExpression(const ILinearExpression* expr, double factor) {
  guarded([&] {
    if (factor == 0.0) return;
    refuse_non_finite(factor);
    expr_data* source = store_of(expr);
    if (!source) throw_catalogue_error(391);
    merge_linear_first(*data_, *source, factor);
  });
}

void LinearExpressionImpl::RemoveTerm(int i) {
  guarded([&] {
    Expression& terms = data_->get_terms();
    check_term_position(i, terms.linear_terms.size());
    data_->lookup().remove_linear_at(terms, i);
  });
}

void LinearExpressionImpl::RemoveVariable(const IVariable* var) {
  guarded([&] {
    Expression& terms = data_->get_terms();
    const VariableImpl& variable = checked_variable(var, 396);
    const std::shared_ptr<ModelBuilder>& model = data_->model();
    if (!model) return;  // no model, no terms
    if (model != variable.model()) throw_catalogue_error(394);
    TermLookup& lookup = data_->lookup();
    const std::int32_t position = lookup.find_linear(terms, variable.index());
    if (position >= 0) lookup.remove_linear_at(terms, position);
  });
}

IQuadExpression* LinearExpressionImpl::GetQuadPart() {
  return guarded(static_cast<IQuadExpression*>(nullptr), [&] { return new QuadExpressionImpl(data_); });
}

ILinearExpression* LinearExpressionImpl::CreateFreeCopy() {
  return guarded(static_cast<ILinearExpression*>(nullptr),
                 [&] { return new LinearExpressionImpl(expr_data::make_free_copy(*data_)); });
}

}  // namespace velorium::cpp_impl

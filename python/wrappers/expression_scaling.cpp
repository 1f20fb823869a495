#include "python/wrappers/expression_scaling.hpp"

#include <cmath>
#include <vector>

#include "core/text/message_catalogue.hpp"

namespace velorium {

namespace {

constexpr int kNonFiniteValueMessage = 505;

double scaled(double value, Scaling how, double operand) {
  return how == Scaling::multiply ? value * operand : value / operand;
}

void require_finite(double value) {
  if (!std::isfinite(value)) throw velorium_exception(-1, get_message(kNonFiniteValueMessage));
}

}  // namespace

void scale_store(const LinearExpression& linear, const QuadExpression& quadratic, Scaling how, double operand) {
  std::vector<double> quadratic_coefficients(static_cast<std::size_t>(quadratic.get_terms_count()));
  for (std::size_t i = 0; i < quadratic_coefficients.size(); ++i) {
    quadratic_coefficients[i] = scaled(quadratic.get_term_coeff(static_cast<int>(i)), how, operand);
    require_finite(quadratic_coefficients[i]);
  }
  std::vector<double> linear_coefficients(static_cast<std::size_t>(linear.get_terms_count()));
  for (std::size_t i = 0; i < linear_coefficients.size(); ++i) {
    linear_coefficients[i] = scaled(linear.get_term_coeff(static_cast<int>(i)), how, operand);
    require_finite(linear_coefficients[i]);
  }
  const double constant = scaled(linear.get_constant(), how, operand);
  require_finite(constant);

  QuadExpression quadratic_view = quadratic;
  LinearExpression linear_view = linear;
  for (std::size_t i = 0; i < quadratic_coefficients.size(); ++i) {
    quadratic_view.set_term_coeff(static_cast<int>(i), quadratic_coefficients[i]);
  }
  for (std::size_t i = 0; i < linear_coefficients.size(); ++i) {
    linear_view.set_term_coeff(static_cast<int>(i), linear_coefficients[i]);
  }
  linear_view.set_constant(constant);
}

}  // namespace velorium

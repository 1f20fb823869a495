// Texts of variables, linear and quadratic expressions and constraints.
#include <cmath>

#include "python/text/object_text.hpp"
#include "python/text/stream_format.hpp"

namespace velorium {

namespace {

const char* variable_type_name(variable_type type) {
  switch (type) {
    case variable_type::continuous: return "Continuous";
    case variable_type::binary: return "Binary";
    case variable_type::integer: return "Integer";
    case variable_type::semicontinuous: return "Semicontinuous";
    case variable_type::semiinteger: return "Semiinteger";
  }
  // An unknown type keeps the name it has always had, whose first letter is the Cyrillic Es.
  return "\u0421ontinuous";
}

const char* text_or_empty(const char* text) { return text ? text : ""; }

// " + c" or " - c" with the magnitude of c; 0 and NaN take the minus.
void write_signed(std::ostream& out, double value) {
  out << (value > 0 ? " + " : " - ") << std::abs(value);
}

}  // namespace

std::string variable_repr(const Variable& variable) {
  StreamFormat out;
  const variable_type type = variable.get_type();
  const double lower = variable.get_lower_bound();
  const std::string name = text_or_empty(variable.get_name());
  const double upper = variable.get_upper_bound();
  out << variable_type_name(type) << ": " << lower << " <= " << name << " <= " << upper;
  return out.str();
}

std::string linear_terms_text(const LinearExpression& linear) {
  // The constant is written with 3 digits after a term and with the stream's default of 6 in
  // an expression that is only a constant, as it always has been.
  StreamFormat out(6);
  const int count = linear.get_terms_count();
  if (count > 0) out.precision(3);
  for (int i = 0; i < count; ++i) {
    const double coeff = linear.get_term_coeff(i);
    const Variable variable = linear.get_term_variable(i);
    write_signed(out, coeff);
    out << '*' << text_or_empty(variable.get_name());
  }
  const double constant = linear.get_constant();
  if (constant != 0.0 || std::isnan(constant)) write_signed(out, constant);
  return out.str();
}

std::string quad_terms_text(const QuadExpression& quadratic) {
  StreamFormat out;
  const int count = quadratic.get_terms_count();
  for (int i = 0; i < count; ++i) {
    const double coeff = quadratic.get_term_coeff(i);
    const Variable first = quadratic.get_term_variable1(i);
    const Variable second = quadratic.get_term_variable2(i);
    write_signed(out, coeff);
    out << '*' << text_or_empty(first.get_name()) << '*' << text_or_empty(second.get_name());
  }
  return out.str();
}

std::string expression_repr(const LinearExpression& linear, const QuadExpression& quadratic) {
  std::string linear_text = linear_terms_text(linear);
  std::string quad_text = quad_terms_text(quadratic);
  if (linear_text.empty()) return quad_text;
  if (quad_text.empty()) return linear_text;
  return quad_text + ' ' + linear_text;
}

std::string constraint_repr(const Constraint& constraint) {
  StreamFormat out;
  const char* name = constraint.get_name();
  if (name && *name) out << name << ": ";
  out << constraint.get_lower_bound() << " <=";
  const LinearExpression linear = constraint.get_linear_expression();
  out << expression_repr(linear, linear.get_quad_part());
  out << " <= " << constraint.get_upper_bound();
  return out.str();
}

}  // namespace velorium

// Python class MathFunc: the mathematical functions that build nonlinear expressions. They are
// methods of the class taking no instance: MathFunc.exp(x). Each function has one overload per
// operand kind (float, Variable, LinearExpression, QuadExpression, GeneralExpression), pow and
// signpow one per pair of kinds, the first operand's kind varying slowest.
#include <string>

#include "python/classes/expression_binding.hpp"
#include "python/wrappers/math_functions.hpp"

namespace veloriumpy {

// A number operand. The functions are methods of the class, and pybind11 never gives the first
// argument of a method its second, converting pass: this operand takes an int or any other
// number at once, which is what that pass would have done.
struct NumberOperand {
  double value;
};

}  // namespace veloriumpy

namespace pybind11::detail {

template <>
struct type_caster<veloriumpy::NumberOperand> {
  PYBIND11_TYPE_CASTER(veloriumpy::NumberOperand, const_name("float"));

  bool load(handle source, bool) {
    make_caster<double> number;
    if (!number.load(source, true)) return false;
    value.value = cast_op<double>(number);
    return true;
  }

  static handle cast(veloriumpy::NumberOperand source, return_value_policy, handle) {
    return PyFloat_FromDouble(source.value);
  }
};

}  // namespace pybind11::detail

namespace veloriumpy {

namespace {

// Holds nothing: the functions are static.
struct MathFunc {};

using T = velorium::gen_expr_type;
using Class = py::class_<MathFunc>;

// How a function takes an operand of each kind, and what it hands on.
template <class Kind>
struct Operand {
  using type = const Kind&;
  static const Kind& value(const Kind& operand) { return operand; }
};
template <>
struct Operand<double> {
  using type = NumberOperand;
  static double value(NumberOperand operand) { return operand.value; }
};

template <T Type, class A>
GeneralExpression unary(typename Operand<A>::type a) {
  return velorium::function_node(Type, Operand<A>::value(a));
}

template <T Type, class A, class B>
GeneralExpression binary(typename Operand<A>::type a, typename Operand<B>::type b) {
  return velorium::function_node(Type, Operand<A>::value(a), Operand<B>::value(b));
}

std::string docstring(const char* name) {
  return std::string("Получает выражение с функцией") + name + "\n\n:return: выражение с функцией" + name;
}

template <T Type, class... Kinds>
void def_unary(Class& math, const char* name) {
  const std::string doc = docstring(name);
  (math.def(name, &unary<Type, Kinds>, doc.c_str()), ...);
}

template <T Type, class First, class... Kinds>
void def_binary_with_first(Class& math, const char* name, const std::string& doc) {
  (math.def(name, &binary<Type, First, Kinds>, doc.c_str()), ...);
}

template <T Type, class... Kinds>
void def_binary(Class& math, const char* name) {
  const std::string doc = docstring(name);
  (def_binary_with_first<Type, Kinds, Kinds...>(math, name, doc), ...);
}

template <class... Kinds>
void def_functions(Class& math) {
  def_unary<T::func_square_root, Kinds...>(math, "sqrt");
  def_unary<T::func_sqr, Kinds...>(math, "sqr");
  def_unary<T::func_exp, Kinds...>(math, "exp");
  def_unary<T::func_log, Kinds...>(math, "log");
  def_unary<T::func_log2, Kinds...>(math, "log2");
  def_unary<T::func_log10, Kinds...>(math, "log10");
  def_unary<T::func_sin, Kinds...>(math, "sin");
  def_unary<T::func_cos, Kinds...>(math, "cos");
  def_unary<T::func_tan, Kinds...>(math, "tan");
  def_unary<T::func_logistic, Kinds...>(math, "logistic");
  def_unary<T::func_tanh, Kinds...>(math, "tanh");
  def_binary<T::func_pow, Kinds...>(math, "pow");
  def_binary<T::func_signpow, Kinds...>(math, "signpow");
}

}  // namespace

void register_math_func(py::module_& module) {
  Class math(module, "MathFunc", "Математические функции для нелинейных функций");
  math.def(py::init<>());
  def_functions<double, Variable, LinearExpression, QuadExpression, GeneralExpression>(math);
}

}  // namespace veloriumpy

// Python class MathFunc: the mathematical functions that build nonlinear expressions.
#include "python/module_registration.hpp"

namespace veloriumpy {

// Holds nothing: the functions are static members of the Python class.
struct MathFunc {};

void register_math_func(py::module_& module) {
  py::class_<MathFunc>(module, "MathFunc", "Математические функции для нелинейных функций").def(py::init<>());
}

}  // namespace veloriumpy

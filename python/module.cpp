// The module's entry. pybind11's entry checks that the interpreter has the Python version the
// module was compiled for, creates the module (no docstring) and turns a failure of the
// registration below into ImportError.
#include <limits>

#include "core/text/message_catalogue.hpp"
#include "python/classes/class_declarations.hpp"
#include "python/module_registration.hpp"

namespace {

// Loading the module sets the character-type locale of the message language, as the library
// does; where the system lacks that locale nothing changes.
[[maybe_unused]] const bool message_locale_applied = [] {
  velorium::apply_message_locale();
  return true;
}();

}  // namespace

PYBIND11_MODULE(veloriumpy, module) {
  using namespace veloriumpy;
  module.attr("kVeloriumInf") = py::float_(std::numeric_limits<double>::infinity());
  register_enumerations(module);
  declare_member_classes(module);
  register_solve_result(module);
  register_constraint(module);
  register_general_constraint(module);
  register_variable(module);
  register_linear_expression(module);
  register_quad_expression(module);
  register_general_expression(module);
  register_model(module);
  register_velorium_exception(module);
  register_sum(module);
  declare_matrix_classes(module);
  register_matrix_model(module);
  register_matrix_solve_result(module);
  register_math_func(module);
}

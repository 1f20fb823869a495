// The module's one Python exception, VeloriumException, and its translation from
// velorium_exception, the one exception type every failure travels as inside the module.
#pragma once

#include <pybind11/pybind11.h>

#include <string>

#include "velorium/velorium.hpp"

namespace veloriumpy {

namespace py = pybind11;

// Creates the class (once per process; it is never released) as the module attribute
// "VeloriumException" and installs its translator for the functions of this module.
void register_velorium_exception(py::module_& module);

// A Python exception raised by a model's log callable while a library operation ran. It ends
// that operation as a VeloriumException whose text is the Python error's ("ValueError: bad")
// and whose __cause__ is the Python exception itself.
class log_callback_failure : public velorium::velorium_exception {
 public:
  explicit log_callback_failure(py::error_already_set error);

  const py::error_already_set& python_error() const noexcept { return error_; }

 private:
  py::error_already_set error_;
};

}  // namespace veloriumpy

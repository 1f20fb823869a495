// Model.add_variable and Model.add_constraint with a constraint object taken without pybind11's
// dispatch (model_fast_methods.cpp says what they take and what they leave to the registered
// methods).
#pragma once

#include <pybind11/pybind11.h>

#include "python/model_holder.hpp"

namespace veloriumpy {

// Once the methods are registered (the class's last step: a method registered afterwards would
// take their place).
void install_model_fast_methods(py::class_<PythonModel<velorium::Model>>& model_class);

}  // namespace veloriumpy

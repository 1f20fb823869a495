#include "python/model_bulk_additions.hpp"

#include <string>
#include <utility>
#include <vector>

#include "python/inputs/input_errors.hpp"

namespace veloriumpy {

namespace {

using velorium::Constraint;
using velorium::Variable;

// The decimal text of an index: any int exactly, bool as 0 or 1; anything else as the binding
// layer's int takes it (a float or a text is refused with its cast error).
std::string index_text(py::handle item) {
  if (PyLong_Check(item.ptr())) {
    const auto whole = py::reinterpret_steal<py::object>(PyNumber_Index(item.ptr()));
    if (!whole) throw py::error_already_set();
    return py::str(whole).cast<std::string>();
  }
  return std::to_string(py::cast<int>(item));
}

std::string variable_name(const char* prefix, py::handle item) {
  std::string name = prefix;
  if (PyTuple_Check(item.ptr())) {
    for (py::handle element : py::reinterpret_borrow<py::tuple>(item)) (name += '_') += index_text(element);
  } else {
    (name += '_') += index_text(item);
  }
  return name;
}

double bound_at(const Bound& bound, std::size_t i) {
  if (const double* value = std::get_if<double>(&bound)) return *value;
  return py::cast<double>(std::get<py::list>(bound)[i]);
}

void check_length(const Bound& bound, std::size_t count, InputMessage wrong_length) {
  if (const py::list* list = std::get_if<py::list>(&bound)) {
    if (list->size() != count) raise_input_error(wrong_length);
  }
}

}  // namespace

void add_constraints(velorium::Model& model, const py::dict& constraints) {
  std::vector<std::pair<std::string, Constraint>> items;
  items.reserve(constraints.size());
  for (const auto& [key, value] : constraints) {
    std::string name = py::cast<std::string>(key);
    // None converts to no object; said as for any other value that is no constraint.
    const auto* constraint_object = py::cast<const Constraint*>(value);
    if (!constraint_object) {
      throw py::cast_error("Unable to cast Python instance of type " + py::str(py::type::of(value)).cast<std::string>() +
                           " to C++ type 'velorium::Constraint'");
    }
    const Constraint& constraint = *constraint_object;
    velorium::require_terms(constraint);
    items.emplace_back(std::move(name), constraint);
  }
  for (const auto& [name, constraint] : items) model.add_constraint(constraint, name.c_str());
}

void add_mip_start_values(velorium::Model& model, const py::dict& start_values) {
  if (start_values.empty()) {
    model.add_mip_start_value(static_cast<const char*>(nullptr), 0.0);
    return;
  }
  struct StartValue {
    std::string name;
    py::object variable;  // or a Variable
    double value;
  };
  std::vector<StartValue> values;
  const py::handle variable_class = py::type::of<Variable>();
  for (const auto& [key, item] : start_values) {
    double value = 0.0;
    if (PyFloat_Check(item.ptr())) {
      value = PyFloat_AS_DOUBLE(item.ptr());
    } else if (PyLong_Check(item.ptr())) {
      value = PyLong_AsDouble(item.ptr());
      if (value == -1.0 && PyErr_Occurred()) throw py::error_already_set();
    } else {
      continue;
    }
    if (PyUnicode_Check(key.ptr())) {
      values.push_back({py::cast<std::string>(key), py::object(), value});
    } else if (py::isinstance(key, variable_class)) {
      values.push_back({std::string(), py::reinterpret_borrow<py::object>(key), value});
    }
  }
  for (const StartValue& start : values) {
    if (start.variable) {
      model.add_mip_start_value(py::cast<const Variable&>(start.variable), start.value);
    } else {
      model.add_mip_start_value(start.name.c_str(), start.value);
    }
  }
}

py::list add_variable_list(velorium::Model& model, const py::list& indices, const Bound& lower, const Bound& upper,
                           velorium::variable_type type, const char* prefix) {
  const std::size_t count = indices.size();
  check_length(lower, count, kIndexLowerBoundSizes);
  check_length(upper, count, kIndexUpperBoundSizes);
  struct NewVariable {
    std::string name;
    double lower, upper;
  };
  std::vector<NewVariable> planned;
  planned.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    std::string name = variable_name(prefix, indices[i]);
    const double upper_bound = bound_at(upper, i);
    planned.push_back({std::move(name), bound_at(lower, i), upper_bound});
  }
  py::list variables;
  for (const NewVariable& variable : planned) {
    variables.append(py::cast(model.add_variable(variable.lower, variable.upper, 0.0, type, variable.name.c_str())));
  }
  return variables;
}

}  // namespace veloriumpy

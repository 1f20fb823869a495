// The two methods a program calls once per member of a large model, taken without pybind11's
// dispatch: Model.add_variable, and Model.add_constraint with a constraint object and a name.
//
// pybind11 converts each argument through its generic casters and tries the overloads in turn
// (add_constraint with a constraint object is the sixth: five failed tries first), which costs
// as much as the library call itself. So each method of the class is replaced by a function
// that takes the common forms of its arguments (plain floats and ints, a variable_type member,
// a str or None for the name, an object of exactly the expected class) straight to the same
// model operation that the registered method would run, and hands every other call to the
// registered method unchanged: its errors, conversions and overloads stay the definition. The
// replacement keeps the registered method's name, docstring and module.
#include "python/classes/model_fast_methods.hpp"

#include <array>
#include <limits>
#include <string>

#include "python/classes/value_objects.hpp"
#include "python/number_conversion.hpp"

namespace veloriumpy {

namespace {

using Holder = PythonModel<velorium::Model>;

// What the replacement of one method keeps: its definition for the interpreter and the
// registered method it hands the other calls to. Made once, at import, and never released:
// the interpreter may use them until it ends, and a Python object cannot be released after.
struct Replacement {
  PyMethodDef definition{};
  std::string name;
  std::string doc;
  PyObject* registered = nullptr;
};

Replacement* add_variable_method = nullptr;
Replacement* add_constraint_method = nullptr;

PyObject* call_registered(const Replacement* method, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return PyObject_Vectorcall(method->registered, args, static_cast<size_t>(nargs), kwnames);
}

// A name argument: a str as UTF-8, or None for none; false for anything else (and for a str
// that has no UTF-8 form).
bool plain_name(PyObject* object, const char*& name) {
  if (object == Py_None) {
    name = nullptr;
    return true;
  }
  if (!PyUnicode_CheckExact(object)) return false;
  name = PyUnicode_AsUTF8AndSize(object, nullptr);
  if (!name) {
    PyErr_Clear();
    return false;
  }
  return true;
}

// Parameter names as interned str objects: the keyword names of a call are interned as well
// (those of Python source always are), so most compare by identity.
template <std::size_t N>
class ParameterNames {
 public:
  explicit ParameterNames(const std::array<const char*, N>& names) : names_(names) {
    for (std::size_t j = 0; j < N; ++j) interned_[j] = PyUnicode_InternFromString(names[j]);
  }

  // The position of `keyword`, or N.
  std::size_t position(PyObject* keyword) const {
    for (std::size_t j = 0; j < N; ++j) {
      if (keyword == interned_[j]) return j;
    }
    for (std::size_t j = 0; j < N; ++j) {
      if (PyUnicode_CompareWithASCIIString(keyword, names_[j]) == 0) return j;
    }
    return N;
  }

 private:
  std::array<const char*, N> names_;
  std::array<PyObject*, N> interned_{};  // never released: the interpreter may use them until it ends
};

// The arguments after self by position, then by keyword; false when a keyword names no
// parameter or gives an argument twice.
template <std::size_t N>
bool arguments_by_name(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, const ParameterNames<N>& names,
                       std::array<PyObject*, N>& given) {
  given.fill(nullptr);
  if (nargs < 1 || static_cast<std::size_t>(nargs - 1) > N) return false;
  for (Py_ssize_t i = 1; i < nargs; ++i) given[static_cast<std::size_t>(i - 1)] = args[i];
  const Py_ssize_t keywords = kwnames ? PyTuple_GET_SIZE(kwnames) : 0;
  for (Py_ssize_t k = 0; k < keywords; ++k) {
    const std::size_t position = names.position(PyTuple_GET_ITEM(kwnames, k));
    if (position == N || given[position]) return false;
    given[position] = args[nargs + k];
  }
  return true;
}

// add_variable(lower_bound=0.0, upper_bound=inf, obj_value=0.0, var_type=continuous,
// var_name="")
PyObject* add_variable(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static const ParameterNames<5> kNames({"lower_bound", "upper_bound", "obj_value", "var_type", "var_name"});
  std::array<PyObject*, 5> given{};
  Holder* self = nargs >= 1 ? exact_value<Holder>(args[0]) : nullptr;
  if (!self || !arguments_by_name(args, nargs, kwnames, kNames, given)) {
    return call_registered(add_variable_method, args, nargs, kwnames);
  }
  double lower = 0.0;
  double upper = std::numeric_limits<double>::infinity();
  double objective = 0.0;
  velorium::variable_type type = velorium::variable_type::continuous;
  const char* name = "";
  const velorium::variable_type* given_type = given[3] ? exact_value<velorium::variable_type>(given[3]) : &type;
  const bool plain = (!given[0] || plain_number(given[0], lower)) && (!given[1] || plain_number(given[1], upper)) &&
                     (!given[2] || plain_number(given[2], objective)) && given_type &&
                     (!given[4] || plain_name(given[4], name));
  if (!plain) return call_registered(add_variable_method, args, nargs, kwnames);
  type = *given_type;
  return translated([&] {
    return new_value_object(self->run_logged([&] { return self->add_variable(lower, upper, objective, type, name); }));
  });
}

// add_constraint(constr, constr_name)
PyObject* add_constraint(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  Holder* self = nargs == 3 && !kwnames ? exact_value<Holder>(args[0]) : nullptr;
  const velorium::Constraint* constraint = self ? exact_value<velorium::Constraint>(args[1]) : nullptr;
  const char* name = nullptr;
  if (!constraint || !plain_name(args[2], name)) return call_registered(add_constraint_method, args, nargs, kwnames);
  return translated(
      [&] { return new_value_object(self->run_logged([&] { return self->add_constraint(*constraint, name); })); });
}

Replacement* replace(py::class_<Holder>& model_class, const char* name, _PyCFunctionFastWithKeywords body) {
  auto* method = new Replacement;
  const py::object bound = model_class.attr("__dict__")[name];
  const py::object registered = py::reinterpret_borrow<py::object>(PyInstanceMethod_Function(bound.ptr()));
  method->registered = py::object(registered).release().ptr();
  method->name = name;
  method->doc = py::str(registered.attr("__doc__"));
  method->definition.ml_name = method->name.c_str();
  method->definition.ml_meth = reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(body));
  method->definition.ml_flags = METH_FASTCALL | METH_KEYWORDS;
  method->definition.ml_doc = method->doc.c_str();
  // The registered function's own self (pybind11's record) and module, so that the replacement
  // shows the same qualified name and module.
  const py::object function = py::reinterpret_steal<py::object>(PyCFunction_NewEx(
      &method->definition, PyCFunction_GET_SELF(registered.ptr()), registered.attr("__module__").ptr()));
  if (!function) throw py::error_already_set();
  const py::object instance_method = py::reinterpret_steal<py::object>(PyInstanceMethod_New(function.ptr()));
  if (!instance_method) throw py::error_already_set();
  model_class.attr(name) = instance_method;
  return method;
}

}  // namespace

void install_model_fast_methods(py::class_<Holder>& model_class) {
  add_variable_method = replace(model_class, "add_variable", &add_variable);
  add_constraint_method = replace(model_class, "add_constraint", &add_constraint);
}

}  // namespace veloriumpy

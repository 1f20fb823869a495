// The commonest operators of Variable and LinearExpression, taken without the walk through
// their overload chains.
//
// pybind11 tries the overloads of an operator in turn, and every overload that does not take
// the operand costs more than the operation itself (e += e2 reaches the fifth overload of
// __iadd__). So the number slots and the comparison slot of the two classes are replaced by
// functions that handle, for operands of exactly these classes and plain Python floats and
// ints, what the first matching overload does, by calling the same C++ operation. Every other
// call goes on as Python's own slot for these classes would: to the registered __add__,
// __radd__, __iadd__, __le__, ... (which stay the definition, and what x.__add__(e) calls).
//
// The comparison slot, which QuadExpression takes as well, also refuses `==` and `!=` between a
// linear or quadratic expression and a general expression, either way round: that pair makes
// no constraint (a general constraint equates a variable), and Python's fallback would compare
// identities and give False, so that a model built from it would lose the constraint without a
// word.
#include "python/classes/operator_fast_paths.hpp"

#include <cstring>
#include <optional>
#include <utility>

#include "python/classes/expression_binding.hpp"
#include "python/classes/value_objects.hpp"
#include "python/number_conversion.hpp"

namespace veloriumpy {

namespace {

py::detail::type_info* linear_info = nullptr;
py::detail::type_info* quadratic_info = nullptr;
py::detail::type_info* general_info = nullptr;

Variable* variable(PyObject* object) { return exact_value<Variable>(object); }
LinearExpression* linear(PyObject* object) { return exact_value<LinearExpression>(object); }

// A result of the fast path (a new reference, or null with the Python error set); empty when
// the operands are not a case of it.
using Outcome = std::optional<PyObject*>;

template <class Work>
Outcome run(Work&& work) {
  return translated(std::forward<Work>(work));
}

template <class Value>
PyObject* new_object(Value&& value) {
  return new_value_object(std::forward<Value>(value));
}

PyObject* same_object(PyObject* self) {
  Py_INCREF(self);
  return self;
}

Outcome fast_add(PyObject* a, PyObject* b) {
  double c = 0.0;
  if (Variable* v = variable(a)) {
    if (plain_number(b, c)) return run([&] { return new_object(*v + c); });
    if (Variable* w = variable(b)) return run([&] { return new_object(*v + *w); });
    if (LinearExpression* e = linear(b)) return run([&] { return new_object(*v + *e); });
  } else if (LinearExpression* e = linear(a)) {
    if (plain_number(b, c)) return run([&] { return new_object(*e + c); });
    if (Variable* w = variable(b)) return run([&] { return new_object(*e + *w); });
    if (LinearExpression* e2 = linear(b)) return run([&] { return new_object(*e + *e2); });
  } else if (plain_number(a, c)) {
    if (Variable* v = variable(b)) return run([&] { return new_object(*v + c); });
    if (LinearExpression* e = linear(b)) return run([&] { return new_object(*e + c); });
  }
  return std::nullopt;
}

Outcome fast_subtract(PyObject* a, PyObject* b) {
  double c = 0.0;
  if (Variable* v = variable(a)) {
    if (plain_number(b, c)) return run([&] { return new_object(*v - c); });
    if (Variable* w = variable(b)) return run([&] { return new_object(*v - *w); });
    if (LinearExpression* e = linear(b)) return run([&] { return new_object(*v - *e); });
  } else if (LinearExpression* e = linear(a)) {
    if (plain_number(b, c)) return run([&] { return new_object(*e - c); });
    if (Variable* w = variable(b)) return run([&] { return new_object(*e - *w); });
    if (LinearExpression* e2 = linear(b)) return run([&] { return new_object(*e - *e2); });
  } else if (plain_number(a, c)) {
    if (Variable* v = variable(b)) return run([&] { return new_object(c - *v); });
    if (LinearExpression* e = linear(b)) return run([&] { return new_object(c - *e); });
  }
  return std::nullopt;
}

Outcome fast_multiply(PyObject* a, PyObject* b) {
  double c = 0.0;
  if (Variable* v = variable(a)) {
    if (plain_number(b, c)) return run([&] { return new_object(*v * c); });
    if (Variable* w = variable(b)) return run([&] { return new_object(*v * *w); });
  } else if (LinearExpression* e = linear(a)) {
    if (plain_number(b, c)) return run([&] { return new_object(*e * c); });
  } else if (plain_number(a, c)) {
    if (Variable* v = variable(b)) return run([&] { return new_object(*v * c); });
    if (LinearExpression* e = linear(b)) return run([&] { return new_object(*e * c); });
  }
  return std::nullopt;
}

// e += x and e -= x: in place for a number or a linear expression, a new object for a variable.
template <bool add>
Outcome fast_in_place(PyObject* a, PyObject* b) {
  LinearExpression* e = linear(a);
  if (!e) return std::nullopt;
  double c = 0.0;
  if (plain_number(b, c)) {
    return run([&] {
      add ? *e += c : *e -= c;
      return same_object(a);
    });
  }
  if (LinearExpression* e2 = linear(b)) {
    return run([&] {
      add ? *e += *e2 : *e -= *e2;
      return same_object(a);
    });
  }
  if (Variable* v = variable(b)) return run([&] { return new_object(add ? *e + *v : *e - *v); });
  return std::nullopt;
}

Outcome fast_compare(PyObject* a, PyObject* b, int op) {
  const Sense sense = op == Py_LE ? Sense::less_equal : op == Py_GE ? Sense::greater_equal : Sense::equal;
  const bool ordered = op == Py_LE || op == Py_GE || op == Py_EQ;
  double c = 0.0;
  if (!ordered) return std::nullopt;
  if (Variable* v = variable(a)) {
    if (plain_number(b, c)) return run([&] { return new_object(compare(*v, sense, c)); });
    if (op == Py_LE) return std::nullopt;  // v <= w and v <= e go to the other operand
    if (Variable* w = variable(b)) return run([&] { return new_object(compare(*v, sense, *w)); });
  } else if (LinearExpression* e = linear(a)) {
    if (plain_number(b, c)) return run([&] { return new_object(compare(*e, sense, c)); });
    if (op == Py_LE) return std::nullopt;
    if (LinearExpression* e2 = linear(b)) return run([&] { return new_object(compare(*e, sense, *e2)); });
    if (Variable* w = variable(b)) return run([&] { return new_object(compare(*e, sense, *w)); });
  }
  return std::nullopt;
}

// What Python's slot does for a class whose operator is a method: calls the method `name` that
// the class of `self` has with `other`, or gives NotImplemented when the class has none.
PyObject* call_method(PyObject* self, const char* name, PyObject* other) {
  const py::str key(name);
  PyObject* method = _PyType_Lookup(Py_TYPE(self), key.ptr());
  if (!method) Py_RETURN_NOTIMPLEMENTED;
  if (descrgetfunc bind = Py_TYPE(method)->tp_descr_get) {
    const py::object bound =
        py::reinterpret_steal<py::object>(bind(method, self, reinterpret_cast<PyObject*>(Py_TYPE(self))));
    if (!bound) return nullptr;
    return PyObject_CallOneArg(bound.ptr(), other);
  }
  PyObject* arguments[] = {self, other};
  return PyObject_Vectorcall(method, arguments, 2, nullptr);
}

binaryfunc number_slot(PyObject* object, binaryfunc PyNumberMethods::*slot) {
  PyNumberMethods* methods = Py_TYPE(object)->tp_as_number;
  return methods ? methods->*slot : nullptr;
}

// Python's slot of a binary operator for such a class, whose slot function is `ours`: self's
// method, then the other operand's reflected method when the other's class has this same slot
// (when it has another, Python calls that one itself).
PyObject* as_python_would(PyObject* self, PyObject* other, binaryfunc PyNumberMethods::*slot, binaryfunc ours,
                          const char* name, const char* reflected) {
  bool do_other = Py_TYPE(self) != Py_TYPE(other) && number_slot(other, slot) == ours;
  if (number_slot(self, slot) == ours) {
    if (do_other && PyType_IsSubtype(Py_TYPE(other), Py_TYPE(self))) {
      const py::str key(reflected);
      if (_PyType_Lookup(Py_TYPE(other), key.ptr()) != _PyType_Lookup(Py_TYPE(self), key.ptr())) {
        PyObject* result = call_method(other, reflected, self);
        if (result != Py_NotImplemented) return result;
        Py_DECREF(result);
        do_other = false;
      }
    }
    PyObject* result = call_method(self, name, other);
    if (result != Py_NotImplemented || Py_TYPE(other) == Py_TYPE(self)) return result;
    Py_DECREF(result);
  }
  if (do_other) return call_method(other, reflected, self);
  Py_RETURN_NOTIMPLEMENTED;
}

PyObject* add_slot(PyObject* a, PyObject* b) {
  if (Outcome fast = fast_add(a, b)) return *fast;
  return as_python_would(a, b, &PyNumberMethods::nb_add, &add_slot, "__add__", "__radd__");
}

PyObject* subtract_slot(PyObject* a, PyObject* b) {
  if (Outcome fast = fast_subtract(a, b)) return *fast;
  return as_python_would(a, b, &PyNumberMethods::nb_subtract, &subtract_slot, "__sub__", "__rsub__");
}

PyObject* multiply_slot(PyObject* a, PyObject* b) {
  if (Outcome fast = fast_multiply(a, b)) return *fast;
  return as_python_would(a, b, &PyNumberMethods::nb_multiply, &multiply_slot, "__mul__", "__rmul__");
}

PyObject* in_place_add_slot(PyObject* a, PyObject* b) {
  if (Outcome fast = fast_in_place<true>(a, b)) return *fast;
  return call_method(a, "__iadd__", b);
}

PyObject* in_place_subtract_slot(PyObject* a, PyObject* b) {
  if (Outcome fast = fast_in_place<false>(a, b)) return *fast;
  return call_method(a, "__isub__", b);
}

// The class name of `object`, without its module.
const char* class_name(PyObject* object) {
  const char* name = Py_TYPE(object)->tp_name;
  const char* dot = std::strrchr(name, '.');
  return dot ? dot + 1 : name;
}

// Sets TypeError for a linear or quadratic expression compared by == or != with a general one.
bool refused_general_equality(PyObject* a, PyObject* b, int op) {
  if (op != Py_EQ && op != Py_NE) return false;
  if (!PyObject_TypeCheck(a, linear_info->type) && !PyObject_TypeCheck(a, quadratic_info->type)) return false;
  if (!PyObject_TypeCheck(b, general_info->type)) return false;
  PyErr_Format(PyExc_TypeError, "unsupported operand type(s) for %s: '%s' and '%s'", op == Py_EQ ? "==" : "!=",
               class_name(a), class_name(b));
  return true;
}

PyObject* compare_slot(PyObject* a, PyObject* b, int op) {
  if (refused_general_equality(a, b, op)) return nullptr;
  if (Outcome fast = fast_compare(a, b, op)) return *fast;
  static const char* const names[] = {"__lt__", "__le__", "__eq__", "__ne__", "__gt__", "__ge__"};
  return call_method(a, names[op], b);
}

}  // namespace

void install_operator_fast_paths() {
  linear_info = class_info<LinearExpression>();
  quadratic_info = class_info<QuadExpression>();
  general_info = class_info<GeneralExpression>();
  for (PyTypeObject* type : {class_info<Variable>()->type, linear_info->type}) {
    type->tp_as_number->nb_add = &add_slot;
    type->tp_as_number->nb_subtract = &subtract_slot;
    type->tp_as_number->nb_multiply = &multiply_slot;
    type->tp_richcompare = &compare_slot;
  }
  linear_info->type->tp_as_number->nb_inplace_add = &in_place_add_slot;
  linear_info->type->tp_as_number->nb_inplace_subtract = &in_place_subtract_slot;
}

void install_quadratic_comparison() { quadratic_info->type->tp_richcompare = &compare_slot; }

}  // namespace veloriumpy

// Python objects of the module's classes made and read directly, for the calls that run most
// often (the operators' fast paths, Model.add_variable and Model.add_constraint).
//
// pybind11's generic conversion of a returned value looks its class up by C++ type, searches
// its registry of instances for an object at the value's address, and enters the new object
// in that registry: two hash look-ups and an insertion for each object, and another search
// when it goes, which cost more than many library calls, and the registry's entry about 40
// bytes an object. These objects are made as pybind11 makes them, without the look-ups, except
// where the value lives: a value of two words (those of variables, rows and linear and
// quadratic expressions) is moved into the object itself, into the room that pybind11 keeps for the holder of a heap
// value, so that an object costs one allocation instead of three (object, value, holder's
// pointer). Such an object has no holder; its class's dealloc function destroys the value in
// place when the value pointer points into the object (and a heap value as before otherwise:
// objects that pybind11 itself makes keep theirs). Objects of Variable and
// Constraint, which a program keeps by the million, also stay out of the registry: nothing
// looks them up by address, since no method of theirs gives back a reference to its own value
// (pybind11 leaves an object it did not register out of the registry when it goes). The
// expression classes' in-place operators do give one back, and pybind11 finds the operand's
// object by that address: theirs are registered.
#pragma once

#include <pybind11/pybind11.h>

#include <memory>
#include <type_traits>
#include <utility>

#include "python/wrappers/constraint.hpp"
#include "python/wrappers/variable.hpp"

namespace veloriumpy {

namespace py = pybind11;

// The registration of class `Value`, found once (the class must be registered by then), and
// whether its objects hold their value pointer and holder in themselves: a class of one C++
// type whose holder fits there, as all of the module's value classes are.
struct ClassRecord {
  py::detail::type_info* info;
  bool simple_layout;
};

template <class Value>
const ClassRecord& class_record() {
  static const ClassRecord record = [] {
    py::detail::type_info* info = py::detail::get_type_info(typeid(Value), true);
    return ClassRecord{info, info->holder_size_in_ptrs <= py::detail::instance_simple_holder_in_ptrs() &&
                                 py::detail::all_type_info(info->type).size() == 1};
  }();
  return record;
}

template <class Value>
py::detail::type_info* class_info() {
  return class_record<Value>().info;
}

// A new object of class `Value` without a value, as pybind11 makes one (a new reference; null
// with the Python error set); the simple layout is set at once, without pybind11's look-up of
// the class's C++ types.
template <class Value>
PyObject* new_instance() {
  const ClassRecord& record = class_record<Value>();
  if (!record.simple_layout) return py::detail::make_new_instance(record.info->type);
  PyObject* object = record.info->type->tp_alloc(record.info->type, 0);
  if (!object) return nullptr;
  auto* instance = reinterpret_cast<py::detail::instance*>(object);
  instance->simple_layout = true;
  instance->simple_value_holder[0] = nullptr;
  instance->simple_holder_constructed = false;
  instance->simple_instance_registered = false;
  return object;
}

// Where an object of a simple layout keeps a value of at most two words: the holder's room.
inline void* value_room(py::detail::instance* instance) { return &instance->simple_value_holder[1]; }

template <class Value>
inline constexpr bool fits_in_object =
    sizeof(Value) <= sizeof(void*) * py::detail::instance_simple_holder_in_ptrs() && alignof(Value) <= alignof(void*);

static_assert(fits_in_object<velorium::Variable> && fits_in_object<velorium::Constraint>,
              "the values that programs keep by the million live in their objects");

// The class's own dealloc function, for the values on the heap.
template <class Value>
inline void (*heap_value_dealloc)(py::detail::value_and_holder&) = nullptr;

// The dealloc function of a class whose objects may hold their value in themselves; pybind11
// calls it once the object is out of its registry, before the object's memory goes.
template <class Value>
void dealloc_value(py::detail::value_and_holder& holder) {
  if (holder.inst->simple_layout && holder.value_ptr() == value_room(holder.inst)) {
    const py::error_scope keep_error;  // as pybind11's own dealloc: the destructor may run Python code
    holder.value_ptr<Value>()->~Value();
    holder.value_ptr() = nullptr;
    return;
  }
  heap_value_dealloc<Value>(holder);
}

// The class's registration, with its dealloc function replaced once for the values held in
// the objects.
template <class Value>
const ClassRecord& value_class_record() {
  static const ClassRecord& record = [] () -> const ClassRecord& {
    const ClassRecord& found = class_record<Value>();
    if (fits_in_object<Value> && found.simple_layout) {
      heap_value_dealloc<Value> = found.info->dealloc;
      found.info->dealloc = &dealloc_value<Value>;
    }
    return found;
  }();
  return record;
}

// A new Python object of class `Value` holding `value` (a new reference); null with the Python
// error set when memory runs out.
template <class Value>
PyObject* new_value_object(Value&& value) {
  using Plain = std::remove_cvref_t<Value>;
  const ClassRecord& record = value_class_record<Plain>();
  PyObject* object = new_instance<Plain>();
  if (!object) return nullptr;
  auto* instance = reinterpret_cast<py::detail::instance*>(object);
  py::detail::value_and_holder holder = instance->get_value_and_holder(record.info);
  try {
    if constexpr (fits_in_object<Plain>) {
      holder.value_ptr() = record.simple_layout ? new (value_room(instance)) Plain(std::forward<Value>(value))
                                                : new Plain(std::forward<Value>(value));
    } else {
      holder.value_ptr() = new Plain(std::forward<Value>(value));
    }
  } catch (const std::bad_alloc&) {
    Py_DECREF(object);
    return PyErr_NoMemory();
  }
  instance->owned = true;
  if constexpr (!std::is_same_v<Plain, velorium::Variable> && !std::is_same_v<Plain, velorium::Constraint>) {
    py::detail::register_instance(instance, holder.value_ptr(), record.info);
    holder.set_instance_registered();
  }
  if (holder.value_ptr() != value_room(instance)) {
    new (std::addressof(holder.holder<std::unique_ptr<Plain>>())) std::unique_ptr<Plain>(holder.value_ptr<Plain>());
    holder.set_holder_constructed();
  }
  return object;
}

// Runs `work`, which gives a new reference (or null with the Python error set); a C++ failure
// becomes the Python error that the module's functions raise for it, through the same
// translators. Gives null then.
template <class Work>
PyObject* translated(Work&& work) {
  try {
    return std::forward<Work>(work)();
  } catch (py::error_already_set& error) {
    error.restore();
  } catch (...) {
    if (!py::detail::apply_exception_translators(py::detail::get_local_internals().registered_exception_translators) &&
        !py::detail::apply_exception_translators(py::detail::get_internals().registered_exception_translators)) {
      PyErr_SetString(PyExc_SystemError, "Exception escaped from default exception translator!");
    }
  }
  return nullptr;
}

// The value held by `object` when it is an object of exactly class `Value` that holds one;
// null for anything else (a subclass's object included: it takes the registered methods).
template <class Value>
Value* exact_value(PyObject* object) {
  py::detail::type_info* info = class_info<Value>();
  if (Py_TYPE(object) != info->type) return nullptr;
  py::detail::value_and_holder holder = reinterpret_cast<py::detail::instance*>(object)->get_value_and_holder(info);
  return holder ? holder.value_ptr<Value>() : nullptr;
}

}  // namespace veloriumpy

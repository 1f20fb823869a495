#include "python/exception.hpp"

#include <cstring>
#include <exception>

namespace veloriumpy {

namespace {

// Created at the first import in the process and held until the process ends, so that the
// translator never raises a class that is gone.
PyObject* exception_class = nullptr;

// The text as a Python str. Texts are UTF-8; one cut inside a character still arrives, with
// that character replaced, rather than being lost to a decoding error.
py::object decoded(const char* text) {
  PyObject* result = PyUnicode_DecodeUTF8(text, static_cast<Py_ssize_t>(std::strlen(text)), "replace");
  if (!result) throw py::error_already_set();
  return py::reinterpret_steal<py::object>(result);
}

std::string python_error_text(const py::error_already_set& error) {
  try {
    std::string text = py::str(error.type().attr("__name__"));
    const std::string message = py::str(error.value());
    if (!message.empty()) text += ": " + message;
    return text;
  } catch (const py::error_already_set&) {
    return error.what();
  }
}

void raise_velorium_exception(const velorium::velorium_exception& failure) {
  py::object text = decoded(failure.what());
  if (const auto* log_failure = dynamic_cast<const log_callback_failure*>(&failure)) {
    py::object instance = py::reinterpret_steal<py::object>(PyObject_CallOneArg(exception_class, text.ptr()));
    if (!instance) throw py::error_already_set();
    const py::error_already_set& error = log_failure->python_error();
    py::object cause = error.value();
    if (error.trace()) PyException_SetTraceback(cause.ptr(), error.trace().ptr());
    PyException_SetCause(instance.ptr(), cause.release().ptr());
    PyErr_SetObject(exception_class, instance.ptr());
    return;
  }
  PyErr_SetObject(exception_class, text.ptr());
}

void translate_velorium_exception(std::exception_ptr pending) {
  if (!pending) return;
  try {
    std::rethrow_exception(pending);
  } catch (const velorium::velorium_exception& failure) {
    try {
      raise_velorium_exception(failure);
    } catch (py::error_already_set& error) {
      // Building the exception failed (memory): raise that failure instead.
      error.restore();
    }
  }
}

}  // namespace

log_callback_failure::log_callback_failure(py::error_already_set error)
    : velorium_exception(-1, python_error_text(error).c_str()), error_(std::move(error)) {}

void register_velorium_exception(py::module_& module) {
  if (!exception_class) {
    const std::string name = py::str(module.attr("__name__")).cast<std::string>() + ".VeloriumException";
    exception_class = PyErr_NewException(name.c_str(), PyExc_Exception, nullptr);
    if (!exception_class) throw py::error_already_set();
  }
  module.attr("VeloriumException") = py::handle(exception_class);
  py::register_local_exception_translator(&translate_velorium_exception);
}

}  // namespace veloriumpy

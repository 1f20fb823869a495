#include "python/model_holder.hpp"

#include <cstring>

namespace veloriumpy {

namespace {

// Log lines are UTF-8; a stray byte is replaced rather than failing the operation that logs.
py::object log_text(const char* text) {
  if (!text) return py::none();
  PyObject* result = PyUnicode_DecodeUTF8(text, static_cast<Py_ssize_t>(std::strlen(text)), "replace");
  if (!result) throw py::error_already_set();
  return py::reinterpret_steal<py::object>(result);
}

}  // namespace

template <class T>
PythonModel<T>::PythonModel(const char* name) : T(name) {
  this->object().SetLogCallback(static_cast<velorium::ILogCallback*>(this));
  refresh_log_to_console();
}

template <class T>
PythonModel<T>::~PythonModel() {
  // The library must never call into a holder that is gone.
  if (velorium::IModel* model = this->get_interface()) model->SetLogCallback(nullptr);
}

template <class T>
void PythonModel<T>::refresh_log_to_console() {
  log_to_console = T::get_bool_param("log_to_console");
}

template <class T>
void PythonModel<T>::set_bool_param(const char* name, bool value) {
  T::set_bool_param(name, value);
  refresh_log_to_console();
}

template <class T>
void PythonModel<T>::set_log_callback(py::object new_callback) {
  py::gil_scoped_acquire lock;
  if (new_callback.is_none()) {
    callback = py::object();
    return;
  }
  new_callback(py::str(""));
  if (!new_callback.is(callback)) callback = std::move(new_callback);
}

template <class T>
void PythonModel<T>::LogMessage(const char* text) {
  // The library may log from a thread that released the lock, or from any other thread.
  py::gil_scoped_acquire lock;
  try {
    if (callback) {
      callback(log_text(text));
    } else if (log_to_console) {
      py::print(log_text(text), py::arg("end") = "");
    }
  } catch (py::error_already_set& error) {
    keep_log_failure(std::move(error));
  }
}

template <class T>
void PythonModel<T>::keep_log_failure(py::error_already_set error) {
  if (running_operations == 0) {
    error.discard_as_unraisable(callback ? callback : py::none());
    return;
  }
  // The first failure is the one that explains the others.
  if (!log_failure) log_failure.emplace(std::move(error));
}

template <class T>
void PythonModel<T>::read(const char* path) {
  py::gil_scoped_release unlocked;
  this->call(&velorium::IModel::Read, path);
}

template <class T>
void PythonModel<T>::read_mps(const char* path) {
  py::gil_scoped_release unlocked;
  this->call(&velorium::IModel::ReadMps, path);
}

template <class T>
void PythonModel<T>::read_lp(const char* path) {
  py::gil_scoped_release unlocked;
  this->call(&velorium::IModel::ReadLp, path);
}

template <class T>
void PythonModel<T>::write(const char* path, const char* name_mapping_file) {
  py::gil_scoped_release unlocked;
  T::write(path, name_mapping_file);
}

template <class T>
void PythonModel<T>::write_mps(const char* path, const char* name_mapping_file) {
  py::gil_scoped_release unlocked;
  T::write_mps(path, name_mapping_file);
}

template <class T>
void PythonModel<T>::write_lp(const char* path, const char* name_mapping_file) {
  py::gil_scoped_release unlocked;
  T::write_lp(path, name_mapping_file);
}

template <class T>
typename PythonModel<T>::result_type PythonModel<T>::solve() {
  py::gil_scoped_release unlocked;
  return this->template call_adopt<result_type>(&velorium::IModel::Solve);
}

template <class T>
typename PythonModel<T>::result_type PythonModel<T>::solve_remote(const char* name_mapping_file) {
  py::gil_scoped_release unlocked;
  return this->template call_adopt<result_type>(&velorium::IModel::SolveRemote, name_mapping_file);
}

template class PythonModel<velorium::Model>;
template class PythonModel<velorium::MatrixModel>;

PythonMatrixModel::result_type PythonMatrixModel::solve_remote() { return PythonModel::solve_remote(""); }
void PythonMatrixModel::write(const char* path) { PythonModel::write(path, ""); }
void PythonMatrixModel::write_mps(const char* path) { PythonModel::write_mps(path, ""); }
void PythonMatrixModel::write_lp(const char* path) { PythonModel::write_lp(path, ""); }

}  // namespace veloriumpy

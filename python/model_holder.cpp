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
  if (velorium::IModel* model = this->raw_interface()) model->SetLogCallback(nullptr);
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
  // Python code may let other threads run in the middle of the operation that logs.
  const velorium::ModelUse::Delivering delivering(*this->use());
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
template <class Work>
std::invoke_result_t<Work, velorium::IModel&> PythonModel<T>::without_lock(const char* name, Work&& work) {
  velorium::IModel& model = this->object();
  const velorium::ModelUse::Running running(*this->use(), name);
  const py::gil_scoped_release unlocked;
  return std::forward<Work>(work)(model);
}

namespace {

// One library operation on the model and its error check.
template <class Operation, class... Args>
void call_checked(velorium::IModel& model, Operation operation, Args... args) {
  (model.*operation)(args...);
  velorium::check_error(&model);
}

const char* name_map(const char* name_mapping_file) { return name_mapping_file ? name_mapping_file : ""; }

}  // namespace

template <class T>
void PythonModel<T>::read(const char* path) {
  without_lock("read", [&](velorium::IModel& model) { call_checked(model, &velorium::IModel::Read, path); });
}

template <class T>
void PythonModel<T>::read_mps(const char* path) {
  without_lock("read_mps", [&](velorium::IModel& model) { call_checked(model, &velorium::IModel::ReadMps, path); });
}

template <class T>
void PythonModel<T>::read_lp(const char* path) {
  without_lock("read_lp", [&](velorium::IModel& model) { call_checked(model, &velorium::IModel::ReadLp, path); });
}

template <class T>
void PythonModel<T>::write(const char* path, const char* name_mapping_file) {
  without_lock("write", [&](velorium::IModel& model) {
    call_checked(model, &velorium::IModel::Write, path, name_map(name_mapping_file));
  });
}

template <class T>
void PythonModel<T>::write_mps(const char* path, const char* name_mapping_file) {
  without_lock("write_mps", [&](velorium::IModel& model) {
    call_checked(model, &velorium::IModel::WriteMps, path, name_map(name_mapping_file));
  });
}

template <class T>
void PythonModel<T>::write_lp(const char* path, const char* name_mapping_file) {
  without_lock("write_lp", [&](velorium::IModel& model) {
    call_checked(model, &velorium::IModel::WriteLp, path, name_map(name_mapping_file));
  });
}

template <class T>
typename PythonModel<T>::result_type PythonModel<T>::solve() {
  // The result reads the model's data: it is one of the model's objects.
  return without_lock("solve", [&](velorium::IModel& model) {
    result_type result = velorium::adopt<result_type>(model.Solve(), this->use());
    velorium::check_error(&model);
    return result;
  });
}

template <class T>
typename PythonModel<T>::result_type PythonModel<T>::solve_remote(const char* name_mapping_file) {
  return without_lock("solve_remote", [&](velorium::IModel& model) {
    result_type result = velorium::adopt<result_type>(model.SolveRemote(name_map(name_mapping_file)), this->use());
    velorium::check_error(&model);
    return result;
  });
}

template <class T>
void PythonModel<T>::solve_remote_async(const char* name_mapping_file) {
  without_lock("solve_remote_async", [&](velorium::IModel& model) {
    call_checked(model, &velorium::IModel::SolveRemoteAsync, name_map(name_mapping_file));
  });
}

template <class T>
std::string PythonModel<T>::get_remote_solve_log(const std::string& calc_uid) {
  return without_lock("get_remote_solve_log", [&](velorium::IModel& model) {
    const char* log = model.GetRemoteSolveLog(calc_uid.c_str());
    velorium::check_error(&model);
    // The text belongs to the model until its next call: copied while the model is still busy.
    return std::string(log ? log : "");
  });
}

template class PythonModel<velorium::Model>;
template class PythonModel<velorium::MatrixModel>;

PythonMatrixModel::result_type PythonMatrixModel::solve_remote() { return PythonModel::solve_remote(""); }
void PythonMatrixModel::write(const char* path) { PythonModel::write(path, ""); }
void PythonMatrixModel::write_mps(const char* path) { PythonModel::write_mps(path, ""); }
void PythonMatrixModel::write_lp(const char* path) { PythonModel::write_lp(path, ""); }

}  // namespace veloriumpy

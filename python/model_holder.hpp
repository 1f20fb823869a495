// The native object behind the Python classes Model and MatrixModel. It owns the library model
// through its value base, receives the model's log lines as its ILogCallback and hands them to
// a Python callable or to sys.stdout, and releases the Python lock around reading, writing,
// solving and the other remote operations, which may wait long. Meanwhile the model is busy
// (python/wrappers/model_use.hpp): calls on it and its objects are refused, so no other thread
// changes what the operation reads.
//
// The log bridge never lets a Python error into the library. When the callable raises while a
// model operation called from Python runs, the error is kept and the operation then fails with
// it (run_logged); the library is never asked to carry a foreign exception, and the
// interpreter's error state is clean when the library resumes. A callable that raises outside
// such an operation (a line logged by a variable's operation) is reported the way Python
// reports errors it cannot raise (sys.unraisablehook).
#pragma once

#include <pybind11/pybind11.h>

#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include "python/exception.hpp"
#include "python/number_conversion.hpp"
#include "python/wrappers/model.hpp"
#include "python/wrappers/solve_result.hpp"

namespace veloriumpy {

namespace py = pybind11;

template <class T>
class PythonModel : public T, private velorium::ILogCallback {
 public:
  using result_type =
      std::conditional_t<std::is_same_v<T, velorium::MatrixModel>, velorium::MatrixSolveResult, velorium::SolveResult>;

  // A null name keeps the library's initial name.
  explicit PythonModel(const char* name = nullptr);
  ~PythonModel() override;
  PythonModel(const PythonModel&) = delete;
  PythonModel& operator=(const PythonModel&) = delete;

  // Sets the option, then reads "log_to_console" again whatever the option's name.
  void set_bool_param(const char* name, bool value);
  // None removes the callable. Anything else is first called once with "" (its exception
  // reaches the caller and keeps the callable in place), then receives every log line.
  void set_log_callback(py::object callback);

  // These release the Python lock for the library call and its error check.
  void read(const char* path);
  void read_mps(const char* path);
  void read_lp(const char* path);
  void write(const char* path, const char* name_mapping_file);
  void write_mps(const char* path, const char* name_mapping_file);
  void write_lp(const char* path, const char* name_mapping_file);
  result_type solve();
  result_type solve_remote(const char* name_mapping_file);
  // The remote operations wait for the process's remote-operation lock. The asynchronous
  // solve takes no name map: the argument is not used.
  void solve_remote_async(const char* name_mapping_file);
  std::string get_remote_solve_log(const std::string& calc_uid);

  // Runs `work`, one operation of this model called from Python. A Python exception that the
  // log callable raised meanwhile ends it: an Exception as log_callback_failure, anything else
  // (KeyboardInterrupt, SystemExit) as itself; it replaces the operation's own failure.
  template <class Work>
  std::invoke_result_t<Work> run_logged(Work&& work);

 private:
  class Operation;

  // Runs `work` (given the library model) as the operation `name` without the Python lock:
  // the model is checked first and busy until the lock is taken back.
  template <class Work>
  std::invoke_result_t<Work, velorium::IModel&> without_lock(const char* name, Work&& work);

  // The library's log receiver.
  void LogMessage(const char* text) override;
  void refresh_log_to_console();
  void keep_log_failure(py::error_already_set error);

  bool log_to_console = false;
  py::object callback;
  int running_operations = 0;
  std::optional<py::error_already_set> log_failure;
};

// The holder of the Python class MatrixModel: the matrix face, whose result is a
// MatrixSolveResult and whose files carry the model's own names.
class PythonMatrixModel : public PythonModel<velorium::MatrixModel> {
 public:
  using PythonModel::PythonModel;

  result_type solve_remote();
  void write(const char* path);
  void write_mps(const char* path);
  void write_lp(const char* path);

  // The matrix inputs (python/matrix_model_inputs.cpp). Each checks and converts all of its
  // arguments before the library sees any, so a refused call leaves the model as it was.
  // P: None, a dense square matrix or a CSR one over the model's variables; q: the linear
  // coefficients (None, or the single value 0.0: none).
  void set_objective(py::object P, py::object q, velorium::objective_sense sense);
  void add_variables(py::object lower_bounds, py::object upper_bounds, py::object obj_values, py::object var_types,
                     IndexArgument count);
  void add_constraint(py::object P, py::object q, velorium::constraint_sense sense, double r);
  // One linear row per row of A (dense or CSR, columns = the model's variables); senses and b
  // hold one value per row, or one value for every row.
  void add_constraints(py::object A, py::object senses, py::object b);
};

template <class T>
class PythonModel<T>::Operation {
 public:
  explicit Operation(PythonModel& model) : model_(model), outer_failure_(std::move(model.log_failure)) {
    model.log_failure.reset();
    ++model.running_operations;
  }
  ~Operation() {
    --model_.running_operations;
    model_.log_failure = std::move(outer_failure_);
  }
  Operation(const Operation&) = delete;
  Operation& operator=(const Operation&) = delete;

  template <class Work>
  void run(Work&& work) {
    try {
      std::forward<Work>(work)();
    } catch (...) {
      raise_log_failure();
      throw;
    }
    raise_log_failure();
  }

 private:
  void raise_log_failure() {
    if (!model_.log_failure) return;
    py::error_already_set error = std::move(*model_.log_failure);
    model_.log_failure.reset();
    if (error.matches(PyExc_Exception)) throw log_callback_failure(std::move(error));
    throw error;
  }

  PythonModel& model_;
  std::optional<py::error_already_set> outer_failure_;
};

template <class T>
template <class Work>
std::invoke_result_t<Work> PythonModel<T>::run_logged(Work&& work) {
  Operation operation(*this);
  if constexpr (std::is_void_v<std::invoke_result_t<Work>>) {
    operation.run(std::forward<Work>(work));
  } else {
    std::optional<std::invoke_result_t<Work>> result;
    operation.run([&] { result.emplace(std::forward<Work>(work)()); });
    return std::move(*result);
  }
}

template <class Holder, class Result, class... Args, class Method>
auto model_method_with_signature(Method method) {
  return [method](Holder& self, Args... args) -> Result {
    return self.run_logged([&]() -> Result { return (self.*method)(std::forward<Args>(args)...); });
  };
}

// A method of a model holder (or of its value base) as a Python method of class `Holder`: the
// call runs as one model operation (run_logged).
template <class Holder, class Result, class Class, class... Args>
auto model_method(Result (Class::*method)(Args...)) {
  return model_method_with_signature<Holder, Result, Args...>(method);
}

template <class Holder, class Result, class Class, class... Args>
auto model_method(Result (Class::*method)(Args...) const) {
  return model_method_with_signature<Holder, Result, Args...>(method);
}

// A function of the model (its first parameter) as a Python method of class `Holder`, run as
// one model operation.
template <class Holder, class Result, class Model, class... Args>
auto model_function(Result (*function)(Model&, Args...)) {
  return [function](Holder& self, Args... args) -> Result {
    return self.run_logged([&]() -> Result { return function(self, std::forward<Args>(args)...); });
  };
}

}  // namespace veloriumpy

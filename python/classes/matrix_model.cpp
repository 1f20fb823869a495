// Python class MatrixModel: a model filled in matrix form.
#include "python/model_holder.hpp"
#include "python/module_registration.hpp"

namespace veloriumpy {

void register_matrix_model(py::module_& module) {
  py::class_<PythonMatrixModel>(module, "MatrixModel", "Создает экземпляр матричной модели")
      .def(py::init<>())
      .def(py::init<const char*>());
}

}  // namespace veloriumpy

// Python class MatrixModel: a model filled in matrix form. The held object is the matrix model
// holder (python/model_holder.hpp); every method runs as one model operation.
#include <limits>

#include "python/classes/class_declarations.hpp"
#include "python/classes/parameter_methods.hpp"
#include "python/model_holder.hpp"
#include "python/module_registration.hpp"

namespace veloriumpy {

namespace {

using Holder = PythonMatrixModel;

template <class Method>
auto method(Method bound) {
  return model_method<Holder>(bound);
}

}  // namespace

void register_matrix_model(py::module_& module) {
  using velorium::constraint_sense;
  using velorium::MatrixModel;
  using velorium::Model;
  using velorium::objective_sense;
  using velorium::variable_type;
  auto model_class = declared_class<Holder>(module, "MatrixModel");
  model_class.def(py::init<>()).def(py::init<const char*>());
  register_parameter_methods(model_class, 13);
  model_class
      .def("set_log_file", method(&Model::set_log_file), text_arg("log_file"),
           "Задать файл для записи лога решения\n\n             :param log_file файл лога")
      .def("write", method(&Holder::write), text_arg("file_name"),
           "Записывает модель в файл. Тип будет определен по расширению\n\n            :param file_name: путь к "
           "записываемому файлу\n")
      .def("write_mps", method(&Holder::write_mps), text_arg("file_name"),
           "Записывает модель в файл в формате MPS\n\n            :param file_name: путь к записываемому файлу\n")
      .def("write_lp", method(&Holder::write_lp), text_arg("file_name"),
           "Записывает модель в файл в формате LP\n\n            :param file_name: путь к записываемому файлу\n")
      .def("clear", method(&MatrixModel::clear),
           "Очищает модель от всех данных. Все старые переменные и ограничения становятся невалидными")
      .def("set_objective", method(&Holder::set_objective), py::arg("P") = py::none(), py::arg("q") = py::none(),
           py::arg("sense") = objective_sense::minimize,
           "Задаёт выражение целевой функции и тип оптимизации\n\n            :param P: квадратичная часть "
           "выражения\n            :param q: вектор коэффициентов к переменным\n            :param sense: тип "
           "оптимизации")
      .def("add_variables", method(&Holder::add_variables), py::arg("lower_bounds") = 0.0,
           py::arg("upper_bounds") = std::numeric_limits<double>::infinity(), py::arg("obj_values") = 0.0,
           py::arg("var_types") = variable_type::continuous, py::arg("count"),
           "Добавляет переменные в модель с заданными параметрами\n\n            :param lower_bounds: нижние границы "
           "переменных\n            :param upper_bounds: верхние границы переменных\n            :param obj_values: "
           "коэффициенты к переменным в целевой функции\n            :param var_types: типы переменных\n            "
           ":param count: количество переменных")
      .def("solve", method(&Holder::solve),
           "Стартует оптимизацию модели\n\n            :return: объект с результатом оптимизации")
      .def("solve_remote", method(&Holder::solve_remote),
           "Стартует оптимизацию модели на удаленном сервере в синхронном режиме.             Предварительно "
           "необходимо установить переменную окружения X_API_KEY.\n\n            :return: объект с результатом "
           "оптимизации")
      .def("get_variables_count", method(&Model::get_variables_count),
           "Получает количество переменных в модели\n\n            :return: количество переменных в модели")
      .def("add_constraint", method(&Holder::add_constraint), py::arg("P") = py::none(), py::arg("q") = py::none(),
           py::arg("sense"), py::arg("r"),
           "Добавляет ограничение в модель с заданными параметрами\n\n            :param P: матрица квадратичных "
           "коэффициентов\n            :param q: вектор коэффициентов переменных\n            :param sense: тип "
           "ограничения ( <=, >= , == )\n            :param r: константное значение в правой части ограничения\n")
      .def("set_objective_offset", method(&Model::set_objective_offset), py::arg("offset"),
           "Задаёт константу в выражении целевой функции\n\n            :param offset: значение константы")
      .def("add_constraints", method(&Holder::add_constraints), py::arg("A"), py::arg("senses"), py::arg("b"),
           "Добавляет ограничения в модель с заданными параметрами\n\n            :param A: матрица ограничений в "
           "формате csr (sparse row matrix)\n            :param senses: массив типов ограничений "
           "(constraint_sense)\n            :param b: массив константных значений в правых частях ограничений\n");
}

}  // namespace veloriumpy

// Python class SolveResult: the result of a model's calculation, or of an earlier one fetched
// by its identifier.
#include "python/classes/class_declarations.hpp"
#include "python/classes/result_figures.hpp"
#include "python/module_registration.hpp"

namespace veloriumpy {

void register_solve_result(py::module_& module) {
  using velorium::Constraint;
  using velorium::LinearExpression;
  using velorium::QuadExpression;
  using velorium::SolveResult;
  using velorium::Variable;
  auto result_class = declared_class<SolveResult>(module, "SolveResult");
  register_result_figures(
      result_class, nullptr,
      {"Получает статус процесса расчетов\n\n        :return: значение статуса",
       "Получает точность решения в процентах\n\n        :return: точность решения в процентах",
       "Получает значение целевой функции\n\n        :return: значение целевой функции",
       "Получает статус модели в итоге расчета\n\n        :return: значение статуса",
       "Получает общее время решения\n\n        :return: общее время решения [сек]",
       "Получает значение граничной (двойственной) функции\n\n        :return: значение граничной (двойственной) "
       "функции",
       "Получает количество обработанных узлов дерева решений\n\n        :return: количество обработанных узлов",
       "Получает количество итераций, проведенных в процессе расчета\n\n        :return: количество итераций"});
  const char* expression_doc = "Получает значение выражения\n\n        :param expr: объект выражения\n        :return: "
                               "значение выражения";
  result_class
      .def("get_variable_value", py::overload_cast<const Variable&>(&SolveResult::get_variable_value, py::const_),
           py::arg("var"),
           "Получает значение переменной в решении\n\n        :param var: объект переменной\n        :return: значение "
           "переменной в решении")
      .def("get_variable_value", py::overload_cast<const char*>(&SolveResult::get_variable_value, py::const_),
           text_arg("var_name"),
           "Получает значение переменной в решении по имени\n\n        :param var_name: имя переменной\n        "
           ":return: значение переменной в решении")
      .def("get_reduced_cost", py::overload_cast<const char*>(&SolveResult::get_reduced_cost, py::const_),
           text_arg("var_name"),
           "Получает значение reduced cost в решении по имени\n\n        :param var_name: имя переменной\n        "
           ":return: значение reduced cost в решении")
      .def("get_reduced_cost", py::overload_cast<const Variable&>(&SolveResult::get_reduced_cost, py::const_),
           py::arg("variable"),
           "Получает значение reduced cost в решении \n\n        :param variable: переменная\n        :return: "
           "значение reduced cost в решении")
      .def("get_dual_value", py::overload_cast<const Constraint&>(&SolveResult::get_dual_value, py::const_),
           py::arg("constraint"),
           "Получает значение dual value\n\n        :param constraint: ограничение\n        :return: значение dual "
           "value в решении")
      .def("get_dual_value", py::overload_cast<const char*>(&SolveResult::get_dual_value, py::const_),
           text_arg("constraint_name"),
           "Получает значение dual value по имени ограниения\n\n        :param constraint_name: имя ограничения\n    "
           "    :return: значение dual value в решении")
      .def("get_expression_value",
           py::overload_cast<const QuadExpression&>(&SolveResult::get_expression_value, py::const_), expression_doc)
      .def("get_expression_value",
           py::overload_cast<const LinearExpression&>(&SolveResult::get_expression_value, py::const_), expression_doc)
      .def("write_solution", &SolveResult::write_solution, text_arg("file_name"),
           "Записывает решение в файл\n\n        :param file_name: путь к файлу решения для записи");
}

}  // namespace veloriumpy

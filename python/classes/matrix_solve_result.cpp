// Python class MatrixSolveResult: the result of a matrix model's calculation, with its arrays
// as new numpy vectors.
#include <pybind11/numpy.h>

#include <cstring>

#include "python/classes/class_declarations.hpp"
#include "python/classes/result_figures.hpp"
#include "python/module_registration.hpp"

namespace veloriumpy {

namespace {

using velorium::MatrixSolveResult;

// A new float64 vector that owns a copy of the library's array (empty when there is none).
py::array_t<double> vector_to_ndarray(const velorium::ResultArray& array) {
  py::array_t<double> vector(static_cast<py::ssize_t>(array.count));
  if (array.count != 0) std::memcpy(vector.mutable_data(), array.values, array.count * sizeof(double));
  return vector;
}

template <velorium::ResultArray (MatrixSolveResult::*getter)() const>
py::array_t<double> vector_of(const MatrixSolveResult& result) {
  return vector_to_ndarray((result.*getter)());
}

}  // namespace

void register_matrix_solve_result(py::module_& module) {
  auto result_class = declared_class<MatrixSolveResult>(module, "MatrixSolveResult");
  register_result_figures(
      result_class,
      "Получает результат ранее выполненного расчета по его идентификатору. Такой результат не "
      "содержит векторов: get_solution_vector, get_reduced_costs_vector и get_dual_values_vector "
      "возвращают пустые массивы\n\n        :param calc_uid: идентификатор удалённого расчета\n        "
      ":param name_mapping_file: путь к файлу соответствия имен (пустая строка - без него)",
      {"Получает статус процесса расчетов\n\n                :return: значение статуса",
       "Получает точность решения в процентах\n\n                :return: точность решения в процентах",
       "Получает значение целевой функции\n\n                :return: значение целевой функции",
       "Получает статус модели в итоге расчета\n\n                    :return: значение статуса",
       "Получает общее время решения\n\n                :return: общее время решения [сек]",
       "Получает значение граничной (двойственной) функции\n\n                  :return: значение граничной "
       "(двойственной) функции",
       "Получает количество обработанных узлов дерева решений\n\n                  :return: количество "
       "обработанных узлов",
       "Получает количество итераций, проведенных в процессе расчета\n\n                 :return: количество "
       "итераций"});
  result_class
      .def("write_solution", &MatrixSolveResult::write_solution, text_arg("file_name"),
           "Записывает решение в файл\n\n                :param file_name: путь к файлу решения для записи")
      .def("get_solution_vector", &vector_of<&MatrixSolveResult::get_solution_vector>,
           "Получает вектор значений переменных\n\n                :return: вектор переменных")
      .def("get_reduced_costs_vector", &vector_of<&MatrixSolveResult::get_reduced_costs_vector>,
           "Получает reduced costs вектор\n\n                :return: вектор reduced costs ")
      .def("get_dual_values_vector", &vector_of<&MatrixSolveResult::get_dual_values_vector>,
           "Получает dual values вектор\n\n                :return: вектор dual values");
}

}  // namespace veloriumpy

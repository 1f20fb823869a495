// The classes of class_declarations.hpp with their docstrings.
#include "python/classes/class_declarations.hpp"

#include "python/classes/expression_binding.hpp"
#include "python/classes/object_slabs.hpp"
#include "python/model_holder.hpp"
#include "python/wrappers/solve_result.hpp"

namespace veloriumpy {

void declare_member_classes(py::module_& module) {
  py::class_<velorium::SolveResult>(module, "SolveResult", "Результат расчета");
  py::class_<Constraint>(
      module, "Constraint", kLocalClass,
      "Работа с линейными ограничениями у модели, \n\n    позволяет работать с выражением и границами, а также удалять его");
  py::class_<GeneralConstraint>(module, "GeneralConstraint", kLocalClass, "Работа с нелинейными ограничениями у модели");
  py::class_<Variable>(
      module, "Variable", kLocalClass,
      "Работа с переменной - чтение/изменение имени,     верхней и нижней границы, типа, а также удаление");
  py::class_<LinearExpression>(module, "LinearExpression", kLocalClass,
                               "Обеспечивает работу с линейными выражениями -     добавление/удаление элементов "
                               "и изменение коэффициентов.    Элемент выражения - переменная * коэффициент.");
  py::class_<QuadExpression>(module, "QuadExpression", kLocalClass,
                             "Обеспечивает работу с нелинейными выражениями -     добавление/удаление "
                             "элементов и изменение коэффициентов.    Элемент выражения - переменная * "
                             "переменная * коэффициент.");
  py::class_<GeneralExpression>(module, "GeneralExpression", kLocalClass, "Выражение общего вида");
  for (const char* kept_by_the_million : {"Variable", "Constraint"}) {
    allocate_objects_from_slabs(reinterpret_cast<PyTypeObject*>(module.attr(kept_by_the_million).ptr()));
  }
}

void declare_matrix_classes(py::module_& module) {
  py::class_<PythonMatrixModel>(module, "MatrixModel", "Создает экземпляр матричной модели");
  py::class_<velorium::MatrixSolveResult>(module, "MatrixSolveResult", "Результат расчета матричной модели");
}

}  // namespace veloriumpy

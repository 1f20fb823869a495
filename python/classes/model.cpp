// Python class Model: the held object is the model holder (python/model_holder.hpp); every
// method runs as one model operation, so a failure of the log callable ends it. Methods are
// registered in their fixed order, which is also the order in which overloads are tried.
#include <limits>
#include <string>

#include "python/classes/model_fast_methods.hpp"
#include "python/classes/parameter_methods.hpp"
#include "python/model_bulk_additions.hpp"
#include "python/model_holder.hpp"
#include "python/module_registration.hpp"

namespace veloriumpy {

namespace {

using Holder = PythonModel<velorium::Model>;
using velorium::Constraint;
using velorium::GeneralConstraint;
using velorium::GeneralExpression;
using velorium::LinearExpression;
using velorium::Model;
using velorium::QuadExpression;
using velorium::Variable;
using velorium::variable_type;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

template <class Method>
auto method(Method bound) {
  return model_method<Holder>(bound);
}

template <class Function>
auto function(Function bound) {
  return model_function<Holder>(bound);
}

// The list builders of continuous_var_list, integer_var_list and binary_var_list.
template <variable_type Type, class Lower, class Upper>
py::list variable_list(Model& model, const py::list& indices, Lower lower, Upper upper, const char* prefix) {
  return add_variable_list(model, indices, Bound(std::move(lower)), Bound(std::move(upper)), Type, prefix);
}

py::list binary_variable_list(Model& model, const py::list& indices, const char* prefix) {
  return add_variable_list(model, indices, Bound(0.0), Bound(1.0), variable_type::binary, prefix);
}

constexpr const char* kNameMapDoc =
    "\n        :param name_mapping_file путь к файлу, который будет содержать             соответствие между "
    "именами модели при анонимизации (если пустой - запись             без анонимизации)";

std::string variable_list_doc(const char* kind, const char* lower, const char* upper) {
  const std::string indent = "\n                ";
  return std::string("Добавляет лист ") + kind + " переменных\n" + indent +
         ":param indicies: список индексов, добавляемых к начальному имени (или список кортежей)" + indent +
         ":param lb: " + lower + indent + ":param ub: " + upper + indent +
         ":param name: префикс имени каждой добавленной переменной" + indent + ":return: список переменных";
}

// The four overloads of continuous_var_list or integer_var_list: bounds as two lists, two
// floats, a float and a list, a list and a float. Lists (and the dictionaries of Model) are
// taken as they are given: the binding layer would otherwise make a list of a tuple or a text.
template <variable_type Type>
void register_variable_lists(py::class_<Holder>& model_class, const char* name, const char* kind) {
  constexpr const char* kLowerList = "список нижних границ";
  constexpr const char* kUpperList = "список верхних границ";
  constexpr const char* kLowerValue = "значение нижней границы (для всех переменных)";
  constexpr const char* kUpperValue = "значение верхней границы (для всех переменных)";
  model_class
      .def(name, function(&variable_list<Type, py::list, py::list>), py::arg("indicies").noconvert(),
           py::arg("lb").noconvert(), py::arg("ub").noconvert(), text_arg("name"), variable_list_doc(kind, kLowerList, kUpperList).c_str())
      .def(name, function(&variable_list<Type, double, double>), py::arg("indicies").noconvert(), py::arg("lb") = 0.0,
           py::arg("ub") = kInfinity, text_arg("name"), variable_list_doc(kind, kLowerValue, kUpperValue).c_str())
      .def(name, function(&variable_list<Type, double, py::list>), py::arg("indicies").noconvert(),
           py::arg("lb") = 0.0, py::arg("ub").noconvert(), text_arg("name"), variable_list_doc(kind, kLowerValue, kUpperList).c_str())
      .def(name, function(&variable_list<Type, py::list, double>), py::arg("indicies").noconvert(),
           py::arg("lb").noconvert(), py::arg("ub") = kInfinity, text_arg("name"), variable_list_doc(kind, kLowerList, kUpperValue).c_str());
}

}  // namespace

void register_model(py::module_& module) {
  using velorium::constraint_sense;
  using velorium::objective_sense;
  const std::string write_doc =
      std::string("Записывает модель в файл. Тип будет определен по расширению\n\n        :param file_name: путь к "
                  "записываемому файлу") +
      kNameMapDoc;
  const std::string write_mps_doc =
      std::string("Записывает модель в файл в формате MPS\n\n        :param file_name: путь к записываемому файлу\n") +
      kNameMapDoc;
  const std::string write_lp_doc =
      std::string("Записывает модель в файл в формате LP\n\n        :param file_name: путь к записываемому файлу\n") +
      kNameMapDoc;
  const char* add_constraint_doc =
      "Добавляет ограничение в модель с заданными параметрами\n\n        :param expr: выражение для ограничения\n"
      "        :param sense: тип ограничения ( <=, >= , == )\n        :param rhs: константное значение в правой части "
      "ограничения\n        :param constr_name: имя ограничения\n        :return: объект нового ограничения";
  const char* add_range_doc =
      "Добавляет интервальное ограничение в модель с         заданными параметрами, вида lhs <= expr <= rhs\n\n"
      "        :param expr: выражение для ограничения\n        :param lower_bound: нижняя граница ограничения\n"
      "        :param upper_bound: верхняя граница ограничения\n        :param constr_name: имя ограничения\n"
      "        :return: объект нового ограничения";
  const char* set_objective_doc =
      "Задаёт выражение целевой функции и тип оптимизации\n\n        :param expr: выражение\n        :param sense: "
      "тип оптимизации";

  py::class_<Holder> model_class(module, "Model", "Создает экземпляр модели");
  model_class.def(py::init<>())
      .def(py::init<const char*>())
      .def("read", method(&Holder::read), text_arg("file_name"),
           "Читает модель из файла\n\n        :param file_name: имя файла\n")
      .def("read_mps", method(&Holder::read_mps), text_arg("file_name"),
           "Читает модель из файла,         при этом он будет читаться как MPS файл независимо от расширения\n\n"
           "        :param file_name: путь к файлу модели")
      .def("read_lp", method(&Holder::read_lp), text_arg("file_name"),
           "Читает модель из файла,         при этом он будет читаться как LP файл независимо от расширения\n\n"
           "        :param file_name: путь к файлу модели");
  register_parameter_methods(model_class, 8);
  model_class
      .def("write", method(&Holder::write), text_arg("file_name"), text_arg("name_mapping_file") = "",
           write_doc.c_str())
      .def("write_mps", method(&Holder::write_mps), text_arg("file_name"), text_arg("name_mapping_file") = "",
           write_mps_doc.c_str())
      .def("write_lp", method(&Holder::write_lp), text_arg("file_name"), text_arg("name_mapping_file") = "",
           write_lp_doc.c_str())
      // Names of new members may be None: the library generates one.
      .def("add_variable", method(&Model::add_variable), py::arg("lower_bound") = 0.0,
           py::arg("upper_bound") = kInfinity, py::arg("obj_value") = 0.0,
           py::arg("var_type") = variable_type::continuous, py::arg("var_name") = "",
           "Добавляет переменную в модель с заданными параметрами\n\n        :param lower_bound: нижняя граница "
           "переменной\n        :param upper_bound: верхняя граница переменной\n        :param obj_value: "
           "коэффициент к переменной в целевой функции\n        :param var_type: тип переменной\n        :param "
           "var_name: имя переменной\n        :return: объект новой переменной")
      .def("add_constraint",
           method(py::overload_cast<const LinearExpression&, constraint_sense, double, const char*>(
               &Model::add_constraint)),
           py::arg("expr"), py::arg("sense"), py::arg("rhs"), py::arg("constr_name"), add_constraint_doc)
      .def("add_constraint",
           method(py::overload_cast<const QuadExpression&, constraint_sense, double, const char*>(
               &Model::add_constraint)),
           py::arg("expr"), py::arg("sense"), py::arg("rhs"), py::arg("constr_name"), add_constraint_doc)
      .def("add_constraint",
           method(py::overload_cast<const LinearExpression&, constraint_sense, const LinearExpression&, const char*>(
               &Model::add_constraint)),
           py::arg("lhs"), py::arg("sense"), py::arg("rhs"), py::arg("constr_name"),
           "Добавляет ограничение в модель с заданными параметрами\n\n        :param lhs: выражение для ограничения "
           "(левая часть)\n        :param sense: переменная знака ограничения ( <=, >= , == )\n        :param rhs: "
           "константное значение в правой части ограничения\n        :param constr_name: имя ограничения\n        "
           ":return: объект нового ограничения")
      .def("add_constraint",
           method(py::overload_cast<const LinearExpression&, double, double, const char*>(&Model::add_constraint)),
           py::arg("expr"), py::arg("lower_bound"), py::arg("upper_bound"), py::arg("constr_name"), add_range_doc)
      .def("add_constraint",
           method(py::overload_cast<const QuadExpression&, double, double, const char*>(&Model::add_constraint)),
           py::arg("expr"), py::arg("lower_bound"), py::arg("upper_bound"), py::arg("constr_name"), add_range_doc)
      .def("add_constraint", method(py::overload_cast<const Constraint&, const char*>(&Model::add_constraint)),
           py::arg("constr"), py::arg("constr_name"),
           "Добавляет уже существующее ограничение в модель\n\n        :param constr: выражение для ограничения\n"
           "        :param constr_name: имя ограничения\n        :return: объект нового ограничения")
      .def("remove", method(py::overload_cast<const Constraint&>(&Model::remove)), py::arg("constr"),
           "Удаляет ограничение из модели\n\n        :param constr: ограничение")
      .def("remove", method(py::overload_cast<const Variable&>(&Model::remove)), py::arg("var"),
           "Удаляет переменную из модели\n\n        :param var: переменная")
      .def("add_constraints", function(&add_constraints), py::arg("constraints").noconvert(),
           "Добавляет ограничения в модель\n\n        :param constraints: объект dictionary(name -> constraint)");
  register_variable_lists<variable_type::continuous>(model_class, "continuous_var_list", "непрерывных");
  register_variable_lists<variable_type::integer>(model_class, "integer_var_list", "целочисленных");
  model_class
      .def("binary_var_list", function(&binary_variable_list), py::arg("indicies").noconvert(), text_arg("name"),
           "Добавляет лист бинарных переменных\n\n                :param indicies: список индексов, добавляемых к "
           "начальному имени (или список кортежей)\n                :param name: префикс имени каждой добавленной "
           "переменной\n                :return: список переменных")
      .def("get_variable", method(py::overload_cast<int>(&Model::get_variable, py::const_)), py::arg("idx"),
           "Получает переменную модели по индексу\n\n        :param idx: индекс переменной\n        :return: объект "
           "переменной")
      .def("get_variables_count", method(&Model::get_variables_count),
           "Получает количество переменных в модели\n\n        :return: количество переменных в модели")
      .def("get_variable", method(py::overload_cast<const char*>(&Model::get_variable, py::const_)),
           text_arg("var_name"),
           "Получает переменную из модели по имени\n\n        :param var_name: имя переменной\n        :return: "
           "объект переменной")
      .def("get_constraint", method(py::overload_cast<int>(&Model::get_constraint, py::const_)), py::arg("idx"),
           "Получает ограничение из модели по индексу\n\n        :param idx: индекс ограничения\n        :return: "
           "объект ограничения")
      .def("get_constraints_count", method(&Model::get_constraints_count),
           "Получает количество ограничений в модели        :return: количество ограничений в модели")
      .def("get_constraint", method(py::overload_cast<const char*>(&Model::get_constraint, py::const_)),
           text_arg("constr_name"),
           "Получает ограничение из модели по имени\n\n        :param constr_name: имя ограничения\n        :return: "
           "объект ограничения")
      // The parameter's keyword name is constr_name, as it always has been.
      .def("set_objective_sense", method(&Model::set_objective_sense), py::arg("constr_name"),
           "Задаёт тип оптимизации целевой функции - максимизация или минимизация\n\n        :param sense: тип "
           "оптимизации")
      .def("get_objective_sense", method(&Model::get_objective_sense),
           "Получает тип оптимизации целевой функции\n\n        :return: тип оптимизации")
      .def("set_objective_offset", method(&Model::set_objective_offset), py::arg("offset"),
           "Задаёт константу в выражении целевой функции\n\n        :param offset: значение константы")
      .def("set_objective", method(py::overload_cast<const Variable&, objective_sense>(&Model::set_objective)),
           py::arg("var"), py::arg("sense"),
           "Задаёт переменную для оптимизации и тип\n\n        :param var: переменная\n        :param sense: тип "
           "оптимизации")
      .def("set_objective",
           method(py::overload_cast<const LinearExpression&, objective_sense>(&Model::set_objective)),
           py::arg("expr"), py::arg("sense"), set_objective_doc)
      .def("set_objective", method(py::overload_cast<const QuadExpression&, objective_sense>(&Model::set_objective)),
           py::arg("expr"), py::arg("sense"), set_objective_doc)
      .def("get_objective", method(&Model::get_objective),
           "Получает выражение целевой функции\n\n        :return: объект выражения")
      .def("clear", method(&Model::clear),
           "Очищает модель от всех данных. Все старые переменные и ограничения становятся невалидными")
      .def("set_log_file", method(&Model::set_log_file), text_arg("log_file"),
           "Задать файл для записи лога решения\n\n        :param log_file файл лога")
      .def("get_name", method(&Model::get_name), "Получает имя модели\n\n        :return: имя модели")
      .def("set_name", method(&Model::set_name), text_arg("expr_name"),
           "Задаёт имя модели\n\n        :param expr_name: имя модели")
      .def("solve", method(&Holder::solve),
           "Стартует оптимизацию модели\n\n        :return: объект с результатом оптимизации")
      .def("solve_remote", method(&Holder::solve_remote), text_arg("name_mapping_file"),
           "Стартует оптимизацию модели на удаленном сервере в синхронном режиме.         Предварительно необходимо "
           "установить переменную окружения X_API_KEY.\n\n        :param name_mapping_file путь к файлу, который "
           "будет записан и будет содержать соответствие оригинальных имен модели и анонимизированных         "
           ":return: объект с результатом оптимизации")
      .def("solve_remote_async", method(&Holder::solve_remote_async), text_arg("name_mapping_file"),
           "Стартует оптимизацию модели на удаленном сервере         в асинхронном режиме без ожидания результата."
           "         Предварительно необходимо установить переменную окружения X_API_KEY.n\n        :param "
           "name_mapping_file путь к файлу, который будет записан и будет содержать соответствие оригинальных имен "
           "модели и анонимизированных")
      // The one text argument has no keyword name, and None matches no overload.
      .def("get_remote_solve_log", method(&Holder::get_remote_solve_log),
           "Получает лог удалённого расчета \n\n        :param calc_uid : идентификатор удалённого расчета\n        "
           ":return: лог удалённого расчета")
      .def("get_calc_uid", method(&Model::get_calc_uid),
           "Получить уникальный идентификатор последнего удаленного расчета.        :return: строку с уникальным "
           "идентификатором")
      .def("add_mip_start_values", function(&add_mip_start_values), py::arg("start_values").noconvert(),
           "Задать начальные значения переменных в решении в качестве \"подсказки\".         Начальные значения "
           "очищаются после начала процесса решения.\n\n        :param start_values: объект словаря (имя : значение)")
      .def("add_mip_start_values", method(py::overload_cast<const char*>(&Model::add_mip_start_values)),
           text_arg("sol_file"),
           "Задать начальные значения переменных в решении, указав файл решения\n\n        :param sol_file: путь к "
           "файлу решения")
      .def("clear_mip_start_values", method(&Model::clear_mip_start_values),
           "Удалить все стартовые значения для поиска решения")
      .def("set_log_callback", method(&Holder::set_log_callback), py::arg("callback"),
           "Задаёт функтор обратного вызова для вывода сообщений от солвера\n\n        :param callback: функтор "
           "обратного вызова")
      .def("is_mip", method(&Model::is_mip), "Проверяет является ли задача целочисленной")
      .def("is_nonlinear", method(&Model::is_nonlinear), "Проверяет является ли задача нелинейной")
      .def("get_general_constraints_count", method(&Model::get_general_constraints_count),
           "Получает количество общих ограничений в модели      :return: количество общих ограничений в модели")
      .def("get_general_constraint", method(py::overload_cast<int>(&Model::get_general_constraint, py::const_)),
           py::arg("idx"),
           "Получает общее ограничение из модели по индексу\n\n        :param idx: индекс ограничения\n        "
           ":return: объект ограничения")
      .def("get_general_constraint",
           method(py::overload_cast<const char*>(&Model::get_general_constraint, py::const_)),
           text_arg("constr_name"),
           "Получает общее ограничение из модели по имени\n\n        :param constr_name: имя ограничения\n        "
           ":return: объект ограничения")
      .def("add_general_constraint",
           method(py::overload_cast<const GeneralExpression&, const Variable&, const char*>(
               &Model::add_general_constraint)),
           py::arg("expr"), py::arg("var"), py::arg("name"),
           "Добавляет общее ограничение\n\n        :param expr: общее выражение\n        :param var: переменная\n"
           "        :param name: имя ограничения\n        :return: объект ограничения")
      .def("add_general_constraint",
           method(py::overload_cast<const QuadExpression&, const Variable&, const char*>(
               &Model::add_general_constraint)),
           py::arg("expr"), py::arg("var"), py::arg("name"),
           "Добавляет ограничение\n\n        :param expr: квадратичное выражение\n        :param var: переменная\n"
           "        :param name: имя ограничения\n        :return: объект ограничения")
      .def("add_general_constraint",
           method(py::overload_cast<const LinearExpression&, const Variable&, const char*>(
               &Model::add_general_constraint)),
           py::arg("expr"), py::arg("var"), py::arg("name"),
           "Добавляет ограничение\n\n        :param expr: линейное выражение\n        :param var: переменная\n"
           "        :param name: имя ограничения\n        :return: объект ограничения")
      .def("add_general_constraint",
           method(py::overload_cast<const GeneralConstraint&>(&Model::add_general_constraint)),
           py::arg("gen_constr"),
           "Добавляет общее ограничение\n\n        :param gen_constr: общее ограничение\n        :return: объект "
           "ограничения")
      .def("remove", method(py::overload_cast<const GeneralConstraint&>(&Model::remove)), py::arg("constr"),
           "Удаляет общее ограничение из модели\n\n        :param constr: общее ограничение");
  install_model_fast_methods(model_class);
}

}  // namespace veloriumpy

// Python class Model: the held object is the model holder (python/model_holder.hpp); every
// method runs as one model operation, so a failure of the log callable ends it.
#include <limits>

#include "python/model_holder.hpp"
#include "python/module_registration.hpp"

namespace veloriumpy {

namespace {

using Holder = PythonModel<velorium::Model>;
using velorium::Model;

template <class Method>
auto method(Method bound) {
  return model_method<Holder>(bound);
}

// A text argument: None is refused with TypeError before the library sees a null text.
py::arg text(const char* name) { return py::arg(name).none(false); }

constexpr const char* kNameMapDoc =
    "\n        :param name_mapping_file путь к файлу, который будет содержать             соответствие между "
    "именами модели при анонимизации (если пустой - запись             без анонимизации)";

}  // namespace

void register_model(py::module_& module) {
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

  py::class_<Holder>(module, "Model", "Создает экземпляр модели")
      .def(py::init<>())
      .def(py::init<const char*>())
      .def("read", method(&Holder::read), text("file_name"), "Читает модель из файла\n\n        :param file_name: имя файла\n")
      .def("read_mps", method(&Holder::read_mps), text("file_name"),
           "Читает модель из файла,         при этом он будет читаться как MPS файл независимо от расширения\n\n"
           "        :param file_name: путь к файлу модели")
      .def("read_lp", method(&Holder::read_lp), text("file_name"),
           "Читает модель из файла,         при этом он будет читаться как LP файл независимо от расширения\n\n"
           "        :param file_name: путь к файлу модели")
      .def("get_int_param", method(&Model::get_int_param), text("param_name"),
           "Получает целочисленный параметр\n\n        :param param_name: имя параметра\n        :return: значение "
           "параметра")
      .def("get_dbl_param", method(&Model::get_dbl_param), text("param_name"),
           "Получает параметр с плавающей точкой\n\n        :param param_name: имя параметра\n        :return: "
           "значение параметра")
      .def("get_string_param", method(&Model::get_string_param), text("param_name"),
           "Получает строковый параметр\n\n        :param param_name: имя параметра\n        :return: значение "
           "параметра")
      .def("get_bool_param", method(&Model::get_bool_param), text("param_name"),
           "Получает логический параметр\n\n        :param param_name: имя параметра\n        :return: значение "
           "параметра")
      .def("set_int_param", method(&Model::set_int_param), text("param_name"), py::arg("param_value"),
           "Задаёт целочисленный параметр\n\n        :param param_name: имя параметра\n        :param param_value: "
           "значение параметра")
      .def("set_dbl_param", method(&Model::set_dbl_param), text("param_name"), py::arg("param_value"),
           "Задаёт параметр с плавающей точкой\n\n        :param param_name: имя параметра\n        :param "
           "param_value: значение параметра")
      .def("set_string_param", method(&Model::set_string_param), text("param_name"), text("param_value"),
           "Задаёт строковый параметр\n\n        :param param_name: имя параметра\n        :param param_value: "
           "значение параметра")
      .def("set_bool_param", method(&Holder::set_bool_param), text("param_name"), py::arg("param_value"),
           "Задаёт логический параметр\n\n        :param param_name: имя параметра\n        :param param_value: "
           "значение параметра")
      .def("write", method(&Holder::write), text("file_name"), text("name_mapping_file") = "",
           write_doc.c_str())
      .def("write_mps", method(&Holder::write_mps), text("file_name"), text("name_mapping_file") = "",
           write_mps_doc.c_str())
      .def("write_lp", method(&Holder::write_lp), text("file_name"), text("name_mapping_file") = "",
           write_lp_doc.c_str())
      .def("add_variable", method(&Model::add_variable), py::arg("lower_bound") = 0.0,
           py::arg("upper_bound") = std::numeric_limits<double>::infinity(), py::arg("obj_value") = 0.0,
           py::arg("var_type") = velorium::variable_type::continuous, py::arg("var_name") = "",
           "Добавляет переменную в модель с заданными параметрами\n\n        :param lower_bound: нижняя граница "
           "переменной\n        :param upper_bound: верхняя граница переменной\n        :param obj_value: "
           "коэффициент к переменной в целевой функции\n        :param var_type: тип переменной\n        :param "
           "var_name: имя переменной\n        :return: объект новой переменной")
      .def("clear", method(&Model::clear),
           "Очищает модель от всех данных. Все старые переменные и ограничения становятся невалидными")
      .def("set_log_file", method(&Model::set_log_file), text("log_file"),
           "Задать файл для записи лога решения\n\n        :param log_file файл лога")
      .def("get_name", method(&Model::get_name), "Получает имя модели\n\n        :return: имя модели")
      .def("set_name", method(&Model::set_name), text("expr_name"),
           "Задаёт имя модели\n\n        :param expr_name: имя модели")
      .def("solve", method(&Holder::solve),
           "Стартует оптимизацию модели\n\n        :return: объект с результатом оптимизации")
      .def("solve_remote", method(&Holder::solve_remote), text("name_mapping_file"),
           "Стартует оптимизацию модели на удаленном сервере в синхронном режиме.         Предварительно необходимо "
           "установить переменную окружения X_API_KEY.\n\n        :param name_mapping_file путь к файлу, который "
           "будет записан и будет содержать соответствие оригинальных имен модели и анонимизированных         "
           ":return: объект с результатом оптимизации")
      .def("set_log_callback", method(&Holder::set_log_callback), py::arg("callback"),
           "Задаёт функтор обратного вызова для вывода сообщений от солвера\n\n        :param callback: функтор "
           "обратного вызова")
      .def("is_mip", method(&Model::is_mip), "Проверяет является ли задача целочисленной")
      .def("is_nonlinear", method(&Model::is_nonlinear), "Проверяет является ли задача нелинейной");
}

}  // namespace veloriumpy

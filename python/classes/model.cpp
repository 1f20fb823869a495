// Python class Model: the held object is the model holder (python/model_holder.hpp); every
// method runs as one model operation, so a failure of the log callable ends it.
#include "python/classes/parameter_methods.hpp"
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

  py::class_<Holder> model_class(module, "Model", "Создает экземпляр модели");
  model_class
      .def(py::init<>())
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
      .def("set_log_callback", method(&Holder::set_log_callback), py::arg("callback"),
           "Задаёт функтор обратного вызова для вывода сообщений от солвера\n\n        :param callback: функтор "
           "обратного вызова")
      .def("is_mip", method(&Model::is_mip), "Проверяет является ли задача целочисленной")
      .def("is_nonlinear", method(&Model::is_nonlinear), "Проверяет является ли задача нелинейной");
}

}  // namespace veloriumpy

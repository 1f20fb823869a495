// The eight parameter methods that Model and MatrixModel share: four getters, then four
// setters, with docstrings whose lines after the first are indented by `indent` blanks.
#pragma once

#include <string>

#include "python/classes/arguments.hpp"
#include "python/model_holder.hpp"

namespace veloriumpy {

template <class Holder>
void register_parameter_methods(py::class_<Holder>& model_class, int indent) {
  using velorium::Model;
  const std::string blanks(static_cast<std::size_t>(indent), ' ');
  const auto getter_doc = [&](const char* summary) {
    return std::string(summary) + "\n\n" + blanks + ":param param_name: имя параметра\n" + blanks +
           ":return: значение параметра";
  };
  const auto setter_doc = [&](const char* summary) {
    return std::string(summary) + "\n\n" + blanks + ":param param_name: имя параметра\n" + blanks +
           ":param param_value: значение параметра";
  };
  model_class
      .def("get_int_param", model_method<Holder>(&Model::get_int_param), text_arg("param_name"),
           getter_doc("Получает целочисленный параметр").c_str())
      .def("get_dbl_param", model_method<Holder>(&Model::get_dbl_param), text_arg("param_name"),
           getter_doc("Получает параметр с плавающей точкой").c_str())
      .def("get_string_param", model_method<Holder>(&Model::get_string_param), text_arg("param_name"),
           getter_doc("Получает строковый параметр").c_str())
      .def("get_bool_param", model_method<Holder>(&Model::get_bool_param), text_arg("param_name"),
           getter_doc("Получает логический параметр").c_str())
      .def("set_int_param", model_method<Holder>(&Model::set_int_param), text_arg("param_name"),
           py::arg("param_value"), setter_doc("Задаёт целочисленный параметр").c_str())
      .def("set_dbl_param", model_method<Holder>(&Model::set_dbl_param), text_arg("param_name"),
           py::arg("param_value"), setter_doc("Задаёт параметр с плавающей точкой").c_str())
      .def("set_string_param", model_method<Holder>(&Model::set_string_param), text_arg("param_name"),
           text_arg("param_value"), setter_doc("Задаёт строковый параметр").c_str())
      // The holder's own: it reads log_to_console again.
      .def("set_bool_param", model_method<Holder>(&Holder::set_bool_param), text_arg("param_name"),
           py::arg("param_value"), setter_doc("Задаёт логический параметр").c_str());
}

}  // namespace veloriumpy

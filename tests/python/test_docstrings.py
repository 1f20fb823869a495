"""The docstrings of the module's classes and methods, compared byte for byte (runs of blanks
and line breaks included) with the texts they are documented to have: whole docstrings, and
the first lines of those documented by their first line only. A method with overloads has one
docstring per overload, after pybind11's signature line."""
import re

import pytest

import veloriumpy as v


def overload_docstrings(function):
    """The docstring of each overload of `function`, in registration order: pybind11 writes
    each overload as its signature line ("name(...) -> ...", numbered "k. " when there are
    several), then, when it has one, an empty line, the docstring and a line break; a line break
    separates the overloads."""
    name = function.__name__
    text = function.__doc__ or ""
    signatures = list(re.finditer(rf"^(?:\d+\. )?{re.escape(name)}\(.*\) -> .*\n", text, re.M))
    docstrings = []
    for k, signature in enumerate(signatures):
        last = k + 1 == len(signatures)
        body = text[signature.end():len(text) if last else signatures[k + 1].start() - 1]
        docstrings.append(body[1:-1] if body else "")
    return docstrings


def owner(name):
    return v if name == "veloriumpy" else getattr(v, name)


CLASS_DOCSTRINGS = [
    ("SolveResult",
     "Результат расчета"),
    ("Constraint",
     "Работа с линейными ограничениями у модели, \n"
     "\n"
     "    позволяет работать с выражением и границами, а также удалять его"),
    ("GeneralConstraint",
     "Работа с нелинейными ограничениями у модели"),
    ("Variable",
     "Работа с переменной - чтение/изменение имени,     верхней и нижней границы, типа, а также удаление"),
    ("LinearExpression",
     "Обеспечивает работу с линейными выражениями -     добавление/удаление элементов и изменение"
     " коэффициентов.    Элемент выражения - переменная * коэффициент."),
    ("QuadExpression",
     "Обеспечивает работу с нелинейными выражениями -     добавление/удаление элементов и изменение"
     " коэффициентов.    Элемент выражения - переменная * переменная * коэффициент."),
    ("GeneralExpression",
     "Выражение общего вида"),
    ("Model",
     "Создает экземпляр модели"),
    ("MatrixModel",
     "Создает экземпляр матричной модели"),
    ("MatrixSolveResult",
     "Результат расчета матричной модели"),
    ("MathFunc",
     "Математические функции для нелинейных функций"),
]

FULL_DOCSTRINGS = [
    ("QuadExpression", "get_terms_count", None,
     "Возвращает количество элементов в выражении\n"
     "\n"
     "        :return: количество элементов в выражении"),
    ("QuadExpression", "empty", None,
     "Возвращает истину, если выражение пустое\n"
     "        :return: истина, если выражение пустое"),
    ("QuadExpression", "get_term_variable1", None,
     "Возвращает первую переменную по индексу элемента в выражении\n"
     "\n"
     "        :param ind: индекс элемента в выражении\n"
     "        :return: объект переменной"),
    ("QuadExpression", "get_term_variable2", None,
     "Возвращает вторую переменную по индексу элемента в выражении\n"
     "\n"
     "        :param ind: индекс элемента в выражении\n"
     "        :return: объект переменной"),
    ("QuadExpression", "get_term_coeff", None,
     "Возвращает коэффициент по индексу элемента в выражении\n"
     "\n"
     "        :param ind: индекс элемента в выражении\n"
     "        :return: значение коэффициента"),
    ("QuadExpression", "set_term_coeff", None,
     "Задает коэффициент по индексу выражения\n"
     "\n"
     "        :param ind: индекс элемента в выражении\n"
     "        :param value: значение коэффициента в элементе"),
    ("QuadExpression", "add_term", None,
     "Добавляет элемент к выражению\n"
     "\n"
     "        :param var1: переменная 1\n"
     "        :param var2: переменная 2\n"
     "        :param coeff: коэффициент"),
    ("QuadExpression", "add_expression", None,
     "Добавляет выражение к выражению\n"
     "\n"
     "        :param expr: добавляемое выражение\n"
     "        :param mult: коэффициент к добавляемому выражению"),
    ("QuadExpression", "remove_term", None,
     "Удаляет элемент выражения по индексу\n"
     "\n"
     "        :param idx: индекс удаляемого элемента в выражении"),
    ("QuadExpression", "get_linear_part", None,
     "Получает линейную часть выражения\n"
     "        :return: линейная часть выражения"),
    ("QuadExpression", "get_name", None,
     "Получает имя выражения\n"
     "\n"
     "        :return: имя выражения"),
    ("QuadExpression", "set_name", None,
     "Задаёт имя выражения\n"
     "\n"
     "        :param expr_name: имя выражения"),
    ("Model", "read", None,
     "Читает модель из файла\n"
     "\n"
     "        :param file_name: имя файла\n"),
    ("Model", "read_mps", None,
     "Читает модель из файла,         при этом он будет читаться как MPS файл независимо от расширения\n"
     "\n"
     "        :param file_name: путь к файлу модели"),
    ("Model", "read_lp", None,
     "Читает модель из файла,         при этом он будет читаться как LP файл независимо от расширения\n"
     "\n"
     "        :param file_name: путь к файлу модели"),
    ("Model", "get_int_param", None,
     "Получает целочисленный параметр\n"
     "\n"
     "        :param param_name: имя параметра\n"
     "        :return: значение параметра"),
    ("Model", "get_dbl_param", None,
     "Получает параметр с плавающей точкой\n"
     "\n"
     "        :param param_name: имя параметра\n"
     "        :return: значение параметра"),
    ("Model", "get_string_param", None,
     "Получает строковый параметр\n"
     "\n"
     "        :param param_name: имя параметра\n"
     "        :return: значение параметра"),
    ("Model", "get_bool_param", None,
     "Получает логический параметр\n"
     "\n"
     "        :param param_name: имя параметра\n"
     "        :return: значение параметра"),
    ("Model", "set_int_param", None,
     "Задаёт целочисленный параметр\n"
     "\n"
     "        :param param_name: имя параметра\n"
     "        :param param_value: значение параметра"),
    ("Model", "set_dbl_param", None,
     "Задаёт параметр с плавающей точкой\n"
     "\n"
     "        :param param_name: имя параметра\n"
     "        :param param_value: значение параметра"),
    ("Model", "set_string_param", None,
     "Задаёт строковый параметр\n"
     "\n"
     "        :param param_name: имя параметра\n"
     "        :param param_value: значение параметра"),
    ("Model", "set_bool_param", None,
     "Задаёт логический параметр\n"
     "\n"
     "        :param param_name: имя параметра\n"
     "        :param param_value: значение параметра"),
    ("Model", "write", None,
     "Записывает модель в файл. Тип будет определен по расширению\n"
     "\n"
     "        :param file_name: путь к записываемому файлу\n"
     "        :param name_mapping_file путь к файлу, который будет содержать             соответствие"
     " между именами модели при анонимизации (если пустой - запись             без анонимизации)"),
    ("Model", "write_mps", None,
     "Записывает модель в файл в формате MPS\n"
     "\n"
     "        :param file_name: путь к записываемому файлу\n"
     "\n"
     "        :param name_mapping_file путь к файлу, который будет содержать             соответствие"
     " между именами модели при анонимизации (если пустой - запись             без анонимизации)"),
    ("Model", "write_lp", None,
     "Записывает модель в файл в формате LP\n"
     "\n"
     "        :param file_name: путь к записываемому файлу\n"
     "\n"
     "        :param name_mapping_file путь к файлу, который будет содержать             соответствие"
     " между именами модели при анонимизации (если пустой - запись             без анонимизации)"),
    ("Model", "clear", None,
     "Очищает модель от всех данных. Все старые переменные и ограничения становятся невалидными"),
    ("Model", "set_log_file", None,
     "Задать файл для записи лога решения\n"
     "\n"
     "        :param log_file файл лога"),
    ("Model", "get_name", None,
     "Получает имя модели\n"
     "\n"
     "        :return: имя модели"),
    ("Model", "set_name", None,
     "Задаёт имя модели\n"
     "\n"
     "        :param expr_name: имя модели"),
    ("Model", "set_log_callback", None,
     "Задаёт функтор обратного вызова для вывода сообщений от солвера\n"
     "\n"
     "        :param callback: функтор обратного вызова"),
    ("Model", "is_mip", None,
     "Проверяет является ли задача целочисленной"),
    ("Model", "is_nonlinear", None,
     "Проверяет является ли задача нелинейной"),
    ("Model", "add_variable", None,
     "Добавляет переменную в модель с заданными параметрами\n"
     "\n"
     "        :param lower_bound: нижняя граница переменной\n"
     "        :param upper_bound: верхняя граница переменной\n"
     "        :param obj_value: коэффициент к переменной в целевой функции\n"
     "        :param var_type: тип переменной\n"
     "        :param var_name: имя переменной\n"
     "        :return: объект новой переменной"),
    ("Model", "add_constraint", [1, 2],
     "Добавляет ограничение в модель с заданными параметрами\n"
     "\n"
     "        :param expr: выражение для ограничения\n"
     "        :param sense: тип ограничения ( <=, >= , == )\n"
     "        :param rhs: константное значение в правой части ограничения\n"
     "        :param constr_name: имя ограничения\n"
     "        :return: объект нового ограничения"),
    ("Model", "add_constraint", [3],
     "Добавляет ограничение в модель с заданными параметрами\n"
     "\n"
     "        :param lhs: выражение для ограничения (левая часть)\n"
     "        :param sense: переменная знака ограничения ( <=, >= , == )\n"
     "        :param rhs: константное значение в правой части ограничения\n"
     "        :param constr_name: имя ограничения\n"
     "        :return: объект нового ограничения"),
    ("Model", "add_constraint", [4, 5],
     "Добавляет интервальное ограничение в модель с         заданными параметрами, вида lhs <= expr <="
     " rhs\n"
     "\n"
     "        :param expr: выражение для ограничения\n"
     "        :param lower_bound: нижняя граница ограничения\n"
     "        :param upper_bound: верхняя граница ограничения\n"
     "        :param constr_name: имя ограничения\n"
     "        :return: объект нового ограничения"),
    ("Model", "add_constraint", [6],
     "Добавляет уже существующее ограничение в модель\n"
     "\n"
     "        :param constr: выражение для ограничения\n"
     "        :param constr_name: имя ограничения\n"
     "        :return: объект нового ограничения"),
    ("Model", "remove", [1],
     "Удаляет ограничение из модели\n"
     "\n"
     "        :param constr: ограничение"),
    ("Model", "remove", [2],
     "Удаляет переменную из модели\n"
     "\n"
     "        :param var: переменная"),
    ("Model", "get_variable", [1],
     "Получает переменную модели по индексу\n"
     "\n"
     "        :param idx: индекс переменной\n"
     "        :return: объект переменной"),
    ("Model", "get_variables_count", None,
     "Получает количество переменных в модели\n"
     "\n"
     "        :return: количество переменных в модели"),
    ("Model", "get_variable", [2],
     "Получает переменную из модели по имени\n"
     "\n"
     "        :param var_name: имя переменной\n"
     "        :return: объект переменной"),
    ("Model", "get_constraint", [1],
     "Получает ограничение из модели по индексу\n"
     "\n"
     "        :param idx: индекс ограничения\n"
     "        :return: объект ограничения"),
    ("Model", "get_constraints_count", None,
     "Получает количество ограничений в модели        :return: количество ограничений в модели"),
    ("Model", "get_constraint", [2],
     "Получает ограничение из модели по имени\n"
     "\n"
     "        :param constr_name: имя ограничения\n"
     "        :return: объект ограничения"),
    ("Model", "get_general_constraints_count", None,
     "Получает количество общих ограничений в модели      :return: количество общих ограничений в модели"),
    ("Model", "get_general_constraint", [1],
     "Получает общее ограничение из модели по индексу\n"
     "\n"
     "        :param idx: индекс ограничения\n"
     "        :return: объект ограничения"),
    ("Model", "get_general_constraint", [2],
     "Получает общее ограничение из модели по имени\n"
     "\n"
     "        :param constr_name: имя ограничения\n"
     "        :return: объект ограничения"),
    ("Model", "add_general_constraint", [1],
     "Добавляет общее ограничение\n"
     "\n"
     "        :param expr: общее выражение\n"
     "        :param var: переменная\n"
     "        :param name: имя ограничения\n"
     "        :return: объект ограничения"),
    ("Model", "add_general_constraint", [2],
     "Добавляет ограничение\n"
     "\n"
     "        :param expr: квадратичное выражение\n"
     "        :param var: переменная\n"
     "        :param name: имя ограничения\n"
     "        :return: объект ограничения"),
    ("Model", "add_general_constraint", [3],
     "Добавляет ограничение\n"
     "\n"
     "        :param expr: линейное выражение\n"
     "        :param var: переменная\n"
     "        :param name: имя ограничения\n"
     "        :return: объект ограничения"),
    ("Model", "add_general_constraint", [4],
     "Добавляет общее ограничение\n"
     "\n"
     "        :param gen_constr: общее ограничение\n"
     "        :return: объект ограничения"),
    ("Model", "remove", [3],
     "Удаляет общее ограничение из модели\n"
     "\n"
     "        :param constr: общее ограничение"),
    ("Model", "set_objective_sense", None,
     "Задаёт тип оптимизации целевой функции - максимизация или минимизация\n"
     "\n"
     "        :param sense: тип оптимизации"),
    ("Model", "get_objective_sense", None,
     "Получает тип оптимизации целевой функции\n"
     "\n"
     "        :return: тип оптимизации"),
    ("Model", "set_objective_offset", None,
     "Задаёт константу в выражении целевой функции\n"
     "\n"
     "        :param offset: значение константы"),
    ("Model", "set_objective", [1],
     "Задаёт переменную для оптимизации и тип\n"
     "\n"
     "        :param var: переменная\n"
     "        :param sense: тип оптимизации"),
    ("Model", "set_objective", [2, 3],
     "Задаёт выражение целевой функции и тип оптимизации\n"
     "\n"
     "        :param expr: выражение\n"
     "        :param sense: тип оптимизации"),
    ("Model", "get_objective", None,
     "Получает выражение целевой функции\n"
     "\n"
     "        :return: объект выражения"),
    ("Model", "solve", None,
     "Стартует оптимизацию модели\n"
     "\n"
     "        :return: объект с результатом оптимизации"),
    ("Model", "solve_remote", None,
     "Стартует оптимизацию модели на удаленном сервере в синхронном режиме.         Предварительно"
     " необходимо установить переменную окружения X_API_KEY.\n"
     "\n"
     "        :param name_mapping_file путь к файлу, который будет записан и будет содержать соответствие"
     " оригинальных имен модели и анонимизированных         :return: объект с результатом оптимизации"),
    ("Model", "solve_remote_async", None,
     "Стартует оптимизацию модели на удаленном сервере         в асинхронном режиме без ожидания"
     " результата.         Предварительно необходимо установить переменную окружения X_API_KEY.n\n"
     "        :param name_mapping_file путь к файлу, который будет записан и будет содержать соответствие"
     " оригинальных имен модели и анонимизированных"),
    ("Model", "get_remote_solve_log", None,
     "Получает лог удалённого расчета \n"
     "\n"
     "        :param calc_uid : идентификатор удалённого расчета\n"
     "        :return: лог удалённого расчета"),
    ("Model", "get_calc_uid", None,
     "Получить уникальный идентификатор последнего удаленного расчета.        :return: строку с"
     " уникальным идентификатором"),
    ("Model", "add_mip_start_values", [1],
     "Задать начальные значения переменных в решении в качестве \"подсказки\".         Начальные значения"
     " очищаются после начала процесса решения.\n"
     "\n"
     "        :param start_values: объект словаря (имя : значение)"),
    ("Model", "add_mip_start_values", [2],
     "Задать начальные значения переменных в решении, указав файл решения\n"
     "\n"
     "        :param sol_file: путь к файлу решения"),
    ("Model", "clear_mip_start_values", None,
     "Удалить все стартовые значения для поиска решения"),
    ("Model", "add_constraints", None,
     "Добавляет ограничения в модель\n"
     "\n"
     "        :param constraints: объект dictionary(name -> constraint)"),
    ("Model", "continuous_var_list", [1],
     "Добавляет лист непрерывных переменных\n"
     "\n"
     "                :param indicies: список индексов, добавляемых к начальному имени (или список"
     " кортежей)\n"
     "                :param lb: список нижних границ\n"
     "                :param ub: список верхних границ\n"
     "                :param name: префикс имени каждой добавленной переменной\n"
     "                :return: список переменных"),
    ("Model", "continuous_var_list", [2],
     "Добавляет лист непрерывных переменных\n"
     "\n"
     "                :param indicies: список индексов, добавляемых к начальному имени (или список"
     " кортежей)\n"
     "                :param lb: значение нижней границы (для всех переменных)\n"
     "                :param ub: значение верхней границы (для всех переменных)\n"
     "                :param name: префикс имени каждой добавленной переменной\n"
     "                :return: список переменных"),
    ("Model", "continuous_var_list", [3],
     "Добавляет лист непрерывных переменных\n"
     "\n"
     "                :param indicies: список индексов, добавляемых к начальному имени (или список"
     " кортежей)\n"
     "                :param lb: значение нижней границы (для всех переменных)\n"
     "                :param ub: список верхних границ\n"
     "                :param name: префикс имени каждой добавленной переменной\n"
     "                :return: список переменных"),
    ("Model", "continuous_var_list", [4],
     "Добавляет лист непрерывных переменных\n"
     "\n"
     "                :param indicies: список индексов, добавляемых к начальному имени (или список"
     " кортежей)\n"
     "                :param lb: список нижних границ\n"
     "                :param ub: значение верхней границы (для всех переменных)\n"
     "                :param name: префикс имени каждой добавленной переменной\n"
     "                :return: список переменных"),
    ("Model", "integer_var_list", [1],
     "Добавляет лист целочисленных переменных\n"
     "\n"
     "                :param indicies: список индексов, добавляемых к начальному имени (или список"
     " кортежей)\n"
     "                :param lb: список нижних границ\n"
     "                :param ub: список верхних границ\n"
     "                :param name: префикс имени каждой добавленной переменной\n"
     "                :return: список переменных"),
    ("Model", "integer_var_list", [2],
     "Добавляет лист целочисленных переменных\n"
     "\n"
     "                :param indicies: список индексов, добавляемых к начальному имени (или список"
     " кортежей)\n"
     "                :param lb: значение нижней границы (для всех переменных)\n"
     "                :param ub: значение верхней границы (для всех переменных)\n"
     "                :param name: префикс имени каждой добавленной переменной\n"
     "                :return: список переменных"),
    ("Model", "integer_var_list", [3],
     "Добавляет лист целочисленных переменных\n"
     "\n"
     "                :param indicies: список индексов, добавляемых к начальному имени (или список"
     " кортежей)\n"
     "                :param lb: значение нижней границы (для всех переменных)\n"
     "                :param ub: список верхних границ\n"
     "                :param name: префикс имени каждой добавленной переменной\n"
     "                :return: список переменных"),
    ("Model", "integer_var_list", [4],
     "Добавляет лист целочисленных переменных\n"
     "\n"
     "                :param indicies: список индексов, добавляемых к начальному имени (или список"
     " кортежей)\n"
     "                :param lb: список нижних границ\n"
     "                :param ub: значение верхней границы (для всех переменных)\n"
     "                :param name: префикс имени каждой добавленной переменной\n"
     "                :return: список переменных"),
    ("Model", "binary_var_list", None,
     "Добавляет лист бинарных переменных\n"
     "\n"
     "                :param indicies: список индексов, добавляемых к начальному имени (или список"
     " кортежей)\n"
     "                :param name: префикс имени каждой добавленной переменной\n"
     "                :return: список переменных"),
    ("SolveResult", "get_solve_result", None,
     "Получает статус процесса расчетов\n"
     "\n"
     "        :return: значение статуса"),
    ("SolveResult", "get_relative_gap", None,
     "Получает точность решения в процентах\n"
     "\n"
     "        :return: точность решения в процентах"),
    ("SolveResult", "get_objective_value", None,
     "Получает значение целевой функции\n"
     "\n"
     "        :return: значение целевой функции"),
    ("SolveResult", "get_solution_status", None,
     "Получает статус модели в итоге расчета\n"
     "\n"
     "        :return: значение статуса"),
    ("SolveResult", "get_solve_time", None,
     "Получает общее время решения\n"
     "\n"
     "        :return: общее время решения [сек]"),
    ("SolveResult", "get_best_bound", None,
     "Получает значение граничной (двойственной) функции\n"
     "\n"
     "        :return: значение граничной (двойственной) функции"),
    ("SolveResult", "get_nodes_count", None,
     "Получает количество обработанных узлов дерева решений\n"
     "\n"
     "        :return: количество обработанных узлов"),
    ("SolveResult", "get_iterations_count", None,
     "Получает количество итераций, проведенных в процессе расчета\n"
     "\n"
     "        :return: количество итераций"),
    ("SolveResult", "get_variable_value", [1],
     "Получает значение переменной в решении\n"
     "\n"
     "        :param var: объект переменной\n"
     "        :return: значение переменной в решении"),
    ("SolveResult", "get_variable_value", [2],
     "Получает значение переменной в решении по имени\n"
     "\n"
     "        :param var_name: имя переменной\n"
     "        :return: значение переменной в решении"),
    ("SolveResult", "get_reduced_cost", [1],
     "Получает значение reduced cost в решении по имени\n"
     "\n"
     "        :param var_name: имя переменной\n"
     "        :return: значение reduced cost в решении"),
    ("SolveResult", "get_reduced_cost", [2],
     "Получает значение reduced cost в решении \n"
     "\n"
     "        :param variable: переменная\n"
     "        :return: значение reduced cost в решении"),
    ("SolveResult", "get_dual_value", [1],
     "Получает значение dual value\n"
     "\n"
     "        :param constraint: ограничение\n"
     "        :return: значение dual value в решении"),
    ("SolveResult", "get_dual_value", [2],
     "Получает значение dual value по имени ограниения\n"
     "\n"
     "        :param constraint_name: имя ограничения\n"
     "        :return: значение dual value в решении"),
    ("SolveResult", "get_expression_value", None,
     "Получает значение выражения\n"
     "\n"
     "        :param expr: объект выражения\n"
     "        :return: значение выражения"),
    ("SolveResult", "write_solution", None,
     "Записывает решение в файл\n"
     "\n"
     "        :param file_name: путь к файлу решения для записи"),
    ("MatrixModel", "get_int_param", None,
     "Получает целочисленный параметр\n"
     "\n"
     "             :param param_name: имя параметра\n"
     "             :return: значение параметра"),
    ("MatrixModel", "get_dbl_param", None,
     "Получает параметр с плавающей точкой\n"
     "\n"
     "             :param param_name: имя параметра\n"
     "             :return: значение параметра"),
    ("MatrixModel", "get_string_param", None,
     "Получает строковый параметр\n"
     "\n"
     "             :param param_name: имя параметра\n"
     "             :return: значение параметра"),
    ("MatrixModel", "get_bool_param", None,
     "Получает логический параметр\n"
     "\n"
     "             :param param_name: имя параметра\n"
     "             :return: значение параметра"),
    ("MatrixModel", "set_int_param", None,
     "Задаёт целочисленный параметр\n"
     "\n"
     "             :param param_name: имя параметра\n"
     "             :param param_value: значение параметра"),
    ("MatrixModel", "set_dbl_param", None,
     "Задаёт параметр с плавающей точкой\n"
     "\n"
     "             :param param_name: имя параметра\n"
     "             :param param_value: значение параметра"),
    ("MatrixModel", "set_string_param", None,
     "Задаёт строковый параметр\n"
     "\n"
     "             :param param_name: имя параметра\n"
     "             :param param_value: значение параметра"),
    ("MatrixModel", "set_bool_param", None,
     "Задаёт логический параметр\n"
     "\n"
     "             :param param_name: имя параметра\n"
     "             :param param_value: значение параметра"),
    ("MatrixModel", "set_log_file", None,
     "Задать файл для записи лога решения\n"
     "\n"
     "             :param log_file файл лога"),
    ("MatrixModel", "write", None,
     "Записывает модель в файл. Тип будет определен по расширению\n"
     "\n"
     "            :param file_name: путь к записываемому файлу\n"),
    ("MatrixModel", "write_mps", None,
     "Записывает модель в файл в формате MPS\n"
     "\n"
     "            :param file_name: путь к записываемому файлу\n"),
    ("MatrixModel", "write_lp", None,
     "Записывает модель в файл в формате LP\n"
     "\n"
     "            :param file_name: путь к записываемому файлу\n"),
    ("MatrixModel", "clear", None,
     "Очищает модель от всех данных. Все старые переменные и ограничения становятся невалидными"),
    ("MatrixModel", "set_objective", None,
     "Задаёт выражение целевой функции и тип оптимизации\n"
     "\n"
     "            :param P: квадратичная часть выражения\n"
     "            :param q: вектор коэффициентов к переменным\n"
     "            :param sense: тип оптимизации"),
    ("MatrixModel", "add_variables", None,
     "Добавляет переменные в модель с заданными параметрами\n"
     "\n"
     "            :param lower_bounds: нижние границы переменных\n"
     "            :param upper_bounds: верхние границы переменных\n"
     "            :param obj_values: коэффициенты к переменным в целевой функции\n"
     "            :param var_types: типы переменных\n"
     "            :param count: количество переменных"),
    ("MatrixModel", "solve", None,
     "Стартует оптимизацию модели\n"
     "\n"
     "            :return: объект с результатом оптимизации"),
    ("MatrixModel", "solve_remote", None,
     "Стартует оптимизацию модели на удаленном сервере в синхронном режиме.             Предварительно"
     " необходимо установить переменную окружения X_API_KEY.\n"
     "\n"
     "            :return: объект с результатом оптимизации"),
    ("MatrixModel", "get_variables_count", None,
     "Получает количество переменных в модели\n"
     "\n"
     "            :return: количество переменных в модели"),
    ("MatrixModel", "add_constraint", None,
     "Добавляет ограничение в модель с заданными параметрами\n"
     "\n"
     "            :param P: матрица квадратичных коэффициентов\n"
     "            :param q: вектор коэффициентов переменных\n"
     "            :param sense: тип ограничения ( <=, >= , == )\n"
     "            :param r: константное значение в правой части ограничения\n"),
    ("MatrixModel", "set_objective_offset", None,
     "Задаёт константу в выражении целевой функции\n"
     "\n"
     "            :param offset: значение константы"),
    ("MatrixModel", "add_constraints", None,
     "Добавляет ограничения в модель с заданными параметрами\n"
     "\n"
     "            :param A: матрица ограничений в формате csr (sparse row matrix)\n"
     "            :param senses: массив типов ограничений (constraint_sense)\n"
     "            :param b: массив константных значений в правых частях ограничений\n"),
    ("MatrixSolveResult", "get_solve_result", None,
     "Получает статус процесса расчетов\n"
     "\n"
     "                :return: значение статуса"),
    ("MatrixSolveResult", "get_relative_gap", None,
     "Получает точность решения в процентах\n"
     "\n"
     "                :return: точность решения в процентах"),
    ("MatrixSolveResult", "get_objective_value", None,
     "Получает значение целевой функции\n"
     "\n"
     "                :return: значение целевой функции"),
    ("MatrixSolveResult", "get_solution_status", None,
     "Получает статус модели в итоге расчета\n"
     "\n"
     "                    :return: значение статуса"),
    ("MatrixSolveResult", "get_solve_time", None,
     "Получает общее время решения\n"
     "\n"
     "                :return: общее время решения [сек]"),
    ("MatrixSolveResult", "get_best_bound", None,
     "Получает значение граничной (двойственной) функции\n"
     "\n"
     "                  :return: значение граничной (двойственной) функции"),
    ("MatrixSolveResult", "get_nodes_count", None,
     "Получает количество обработанных узлов дерева решений\n"
     "\n"
     "                  :return: количество обработанных узлов"),
    ("MatrixSolveResult", "get_iterations_count", None,
     "Получает количество итераций, проведенных в процессе расчета\n"
     "\n"
     "                 :return: количество итераций"),
    ("MatrixSolveResult", "write_solution", None,
     "Записывает решение в файл\n"
     "\n"
     "                :param file_name: путь к файлу решения для записи"),
    ("MatrixSolveResult", "get_solution_vector", None,
     "Получает вектор значений переменных\n"
     "\n"
     "                :return: вектор переменных"),
    ("MatrixSolveResult", "get_reduced_costs_vector", None,
     "Получает reduced costs вектор\n"
     "\n"
     "                :return: вектор reduced costs "),
    ("MatrixSolveResult", "get_dual_values_vector", None,
     "Получает dual values вектор\n"
     "\n"
     "                :return: вектор dual values"),
    ("LinearExpression", "__init__", [1],
     "Создает пустое выражение с возможностью задать константу\n"
     "\n"
     "        :param value: константа в выражении"),
    ("QuadExpression", "__init__", [1],
     "Создает пустое выражение"),
    ("GeneralExpression", "__init__", [1],
     "Создает пустое выражение"),
    ("GeneralExpression", "get_expr_count", None,
     "Возвращает количество элементов в выражении\n"
     "\n"
     "        :return: количество элементов в выражении"),
    ("GeneralExpression", "get_variable", None,
     "Возвращает переменную для выражения с типом variable\n"
     "\n"
     "        :return: объект переменной"),
    ("GeneralExpression", "get_type", None,
     "Возвращает тип выражения\n"
     "\n"
     "        :return: тип выражения"),
    ("GeneralExpression", "get_constant", None,
     "Возвращает значение константы для выражения с типом constant\n"
     "\n"
     "        :return: значение константы"),
    ("GeneralExpression", "get_arity", None,
     "Возвращает арность выражения\n"
     "\n"
     "        :return: арность выражения"),
    ("GeneralExpression", "get_expr", None,
     "Возвращает по индексу содержащееся выражение\n"
     "\n"
     "        :param idx : индекс получаемого выражения\n"
     "        :return: выражение"),
    ("GeneralExpression", "set_expr", None,
     "Задает выражение по индексу\n"
     "\n"
     "        :param idx : индекс выражения\n"
     "        :param expr : выражение"),
    ("GeneralExpression", "add_expr", None,
     "Добавляет выражение, для типов plus и multiply\n"
     "\n"
     "        :param expr : добавляемое выражение"),
    ("GeneralExpression", "copy", None,
     "Создает копию выражения, не привязанную к модели         или другому ограничению\n"
     "\n"
     "        :return: копия выражения"),
    ("MathFunc", "sqrt", None,
     "Получает выражение с функциейsqrt\n"
     "\n"
     ":return: выражение с функциейsqrt"),
    ("MathFunc", "sqr", None,
     "Получает выражение с функциейsqr\n"
     "\n"
     ":return: выражение с функциейsqr"),
    ("MathFunc", "exp", None,
     "Получает выражение с функциейexp\n"
     "\n"
     ":return: выражение с функциейexp"),
    ("MathFunc", "log", None,
     "Получает выражение с функциейlog\n"
     "\n"
     ":return: выражение с функциейlog"),
    ("MathFunc", "log2", None,
     "Получает выражение с функциейlog2\n"
     "\n"
     ":return: выражение с функциейlog2"),
    ("MathFunc", "log10", None,
     "Получает выражение с функциейlog10\n"
     "\n"
     ":return: выражение с функциейlog10"),
    ("MathFunc", "sin", None,
     "Получает выражение с функциейsin\n"
     "\n"
     ":return: выражение с функциейsin"),
    ("MathFunc", "cos", None,
     "Получает выражение с функциейcos\n"
     "\n"
     ":return: выражение с функциейcos"),
    ("MathFunc", "tan", None,
     "Получает выражение с функциейtan\n"
     "\n"
     ":return: выражение с функциейtan"),
    ("MathFunc", "logistic", None,
     "Получает выражение с функциейlogistic\n"
     "\n"
     ":return: выражение с функциейlogistic"),
    ("MathFunc", "tanh", None,
     "Получает выражение с функциейtanh\n"
     "\n"
     ":return: выражение с функциейtanh"),
    ("MathFunc", "pow", None,
     "Получает выражение с функциейpow\n"
     "\n"
     ":return: выражение с функциейpow"),
    ("MathFunc", "signpow", None,
     "Получает выражение с функциейsignpow\n"
     "\n"
     ":return: выражение с функциейsignpow"),
    ("Variable", "set_name", None,
     "Задаёт имя переменной в модели\n"
     "\n"
     "        :param var_name: имя переменной"),
    ("Variable", "get_upper_bound", None,
     "Получает верхнюю границу переменной\n"
     "\n"
     "        :return: верхнюю границу переменной"),
    ("LinearExpression", "empty", None,
     "Возвращает истину, если выражение пустое\n"
     "        :return: истина, если выражение пустое"),
    ("LinearExpression", "add_constant", None,
     "Добавляет константу к выражению\n"
     "\n"
     "        :param: value значение константы"),
    ("LinearExpression", "copy", None,
     "Создает копию выражения, не привязанную к модели         или другому ограничению\n"
     "\n"
     "        :return: копия выражения"),
    ("LinearExpression", "add_term", None,
     "Добавляет элемент к выражению\n"
     "\n"
     "        :param var: переменная\n"
     "        :param coeff: коэффициент к переменной"),
    ("Constraint", "set_range", None,
     "Задаёт интервал ограничения: lower_bound <= expression <= lower_bound + range\n"
     "\n"
     "        :param range: интервал для ограничения"),
    ("Constraint", "get_range", None,
     "Получает интервал ограничения: upper_bound - lower_bound\n"
     "\n"
     "        :return: upper_bound - lower_bound"),
    ("Constraint", "set_name", None,
     "Задаёт имя ограничения\n"
     "\n"
     "        :param constr_name: имя ограничения"),
    ("GeneralConstraint", "set_name", None,
     "Задаёт имя ограничения\n"
     "\n"
     "        :param constr_name: имя ограничения"),
    ("GeneralConstraint", "get_variable", None,
     "Пеерменная, связанная с ограничением\n"
     "\n"
     "        :return: переменная, связанная с ограничением"),
    ("veloriumpy", "sum", None,
     "Суммирует переменные и/или линейные выражения\n"
     "                   :return: объект выражения"),
]

FIRST_LINES = [
    ("Variable", "get_name",
     "Получает имя переменной в модели"),
    ("Variable", "set_name",
     "Задаёт имя переменной в модели"),
    ("Variable", "get_type",
     "Получает тип переменной"),
    ("Variable", "set_type",
     "Задает новый тип переменной в модели"),
    ("Variable", "set_upper_bound",
     "Задаёт верхнюю границу для переменной"),
    ("Variable", "get_upper_bound",
     "Получает верхнюю границу переменной"),
    ("Variable", "set_lower_bound",
     "Задаёт нижнюю границу для переменной"),
    ("Variable", "get_lower_bound",
     "Получает нижнюю границу переменной"),
    ("Variable", "remove",
     "Помечает переменную как удаленную. Переменная не будет участвовать в расчетах"),
    ("LinearExpression", "get_terms_count",
     "Возвращает количество элементов в выражении"),
    ("LinearExpression", "empty",
     "Возвращает истину, если выражение пустое"),
    ("LinearExpression", "get_term_variable",
     "Возвращает переменную по индексу элемента в выражении"),
    ("LinearExpression", "get_term_variable_idx",
     "Возвращает порядковый индекс переменной в модели по индексу элемента в выражении"),
    ("LinearExpression", "get_quad_part",
     "Возвращает квадратичную часть выражения"),
    ("LinearExpression", "get_term_coeff",
     "Возвращает коэффициент переменной по индексу элемента в выражении"),
    ("LinearExpression", "get_constant",
     "Возвращает константу в выражении"),
    ("LinearExpression", "set_term_coeff",
     "Задает коэффициент переменной по индексу выражения"),
    ("LinearExpression", "set_constant",
     "Задает константу в выражении"),
    ("LinearExpression", "add_constant",
     "Добавляет константу к выражению"),
    ("LinearExpression", "add_term",
     "Добавляет элемент к выражению"),
    ("LinearExpression", "add_expression",
     "Добавляет выражение к выражению"),
    ("LinearExpression", "remove_term",
     "Удаляет элемент выражения по индексу"),
    ("LinearExpression", "remove_variable",
     "Удаляет переменную из выражения"),
    ("LinearExpression", "get_name",
     "Получает имя выражения"),
    ("LinearExpression", "set_name",
     "Задаёт имя выражения"),
    ("QuadExpression", "__init__",
     "Создает пустое выражение"),
    ("QuadExpression", "get_terms_count",
     "Возвращает количество элементов в выражении"),
    ("QuadExpression", "empty",
     "Возвращает истину, если выражение пустое"),
    ("QuadExpression", "get_term_variable1",
     "Возвращает первую переменную по индексу элемента в выражении"),
    ("QuadExpression", "get_term_variable2",
     "Возвращает вторую переменную по индексу элемента в выражении"),
    ("QuadExpression", "get_term_coeff",
     "Возвращает коэффициент по индексу элемента в выражении"),
    ("QuadExpression", "set_term_coeff",
     "Задает коэффициент по индексу выражения"),
    ("QuadExpression", "add_term",
     "Добавляет элемент к выражению"),
    ("QuadExpression", "remove_term",
     "Удаляет элемент выражения по индексу"),
    ("QuadExpression", "get_linear_part",
     "Получает линейную часть выражения"),
    ("QuadExpression", "copy",
     "Создает копию выражения, не привязанную к модели         или другому ограничению"),
    ("QuadExpression", "get_name",
     "Получает имя выражения"),
    ("QuadExpression", "set_name",
     "Задаёт имя выражения"),
    ("GeneralExpression", "__init__",
     "Создает пустое выражение"),
    ("GeneralExpression", "get_expr_count",
     "Возвращает количество элементов в выражении"),
    ("GeneralExpression", "get_variable",
     "Возвращает переменную для выражения с типом variable"),
    ("GeneralExpression", "get_type",
     "Возвращает тип выражения"),
    ("GeneralExpression", "get_constant",
     "Возвращает значение константы для выражения с типом constant"),
    ("GeneralExpression", "get_arity",
     "Возвращает арность выражения"),
    ("GeneralExpression", "get_expr",
     "Возвращает по индексу содержащееся выражение"),
    ("GeneralExpression", "set_expr",
     "Задает выражение по индексу"),
    ("GeneralExpression", "add_expr",
     "Добавляет выражение, для типов plus и multiply"),
    ("GeneralExpression", "copy",
     "Создает копию выражения, не привязанную к модели         или другому ограничению"),
    ("Constraint", "get_name",
     "Получает имя ограничения"),
    ("Constraint", "set_name",
     "Задаёт имя ограничения"),
    ("Constraint", "get_linear_expression",
     "Линейная часть выражения, связанного с ограничением"),
    ("Constraint", "get_quad_expression",
     "Квадратичная часть выражения, связанного с ограничением"),
    ("Constraint", "set_upper_bound",
     "Задает верхнюю границу ограничения"),
    ("Constraint", "get_upper_bound",
     "Получает верхнюю границу ограничения"),
    ("Constraint", "set_lower_bound",
     "Задаёт нижнюю границу ограничения"),
    ("Constraint", "get_lower_bound",
     "Получает нижнюю границу ограничения"),
    ("Constraint", "get_range",
     "Получает интервал ограничения: upper_bound - lower_bound"),
    ("Constraint", "set_range",
     "Задаёт интервал ограничения: lower_bound <= expression <= lower_bound + range"),
    ("Constraint", "remove",
     "Помечает ограничение как удаленное. Такое ограничение будет исключено из расчетов"),
    ("GeneralConstraint", "get_name",
     "Получает имя ограничения"),
    ("GeneralConstraint", "set_name",
     "Задаёт имя ограничения"),
    ("GeneralConstraint", "get_expression",
     "Выражение, связанное с ограничением"),
    ("GeneralConstraint", "get_variable",
     "Пеерменная, связанная с ограничением"),
    ("GeneralConstraint", "remove",
     "Помечает ограничение как удаленное. Такое ограничение будет исключено из расчетов"),
]
# The constructors documented without a docstring.
FULL_DOCSTRINGS += [
    ("Constraint", "__init__", None, ""),
    ("GeneralConstraint", "__init__", None, ""),
    ("LinearExpression", "__init__", [2], ""),
]


def test_the_overloads_are_read_apart():
    docstrings = overload_docstrings(v.Model.add_mip_start_values)
    assert len(docstrings) == 2 and all(docstrings)
    assert overload_docstrings(v.LinearExpression.__init__)[1] == ""


@pytest.mark.parametrize("name, docstring", CLASS_DOCSTRINGS, ids=[entry[0] for entry in CLASS_DOCSTRINGS])
def test_class_docstrings(name, docstring):
    assert owner(name).__doc__ == docstring


@pytest.mark.parametrize("name, method, overloads, docstring", FULL_DOCSTRINGS,
                         ids=[f"{entry[0]}.{entry[1]}{entry[2] or ''}" for entry in FULL_DOCSTRINGS])
def test_method_docstrings(name, method, overloads, docstring):
    docstrings = overload_docstrings(getattr(owner(name), method))
    chosen = docstrings if overloads is None else [docstrings[k - 1] for k in overloads]
    assert chosen and all(text == docstring for text in chosen)


@pytest.mark.parametrize("name, method, first_line", FIRST_LINES, ids=[f"{entry[0]}.{entry[1]}" for entry in FIRST_LINES])
def test_first_lines_of_method_docstrings(name, method, first_line):
    docstrings = overload_docstrings(getattr(owner(name), method))
    assert docstrings and all(text.split("\n")[0] == first_line for text in docstrings)

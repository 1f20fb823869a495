// The library's seven enumerations as Python enumeration classes. Members stay attributes of
// their class (no export into the module); only MipStartCompletion orders its members.
#include "python/module_registration.hpp"
#include "velorium/velorium.hpp"

namespace veloriumpy {

void register_enumerations(py::module_& module) {
  using namespace velorium;
  py::enum_<MipStartCompletion>(module, "MipStartCompletion", py::arithmetic())
      .value("AUTO", MipStartCompletion::AUTO)
      .value("FULL_START_ONLY", MipStartCompletion::FULL_START_ONLY)
      .value("DISABLED", MipStartCompletion::DISABLED);
  py::enum_<solve_result>(module, "solve_result")
      .value("success", solve_result::success)
      .value("fail", solve_result::fail)
      .value("remote_invalid_api_key", solve_result::remote_invalid_api_key)
      .value("remote_api_key_not_set", solve_result::remote_api_key_not_set)
      .value("remote_time_amount_is_over", solve_result::remote_time_amount_is_over)
      .value("remote_time_per_calc_violated", solve_result::remote_time_per_calc_violated)
      .value("remote_fail", solve_result::remote_fail);
  py::enum_<solution_status>(module, "solution_status")
      .value("invalid_solution", solution_status::invalid_solution)
      .value("optimal", solution_status::optimal)
      .value("feasible", solution_status::feasible)
      .value("infeasible", solution_status::infeasible)
      .value("unbounded", solution_status::unbounded)
      .value("infeasible_or_unbounded", solution_status::infeasible_or_unbounded)
      .value("imprecise", solution_status::imprecise);
  py::enum_<variable_type>(module, "variable_type")
      .value("continuous", variable_type::continuous)
      .value("binary", variable_type::binary)
      .value("integer", variable_type::integer)
      .value("semicontinuous", variable_type::semicontinuous)
      .value("semiinteger", variable_type::semiinteger);
  py::enum_<objective_sense>(module, "objective_sense")
      .value("minimize", objective_sense::minimize)
      .value("maximize", objective_sense::maximize);
  py::enum_<constraint_sense>(module, "constraint_sense")
      .value("equal", constraint_sense::equal)
      .value("less_equal", constraint_sense::less_equal)
      .value("greater_equal", constraint_sense::greater_equal);
  py::enum_<gen_expr_type>(module, "gen_expr_type")
      .value("constant", gen_expr_type::constant)
      .value("variable", gen_expr_type::variable)
      .value("minus", gen_expr_type::minus)
      .value("plus", gen_expr_type::plus)
      .value("divide", gen_expr_type::divide)
      .value("multiply", gen_expr_type::multiply)
      .value("func_square_root", gen_expr_type::func_square_root)
      .value("func_sqr", gen_expr_type::func_sqr)
      .value("func_pow", gen_expr_type::func_pow)
      .value("func_exp", gen_expr_type::func_exp)
      .value("func_log", gen_expr_type::func_log)
      .value("func_log2", gen_expr_type::func_log2)
      .value("func_log10", gen_expr_type::func_log10)
      .value("func_sin", gen_expr_type::func_sin)
      .value("func_cos", gen_expr_type::func_cos)
      .value("func_tan", gen_expr_type::func_tan)
      .value("func_logistic", gen_expr_type::func_logistic)
      .value("func_tanh", gen_expr_type::func_tanh)
      .value("func_signpow", gen_expr_type::func_signpow);
}

}  // namespace veloriumpy

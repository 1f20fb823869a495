// The 119 options of a model, in registration order: an option's position here is its record
// index in every options object, so one process-wide registry serves them all.
#include <cstdint>
#include <iterator>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/options/option_record.hpp"
#include "core/options/velorium_options.hpp"
#include "core/text/message_catalogue.hpp"

namespace velorium {

namespace {

using S = VeloriumOptionsStruct;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr bool kAdvanced = true;

// A description is either a catalogue message (in the language in force) or a fixed text.
struct Description {
  int message_id;
  const char* fixed_text;
};
constexpr Description message(int id) { return {id, nullptr}; }
constexpr Description text(const char* fixed_text) { return {-1, fixed_text}; }
constexpr Description kNoDescription = text("");

// Allowed texts of string options; an empty list allows any text.
constexpr std::span<const char* const> kAnyText;
constexpr const char* kPresolveValues[] = {"off", "on", "weak", "strong"};
constexpr const char* kSolverValues[] = {"simplex", "ipm", "auto", "palgo", "xalgo", "ialgo", "salgo", "talgo"};
constexpr const char* kOffOnAutoValues[] = {"off", "on", "auto"};
constexpr const char* kRangingValues[] = {"off", "on"};
constexpr const char* kLpMethodValues[] = {"auto", "primal", "dual", "barrier"};
constexpr const char* kCalledMethodValues[] = {"solve", "compute_iis"};

struct OptionSpec {
  OptionType type;
  std::uint8_t marker;
  const char* name;
  Description description;
  bool advanced;
  bool S::*bool_field = nullptr;
  int S::*int_field = nullptr;
  double S::*double_field = nullptr;
  std::string S::*string_field = nullptr;
  bool bool_default = false;
  int int_lower = 0;
  int int_default = 0;
  int int_upper = 0;
  double double_lower = 0.0;
  double double_default = 0.0;
  double double_upper = 0.0;
  const char* string_default = "";
  std::span<const char* const> allowed = {};
};

constexpr OptionSpec boolOption(std::uint8_t marker, const char* name, Description description, bool S::*field,
                                bool default_value, bool advanced = false) {
  return {.type = OptionType::Bool, .marker = marker, .name = name, .description = description,
          .advanced = advanced, .bool_field = field, .bool_default = default_value};
}

constexpr OptionSpec intOption(std::uint8_t marker, const char* name, Description description, int S::*field,
                               int lower, int default_value, int upper, bool advanced = false) {
  return {.type = OptionType::Int, .marker = marker, .name = name, .description = description,
          .advanced = advanced, .int_field = field, .int_lower = lower, .int_default = default_value,
          .int_upper = upper};
}

constexpr OptionSpec doubleOption(std::uint8_t marker, const char* name, Description description,
                                  double S::*field, double lower, double default_value, double upper,
                                  bool advanced = false) {
  return {.type = OptionType::Double, .marker = marker, .name = name, .description = description,
          .advanced = advanced, .double_field = field, .double_lower = lower, .double_default = default_value,
          .double_upper = upper};
}

constexpr OptionSpec stringOption(std::uint8_t marker, const char* name, Description description,
                                  std::string S::*field, const char* default_value,
                                  std::span<const char* const> allowed, bool advanced = false) {
  return {.type = OptionType::String, .marker = marker, .name = name, .description = description,
          .advanced = advanced, .string_field = field, .string_default = default_value, .allowed = allowed};
}

// clang-format off
constexpr OptionSpec kOptionTable[] = {
    stringOption(1, "presolve", message(427), &S::presolve, "on", kPresolveValues),
    stringOption(0, "solver", kNoDescription, &S::solver, "auto", kSolverValues),
    stringOption(0, "parallel", text("Parallel option: \"off\", \"auto\" or \"on\""), &S::parallel, "auto", kOffOnAutoValues),
    doubleOption(1, "time_limit", message(430), &S::time_limit, 0.0, kInf, kInf),
    stringOption(0, "ranging", text("Compute ranging information of costs, bounds and right-hand sides: \"off\" or \"on\""), &S::ranging, "off", kRangingValues),
    boolOption(0, "compute_iis", message(417), &S::compute_iis, false),
    stringOption(1, "lp_method", message(492), &S::lp_method, "auto", kLpMethodValues),
    doubleOption(0, "infinite_cost", text("Cost coefficients at least this large in magnitude count as infinite"), &S::infinite_cost, 1e15, 1e20, kInf),
    doubleOption(0, "infinite_bound", text("Bounds at least this large in magnitude count as infinite"), &S::infinite_bound, 1e15, 1e20, kInf),
    doubleOption(0, "small_matrix_value", text("Matrix entries smaller than this in magnitude count as zero"), &S::small_matrix_value, 1e-12, 1e-9, kInf),
    doubleOption(0, "large_matrix_value", text("Matrix entries larger than this in magnitude are rejected"), &S::large_matrix_value, 1.0, 1e15, kInf),
    doubleOption(0, "primal_feasibility_tolerance", text("Primal feasibility tolerance"), &S::primal_feasibility_tolerance, 1e-10, 1e-6, kInf),
    doubleOption(0, "dual_feasibility_tolerance", text("Dual feasibility tolerance"), &S::dual_feasibility_tolerance, 1e-10, 1e-7, kInf),
    doubleOption(0, "ipm_optimality_tolerance", text("Optimality tolerance of the interior point method"), &S::ipm_optimality_tolerance, 1e-12, 1e-8, kInf),
    doubleOption(0, "objective_bound", text("Bound on the objective value at which the dual simplex method stops"), &S::objective_bound, -kInf, kInf, kInf),
    intOption(0, "palgo_threads", kNoDescription, &S::palgo_threads, -1, 0, kIntMax),
    intOption(0, "halgo_threads", kNoDescription, &S::halgo_threads, -1, 0, kIntMax),
    intOption(1, "random_seed", message(428), &S::random_seed, 0, 0, kIntMax),
    intOption(1, "threads", message(422), &S::threads, 0, 0, kIntMax),
    intOption(0, "velorium_debug_level", text("Debugging level of the engine (0..3)"), &S::velorium_debug_level, 0, 0, 3),
    intOption(0, "velorium_analysis_level", text("Analysis level of the engine, a bit mask (0..63)"), &S::velorium_analysis_level, 0, 0, 63),
    intOption(0, "simplex_strategy", text("Simplex strategy: choose / dual serial / dual tasks / dual multi / primal (0/1/2/3/4)"), &S::simplex_strategy, 0, 1, 4),
    intOption(0, "simplex_scale_strategy", text("Simplex scaling strategy: off / choose / equilibration / forced equilibration / max value 0 / max value 1 (0/1/2/3/4/5)"), &S::simplex_scale_strategy, 0, 1, 5),
    intOption(0, "simplex_dual_edge_weight_strategy", text("Dual edge weights of the simplex method: choose / Dantzig / Devex / steepest edge (-1/0/1/2)"), &S::simplex_dual_edge_weight_strategy, -1, -1, 2),
    intOption(0, "simplex_primal_edge_weight_strategy", text("Primal edge weights of the simplex method: choose / Dantzig / Devex / steepest edge (-1/0/1/2)"), &S::simplex_primal_edge_weight_strategy, -1, -1, 2),
    intOption(0, "simplex_iteration_limit", text("Iteration limit of the simplex method"), &S::simplex_iteration_limit, 0, kIntMax, kIntMax),
    intOption(0, "simplex_update_limit", text("Number of basis updates of the simplex method between refactorisations"), &S::simplex_update_limit, 0, 5000, kIntMax),
    intOption(0, "ipm_iteration_limit", text("Iteration limit of the interior point method"), &S::ipm_iteration_limit, 0, kIntMax, kIntMax),
    boolOption(0, "output_flag", text("Enables or disables all log output"), &S::output_flag, true),
    boolOption(1, "log_to_console", message(420), &S::log_to_console, true),
    boolOption(1, "presolve_conflict_localization", message(421), &S::presolve_conflict_localization, true),
    boolOption(1, "log_display_systime", message(419), &S::log_display_systime, false),
    stringOption(0, "solution_file", text("Solution file"), &S::solution_file, "", kAnyText),
    stringOption(0, "hotstart_solution", text("File with a solution to start from"), &S::hotstart_solution, "", kAnyText),
    stringOption(0, "iis_file", text("File for the irreducible infeasible set"), &S::iis_file, "", kAnyText),
    stringOption(0, "log_file", text("Log file"), &S::log_file, "", kAnyText),
    boolOption(0, "write_solution_to_file", text("Write the solution to the solution file"), &S::write_solution_to_file, false),
    boolOption(0, "write_iis_to_file", text("Write the irreducible infeasible set to its file"), &S::write_iis_to_file, false),
    intOption(0, "glpsol_cost_row_location", text("Position of the cost row in glpsol-style solution output"), &S::glpsol_cost_row_location, -2, 0, kIntMax),
    boolOption(0, "icrash", text("Run the iCrash method before solving"), &S::icrash, false),
    boolOption(0, "icrash_dualize", text("Dualise the model before iCrash"), &S::icrash_dualize, false),
    stringOption(0, "icrash_strategy", text("Strategy of iCrash"), &S::icrash_strategy, "ICA", kAnyText),
    doubleOption(0, "icrash_starting_weight", text("Starting penalty weight of iCrash"), &S::icrash_starting_weight, 1e-10, 0.001, 1e50),
    intOption(0, "icrash_iterations", text("Number of iCrash iterations"), &S::icrash_iterations, 0, 30, 200),
    intOption(0, "icrash_approx_iter", text("Number of approximate minimisation steps per iCrash iteration"), &S::icrash_approx_iter, 0, 50, 100),
    boolOption(0, "icrash_exact", text("Solve the iCrash subproblems exactly"), &S::icrash_exact, false),
    boolOption(0, "icrash_breakpoints", text("Use breakpoints in iCrash"), &S::icrash_breakpoints, false),
    stringOption(0, "write_model_file", text("File the model is written to"), &S::write_model_file, "", kAnyText),
    boolOption(0, "write_model_to_file", text("Write the model to its file"), &S::write_model_to_file, false),
    boolOption(0, "mip_detect_symmetry", text("Detect symmetry in MIP problems"), &S::mip_detect_symmetry, true),
    intOption(1, "mip_heuristic_subproblem_node_limit", message(510), &S::mip_heuristic_subproblem_node_limit, 0, 500, 2000000000),
    intOption(1, "mip_start_completion_node_limit", message(511), &S::mip_start_completion_node_limit, -3, -1, 2000000000),
    doubleOption(1, "mip_start_completion_time_limit", message(512), &S::mip_start_completion_time_limit, 0.0, kInf, kInf),
    doubleOption(1, "mip_start_completion_work_limit", message(513), &S::mip_start_completion_work_limit, 0.0, kInf, kInf),
    intOption(0, "mip_max_nodes", text("Limit on the number of branch-and-bound nodes of a MIP problem"), &S::mip_max_nodes, 0, kIntMax, kIntMax),
    intOption(0, "mip_max_stall_nodes", text("Limit on the number of branch-and-bound nodes without improvement"), &S::mip_max_stall_nodes, 0, kIntMax, kIntMax),
    intOption(0, "mip_max_leaves", text("Limit on the number of leaf nodes of a MIP problem"), &S::mip_max_leaves, 0, kIntMax, kIntMax),
    intOption(0, "mip_max_improving_sols", text("Limit on the number of improving solutions of a MIP problem"), &S::mip_max_improving_sols, 1, kIntMax, kIntMax),
    intOption(0, "mip_lp_age_limit", text("Age after which cuts leave the LP relaxation of a MIP problem"), &S::mip_lp_age_limit, 0, 10, 32767),
    intOption(0, "mip_pool_age_limit", text("Age after which cuts leave the cut pool"), &S::mip_pool_age_limit, 0, 30, 1000),
    intOption(0, "mip_pool_soft_limit", text("Soft limit on the number of cuts in the cut pool"), &S::mip_pool_soft_limit, 1, 10000, kIntMax),
    intOption(0, "mip_pscost_minreliable", text("Number of observations after which a pseudo-cost counts as reliable"), &S::mip_pscost_minreliable, 0, 8, kIntMax),
    intOption(0, "mip_min_cliquetable_entries_for_parallelism", text("Number of clique table entries from which the clique table is processed in parallel"), &S::mip_min_cliquetable_entries_for_parallelism, 0, 100000, kIntMax),
    doubleOption(1, "mip_feasibility_tolerance", message(424), &S::mip_feasibility_tolerance, 1e-9, 1e-6, kInf),
    doubleOption(0, "mip_heuristic_effort", text("Share of the effort spent on primal heuristics of a MIP problem"), &S::mip_heuristic_effort, 0.0, 0.05, 1.0),
    doubleOption(1, "mip_rel_gap", message(425), &S::mip_rel_gap, 0.0, 1e-4, kInf),
    doubleOption(1, "mip_abs_gap", message(423), &S::mip_abs_gap, 0.0, 1e-6, kInf),
    stringOption(0, "called_method", text("Task of the calculation: \"solve\" or \"compute_iis\""), &S::called_method, "solve", kCalledMethodValues),
    boolOption(0, "run_crossover", text("Run crossover after the interior point method"), &S::run_crossover, true, kAdvanced),
    boolOption(0, "allow_unbounded_or_infeasible", text("Accept the outcome infeasible or unbounded without telling which"), &S::allow_unbounded_or_infeasible, false, kAdvanced),
    boolOption(0, "use_implied_bounds_from_presolve", text("Use bounds implied by presolve"), &S::use_implied_bounds_from_presolve, false, kAdvanced),
    boolOption(0, "lp_presolve_requires_basis_postsolve", text("Presolve of an LP must be able to restore a basis"), &S::lp_presolve_requires_basis_postsolve, true, kAdvanced),
    boolOption(0, "mps_parser_type_free", text("Read MPS files in free format"), &S::mps_parser_type_free, true, kAdvanced),
    intOption(0, "keep_n_rows", text("For multiple N-rows in MPS files: delete rows / delete entries / keep rows (-1/0/1)"), &S::keep_n_rows, -1, -1, 1, kAdvanced),
    intOption(0, "cost_scale_factor", text("Power of two by which the costs are scaled"), &S::cost_scale_factor, -20, 0, 20, kAdvanced),
    intOption(0, "min_allowed_cost_scale_factor", text("Smallest power of two allowed for cost scaling"), &S::min_allowed_cost_scale_factor, -20, -20, 0, kAdvanced),
    intOption(0, "considered_max_cost_scale_factor", text("Largest power of two considered for cost scaling"), &S::considered_max_cost_scale_factor, -10, 4, 10, kAdvanced),
    intOption(0, "allowed_matrix_scale_factor", text("Largest power of two allowed for matrix scaling"), &S::allowed_matrix_scale_factor, 0, 20, 30, kAdvanced),
    intOption(0, "allowed_cost_scale_factor", text("Largest power of two allowed for cost scaling"), &S::allowed_cost_scale_factor, 0, 20, 20, kAdvanced),
    intOption(0, "simplex_dualise_strategy", text("Solve the dual in the simplex method: choose / off / on (-1/0/1)"), &S::simplex_dualise_strategy, -1, -1, 1, kAdvanced),
    intOption(0, "max_dual_simplex_cleanup_level", text("Highest cleanup level of the dual simplex method"), &S::max_dual_simplex_cleanup_level, 0, 1, kIntMax, kAdvanced),
    intOption(0, "max_dual_simplex_phase1_cleanup_level", text("Highest cleanup level of phase 1 of the dual simplex method"), &S::max_dual_simplex_phase1_cleanup_level, 0, 2, kIntMax, kAdvanced),
    intOption(0, "simplex_price_strategy", text("Pricing strategy of the simplex method (0..3)"), &S::simplex_price_strategy, 0, 3, 3, kAdvanced),
    intOption(0, "simplex_unscaled_solution_strategy", text("Treatment of the unscaled solution of the simplex method: none / refine / free (0/1/2)"), &S::simplex_unscaled_solution_strategy, 0, 1, 2, kAdvanced),
    boolOption(0, "no_unnecessary_rebuild_refactor", text("Avoid rebuilds and refactorisations that are not needed"), &S::no_unnecessary_rebuild_refactor, true, kAdvanced),
    doubleOption(0, "rebuild_refactor_solution_error_tolerance", text("Solution error above which the simplex method refactorises"), &S::rebuild_refactor_solution_error_tolerance, -kInf, 1e-8, kInf, kAdvanced),
    doubleOption(0, "dual_steepest_edge_weight_error_tolerance", text("Tolerance on the error of dual steepest edge weights"), &S::dual_steepest_edge_weight_error_tolerance, 0.0, kInf, kInf, kAdvanced),
    doubleOption(0, "dual_steepest_edge_weight_log_error_threshold", text("Error of dual steepest edge weights above which it is logged"), &S::dual_steepest_edge_weight_log_error_threshold, 1.0, 10.0, kInf, kAdvanced),
    doubleOption(0, "dual_simplex_cost_perturbation_multiplier", text("Multiplier of the cost perturbation of the dual simplex method"), &S::dual_simplex_cost_perturbation_multiplier, 0.0, 1.0, kInf, kAdvanced),
    doubleOption(0, "primal_simplex_bound_perturbation_multiplier", text("Multiplier of the bound perturbation of the primal simplex method"), &S::primal_simplex_bound_perturbation_multiplier, 0.0, 1.0, kInf, kAdvanced),
    doubleOption(0, "dual_simplex_pivot_growth_tolerance", text("Tolerance on pivot growth in the dual simplex method"), &S::dual_simplex_pivot_growth_tolerance, 1e-12, 1e-9, kInf, kAdvanced),
    doubleOption(0, "presolve_pivot_threshold", text("Pivot threshold of substitutions in presolve"), &S::presolve_pivot_threshold, 8e-4, 0.01, 0.5, kAdvanced),
    intOption(0, "presolve_rule_off", text("Bit mask of the presolve rules that are switched off"), &S::presolve_rule_off, 0, 0, kIntMax, kAdvanced),
    intOption(0, "presolve_reduction_limit", text("Limit on the number of presolve reductions (-1: none)"), &S::presolve_reduction_limit, -1, -1, kIntMax, kAdvanced),
    intOption(0, "presolve_substitution_maxfillin", text("Largest fill-in of a substitution in presolve"), &S::presolve_substitution_maxfillin, 0, 10, kIntMax, kAdvanced),
    doubleOption(0, "factor_pivot_threshold", text("Pivot threshold of the matrix factorisation"), &S::factor_pivot_threshold, 8e-4, 0.1, 0.5, kAdvanced),
    doubleOption(0, "factor_pivot_tolerance", text("Pivot tolerance of the matrix factorisation"), &S::factor_pivot_tolerance, 0.0, 1e-10, 1.0, kAdvanced),
    doubleOption(0, "start_crossover_tolerance", text("Complementarity at which the interior point method starts crossover"), &S::start_crossover_tolerance, 1e-12, 1e-8, kInf, kAdvanced),
    boolOption(0, "separators_aggregation_enabled", text("Aggregate separators"), &S::separators_aggregation_enabled, false, kAdvanced),
    boolOption(0, "nonlinear_optimization_enabled", text("Enable nonlinear optimisation"), &S::nonlinear_optimization_enabled, false, kAdvanced),
    boolOption(0, "less_infeasible_DSE_check", text("Check whether less infeasible dual steepest edge pricing applies"), &S::less_infeasible_DSE_check, true, kAdvanced),
    boolOption(0, "less_infeasible_DSE_choose_row", text("Choose rows by less infeasible dual steepest edge pricing"), &S::less_infeasible_DSE_choose_row, true, kAdvanced),
    intOption(0, "multiprocess_prohibit_presolve_off_columns_count", text("Number of columns from which workers may not switch presolve off"), &S::multiprocess_prohibit_presolve_off_columns_count, 0, 12000, kIntMax, kAdvanced),
    intOption(1, "multiprocess_max_process_count", message(426), &S::multiprocess_max_process_count, 0, 0, 16, kAdvanced),
    stringOption(0, "multiprocess_control_block", text("Control block of the worker processes"), &S::multiprocess_control_block, "", kAnyText, kAdvanced),
    stringOption(0, "multiprocess", text("Multiprocess mode: \"off\", \"on\" or \"auto\""), &S::multiprocess, "auto", kOffOnAutoValues),
    stringOption(0, "temp_folder_path", text("Folder for temporary files (empty: the system's temporary folder)"), &S::temp_folder_path, "", kAnyText, kAdvanced),
    intOption(0, "multiprocess_auto_column_count_threshold", text("Number of columns from which the multiprocess mode \"auto\" starts workers"), &S::multiprocess_auto_column_count_threshold, 1, 50, kIntMax, kAdvanced),
    intOption(0, "multiprocess_timeout_wait_time", text("Max wait time for workers by timeout, milliseconds, 0 - 600000 "), &S::multiprocess_timeout_wait_time, 0, 60000, 600000, kAdvanced),
    stringOption(0, "multiprocess_cpu_mask", text("Processor mask of the worker processes (\"auto\": chosen by the system)"), &S::multiprocess_cpu_mask, "auto", kAnyText, kAdvanced),
    stringOption(0, "remote_solver_type", text("Solver type requested from the remote calculation service"), &S::remote_solver_type, "auto", kAnyText, kAdvanced),
    stringOption(1, "http_proxy", message(418), &S::http_proxy, "", kAnyText),
    boolOption(0, "cleanup_working_folder", text("Remove the working folder after the calculation"), &S::cleanup_working_folder, true, kAdvanced),
    boolOption(1, "write_zeroes_to_solution", message(431), &S::write_zeroes_to_solution, true),
    intOption(1, "remote_timeout", message(429), &S::remote_timeout, 10, 300, 600, kAdvanced),
    boolOption(0, "multiprocess_set_worker_high_priority", text("Run worker processes at high priority"), &S::multiprocess_set_worker_high_priority, true, kAdvanced),
    boolOption(0, "multiprocess_show_task_info", text("Show the tasks of the worker processes"), &S::multiprocess_show_task_info, false, kAdvanced),
    boolOption(0, "multiprocess_force_feasible_mode_enabled", text("Enable the forced feasible mode of the worker processes"), &S::multiprocess_force_feasible_mode_enabled, true, kAdvanced),
    intOption(0, "emphasis_mip", text("Emphasis of the MIP search (0..6)"), &S::emphasis_mip, 0, 0, 6, kAdvanced),
};
// clang-format on

static_assert(std::size(kOptionTable) == kOptionCount);

std::string describe(const Description& description) {
  return description.fixed_text != nullptr ? description.fixed_text : get_message(description.message_id);
}

std::shared_ptr<OptionRecord> makeRecord(const OptionSpec& spec, VeloriumOptionsStruct& values) {
  std::string description = describe(spec.description);
  switch (spec.type) {
    case OptionType::Bool:
      return std::make_shared<OptionRecordBool>(spec.marker, spec.name, std::move(description),
                                                &(values.*spec.bool_field), spec.bool_default, spec.advanced);
    case OptionType::Int:
      return std::make_shared<OptionRecordInt>(spec.marker, spec.name, std::move(description),
                                               &(values.*spec.int_field), spec.int_lower, spec.int_default,
                                               spec.int_upper, spec.advanced);
    case OptionType::Double:
      return std::make_shared<OptionRecordDouble>(spec.marker, spec.name, std::move(description),
                                                  &(values.*spec.double_field), spec.double_lower,
                                                  spec.double_default, spec.double_upper, spec.advanced);
    case OptionType::String:
      return std::make_shared<OptionRecordString>(
          spec.marker, spec.name, std::move(description), &(values.*spec.string_field), spec.string_default,
          std::vector<std::string>(spec.allowed.begin(), spec.allowed.end()), spec.advanced);
  }
  return nullptr;
}

}  // namespace

void registerOptions(VeloriumOptions& options) {
  options.records.clear();
  options.records.reserve(kOptionRecordCapacity);
  for (const OptionSpec& spec : kOptionTable) options.records.push_back(makeRecord(spec, options));
  attachOptionRegistry(options);
}

}  // namespace velorium

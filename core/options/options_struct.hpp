// One value per named option, and the log settings that point at three of them.
#pragma once

#include <string>

#include "core/log/log_options.hpp"

namespace velorium {

// Plain storage for the values of the 119 options, one field per option, named after it.
// The option records of `VeloriumOptions` point at these fields; the rest of the library
// reads an option as a field, without a look-up. A new structure holds empty texts, zeros
// and false; the option values come from registering the options.
struct VeloriumOptionsStruct {
  std::string presolve;
  std::string solver;
  std::string parallel;
  std::string ranging;
  double time_limit{};
  int emphasis_mip{};
  bool compute_iis{};
  std::string lp_method;
  double infinite_cost{};
  double infinite_bound{};
  double small_matrix_value{};
  double large_matrix_value{};
  double primal_feasibility_tolerance{};
  double dual_feasibility_tolerance{};
  double ipm_optimality_tolerance{};
  double objective_bound{};
  int palgo_threads{};
  int halgo_threads{};
  int random_seed{};
  int threads{};
  int velorium_debug_level{};
  int velorium_analysis_level{};
  int simplex_strategy{};
  int simplex_scale_strategy{};
  int simplex_dual_edge_weight_strategy{};
  int simplex_primal_edge_weight_strategy{};
  int simplex_iteration_limit{};
  int simplex_update_limit{};
  int ipm_iteration_limit{};
  std::string write_model_file;
  std::string solution_file;
  std::string hotstart_solution;
  std::string iis_file;
  std::string log_file;
  bool write_model_to_file{};
  bool write_solution_to_file{};
  bool write_iis_to_file{};
  int glpsol_cost_row_location{};
  std::string called_method;
  bool output_flag{};
  bool log_to_console{};
  bool presolve_conflict_localization{};
  bool log_display_systime{};
  bool run_crossover{};
  bool allow_unbounded_or_infeasible{};
  bool use_implied_bounds_from_presolve{};
  bool lp_presolve_requires_basis_postsolve{};
  bool mps_parser_type_free{};
  int keep_n_rows{};
  int cost_scale_factor{};
  int allowed_matrix_scale_factor{};
  int allowed_cost_scale_factor{};
  int min_allowed_cost_scale_factor{};
  int considered_max_cost_scale_factor{};
  int simplex_dualise_strategy{};
  int max_dual_simplex_cleanup_level{};
  int max_dual_simplex_phase1_cleanup_level{};
  int simplex_price_strategy{};
  int simplex_unscaled_solution_strategy{};
  int presolve_reduction_limit{};
  int presolve_substitution_maxfillin{};
  int presolve_rule_off{};
  bool no_unnecessary_rebuild_refactor{};
  double rebuild_refactor_solution_error_tolerance{};
  double dual_steepest_edge_weight_error_tolerance{};
  double dual_steepest_edge_weight_log_error_threshold{};
  double dual_simplex_cost_perturbation_multiplier{};
  double primal_simplex_bound_perturbation_multiplier{};
  double dual_simplex_pivot_growth_tolerance{};
  double presolve_pivot_threshold{};
  double factor_pivot_threshold{};
  double factor_pivot_tolerance{};
  double start_crossover_tolerance{};
  bool less_infeasible_DSE_check{};
  bool less_infeasible_DSE_choose_row{};
  bool separators_aggregation_enabled{};
  bool nonlinear_optimization_enabled{};
  bool icrash{};
  bool icrash_dualize{};
  std::string icrash_strategy;
  double icrash_starting_weight{};
  int icrash_iterations{};
  int icrash_approx_iter{};
  bool icrash_exact{};
  bool icrash_breakpoints{};
  bool mip_detect_symmetry{};
  int mip_heuristic_subproblem_node_limit{};
  int mip_start_completion_node_limit{};
  double mip_start_completion_time_limit{};
  double mip_start_completion_work_limit{};
  int mip_max_nodes{};
  int mip_max_stall_nodes{};
  int mip_max_leaves{};
  int mip_max_improving_sols{};
  int mip_lp_age_limit{};
  int mip_pool_age_limit{};
  int mip_pool_soft_limit{};
  int mip_pscost_minreliable{};
  int mip_min_cliquetable_entries_for_parallelism{};
  double mip_feasibility_tolerance{};
  double mip_rel_gap{};
  double mip_abs_gap{};
  double mip_heuristic_effort{};
  int multiprocess_prohibit_presolve_off_columns_count{};
  int multiprocess_max_process_count{};
  std::string multiprocess_control_block;
  std::string temp_folder_path;
  int multiprocess_timeout_wait_time{};
  int remote_timeout{};
  int multiprocess_auto_column_count_threshold{};
  std::string multiprocess_cpu_mask;
  std::string remote_solver_type;
  std::string http_proxy;
  bool cleanup_working_folder{};
  bool write_zeroes_to_solution{};
  bool multiprocess_set_worker_high_priority{};
  bool multiprocess_show_task_info{};
  bool multiprocess_force_feasible_mode_enabled{};
  std::string multiprocess;

  // Where log output goes; its three flags point at output_flag, log_to_console and
  // log_display_systime once the options are linked.
  VeloriumLogOptions log_options;

  VeloriumOptionsStruct() = default;
  virtual ~VeloriumOptionsStruct() = default;

 protected:
  // Only an options object copies another: a plain copy would leave the log settings
  // pointing into the source.
  VeloriumOptionsStruct(const VeloriumOptionsStruct&) = default;
  VeloriumOptionsStruct& operator=(const VeloriumOptionsStruct&) = default;
};

}  // namespace velorium

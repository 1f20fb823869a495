// Every option of the table: its place, type, default, range or allowed texts, marker, flag
// and description, read back from a fresh options object; then the edges of every range.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/options/option_access.hpp"
#include "core/options/velorium_options.hpp"
#include "core/options/options_test_support.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"

namespace velorium {
namespace {

using test::CapturedOptions;
using test::errorLine;
using T = OptionType;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kIntMax = std::numeric_limits<int>::max();

struct ExpectedOption {
  const char* name;
  OptionType type;
  double default_number;  // bool: 0 or 1; int and double: the default
  double lower;
  double upper;
  const char* default_text;  // string options
  std::vector<std::string> allowed;
  int marker;
  bool advanced;
  int description_message;  // 0: a fixed text
  const char* description;  // the fixed text when it is given exactly; null: any non-empty text
};

// In registration order.
const std::vector<ExpectedOption>& expectedOptions() {
  static const std::vector<ExpectedOption> table = {
      {"presolve", T::String, 0, 0, 0, "on", {"off", "on", "weak", "strong"}, 1, false, 427, nullptr},
      {"solver", T::String, 0, 0, 0, "auto", {"simplex", "ipm", "auto", "palgo", "xalgo", "ialgo", "salgo", "talgo"}, 0, false, 0, ""},
      {"parallel", T::String, 0, 0, 0, "auto", {"off", "on", "auto"}, 0, false, 0, "Parallel option: \"off\", \"auto\" or \"on\""},
      {"time_limit", T::Double, kInf, 0, kInf, "", {}, 1, false, 430, nullptr},
      {"ranging", T::String, 0, 0, 0, "off", {"off", "on"}, 0, false, 0, nullptr},
      {"compute_iis", T::Bool, 0, 0, 0, "", {}, 0, false, 417, nullptr},
      {"lp_method", T::String, 0, 0, 0, "auto", {"auto", "primal", "dual", "barrier"}, 1, false, 492, nullptr},
      {"infinite_cost", T::Double, 1e20, 1e15, kInf, "", {}, 0, false, 0, nullptr},
      {"infinite_bound", T::Double, 1e20, 1e15, kInf, "", {}, 0, false, 0, nullptr},
      {"small_matrix_value", T::Double, 1e-9, 1e-12, kInf, "", {}, 0, false, 0, nullptr},
      {"large_matrix_value", T::Double, 1e15, 1, kInf, "", {}, 0, false, 0, nullptr},
      {"primal_feasibility_tolerance", T::Double, 1e-6, 1e-10, kInf, "", {}, 0, false, 0, nullptr},
      {"dual_feasibility_tolerance", T::Double, 1e-7, 1e-10, kInf, "", {}, 0, false, 0, nullptr},
      {"ipm_optimality_tolerance", T::Double, 1e-8, 1e-12, kInf, "", {}, 0, false, 0, nullptr},
      {"objective_bound", T::Double, kInf, -kInf, kInf, "", {}, 0, false, 0, nullptr},
      {"palgo_threads", T::Int, 0, -1, kIntMax, "", {}, 0, false, 0, ""},
      {"halgo_threads", T::Int, 0, -1, kIntMax, "", {}, 0, false, 0, ""},
      {"random_seed", T::Int, 0, 0, kIntMax, "", {}, 1, false, 428, nullptr},
      {"threads", T::Int, 0, 0, kIntMax, "", {}, 1, false, 422, nullptr},
      {"velorium_debug_level", T::Int, 0, 0, 3, "", {}, 0, false, 0, nullptr},
      {"velorium_analysis_level", T::Int, 0, 0, 63, "", {}, 0, false, 0, nullptr},
      {"simplex_strategy", T::Int, 1, 0, 4, "", {}, 0, false, 0, nullptr},
      {"simplex_scale_strategy", T::Int, 1, 0, 5, "", {}, 0, false, 0, nullptr},
      {"simplex_dual_edge_weight_strategy", T::Int, -1, -1, 2, "", {}, 0, false, 0, nullptr},
      {"simplex_primal_edge_weight_strategy", T::Int, -1, -1, 2, "", {}, 0, false, 0, nullptr},
      {"simplex_iteration_limit", T::Int, kIntMax, 0, kIntMax, "", {}, 0, false, 0, nullptr},
      {"simplex_update_limit", T::Int, 5000, 0, kIntMax, "", {}, 0, false, 0, nullptr},
      {"ipm_iteration_limit", T::Int, kIntMax, 0, kIntMax, "", {}, 0, false, 0, nullptr},
      {"output_flag", T::Bool, 1, 0, 0, "", {}, 0, false, 0, nullptr},
      {"log_to_console", T::Bool, 1, 0, 0, "", {}, 1, false, 420, nullptr},
      {"presolve_conflict_localization", T::Bool, 1, 0, 0, "", {}, 1, false, 421, nullptr},
      {"log_display_systime", T::Bool, 0, 0, 0, "", {}, 1, false, 419, nullptr},
      {"solution_file", T::String, 0, 0, 0, "", {}, 0, false, 0, nullptr},
      {"hotstart_solution", T::String, 0, 0, 0, "", {}, 0, false, 0, nullptr},
      {"iis_file", T::String, 0, 0, 0, "", {}, 0, false, 0, nullptr},
      {"log_file", T::String, 0, 0, 0, "", {}, 0, false, 0, nullptr},
      {"write_solution_to_file", T::Bool, 0, 0, 0, "", {}, 0, false, 0, nullptr},
      {"write_iis_to_file", T::Bool, 0, 0, 0, "", {}, 0, false, 0, nullptr},
      {"glpsol_cost_row_location", T::Int, 0, -2, kIntMax, "", {}, 0, false, 0, nullptr},
      {"icrash", T::Bool, 0, 0, 0, "", {}, 0, false, 0, nullptr},
      {"icrash_dualize", T::Bool, 0, 0, 0, "", {}, 0, false, 0, nullptr},
      {"icrash_strategy", T::String, 0, 0, 0, "ICA", {}, 0, false, 0, nullptr},
      {"icrash_starting_weight", T::Double, 0.001, 1e-10, 1e50, "", {}, 0, false, 0, nullptr},
      {"icrash_iterations", T::Int, 30, 0, 200, "", {}, 0, false, 0, nullptr},
      {"icrash_approx_iter", T::Int, 50, 0, 100, "", {}, 0, false, 0, nullptr},
      {"icrash_exact", T::Bool, 0, 0, 0, "", {}, 0, false, 0, nullptr},
      {"icrash_breakpoints", T::Bool, 0, 0, 0, "", {}, 0, false, 0, nullptr},
      {"write_model_file", T::String, 0, 0, 0, "", {}, 0, false, 0, nullptr},
      {"write_model_to_file", T::Bool, 0, 0, 0, "", {}, 0, false, 0, nullptr},
      {"mip_detect_symmetry", T::Bool, 1, 0, 0, "", {}, 0, false, 0, nullptr},
      {"mip_heuristic_subproblem_node_limit", T::Int, 500, 0, 2000000000, "", {}, 1, false, 510, nullptr},
      {"mip_start_completion_node_limit", T::Int, -1, -3, 2000000000, "", {}, 1, false, 511, nullptr},
      {"mip_start_completion_time_limit", T::Double, kInf, 0, kInf, "", {}, 1, false, 512, nullptr},
      {"mip_start_completion_work_limit", T::Double, kInf, 0, kInf, "", {}, 1, false, 513, nullptr},
      {"mip_max_nodes", T::Int, kIntMax, 0, kIntMax, "", {}, 0, false, 0, nullptr},
      {"mip_max_stall_nodes", T::Int, kIntMax, 0, kIntMax, "", {}, 0, false, 0, nullptr},
      {"mip_max_leaves", T::Int, kIntMax, 0, kIntMax, "", {}, 0, false, 0, nullptr},
      {"mip_max_improving_sols", T::Int, kIntMax, 1, kIntMax, "", {}, 0, false, 0, nullptr},
      {"mip_lp_age_limit", T::Int, 10, 0, 32767, "", {}, 0, false, 0, nullptr},
      {"mip_pool_age_limit", T::Int, 30, 0, 1000, "", {}, 0, false, 0, nullptr},
      {"mip_pool_soft_limit", T::Int, 10000, 1, kIntMax, "", {}, 0, false, 0, nullptr},
      {"mip_pscost_minreliable", T::Int, 8, 0, kIntMax, "", {}, 0, false, 0, nullptr},
      {"mip_min_cliquetable_entries_for_parallelism", T::Int, 100000, 0, kIntMax, "", {}, 0, false, 0, nullptr},
      {"mip_feasibility_tolerance", T::Double, 1e-6, 1e-9, kInf, "", {}, 1, false, 424, nullptr},
      {"mip_heuristic_effort", T::Double, 0.05, 0, 1, "", {}, 0, false, 0, nullptr},
      {"mip_rel_gap", T::Double, 1e-4, 0, kInf, "", {}, 1, false, 425, nullptr},
      {"mip_abs_gap", T::Double, 1e-6, 0, kInf, "", {}, 1, false, 423, nullptr},
      {"called_method", T::String, 0, 0, 0, "solve", {"solve", "compute_iis"}, 0, false, 0, nullptr},
      {"run_crossover", T::Bool, 1, 0, 0, "", {}, 0, true, 0, nullptr},
      {"allow_unbounded_or_infeasible", T::Bool, 0, 0, 0, "", {}, 0, true, 0, nullptr},
      {"use_implied_bounds_from_presolve", T::Bool, 0, 0, 0, "", {}, 0, true, 0, nullptr},
      {"lp_presolve_requires_basis_postsolve", T::Bool, 1, 0, 0, "", {}, 0, true, 0, nullptr},
      {"mps_parser_type_free", T::Bool, 1, 0, 0, "", {}, 0, true, 0, nullptr},
      {"keep_n_rows", T::Int, -1, -1, 1, "", {}, 0, true, 0, "For multiple N-rows in MPS files: delete rows / delete entries / keep rows (-1/0/1)"},
      {"cost_scale_factor", T::Int, 0, -20, 20, "", {}, 0, true, 0, nullptr},
      {"min_allowed_cost_scale_factor", T::Int, -20, -20, 0, "", {}, 0, true, 0, nullptr},
      {"considered_max_cost_scale_factor", T::Int, 4, -10, 10, "", {}, 0, true, 0, nullptr},
      {"allowed_matrix_scale_factor", T::Int, 20, 0, 30, "", {}, 0, true, 0, nullptr},
      {"allowed_cost_scale_factor", T::Int, 20, 0, 20, "", {}, 0, true, 0, nullptr},
      {"simplex_dualise_strategy", T::Int, -1, -1, 1, "", {}, 0, true, 0, nullptr},
      {"max_dual_simplex_cleanup_level", T::Int, 1, 0, kIntMax, "", {}, 0, true, 0, nullptr},
      {"max_dual_simplex_phase1_cleanup_level", T::Int, 2, 0, kIntMax, "", {}, 0, true, 0, nullptr},
      {"simplex_price_strategy", T::Int, 3, 0, 3, "", {}, 0, true, 0, nullptr},
      {"simplex_unscaled_solution_strategy", T::Int, 1, 0, 2, "", {}, 0, true, 0, nullptr},
      {"no_unnecessary_rebuild_refactor", T::Bool, 1, 0, 0, "", {}, 0, true, 0, nullptr},
      {"rebuild_refactor_solution_error_tolerance", T::Double, 1e-8, -kInf, kInf, "", {}, 0, true, 0, nullptr},
      {"dual_steepest_edge_weight_error_tolerance", T::Double, kInf, 0, kInf, "", {}, 0, true, 0, nullptr},
      {"dual_steepest_edge_weight_log_error_threshold", T::Double, 10, 1, kInf, "", {}, 0, true, 0, nullptr},
      {"dual_simplex_cost_perturbation_multiplier", T::Double, 1, 0, kInf, "", {}, 0, true, 0, nullptr},
      {"primal_simplex_bound_perturbation_multiplier", T::Double, 1, 0, kInf, "", {}, 0, true, 0, nullptr},
      {"dual_simplex_pivot_growth_tolerance", T::Double, 1e-9, 1e-12, kInf, "", {}, 0, true, 0, nullptr},
      {"presolve_pivot_threshold", T::Double, 0.01, 8e-4, 0.5, "", {}, 0, true, 0, nullptr},
      {"presolve_rule_off", T::Int, 0, 0, kIntMax, "", {}, 0, true, 0, nullptr},
      {"presolve_reduction_limit", T::Int, -1, -1, kIntMax, "", {}, 0, true, 0, nullptr},
      {"presolve_substitution_maxfillin", T::Int, 10, 0, kIntMax, "", {}, 0, true, 0, nullptr},
      {"factor_pivot_threshold", T::Double, 0.1, 8e-4, 0.5, "", {}, 0, true, 0, nullptr},
      {"factor_pivot_tolerance", T::Double, 1e-10, 0, 1, "", {}, 0, true, 0, nullptr},
      {"start_crossover_tolerance", T::Double, 1e-8, 1e-12, kInf, "", {}, 0, true, 0, nullptr},
      {"separators_aggregation_enabled", T::Bool, 0, 0, 0, "", {}, 0, true, 0, nullptr},
      {"nonlinear_optimization_enabled", T::Bool, 0, 0, 0, "", {}, 0, true, 0, nullptr},
      {"less_infeasible_DSE_check", T::Bool, 1, 0, 0, "", {}, 0, true, 0, nullptr},
      {"less_infeasible_DSE_choose_row", T::Bool, 1, 0, 0, "", {}, 0, true, 0, nullptr},
      {"multiprocess_prohibit_presolve_off_columns_count", T::Int, 12000, 0, kIntMax, "", {}, 0, true, 0, nullptr},
      {"multiprocess_max_process_count", T::Int, 0, 0, 16, "", {}, 1, true, 426, nullptr},
      {"multiprocess_control_block", T::String, 0, 0, 0, "", {}, 0, true, 0, nullptr},
      {"multiprocess", T::String, 0, 0, 0, "auto", {"off", "on", "auto"}, 0, false, 0, nullptr},
      {"temp_folder_path", T::String, 0, 0, 0, "", {}, 0, true, 0, nullptr},
      {"multiprocess_auto_column_count_threshold", T::Int, 50, 1, kIntMax, "", {}, 0, true, 0, nullptr},
      {"multiprocess_timeout_wait_time", T::Int, 60000, 0, 600000, "", {}, 0, true, 0, "Max wait time for workers by timeout, milliseconds, 0 - 600000 "},
      {"multiprocess_cpu_mask", T::String, 0, 0, 0, "auto", {}, 0, true, 0, nullptr},
      {"remote_solver_type", T::String, 0, 0, 0, "auto", {}, 0, true, 0, nullptr},
      {"http_proxy", T::String, 0, 0, 0, "", {}, 1, false, 418, nullptr},
      {"cleanup_working_folder", T::Bool, 1, 0, 0, "", {}, 0, true, 0, nullptr},
      {"write_zeroes_to_solution", T::Bool, 1, 0, 0, "", {}, 1, false, 431, nullptr},
      {"remote_timeout", T::Int, 300, 10, 600, "", {}, 1, true, 429, nullptr},
      {"multiprocess_set_worker_high_priority", T::Bool, 1, 0, 0, "", {}, 0, true, 0, nullptr},
      {"multiprocess_show_task_info", T::Bool, 0, 0, 0, "", {}, 0, true, 0, nullptr},
      {"multiprocess_force_feasible_mode_enabled", T::Bool, 1, 0, 0, "", {}, 0, true, 0, nullptr},
      {"emphasis_mip", T::Int, 0, 0, 6, "", {}, 0, true, 0, nullptr},
  };
  return table;
}

const int kRefusedValueMessage = 102;

// The default read back by name, and the record's default and bounds.
template <class Record, class Value>
void expectNumericRecord(const VeloriumOptions& options, const OptionRecord& record, const ExpectedOption& want,
                         OptionStatus (*get)(const VeloriumOptions&, std::string_view, Value&)) {
  Value value = -12345;
  ASSERT_EQ(get(options, want.name, value), OptionStatus::ok);
  EXPECT_EQ(value, want.default_number);
  const auto& typed = static_cast<const Record&>(record);
  EXPECT_EQ(typed.default_value, want.default_number);
  EXPECT_EQ(typed.lower_bound, want.lower);
  EXPECT_EQ(typed.upper_bound, want.upper);
}

TEST(OptionTable, FreshOptionsHoldEveryOptionInOrderAtItsDefault) {
  VeloriumOptions options;
  const auto& expected = expectedOptions();
  ASSERT_EQ(expected.size(), static_cast<std::size_t>(kOptionCount));
  ASSERT_EQ(options.records.size(), expected.size());
  int markers = 0;
  int advanced = 0;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const ExpectedOption& want = expected[i];
    const OptionRecord& record = *options.records[i];
    SCOPED_TRACE(want.name);
    EXPECT_EQ(record.name, want.name);
    EXPECT_EQ(find_option_index(options, want.name), static_cast<int>(i));
    EXPECT_EQ(record.type, want.type);
    EXPECT_EQ(record.marker, want.marker);
    EXPECT_EQ(record.advanced, want.advanced);
    if (want.description_message != 0) {
      EXPECT_EQ(record.description, get_message(want.description_message));
    } else if (want.description != nullptr) {
      EXPECT_EQ(record.description, want.description);
    } else {
      EXPECT_FALSE(record.description.empty());
    }
    markers += record.marker;
    advanced += record.advanced ? 1 : 0;

    switch (want.type) {
      case T::Bool: {
        bool value = !want.default_number;
        ASSERT_EQ(getBoolOption(options, want.name, value), OptionStatus::ok);
        EXPECT_EQ(value, want.default_number != 0);
        EXPECT_EQ(static_cast<const OptionRecordBool&>(record).default_value, want.default_number != 0);
        break;
      }
      case T::Int:
        expectNumericRecord<OptionRecordInt>(options, record, want, getIntOption);
        break;
      case T::Double:
        expectNumericRecord<OptionRecordDouble>(options, record, want, getDoubleOption);
        break;
      case T::String: {
        std::string value = "unset";
        ASSERT_EQ(getStringOption(options, want.name, value), OptionStatus::ok);
        EXPECT_EQ(value, want.default_text);
        const auto& string_record = static_cast<const OptionRecordString&>(record);
        EXPECT_EQ(std::vector<std::string>(string_record.allowed_values.begin(), string_record.allowed_values.end()),
                  [&] {
                    AllowedTexts sorted(want.allowed.begin(), want.allowed.end());
                    return std::vector<std::string>(sorted.begin(), sorted.end());
                  }());
        break;
      }
    }
  }
  EXPECT_EQ(markers, 19);
  EXPECT_EQ(advanced, 48);
}

TEST(OptionTable, TheFiveUnlimitedDoublesReadInfinity) {
  VeloriumOptions options;
  for (const char* name : {"time_limit", "objective_bound", "dual_steepest_edge_weight_error_tolerance",
                           "mip_start_completion_time_limit", "mip_start_completion_work_limit"}) {
    double value = 0;
    ASSERT_EQ(getDoubleOption(options, name, value), OptionStatus::ok) << name;
    EXPECT_EQ(value, kInf) << name;
  }
  // The fields themselves, which the library reads without a look-up.
  EXPECT_EQ(options.time_limit, kInf);
  EXPECT_EQ(options.remote_timeout, 300);
  EXPECT_EQ(options.presolve, "on");
  EXPECT_TRUE(options.output_flag);
}

// Every range takes its two ends and refuses the values just outside, logging the refused
// value; every restricted string option takes each allowed text in any case and refuses
// others; unrestricted ones take any text.
TEST(OptionTable, RangeEdgesAndAllowedTextsOfEveryOption) {
  CapturedOptions captured;
  VeloriumOptions& options = captured.options;
  for (const ExpectedOption& want : expectedOptions()) {
    SCOPED_TRACE(want.name);
    switch (want.type) {
      case T::Bool: {
        for (bool value : {true, false}) {
          ASSERT_EQ(setBoolOption(options, want.name, value), OptionStatus::ok);
          bool read = !value;
          ASSERT_EQ(getBoolOption(options, want.name, read), OptionStatus::ok);
          EXPECT_EQ(read, value);
        }
        break;
      }
      case T::Int: {
        const int lower = static_cast<int>(want.lower);
        const int upper = static_cast<int>(want.upper);
        int read = 0;
        EXPECT_EQ(setIntOption(options, want.name, lower), OptionStatus::ok);
        ASSERT_EQ(getIntOption(options, want.name, read), OptionStatus::ok);
        EXPECT_EQ(read, lower);
        EXPECT_EQ(setIntOption(options, want.name, upper), OptionStatus::ok);
        ASSERT_EQ(getIntOption(options, want.name, read), OptionStatus::ok);
        EXPECT_EQ(read, upper);
        if (lower > std::numeric_limits<int>::min()) {
          EXPECT_EQ(setIntOption(options, want.name, lower - 1), OptionStatus::illegal_value);
          EXPECT_EQ(captured.take(), std::vector<std::string>{errorLine(kRefusedValueMessage, want.name,
                                                                        std::to_string(lower - 1))});
        }
        if (upper < kIntMax) {
          EXPECT_EQ(setIntOption(options, want.name, upper + 1), OptionStatus::illegal_value);
          EXPECT_EQ(captured.take(), std::vector<std::string>{errorLine(kRefusedValueMessage, want.name,
                                                                        std::to_string(upper + 1))});
        }
        ASSERT_EQ(getIntOption(options, want.name, read), OptionStatus::ok);
        EXPECT_EQ(read, upper) << "a refused value leaves the option as it was";
        break;
      }
      case T::Double: {
        double read = 0;
        for (double edge : {want.lower, want.upper}) {
          EXPECT_EQ(setDoubleOption(options, want.name, edge), OptionStatus::ok);
          ASSERT_EQ(getDoubleOption(options, want.name, read), OptionStatus::ok);
          EXPECT_EQ(read, edge);
        }
        std::vector<double> outside = {std::nan("")};
        if (want.lower > -kInf) outside.push_back(std::nextafter(want.lower, -kInf));
        if (want.upper < kInf) outside.push_back(std::nextafter(want.upper, kInf));
        for (double value : outside) {
          EXPECT_EQ(setDoubleOption(options, want.name, value), OptionStatus::illegal_value) << value;
          EXPECT_EQ(captured.take(), std::vector<std::string>{errorLine(kRefusedValueMessage, want.name,
                                                                        formatString("%f", value))});
        }
        ASSERT_EQ(getDoubleOption(options, want.name, read), OptionStatus::ok);
        EXPECT_EQ(read, want.upper);
        break;
      }
      case T::String: {
        std::string read;
        if (want.allowed.empty()) {
          for (const char* text : {"", "any text, даже такой", "OFF"}) {
            EXPECT_EQ(setOptionFromString(options, want.name, text), OptionStatus::ok);
            ASSERT_EQ(getStringOption(options, want.name, read), OptionStatus::ok);
            EXPECT_EQ(read, text);
          }
          break;
        }
        for (const std::string& allowed : want.allowed) {
          const std::string shouted = toUpperCopy(allowed);
          EXPECT_EQ(setOptionFromString(options, want.name, shouted), OptionStatus::ok);
          ASSERT_EQ(getStringOption(options, want.name, read), OptionStatus::ok);
          EXPECT_EQ(read, shouted) << "the text is kept as given";
        }
        for (const char* refused : {"", "medium", "auto "}) {
          EXPECT_EQ(setOptionFromString(options, want.name, refused), OptionStatus::illegal_value);
          EXPECT_EQ(captured.take(), std::vector<std::string>{errorLine(kRefusedValueMessage, want.name, refused)});
        }
        break;
      }
    }
    EXPECT_TRUE(captured.take().empty());
    // Back to the default, so that output_flag and the time stamps do not stay changed.
    options.records[static_cast<std::size_t>(find_option_index(options, want.name))]->resetToDefault();
    options.log_to_console = false;
  }
}

}  // namespace
}  // namespace velorium

// How the figures of a local engine run read as results.
#pragma once

#include <cstdint>

#include "core/engine/solve_pipeline.hpp"
#include "velorium/velorium.hpp"

namespace velorium::cpp_impl {

// The engine's model status as a solution status: 6 and 7 optimal, 8 infeasible, 9 infeasible
// or unbounded, 10 unbounded, 11 to 16 feasible unless the objective value is infinite
// (invalid then), 19 imprecise, anything else invalid.
solution_status solution_status_from_engine(std::int32_t model_status, double objective_value) noexcept;

// Fail for an invalid or imprecise solution, else success.
solve_result solve_result_from_status(solution_status status) noexcept;

// The relative gap a result reports: 0 for status 6, and 0 for status 7 when the gap is
// +infinity, the objective value finite and equal to the best bound; else the engine's gap.
double corrected_relative_gap(const SolveInfo& info) noexcept;

// The status an IIS result reports: 2 infeasible (engine status 8), 1 for engine status 18,
// 0 otherwise.
int iis_model_status(std::int32_t model_status) noexcept;

}  // namespace velorium::cpp_impl

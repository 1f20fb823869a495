// What the model requires of a local calculation engine: one per-run object, made by the
// core object for a run with a given option set. No engine is part of this library; the core
// object always fails to make one (see Kernel::create_pipeline).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "core/records/model.hpp"
#include "formats/solution/solution_data.hpp"

namespace velorium {
class VeloriumNamesHolder;
}

namespace velorium::cpp_impl {

// Start values by variable name.
using StartValues = std::unordered_map<std::string, double>;

// The figures of a run. The model status codes are the engine's; the result objects map them
// (6 and 7 optimal, 8 infeasible, 9 infeasible or unbounded, 10 unbounded, 11 to 16 feasible,
// 18 an IIS that is not proven infeasible, 19 imprecise).
struct SolveInfo {
  double objective_value = 0.0;
  double best_bound = 0.0;
  double relative_gap = 0.0;
  std::int64_t processed_nodes = 0;
  std::int32_t iterations = 0;
  std::int32_t model_status = 0;
  double solve_time = 0.0;  // seconds
  // IIS runs only.
  bool iis_minimal = false;
  std::int32_t iis_constraints = 0;
  std::int32_t iis_bounds = 0;
  double iis_time = 0.0;  // seconds
};

// Called in this order: SetEngineString, SetModel, SetMipStart (only when there are start
// values), Run; then the getters. The task of Run is the option `called_method` of the option
// set the pipeline was made for ("solve" or "compute_iis"). Destroying the object ends the run.
class SolvePipeline {
 public:
  virtual ~SolvePipeline() = default;

  virtual void SetEngineString(const std::string& engine_string) = 0;
  // The flat model; released right after the call, so the pipeline keeps what it needs.
  virtual void SetModel(const Model& model) = 0;
  virtual void SetMipStart(const StartValues& start_values) = 0;
  // True on success.
  virtual bool Run() = 0;
  // Empty when there is none.
  virtual std::string GetRunError() = 0;
  virtual SolveInfo GetInfo() = 0;
  // The solution keyed by the names of the model's members.
  virtual SolutionData GetSolution() = 0;
  // The irreducible infeasible set; its name ids belong to GetNamesHolder.
  virtual std::shared_ptr<Model> GetIisModel() = 0;
  // The engine's own pool of names; it lives as long as the pipeline.
  virtual const VeloriumNamesHolder& GetNamesHolder() = 0;
};

}  // namespace velorium::cpp_impl

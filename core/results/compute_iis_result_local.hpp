// The result of a local computation of an irreducible infeasible set.
#pragma once

#include <memory>

#include "core/base/error_info_base.hpp"
#include "core/engine/solve_pipeline.hpp"
#include "core/records/model.hpp"

namespace velorium::cpp_impl {

// Copies the figures and the set out of the pipeline, which it then destroys; depends on no
// model afterwards. The set's names are ids of the process-wide pool.
class ComputeIisResultLocal final : public ErrorInfoBase<IComputeIisResult> {
 public:
  explicit ComputeIisResultLocal(std::unique_ptr<SolvePipeline> pipeline);

  solve_result GetComputeIisResult() override;
  int GetModelStatus() override;
  bool GetMinimal() override;
  std::int32_t GetNumConstraints() override;
  std::int32_t GetNumBounds() override;
  double GetComputeIisTime() override;
  // Writes the set as an LP file, logging nothing; 378 when it cannot be written.
  void WriteIis(const char* file_name) override;

  // The set (never null: empty when the engine gave none).
  const Model& iis_model() const noexcept { return *set_; }

 private:
  SolveInfo info_;
  std::shared_ptr<Model> set_;
};

// Replaces the name ids of the variables and rows of `model`, which belong to `engine_pool`,
// by the ids of the same texts in the process-wide pool (adding the texts that are new there).
// An id without a text in `engine_pool` becomes -1.
void names_from_engine(Model& model, const VeloriumNamesHolder& engine_pool);

}  // namespace velorium::cpp_impl

// A stand-in local engine for tests: while a FakeEngine lives, the core object makes its
// pipelines, which record what the model hands them and report what the test prepared.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/base/kernel.hpp"
#include "core/engine/solve_pipeline.hpp"
#include "core/names/names_holder.hpp"
#include "core/records/model.hpp"

namespace velorium::test {

class FakeEngine {
 public:
  // Installs the engine; only one may live at a time.
  FakeEngine();
  ~FakeEngine();
  FakeEngine(const FakeEngine&) = delete;
  FakeEngine& operator=(const FakeEngine&) = delete;

  // What the next runs do.
  bool throw_on_create = false;
  std::string create_error;  // the text thrown when throw_on_create is set
  bool return_null = false;  // the factory gives no pipeline
  bool run_succeeds = true;
  std::string run_error;
  cpp_impl::SolveInfo info;
  SolutionData solution;
  std::shared_ptr<Model> iis_model;  // name ids of engine_pool()

  // What the last pipeline was given.
  int pipelines_made = 0;
  int pipelines_alive = 0;
  std::string engine_string;
  std::string called_method;
  std::optional<Model> model;
  std::optional<cpp_impl::StartValues> start_values;
  bool ran = false;

  // The engine's own pool of names, separate from the process-wide one.
  VeloriumNamesHolder& engine_pool() { return engine_pool_; }
  // The id of `name` in the engine's pool.
  std::int32_t engine_name(std::string_view name);

  // A pipeline of this engine, for building result objects directly.
  std::unique_ptr<cpp_impl::SolvePipeline> make_pipeline(const std::string& called_method = "solve");

 private:
  class Pipeline;
  static std::unique_ptr<cpp_impl::SolvePipeline> create(const VeloriumOptions& options);

  VeloriumNamesHolder engine_pool_;
  cpp_impl::PipelineFactory previous_ = nullptr;
};

}  // namespace velorium::test

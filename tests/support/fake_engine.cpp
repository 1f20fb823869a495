#include "fake_engine.hpp"

#include <stdexcept>

#include "core/base/kernel.hpp"
#include "core/options/velorium_options.hpp"

namespace velorium::test {

namespace {
FakeEngine* current_engine = nullptr;
}

class FakeEngine::Pipeline final : public cpp_impl::SolvePipeline {
 public:
  Pipeline(FakeEngine& engine, std::string called_method) : engine_(engine) {
    ++engine_.pipelines_made;
    ++engine_.pipelines_alive;
    engine_.called_method = std::move(called_method);
    engine_.engine_string.clear();
    engine_.model.reset();
    engine_.start_values.reset();
    engine_.ran = false;
  }
  ~Pipeline() override { --engine_.pipelines_alive; }

  void SetEngineString(const std::string& text) override { engine_.engine_string = text; }
  void SetModel(const Model& model) override { engine_.model = model; }
  void SetMipStart(const cpp_impl::StartValues& values) override { engine_.start_values = values; }
  bool Run() override {
    engine_.ran = true;
    return engine_.run_succeeds;
  }
  std::string GetRunError() override { return engine_.run_error; }
  cpp_impl::SolveInfo GetInfo() override { return engine_.info; }
  SolutionData GetSolution() override { return engine_.solution; }
  std::shared_ptr<Model> GetIisModel() override { return engine_.iis_model; }
  const VeloriumNamesHolder& GetNamesHolder() override { return engine_.engine_pool_; }

 private:
  FakeEngine& engine_;
};

FakeEngine::FakeEngine() {
  if (current_engine) throw std::logic_error("one FakeEngine at a time");
  current_engine = this;
  previous_ = cpp_impl::exchange_pipeline_factory_for_testing(&FakeEngine::create);
}

FakeEngine::~FakeEngine() {
  cpp_impl::exchange_pipeline_factory_for_testing(previous_);
  current_engine = nullptr;
}

std::int32_t FakeEngine::engine_name(std::string_view name) {
  return static_cast<std::int32_t>(engine_pool_.find_or_add_name(name));
}

std::unique_ptr<cpp_impl::SolvePipeline> FakeEngine::make_pipeline(const std::string& method) {
  return std::make_unique<Pipeline>(*this, method);
}

std::unique_ptr<cpp_impl::SolvePipeline> FakeEngine::create(const VeloriumOptions& options) {
  FakeEngine& engine = *current_engine;
  if (engine.throw_on_create) throw std::runtime_error(engine.create_error);
  if (engine.return_null) return nullptr;
  return engine.make_pipeline(options.called_method);
}

}  // namespace velorium::test

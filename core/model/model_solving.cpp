// Local solving and IIS computation through the core object's engine, and the remote
// operations through the calculation client.
#include <exception>
#include <memory>
#include <vector>

#include "cloud/nimbrova_client.hpp"
#include "cloud/remote_request_preparation.hpp"
#include "cloud/service_requests.hpp"
#include "cloud/solve_result_remote.hpp"
#include "core/base/kernel.hpp"
#include "core/model/model_impl.hpp"
#include "core/results/compute_iis_result_local.hpp"
#include "core/results/solve_result_local.hpp"
#include "core/store/model_builder.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"

namespace velorium::cpp_impl {

namespace {

constexpr int kPipelineNotCreated = 395;
constexpr int kSolveFailed = 400;
constexpr int kIisFailed = 401;
constexpr int kRemoteLogFailed = 399;

}  // namespace

std::unique_ptr<SolvePipeline> ModelImpl::create_solve_pipeline(const VeloriumOptions& run_options,
                                                                std::vector<std::int32_t>& variable_map,
                                                                std::vector<std::int32_t>& row_map) noexcept {
  const Kernel* kernel = current_kernel();
  if (!kernel) {
    SetError(kKernelInitErrorText, -1);
    return nullptr;
  }
  clear_error();
  std::unique_ptr<SolvePipeline> pipeline;
  try {
    pipeline = kernel->create_pipeline(run_options);
  } catch (const std::exception& e) {
    SetError(*e.what() ? e.what() : get_message(kPipelineNotCreated), -1);
    return nullptr;
  } catch (...) {
    SetError(get_message(kPipelineNotCreated), -1);
    return nullptr;
  }
  if (!pipeline) {
    SetError(get_message(kPipelineNotCreated), -1);
    return nullptr;
  }
  try {
    pipeline->SetEngineString(engine_string);
    std::shared_ptr<Model> flat;
    builder->build_model(flat, variable_map, row_map);
    pipeline->SetModel(*flat);
    flat.reset();
    if (start_values_pending || !start_values.empty()) {
      pipeline->SetMipStart(start_values);
      start_values.clear();
      start_values_pending = false;
    }
  } catch (...) {
    store_current_exception();
    return nullptr;
  }
  return pipeline;
}

template <class Result, class MakeResult>
Result* ModelImpl::run_local(const VeloriumOptions& run_options, int run_failure_message,
                             MakeResult&& make_result) noexcept {
  std::vector<std::int32_t> variable_map;
  std::vector<std::int32_t> row_map;
  std::unique_ptr<SolvePipeline> pipeline = create_solve_pipeline(run_options, variable_map, row_map);
  if (!pipeline) return nullptr;
  try {
    if (!pipeline->Run()) {
      const std::string reason = pipeline->GetRunError();
      SetError(reason.empty() ? get_message(run_failure_message) : reason.c_str(), -1);
      return nullptr;
    }
    return make_result(std::move(pipeline), variable_map, row_map);
  } catch (...) {
    store_current_exception();
    return nullptr;
  }
}

ISolveResult* ModelImpl::Solve() {
  return run_local<ISolveResult>(options, kSolveFailed, [this](std::unique_ptr<SolvePipeline> pipeline,
                                                               const std::vector<std::int32_t>& variable_map,
                                                               const std::vector<std::int32_t>& row_map) {
    return new SolveResultLocal(builder, std::move(pipeline), variable_map, row_map);
  });
}

IComputeIisResult* ModelImpl::ComputeIis() {
  std::unique_ptr<VeloriumOptions> iis_options;
  try {
    // A copy, so that the model's own options keep "solve".
    iis_options = std::make_unique<VeloriumOptions>(options);
    iis_options->called_method = "compute_iis";
  } catch (...) {
    clear_error();
    store_current_exception();
    return nullptr;
  }
  return run_local<IComputeIisResult>(*iis_options, kIisFailed,
                                      [](std::unique_ptr<SolvePipeline> pipeline, const std::vector<std::int32_t>&,
                                         const std::vector<std::int32_t>&) {
                                        return new ComputeIisResultLocal(std::move(pipeline));
                                      });
}

ISolveResult* ModelImpl::SolveRemote(const char* name_mapping_file) {
  clear_error();
  if (!current_kernel()) {
    SetError(kKernelInitErrorText, -1);
    return nullptr;
  }
  try {
    nimbrova::RemoteRequest request =
        nimbrova::prepare_remote_request(*this, name_mapping_file ? name_mapping_file : "", /*handle_interrupts=*/true);
    if (!request.client) return nullptr;  // the model file was not written: nothing is sent
    nimbrova::RemoteCalculationResult calculation = request.client->solve();
    last_calc_uid = request.client->get_calc_uid();
    return new SolveResultRemote(builder, std::move(calculation), request.written_to_model);
  } catch (...) {
    store_current_exception();
    return nullptr;
  }
}

void ModelImpl::SolveRemoteAsync(const char* name_mapping_file) {
  clear_error();
  if (!current_kernel()) {
    SetError(kKernelInitErrorText, -1);
    return;
  }
  try {
    // The caller's map is written as for a synchronous solve: a result fetched later with it
    // finds every member the writer renamed.
    nimbrova::RemoteRequest request =
        nimbrova::prepare_remote_request(*this, name_mapping_file ? name_mapping_file : "");
    if (!request.client) return;
    request.client->solve_async();
    last_calc_uid = request.client->get_calc_uid();
  } catch (...) {
    store_current_exception();
  }
}

const char* ModelImpl::GetRemoteSolveLog(const char* calc_uid) {
  clear_error();
  try {
    const nimbrova::Client client(nullptr, remote_params, nullptr);
    remote_log = nimbrova::download_log(calc_uid ? calc_uid : "", 0, nimbrova::kFetchTimeout);
    return remote_log.c_str();
  } catch (const std::exception& e) {
    SetError(formatString(get_message(kRemoteLogFailed), e.what()).c_str(), -1);
    return nullptr;
  }
}

}  // namespace velorium::cpp_impl

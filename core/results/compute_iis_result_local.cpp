#include "core/results/compute_iis_result_local.hpp"

#include "core/log/log_options.hpp"
#include "core/names/names_holder.hpp"
#include "core/results/engine_status.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"
#include "formats/lp/lp_writer.hpp"

namespace velorium::cpp_impl {

namespace {

std::int32_t process_pool_id(std::int32_t engine_id, const VeloriumNamesHolder& engine_pool,
                             VeloriumNamesHolder& process_pool) {
  const char* text = engine_pool.names_holder_get(engine_id);
  if (!text) return -1;
  return static_cast<std::int32_t>(process_pool.find_or_add_name(engine_pool.name_view(engine_id)));
}

}  // namespace

void names_from_engine(Model& model, const VeloriumNamesHolder& engine_pool) {
  VeloriumNamesHolder& process_pool = names_pool();
  if (&engine_pool == &process_pool) return;
  for (Variable& variable : model.variables) {
    variable.name_id = process_pool_id(variable.name_id, engine_pool, process_pool);
  }
  for (Constraint& row : model.rows) {
    row.expression.name_id = process_pool_id(row.expression.name_id, engine_pool, process_pool);
  }
}

ComputeIisResultLocal::ComputeIisResultLocal(std::unique_ptr<SolvePipeline> pipeline)
    : info_(pipeline->GetInfo()), set_(pipeline->GetIisModel()) {
  // The pipeline's set may be shared with the engine: the renaming works on a copy.
  set_ = set_ ? std::make_shared<Model>(*set_) : std::make_shared<Model>();
  names_from_engine(*set_, pipeline->GetNamesHolder());
  pipeline.reset();
}

solve_result ComputeIisResultLocal::GetComputeIisResult() {
  clear_error();
  return iis_model_status(info_.model_status) == 0 ? solve_result::fail : solve_result::success;
}

int ComputeIisResultLocal::GetModelStatus() {
  clear_error();
  return iis_model_status(info_.model_status);
}

bool ComputeIisResultLocal::GetMinimal() {
  clear_error();
  return info_.iis_minimal;
}

std::int32_t ComputeIisResultLocal::GetNumConstraints() {
  clear_error();
  return info_.iis_constraints;
}

std::int32_t ComputeIisResultLocal::GetNumBounds() {
  clear_error();
  return info_.iis_bounds;
}

double ComputeIisResultLocal::GetComputeIisTime() {
  clear_error();
  return info_.iis_time;
}

void ComputeIisResultLocal::WriteIis(const char* file_name) {
  guarded([&] {
    // Log options without file, hook or flags: the writer logs nothing.
    const VeloriumLogOptions silent;
    if (!file_name || LpWriter().writeModelToFile(silent, file_name, *set_) != kVeloriumStatusOk) {
      SetError(formatString(get_message(378), file_name ? file_name : "null").c_str(), -1);
    }
  });
}

}  // namespace velorium::cpp_impl

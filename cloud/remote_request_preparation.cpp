#include "cloud/remote_request_preparation.hpp"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

#include "cloud/block_gzip.hpp"
#include "cloud/client_log.hpp"
#include "cloud/gzip_while_writing.hpp"
#include "core/model/model_impl.hpp"
#include "core/names/names_holder.hpp"
#include "core/store/model_builder.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"
#include "formats/common/text_output.hpp"
#include "formats/export/export_model.hpp"
#include "formats/export/legal_names.hpp"
#include "formats/solution/solution_writer.hpp"

namespace velorium::nimbrova {

namespace {

constexpr double kUnlimitedTime = 1000000.0;
constexpr int kWarning = 71;
constexpr int kVariableMissing = 136;

// The flat model of `model`'s store, as its writers write it, with the store-to-flat index
// table of the variables (empty: the same indices) and, only when the writer changed names,
// the export copy that tells the written names.
struct WrittenNames {
  std::shared_ptr<Model> flat;
  std::vector<std::int32_t> variable_map;
  std::vector<std::int32_t> row_map;
  std::unique_ptr<ExportModel> copy;
};

// True when every column and every row is written under its own name: all legal, none twice
// within its kind. Member names are interned with find_or_add_name, so equal texts share one
// id and a repeat shows in a table of seen ids, with no hashing of texts; far cheaper than
// the export copy that would otherwise tell.
bool written_unchanged(const Model& flat) {
  const VeloriumNamesHolder& pool = names_pool();
  std::vector<bool> seen;
  const auto all_kept = [&pool, &seen](std::size_t count, auto name_id_at) {
    seen.assign(pool.size(), false);
    for (std::size_t i = 0; i < count; ++i) {
      const std::int32_t id = name_id_at(i);
      const std::string_view name = pool.name_view(id);
      if (!name.data() || !isLegalName(name) || seen[static_cast<std::size_t>(id)]) return false;
      seen[static_cast<std::size_t>(id)] = true;
    }
    return true;
  };
  return all_kept(flat.variables.size(), [&flat](std::size_t i) { return flat.variables[i].name_id; }) &&
         all_kept(flat.rows.size(), [&flat](std::size_t i) { return flat.rows[i].expression.name_id; });
}

WrittenNames written_names(cpp_impl::ModelBuilder& store) {
  WrittenNames names;
  store.build_model(names.flat, names.variable_map, names.row_map);
  if (!written_unchanged(*names.flat)) {
    names.copy = std::make_unique<ExportModel>(buildExportModel(*names.flat, ExportContent::names_only));
  }
  return names;
}

template <class Records>
void add_renamed(const Records& records, NameMap& written_to_model) {
  for (const auto& [model_name, written] : collectRenamedNames(records)) {
    written_to_model.emplace(std::string(written), std::string(model_name));
  }
}

}  // namespace

void fill_remote_parameters(cpp_impl::ModelImpl& model) {
  RemoteParameters& parameters = model.remote_parameters();
  const std::string solver = model.GetStringParamCopy("remote_solver_type");
  parameters.string_params["solver"] = solver == "auto" ? "best" : solver;
  parameters.string_params["presolve"] = model.GetStringParamCopy("presolve");
  parameters.int_params["remote_timeout"] = model.GetIntParam("remote_timeout");
  std::string proxy = model.GetStringParamCopy("http_proxy");
  if (proxy.empty()) {
    if (const char* from_environment = std::getenv("VELORIUM_HTTP_PROXY")) proxy = from_environment;
  }
  if (!proxy.empty()) parameters.string_params["http_proxy"] = proxy;
  parameters.string_params["problem_type"] = model.GetObjectiveSense() == objective_sense::maximize ? "max" : "min";
  const double time_limit = model.GetDblParam("time_limit");
  parameters.double_params["time_limit"] = std::isinf(time_limit) ? kUnlimitedTime : time_limit;
  parameters.double_params["gap"] = model.GetDblParam("mip_rel_gap");
  parameters.double_params["abs_gap"] = model.GetDblParam("mip_abs_gap");
  parameters.double_params["primal_feasibility_tolerance"] = model.GetDblParam("primal_feasibility_tolerance");
  parameters.double_params["mip_feasibility_tolerance"] = model.GetDblParam("mip_feasibility_tolerance");
  parameters.bool_params["log_to_console"] = model.GetBoolParam("log_to_console");
  const std::string log_file = model.GetStringParamCopy("log_file");
  if (!log_file.empty()) parameters.string_params["log_file"] = log_file;
}

std::string remote_model_file_name(const std::string& model_name) {
  if (model_name.empty()) return "temp.mps";
  std::string name = model_name;
  for (char& c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '/' || c == '\\' || c == '"' || byte < 0x20 || byte == 0x7F) c = '_';
  }
  std::string lower = name;
  for (char& c : lower) c = toLowerAscii(c);
  return lower.ends_with(".mps") || lower.ends_with(".lp") ? name : name + ".mps";
}

RemoteRequest prepare_remote_request(cpp_impl::ModelImpl& model, const std::string& name_mapping_file,
                                     bool handle_interrupts) {
  auto interrupts = handle_interrupts ? std::make_unique<InterruptCancel>() : nullptr;
  fill_remote_parameters(model);
  auto folder = std::make_unique<PrivateFolder>(model.GetStringParamCopy("temp_folder_path"), "velorium-remote-");
  const char* model_name = model.GetName();
  const std::string file_name = remote_model_file_name(model_name ? model_name : "");
  std::unique_ptr<TemporaryFile> model_file = folder->file(file_name);
  RemoteRequest request;
  // Compressed as it is written; the rest of the preparation runs beside the last blocks.
  GzipWhileWriting compressing(folder->file(file_name + ".gz"), gzip_workers_for_this_machine());
  {
    const ScopedTextOutputTap tap(model_file->path(), compressing);
    model.Write(model_file->path().c_str(), name_mapping_file.c_str());
  }
  if (model.GetErrorCode() != 0) return request;

  // Where the writer changed names, results must come back under the model's own and start
  // values go out under the written ones.
  cpp_impl::ModelBuilder& store = *model.store();
  NameMap model_to_written;
  std::optional<WrittenNames> written;
  if (!name_mapping_file.empty()) {
    request.written_to_model = readNameMap(name_mapping_file, kNameMapGeneratedToModel);
    model_to_written = readNameMap(name_mapping_file, kNameMapModelToGenerated);
  } else {
    written = written_names(store);
    if (written->copy) {
      add_renamed(written->copy->columns, request.written_to_model);
      add_renamed(written->copy->rows, request.written_to_model);
    }
  }

  std::unique_ptr<TemporaryFile> start_file;
  std::vector<std::string> left_out;
  if (!model.mip_start_values().empty()) {
    SolutionData start;
    start.write_zeros = true;
    for (const auto& [name, value] : model.mip_start_values()) {
      std::int32_t index = -1;
      try {
        index = store.find_variable_index(name);
      } catch (const velorium_exception&) {
      }
      if (index < 0) {
        left_out.push_back(name);
      } else if (written && !written->copy) {
        start.values[name] = value;  // written under its own name
      } else if (written) {
        const std::size_t flat =
            written->variable_map.empty() ? static_cast<std::size_t>(index)
                                          : static_cast<std::size_t>(written->variable_map[static_cast<std::size_t>(index)]);
        start.values[std::string(written->copy->columns[flat].name)] = value;
      } else if (const auto found = model_to_written.find(name); found != model_to_written.end()) {
        start.values[found->second] = value;
      } else {
        left_out.push_back(name);
      }
    }
    start_file = folder->file("start.sol");
    if (!writeSolutionFile(start, start_file->path())) {
      throw std::runtime_error("cannot write the start values to " + start_file->path());
    }
  }
  std::unique_ptr<TemporaryFile> model_member = compressing.finish(model_file->path());
  request.client = std::make_unique<Client>(std::move(model_file), model.remote_parameters(), std::move(start_file),
                                            std::move(folder), std::move(model_member), std::move(interrupts));
  for (const std::string& name : left_out) {
    log_line(get_message(kWarning) + formatString(get_message(kVariableMissing), name.c_str()) + "\n");
  }
  return request;
}

}  // namespace velorium::nimbrova

#include "formats/namemap/renamed_model.hpp"

#include "core/names/names_holder.hpp"
#include "formats/namemap/generated_names.hpp"

namespace velorium {

namespace {
std::int32_t internName(VeloriumNamesHolder& names, std::string_view name) {
  return static_cast<std::int32_t>(names.find_or_add_name(name));
}

// Renames one member: records (old name, new name) when the member had a name, and points
// its name id at the generated name.
void rename(NameMapEntries& entries, VeloriumNamesHolder& names, std::int32_t& name_id, std::string generated) {
  const char* old_name = names.names_holder_get(name_id);
  const std::int32_t new_id = internName(names, generated);
  // A member without a name has nothing to map back to; its generated name stands alone.
  if (old_name != nullptr) entries.push_back({std::string(names.name_view(name_id)), std::move(generated)});
  name_id = new_id;
}
}  // namespace

NameMapEntries buildNameMap(Model& model, VeloriumNamesHolder& names) {
  NameMapEntries entries;
  entries.reserve(1 + model.variables.size() + model.rows.size());
  rename(entries, names, model.objective.name_id, kGeneratedObjectiveName);
  for (std::size_t i = 0; i < model.variables.size(); ++i) {
    rename(entries, names, model.variables[i].name_id, formatIndexedName(kGeneratedVariablePrefix, i));
  }
  for (std::size_t i = 0; i < model.rows.size(); ++i) {
    rename(entries, names, model.rows[i].expression.name_id, formatIndexedName(kGeneratedRowPrefix, i));
  }
  return entries;
}

RenamedModel::RenamedModel(const Model* source, VeloriumNamesHolder* names, const std::string& name_map_path,
                           const VeloriumLogOptions* log) {
  if (source == nullptr) return;
  model_ = std::make_shared<Model>(*source);
  if (names == nullptr) {
    name_map_written_ = false;
    return;
  }
  name_map_written_ = writeNameMap(name_map_path, buildNameMap(*model_, *names), log);
}

}  // namespace velorium

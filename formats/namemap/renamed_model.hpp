// The copy of a model that carries generated names ("objective", "x0", "x1", ..., "c0",
// "c1", ...) in place of the model's own, written when a model file goes out together with
// a name-map file.
#pragma once

#include <memory>
#include <string>

#include "core/records/model.hpp"
#include "formats/namemap/name_map_file.hpp"

namespace velorium {

class VeloriumNamesHolder;

// Gives `model` the generated names, interning them in `names`, and returns one entry per
// renamed member: the objective (when it had a name), then every named variable and every
// named row, in the model's order. General constraints and SOS sets keep their names.
NameMapEntries buildNameMap(Model& model, VeloriumNamesHolder& names);

class RenamedModel {
 public:
  // Copies `source` (the source is not changed), renames the copy and writes the name-map
  // file at `name_map_path`. A null source gives no copy and writes nothing; without a pool
  // the copy cannot be renamed, which counts as a map that could not be written. A map that
  // cannot be written is logged through `log` when it is not null.
  RenamedModel(const Model* source, VeloriumNamesHolder* names, const std::string& name_map_path,
               const VeloriumLogOptions* log = nullptr);

  // The copy with generated names; null when no source was given.
  const std::shared_ptr<Model>& model() const { return model_; }
  // False when the copy could not be renamed or the map file was due but could not be
  // written; the model file must then not be written either, as its names could not be
  // mapped back.
  bool nameMapWritten() const { return name_map_written_; }

 private:
  std::shared_ptr<Model> model_;
  bool name_map_written_ = true;
};

}  // namespace velorium

// The model store's exchange with model files: taking over a model that the import/export
// object reads, and writing a flat model out through it.
#pragma once

#include <cstdint>
#include <string>

#include "core/log/log_options.hpp"
#include "core/records/model.hpp"
#include "velorium/velorium.hpp"

namespace velorium::cpp_impl {

class ModelBuilder;

// Fills the fresh store `builder` (made shared, without members) with the model that `front`
// reads from `path` in `mode` (0 by extension, 1 MPS, 2 LP); the read model is moved in, not
// copied. Every member is live afterwards and the general constraints are rebuilt from the
// records, all of which are checked before the first tree is made. The reader logs through
// `log` (the model's log), or, when it is null, where a fresh default option set sends it (the
// console). Throws velorium_exception: 117 with the path when the
// file cannot be read, followed by ": " and why (the errors the reader logged, the system's
// reason when the file does not open, the extension that chooses no format); the fixed text
// "Не удалось прочитать ограничение %s\n" with a record's name when it does not describe a
// complete tree. A failed load leaves `builder` half filled: the caller drops it.
void load_model(ModelBuilder& builder, IModelImportExport& front, const char* path, std::uint8_t mode,
                const VeloriumLogOptions* log);

// Writes `flat` through `front` to `path` in `mode`. With a non-empty name-map path a copy with
// generated names is written instead, and the map file first: when the map cannot be written,
// nothing else is; a path or mode that gives no format writes no map, and a model file that
// cannot be written takes its map away again. The writer logs through `log`, or, when it is
// null, through a fresh default option set. Throws velorium_exception 118 with the path when
// either file cannot be written, followed by ": " and why (the errors the writer logged: the
// system's reason for a file that cannot be created or written whole; the extension that
// chooses no format).
void export_flat_model(IModelImportExport& front, const Model& flat, const char* path, std::uint8_t mode,
                       const std::string& name_map_path, VeloriumLogOptions* log);

// Builds the flat model of `builder` (without removed members) and writes it as
// export_flat_model does.
void write_model(ModelBuilder& builder, IModelImportExport& front, const char* path, std::uint8_t mode,
                 const std::string& name_map_path, VeloriumLogOptions* log);

}  // namespace velorium::cpp_impl

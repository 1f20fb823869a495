// LP files to and from the engine-side form of a model.
#pragma once

#include <string>

#include "core/log/log_options.hpp"
#include "formats/engine/velorium_model.hpp"
#include "formats/export/model_file_writer.hpp"

namespace velorium {

// Reads an LP file with the LP reader and fills `model` (expected empty) from what it read,
// with a column-wise matrix. Returns the reader's result: 0 read, 1 the file cannot be
// opened, 2 not a legal LP file; `model` is filled only on 0.
int readModelFile(const VeloriumLogOptions& log, const std::string& path, VeloriumModel& model);

// Writes `model` as an LP file, under the names the pool gives its ids (unchanged, not made
// legal; " x<j+1>" and " con<r+1>" for ids that name nothing). The objective's quadratic
// block is the Hessian's lower triangle, off-diagonal entries doubled, over "/2": the
// quadratic part written is half of the model's. Returns 0; -1 when the file cannot be
// created (catalogue message 69 as an error) or not written whole (message 118). The model
// itself is not changed. Throws velorium_exception (catalogue message 110) when its arrays
// do not fit its counts or its matrix or Hessian does not hold together.
VeloriumStatus writeEngineModelToFile(const VeloriumLogOptions& log, const std::string& path,
                                      const VeloriumModel& model);

// The text that writeEngineModelToFile puts in the file.
std::string writeEngineModelToText(const VeloriumModel& model);

}  // namespace velorium

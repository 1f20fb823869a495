// Helpers of the MPS reader tests: read a text as an MPS file and capture the log.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/names/names_holder.hpp"
#include "core/records/model.hpp"
#include "formats/mps/mps_reader.hpp"
#include "support/log_capture.hpp"
#include "support/scratch_dir.hpp"
#include "support/test_models.hpp"

namespace velorium::mps_test {

using test::LogCapture;
using test::readFileBytes;
using test::LoggedText;
using test::ScratchDir;

struct MpsRead {
  std::string path;  // the file that was read, gone once a text's scratch folder is
  std::shared_ptr<Model> model;
  std::vector<LoggedText> messages;
  std::string log;  // all messages one after another
};

inline MpsRead readMpsPath(const std::string& path) {
  LogCapture capture;
  MpsRead result;
  result.path = path;
  result.model = readMpsFile(capture.options(), path);
  result.messages = capture.texts();
  result.log = capture.all();
  return result;
}

inline MpsRead readMpsText(std::string_view text, std::string_view file_name = "model.mps") {
  ScratchDir dir;
  return readMpsPath(dir.write(file_name, text));
}

inline const Constraint* findRowNamed(const Model& model, std::string_view name) {
  for (const Constraint& row : model.rows) {
    if (test::nameText(row.expression.name_id) == name) return &row;
  }
  return nullptr;
}

inline std::int32_t columnNamed(const Model& model, std::string_view name) {
  for (std::size_t i = 0; i < model.variables.size(); ++i) {
    if (test::nameText(model.variables[i].name_id) == name) return static_cast<std::int32_t>(i);
  }
  return -1;
}

}  // namespace velorium::mps_test

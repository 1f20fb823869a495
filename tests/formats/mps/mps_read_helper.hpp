// Helpers of the MPS reader tests: read a text as an MPS file and capture the log.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
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

// One reading, with COLUMNS shared out among threads as the machine allows.
inline MpsRead readMpsPathOnce(const std::string& path) {
  LogCapture capture;
  MpsRead result;
  result.path = path;
  result.model = readMpsFile(capture.options(), path);
  result.messages = capture.texts();
  result.log = capture.all();
  return result;
}

// Sets how COLUMNS is shared out among threads for the life of the object.
class ColumnsThreadingScope {
 public:
  explicit ColumnsThreadingScope(const mps_detail::ColumnsThreading& threading) : before_(mps_detail::columnsThreading()) {
    mps_detail::setColumnsThreading(threading);
  }
  ~ColumnsThreadingScope() { mps_detail::setColumnsThreading(before_); }
  ColumnsThreadingScope(const ColumnsThreadingScope&) = delete;
  ColumnsThreadingScope& operator=(const ColumnsThreadingScope&) = delete;

 private:
  mps_detail::ColumnsThreading before_;
};

inline mps_detail::ColumnsThreading threadsOnly() { return {.workers = 0, .batch_bytes = 0, .piece_bytes = 0, .minimum_bytes = 0, .forced = false}; }
inline mps_detail::ColumnsThreading forcedThreads(std::size_t workers, std::size_t batch_bytes, std::size_t piece_bytes) {
  return {.workers = workers, .batch_bytes = batch_bytes, .piece_bytes = piece_bytes, .minimum_bytes = 0, .forced = true};
}
// Threads that never start: the section is read line by line.
inline mps_detail::ColumnsThreading noThreads() {
  return {.workers = 0, .batch_bytes = 0, .piece_bytes = 0, .minimum_bytes = UINT64_MAX, .forced = false};
}

inline MpsRead readMpsPathWith(const std::string& path, const mps_detail::ColumnsThreading& threading) {
  ColumnsThreadingScope scope(threading);
  return readMpsPathOnce(path);
}

inline bool sameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

inline void expectSameTerms(const LinearTerms& a, const LinearTerms& b, const std::string& what) {
  ASSERT_EQ(a.size(), b.size()) << what;
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].variable, b[i].variable) << what << " term " << i;
    EXPECT_TRUE(sameBits(a[i].coefficient, b[i].coefficient)) << what << " term " << i;
  }
}

// Every field that a reading fills in, compared exactly.
inline void expectIdenticalReadings(const MpsRead& a, const MpsRead& b, const std::string& what) {
  EXPECT_EQ(a.log, b.log) << what;
  ASSERT_EQ(a.messages.size(), b.messages.size()) << what;
  for (std::size_t i = 0; i < a.messages.size(); ++i) EXPECT_EQ(a.messages[i].level, b.messages[i].level) << what << " message " << i;
  ASSERT_EQ(a.model == nullptr, b.model == nullptr) << what;
  if (a.model == nullptr) return;
  const Model& x = *a.model;
  const Model& y = *b.model;
  EXPECT_EQ(x.objective_sense, y.objective_sense) << what;
  EXPECT_EQ(x.objective.name_id, y.objective.name_id) << what;
  EXPECT_TRUE(sameBits(x.objective.constant, y.objective.constant)) << what;
  expectSameTerms(x.objective.linear_terms, y.objective.linear_terms, what + " objective");
  EXPECT_EQ(x.objective.quadratic_terms.size(), y.objective.quadratic_terms.size()) << what;
  ASSERT_EQ(x.variables.size(), y.variables.size()) << what;
  for (std::size_t j = 0; j < x.variables.size(); ++j) {
    const Variable& v = x.variables[j];
    const Variable& w = y.variables[j];
    EXPECT_EQ(v.name_id, w.name_id) << what << " column " << j;
    EXPECT_EQ(v.type, w.type) << what << " column " << j;
    EXPECT_TRUE(sameBits(v.lower, w.lower) && sameBits(v.upper, w.upper)) << what << " column " << j;
  }
  ASSERT_EQ(x.rows.size(), y.rows.size()) << what;
  for (std::size_t i = 0; i < x.rows.size(); ++i) {
    const Constraint& r = x.rows[i];
    const Constraint& s = y.rows[i];
    const std::string row = what + " row " + std::to_string(i);
    EXPECT_EQ(r.expression.name_id, s.expression.name_id) << row;
    EXPECT_TRUE(sameBits(r.lower, s.lower) && sameBits(r.upper, s.upper)) << row;
    EXPECT_EQ(r.indicator_variable, s.indicator_variable) << row;
    EXPECT_EQ(r.expression.quadratic_terms.size(), s.expression.quadratic_terms.size()) << row;
    expectSameTerms(r.expression.linear_terms, s.expression.linear_terms, row);
  }
  EXPECT_EQ(x.general_constraints.size(), y.general_constraints.size()) << what;
}

// Reads `path` line by line, and again with the COLUMNS lines shared out among threads in
// pieces of a few bytes (pieces of the usual size on a large file), so that every test of
// the reader covers both ways; both must give the same model and the same messages.
inline MpsRead readMpsPath(const std::string& path) {
  MpsRead result = readMpsPathWith(path, noThreads());
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  const bool small = !error && size < 65536;
  MpsRead threaded = readMpsPathWith(path, small ? forcedThreads(3, 7, 3) : forcedThreads(3, 0, 0));
  expectIdenticalReadings(result, threaded, path);
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

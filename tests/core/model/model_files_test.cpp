#include <gtest/gtest.h>
#include <unistd.h>


#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/text/message_catalogue.hpp"
#include "model_test_support.hpp"
#include "support/kernel_absence.hpp"
#include "support/scratch_dir.hpp"
#include "support/stdout_capture.hpp"
#include "support/test_models.hpp"

namespace velorium::cpp_impl {
namespace {

using test::nameOrNone;

constexpr const char* kModelLp =
    "Maximize\n obj: 2 x + 3 y - v + [ x ^ 2 + 2 x * y + v ^ 2 ] / 2 + 5\n"
    "Subject To\n"
    " c1: x + y + v <= 4\n"
    " ind: b = 1 -> x - y >= -1\n"
    " ind0: b = 0 -> x + y <= 2\n"
    " q1: x + [ y ^ 2 + 3 x * y ] <= 9\n"
    " r2: - x + 2 s + t >= -10\n"
    "Bounds\n x <= 10\n -2 <= y <= 3\n z free\n 2 <= s <= 8\n 1 <= t <= 6\n -1 <= v <= 1\n w2 free\n"
    "Binaries\n b\n"
    "Generals\n y t\n"
    "Semi-Continuous\n s t\n"
    "General Constraints\n"
    " g1 : z = NL : ( PLUS , -1 , -1 ) ( VARIABLE , x , 0 ) ( CONSTANT , 2.5 , 0 )\n"
    " g2 : w2 = NL : ( SQRT , -1 , -1 ) ( MULTIPLY , -1 , 0 ) ( VARIABLE , y , 1 ) ( VARIABLE , s , 1 )"
    " ( CONSTANT , 0.5 , 1 )\n"
    "End\n";

std::string number(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

// A model as text that does not depend on the order of columns or of terms, and that holds
// a row's constant in its bounds (the MPS format keeps it there).
std::string describe(const Model& model) {
  auto column = [&](std::int32_t index) { return nameOrNone(model.variables.at(index).name_id); };
  auto terms = [&](const Expression& expression) {
    std::vector<std::string> parts;
    for (const LinearTerm& term : expression.linear_terms) parts.push_back(column(term.variable) + "*" + number(term.coefficient));
    for (const QuadTerm& term : expression.quadratic_terms) {
      std::string first = column(term.variable1), second = column(term.variable2);
      if (second < first) std::swap(first, second);
      parts.push_back(first + "*" + second + "*" + number(term.coefficient));
    }
    std::sort(parts.begin(), parts.end());
    std::string text;
    for (const std::string& part : parts) text += " " + part;
    return text;
  };
  std::vector<std::string> columns;
  for (const Variable& variable : model.variables) {
    columns.push_back(nameOrNone(variable.name_id) + " type " + std::to_string(variable.type) + " [" +
                      number(variable.lower) + ", " + number(variable.upper) + "]");
  }
  std::sort(columns.begin(), columns.end());
  std::string text = "sense " + std::to_string(model.objective_sense != 0) + "\nobjective" +
                     terms(model.objective) + " + " + number(model.objective.constant) + "\n";
  for (const std::string& line : columns) text += "column " + line + "\n";
  for (const Constraint& row : model.rows) {
    text += "row " + nameOrNone(row.expression.name_id) + " [" + number(row.lower - row.expression.constant) + ", " +
            number(row.upper - row.expression.constant) + "]" + terms(row.expression);
    if (row.indicator_variable >= 0) {
      text += " if " + column(row.indicator_variable) + " = " + std::to_string(row.indicator_value);
    }
    text += "\n";
  }
  for (const GeneralConstraintRecord& record : model.general_constraints) {
    text += "general " + record.name + " " + column(record.result_variable) + " =";
    for (const ExprNodeRecord& node : record.nodes) {
      text += " (" + std::to_string(node.type) + " " + std::to_string(node.parent) + " ";
      if (node.type == ExprNodeRecord::kConstantType) text += number(node.constant_value());
      if (node.type == ExprNodeRecord::kVariableType) text += column(node.variable_index());
      text += ")";
    }
    text += "\n";
  }
  return text;
}

// The line a reader or writer logs for a file that does not open: 69 with the path, then why.
std::string unopened(const std::string& path, int error) {
  return velorium::testing::catalogue_line(69, path.c_str()) + ": " + std::strerror(error);
}

class ModelFiles : public ModelFixture {
 protected:
  std::shared_ptr<Model> flat() {
    std::shared_ptr<Model> out;
    std::vector<std::int32_t> variable_map, row_map;
    store().build_model(out, variable_map, row_map);
    return out;
  }

  test::ScratchDir dir;
};

TEST_F(ModelFiles, ReadChangeWriteAndReadAgainKeepsEveryMember) {
  model->Read(dir.write("model.lp", kModelLp).c_str());
  expect_ok(model);
  ASSERT_EQ(model->GetVariablesCount(), 8);
  const std::string as_read = describe(*flat());
  EXPECT_NE(as_read.find("row ind0 [-inf, 2] x*1 y*1 if b = 0"), std::string::npos) << as_read;
  EXPECT_NE(as_read.find("column t type 4 [1, 6]"), std::string::npos) << as_read;
  EXPECT_NE(as_read.find("general g2 w2 = (6 -1 ) (5 0 ) (1 1 y) (1 1 s) (0 1 0.5)"), std::string::npos) << as_read;

  // Change it: a new integer variable in a new row, one variable removed, one renamed.
  IVariable* w = add(0, 7, variable_type::integer, "w", 1.5);
  Expression row;
  row.linear_terms = {{store().find_variable_index("w"), 1.0}, {store().find_variable_index("x"), -2.0}};
  store().add_row(row, 1.0, kVeloriumInf, "new_row", nullptr);
  model->RemoveVar(own(model->GetVariableByName("v")));
  own(model->GetVariableByName("y"))->SetName("y_renamed");
  model->SetObjectiveSense(objective_sense::minimize);
  expect_ok(model);
  ASSERT_NE(w, nullptr);
  const std::string changed = describe(*flat());
  EXPECT_EQ(changed.find(" v*"), std::string::npos) << changed;
  EXPECT_NE(changed.find("row new_row [1, inf] w*1 x*-2\n"), std::string::npos) << changed;
  EXPECT_NE(changed.find("column y_renamed type 2 [-2, 3]"), std::string::npos) << changed;

  for (const char* name : {"again.lp", "again.mps"}) {
    SCOPED_TRACE(name);
    const std::string path = dir.file(name);
    model->Write(path.c_str(), nullptr);
    expect_ok(model);
    Owned<ModelImpl> reread(new ModelImpl());
    reread->Read(path.c_str());
    expect_ok(reread.get());
    std::shared_ptr<Model> back;
    std::vector<std::int32_t> variable_map, row_map;
    reread->store()->build_model(back, variable_map, row_map);
    EXPECT_EQ(describe(*back), changed);
  }
}

TEST_F(ModelFiles, AFailedReadLeavesTheModelAsItWasAndSaysWhy) {
  IVariable* x = add(0, 1, variable_type::continuous, "x");
  const std::string missing = dir.file("missing.lp");
  const std::string folder = dir.file("folder.lp");
  std::filesystem::create_directory(folder);
  const std::string broken = dir.write("broken.lp", "Minimize\n obj: x <\nEnd\n");
  const std::string no_format = dir.write("model.txt", kModelLp);
  const std::string lp_as_mps = dir.write("lp.lp", kModelLp);
  struct Case {
    const char* what;
    std::function<void()> read;
    std::string path;
    std::string reason;  // exactly, or, starting with "~", a part of it (the readers' own texts)
  };
  std::vector<Case> cases = {
      {"missing file", [&] { model->Read(missing.c_str()); }, missing, unopened(missing, ENOENT)},
      {"missing file read as MPS", [&] { model->ReadMps(missing.c_str()); }, missing, unopened(missing, ENOENT)},
      {"folder", [&] { model->ReadLp(folder.c_str()); }, folder, unopened(folder, EISDIR)},
      {"syntax error", [&] { model->ReadLp(broken.c_str()); }, broken, "~" + broken + ":2: "},
      {"unknown extension", [&] { model->Read(no_format.c_str()); }, no_format,
       velorium::testing::catalogue_line(384, ".txt")},
      {"LP text read as MPS", [&] { model->ReadMps(lp_as_mps.c_str()); }, lp_as_mps, "~MPS"},
      {"null name", [&] { model->Read(nullptr); }, "null", ""},
  };
  if (::geteuid() != 0) {  // root reads every file
    const std::string locked = dir.write("locked.lp", kModelLp);
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    cases.push_back({"no permission", [&] { model->Read(locked.c_str()); }, locked, unopened(locked, EACCES)});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.read();
    EXPECT_EQ(model->GetErrorCode(), -1);
    const std::string text = model->GetErrorText();
    const std::string head = velorium::testing::catalogue_text(117, c.path.c_str());
    if (c.reason.empty()) {
      EXPECT_EQ(text, head);
    } else if (c.reason[0] == '~') {
      EXPECT_EQ(text.substr(0, head.size() + 2), head + ": ") << text;
      EXPECT_NE(text.find(c.reason.substr(1), head.size()), std::string::npos) << text;
    } else {
      EXPECT_EQ(text, head + ": " + c.reason);
    }
    EXPECT_EQ(model->GetVariablesCount(), 1);
    EXPECT_STREQ(x->GetName(), "x") << "handles taken before keep working";
    expect_ok(x);
  }
  model->Read(dir.write("model.lp", kModelLp).c_str());
  expect_ok(model);
  EXPECT_EQ(x->GetName(), nullptr);
  expect_failure(x, 111, 0);
  EXPECT_EQ(model->GetVariablesCount(), 8);
}

TEST_F(ModelFiles, EveryWriterHonoursANameMap) {
  model->Read(dir.write("model.lp", kModelLp).c_str());
  using Writer = std::function<void(const char*, const char*)>;
  const struct {
    const char* file;
    Writer write;
  } writers[] = {
      {"by_extension.lp", [&](const char* path, const char* map) { model->Write(path, map); }},
      {"as_mps.txt", [&](const char* path, const char* map) { model->WriteMps(path, map); }},
      {"as_lp.txt", [&](const char* path, const char* map) { model->WriteLp(path, map); }},
  };
  for (const auto& writer : writers) {
    SCOPED_TRACE(writer.file);
    const std::string mapped = dir.file(std::string("mapped_") + writer.file);
    const std::string map = dir.file(std::string(writer.file) + ".map");
    writer.write(mapped.c_str(), map.c_str());
    expect_ok(model);
    EXPECT_EQ(test::readFileBytes(mapped).find("ind0"), std::string::npos) << "generated names only";
    EXPECT_NE(test::readFileBytes(map).find("ind0"), std::string::npos) << "the map names the model's own";

    for (const char* no_map : {"", static_cast<const char*>(nullptr)}) {
      const std::string plain = dir.file(std::string("plain_") + writer.file);
      writer.write(plain.c_str(), no_map);
      expect_ok(model);
      EXPECT_NE(test::readFileBytes(plain).find("ind0"), std::string::npos) << "the model's own names";
    }
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 10)
      << "model.lp and three of each: mapped file, map, plain file; no other map";

  const std::string unmapped = dir.file("unmapped.lp");
  const std::string no_dir_map = dir.file("no_dir/names.map");
  const std::string failure = velorium::testing::catalogue_text(118, unmapped.c_str()) + ": " + unopened(no_dir_map, ENOENT);
  model->Write(unmapped.c_str(), no_dir_map.c_str());
  EXPECT_EQ(model->GetErrorText(), failure);
  EXPECT_FALSE(std::filesystem::exists(unmapped)) << "no model file without its map";
  model->WriteMps(unmapped.c_str(), no_dir_map.c_str());
  EXPECT_EQ(model->GetErrorText(), failure);
  EXPECT_FALSE(std::filesystem::exists(unmapped));
}

// A write that fails says why after 118, as a read does after 117: the system's reason for the
// model file or the name map, or the extension that chooses no format.
TEST_F(ModelFiles, WriteFailuresSayWhy) {
  add(0, 1, variable_type::continuous, "x");
  const std::string no_dir = dir.file("no_dir/model.lp");
  const std::string plain = dir.write("plain", "");
  const std::string under_a_file = plain + "/model.mps";
  const std::string no_format = dir.file("model.txt");
  const std::string mapped = dir.file("mapped.lp");
  const std::string no_dir_map = dir.file("no_dir/names.map");
  struct Case {
    const char* what;
    std::function<void()> write;
    std::string path;
    std::string reason;  // "" for none
  };
  std::vector<Case> cases = {
      {"no such folder", [&] { model->Write(no_dir.c_str(), ""); }, no_dir, unopened(no_dir, ENOENT)},
      {"a file for a folder", [&] { model->WriteMps(under_a_file.c_str(), nullptr); }, under_a_file,
       unopened(under_a_file, ENOTDIR)},
      {"a folder for the file", [&] { model->WriteLp(dir.path().c_str(), ""); }, dir.path(),
       unopened(dir.path(), EISDIR)},
      {"an extension the writers do not know", [&] { model->Write(no_format.c_str(), nullptr); }, no_format,
       "Расширение [.txt] не выбирает формат записи: .lp, .ilp или .mps"},
      {"a name map that cannot be written", [&] { model->Write(mapped.c_str(), no_dir_map.c_str()); }, mapped,
       unopened(no_dir_map, ENOENT)},
      {"null name", [&] { model->WriteLp(nullptr, ""); }, "null", ""},
  };
  if (std::filesystem::exists("/dev/full")) {
    cases.push_back({"a full disk", [&] { model->WriteLp("/dev/full", ""); }, "/dev/full",
                     std::strerror(ENOSPC)});
  }
  if (::geteuid() != 0) {  // root writes into every folder
    const std::string locked = dir.file("locked");
    std::filesystem::create_directory(locked);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    cases.push_back({"no permission", [&] { model->Write((locked + "/m.lp").c_str(), ""); }, locked + "/m.lp",
                     unopened(locked + "/m.lp", EACCES)});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.write();
    EXPECT_EQ(model->GetErrorCode(), -1);
    const std::string head = velorium::testing::catalogue_text(118, c.path.c_str());
    EXPECT_EQ(std::string(model->GetErrorText()), c.reason.empty() ? head : head + ": " + c.reason);
  }
  EXPECT_FALSE(std::filesystem::exists(mapped)) << "no model file without its map";
  EXPECT_FALSE(std::filesystem::exists(no_format));
  model->WriteMps(dir.file("model.txt").c_str(), "");
  expect_ok(model);
  EXPECT_NE(test::readFileBytes(dir.file("model.txt")).find("ENDATA"), std::string::npos);
}

// Every file operation of the model, made to fail; what its reader or writer logs goes where
// the model's own lines go.
class ModelFileLog : public ModelFiles {
 protected:
  struct Case {
    const char* what;
    std::function<void()> run;
    std::string logged;  // a part of the error line logged; empty: the operation logs nothing
  };

  std::vector<Case> failing_operations() {
    add(0, 1, variable_type::continuous, "x");
    const std::string missing = dir.file("missing.lp");
    const std::string broken_lp = dir.write("broken.lp", "Minimize\n obj: x <\nEnd\n");
    const std::string broken_mps = dir.write("broken.mps", "NAME m\nROWS\n N obj\nCOLUMNS\n x obj 1 zz\nENDATA\n");
    const std::string no_dir = dir.file("no_dir/model");
    const std::string opened = velorium::testing::catalogue_line(69, "");
    return {
        {"Read", [=, this] { model->Read(missing.c_str()); }, opened + missing},
        {"ReadLp", [=, this] { model->ReadLp(broken_lp.c_str()); }, broken_lp + ":2: "},
        {"ReadMps", [=, this] { model->ReadMps(broken_mps.c_str()); }, broken_mps},
        {"ReadMps of a missing file", [=, this] { model->ReadMps(missing.c_str()); }, opened + missing},
        {"Write", [=, this] { model->Write((no_dir + ".lp").c_str(), ""); }, opened + no_dir + ".lp"},
        {"WriteMps", [=, this] { model->WriteMps((no_dir + ".mps").c_str(), ""); }, opened + no_dir + ".mps"},
        {"WriteLp", [=, this] { model->WriteLp((no_dir + ".lp").c_str(), ""); }, opened + no_dir + ".lp"},
        {"AddMipStartValues", [=, this] { model->AddMipStartValues(dir.file("missing.sol").c_str()); }, ""},
    };
  }

  // The texts of the error lines in `logged_text`, without prefix and line feed; each line
  // must be one error line, and one of them must contain `part`.
  static std::vector<std::string> error_lines(const std::string& logged_text, const std::string& part) {
    const std::string prefix = get_message(72);
    std::vector<std::string> lines;
    bool found = false;
    for (std::size_t start = 0; start < logged_text.size();) {
      const std::size_t end = logged_text.find('\n', start);
      EXPECT_NE(end, std::string::npos) << "every line ends with a line feed: " << logged_text;
      const std::string line = logged_text.substr(start, end == std::string::npos ? end : end - start);
      EXPECT_EQ(line.rfind(prefix, 0), 0u) << line;
      lines.push_back(line.substr(std::min(prefix.size(), line.size())));
      found = found || line.find(part) != std::string::npos;
      start = end == std::string::npos ? logged_text.size() : end + 1;
    }
    EXPECT_TRUE(found) << "no line holds \"" << part << "\": " << logged_text;
    return lines;
  }
};

TEST_F(ModelFileLog, TheLogCallbackReceivesTheLinesAndTheConsoleNothing) {
  CollectingCallback callback;
  model->SetLogCallback(&callback);
  for (const Case& c : failing_operations()) {
    SCOPED_TRACE(c.what);
    callback.lines.clear();
    test::StdoutCapture console;
    c.run();
    EXPECT_EQ(model->GetErrorCode(), -1);
    EXPECT_EQ(console.finish(), "") << "a callback takes the place of the console";
    if (c.logged.empty()) {
      EXPECT_TRUE(callback.lines.empty()) << callback.all();
      continue;
    }
    for (const std::string& line : callback.lines) {
      EXPECT_EQ(line.find('\n'), line.size() - 1) << "one line a call: " << line;
    }
    const std::vector<std::string> lines = error_lines(callback.all(), c.logged);
    const std::string error = model->GetErrorText();
    if (error.rfind(velorium::testing::catalogue_text(117, ""), 0) == 0) {
      // A failed read says why with the very texts the reader logged.
      for (const std::string& line : lines) EXPECT_NE(error.find(": " + line), std::string::npos) << error;
    }
  }
}

TEST_F(ModelFileLog, TheConsoleAndTheLogFileFollowTheModelsOptions) {
  const std::string log_path = dir.file("model.log");
  struct Setting {
    const char* what;
    bool console;
    bool log_file;
    bool output;
  };
  for (const Setting& setting : {Setting{"console off, log file", false, true, true},
                                 Setting{"console on", true, false, true},
                                 Setting{"console on, log file", true, true, true},
                                 Setting{"output off", true, true, false}}) {
    model->SetLogFile(setting.log_file ? log_path.c_str() : "");
    model->SetBoolParam("log_to_console", setting.console);
    model->SetBoolParam("output_flag", setting.output);
    for (const Case& c : failing_operations()) {
      SCOPED_TRACE(std::string(setting.what) + ": " + c.what);
      dir.write("model.log", "");  // emptied; the model appends to it
      test::StdoutCapture console;
      c.run();
      const std::string printed = console.finish();
      const std::string filed = test::readFileBytes(log_path);
      EXPECT_EQ(model->GetErrorCode(), -1);
      if (c.logged.empty() || !setting.output) {
        EXPECT_EQ(printed, "");
        EXPECT_EQ(filed, "");
        continue;
      }
      if (setting.console) {
        error_lines(printed, c.logged);
      } else {
        EXPECT_EQ(printed, "");
      }
      if (setting.log_file) {
        if (setting.console) EXPECT_EQ(filed, printed) << "the same lines in both";
        error_lines(filed, c.logged);
      } else {
        EXPECT_EQ(filed, "");
      }
    }
    model->SetLogFile("");
  }
  // With the output off, a failed read still says why.
  model->SetBoolParam("output_flag", false);
  const std::string broken = dir.write("broken.lp", "Minimize\n obj: x <\nEnd\n");
  model->ReadLp(broken.c_str());
  EXPECT_NE(std::string(model->GetErrorText()).find(broken + ":2: "), std::string::npos) << model->GetErrorText();
}

TEST_F(ModelFiles, WithoutACoreObjectFilesStoreTheFixedText) {
  velorium::testing::ScopedKernelAbsence absent;
  model->Read(dir.write("model.lp", kModelLp).c_str());
  EXPECT_STREQ(model->GetErrorText(), kKernelInitErrorText);
  model->Write(dir.file("out.lp").c_str(), nullptr);
  EXPECT_STREQ(model->GetErrorText(), kKernelInitErrorText);
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.lp")));
}

}  // namespace
}  // namespace velorium::cpp_impl

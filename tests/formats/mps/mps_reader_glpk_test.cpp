// Files written by another tool: glpk's example MPS files (fixed format) and the free-format
// copies that glpsol writes of them must read as glpsol reads them.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "formats/mps/mps_read_helper.hpp"
#include "support/external_tool.hpp"

namespace velorium {
namespace {

namespace fs = std::filesystem;
using test::nameText;

const fs::path kExamples = "/usr/share/doc/glpk-utils/examples";

// What glpsol reports about a file: its counts, its optimum and its solution by column.
struct GlpsolReport {
  long rows = -1;
  long columns = -1;
  long nonzeros = -1;
  double objective = NAN;
  std::vector<double> values;  // by column, in file order
};

GlpsolReport runGlpsol(const fs::path& input, const mps_test::ScratchDir& dir) {
  const std::string solution = dir.file("solution.txt");
  const std::string command = "glpsol --mps " + test::shellQuoted(input.string()) + " --wfreemps " +
                              test::shellQuoted(dir.file("free.mps")) + " -w " + test::shellQuoted(solution);
  GlpsolReport report;
  if (test::runTool(command).exit_code != 0) return report;
  std::ifstream in(solution);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string tag;
    fields >> tag;
    if (tag == "c") {
      std::string key;
      fields >> key;
      if (key == "Rows:") fields >> report.rows;
      if (key == "Columns:") fields >> report.columns;
      if (key == "Non-zeros:") fields >> report.nonzeros;
    } else if (tag == "s") {
      // "s bas rows cols pstat dstat obj" or "s mip rows cols status obj"
      std::vector<std::string> rest;
      for (std::string f; fields >> f;) rest.push_back(f);
      report.objective = std::stod(rest.back());
    } else if (tag == "j") {
      std::vector<std::string> rest;
      for (std::string f; fields >> f;) rest.push_back(f);
      // basic solution: "j col stat prim dual"; integer solution: "j col value"
      report.values.push_back(std::stod(rest.size() >= 4 ? rest[2] : rest[1]));
    }
  }
  return report;
}

std::size_t nonzerosOf(const Model& model) {
  std::size_t count = 0;
  for (const Constraint& row : model.rows) count += row.expression.linear_terms.size();
  return count;
}

double activity(const Expression& expression, const std::vector<double>& x) {
  double sum = expression.constant;
  for (const LinearTerm& t : expression.linear_terms) sum += t.coefficient * x[t.variable];
  return sum;
}

// Rows and columns by name, for comparing two readings of one model.
std::map<std::string, std::map<std::string, double>> termsByName(const Model& model) {
  std::map<std::string, std::map<std::string, double>> out;
  for (const Constraint& row : model.rows) {
    auto& terms = out[nameText(row.expression.name_id)];
    for (const LinearTerm& t : row.expression.linear_terms) terms[nameText(model.variables[t.variable].name_id)] += t.coefficient;
  }
  auto& objective = out["(objective)"];
  for (const LinearTerm& t : model.objective.linear_terms) objective[nameText(model.variables[t.variable].name_id)] += t.coefficient;
  return out;
}

void expectNear(double a, double b, const std::string& what) {
  if (std::isinf(a) || std::isinf(b)) {
    EXPECT_EQ(a, b) << what;
  } else {
    EXPECT_NEAR(a, b, 1e-9 * (1 + std::fabs(a))) << what;
  }
}

void expectSameModel(const Model& a, const Model& b, const std::string& file) {
  ASSERT_EQ(a.rows.size(), b.rows.size()) << file;
  ASSERT_EQ(a.variables.size(), b.variables.size()) << file;
  auto terms_a = termsByName(a);
  auto terms_b = termsByName(b);
  ASSERT_EQ(terms_a.size(), terms_b.size()) << file;
  for (const auto& [row, terms] : terms_a) {
    ASSERT_TRUE(terms_b.count(row)) << file << " " << row;
    ASSERT_EQ(terms.size(), terms_b[row].size()) << file << " " << row;
    for (const auto& [column, value] : terms) expectNear(value, terms_b[row][column], file + " " + row + " " + column);
  }
  for (const Constraint& row : a.rows) {
    const Constraint* other = mps_test::findRowNamed(b, nameText(row.expression.name_id));
    ASSERT_NE(other, nullptr);
    expectNear(row.lower, other->lower, file + " lower of " + nameText(row.expression.name_id));
    expectNear(row.upper, other->upper, file + " upper of " + nameText(row.expression.name_id));
  }
  for (std::size_t j = 0; j < a.variables.size(); ++j) {
    const Variable& v = a.variables[j];
    const Variable& w = b.variables[mps_test::columnNamed(b, nameText(v.name_id))];
    const std::string what = file + " column " + nameText(v.name_id);
    EXPECT_EQ(v.type == 0, w.type == 0) << what;
    expectNear(v.lower, w.lower, what);
    expectNear(v.upper, w.upper, what);
  }
  expectNear(a.objective.constant, b.objective.constant, file + " offset");
  EXPECT_EQ(a.objective_sense, b.objective_sense) << file;
}

TEST(MpsReaderGlpkTest, ReadsGlpkExamplesAsGlpsolDoes) {
  if (!fs::is_directory(kExamples) || !test::toolAvailable("glpsol")) GTEST_SKIP() << "glpk-utils is not installed";
  int files = 0;
  for (const auto& entry : fs::directory_iterator(kExamples)) {
    if (entry.path().extension() != ".mps") continue;
    const std::string file = entry.path().filename().string();
    mps_test::ScratchDir dir;
    GlpsolReport report = runGlpsol(entry.path(), dir);
    ASSERT_GE(report.rows, 0) << file;

    auto original = mps_test::readMpsPath(entry.path().string());
    ASSERT_TRUE(original.model) << file << "\n" << original.log;
    auto free_copy = mps_test::readMpsPath(dir.file("free.mps"));
    ASSERT_TRUE(free_copy.model) << file << " (glpsol's free copy)\n" << free_copy.log;
    const Model& model = *original.model;

    EXPECT_EQ(static_cast<long>(model.rows.size()), report.rows) << file;
    EXPECT_EQ(static_cast<long>(model.variables.size()), report.columns) << file;
    EXPECT_EQ(static_cast<long>(nonzerosOf(model)), report.nonzeros) << file;
    expectSameModel(model, *free_copy.model, file);

    // glpsol's optimal point is feasible in the model read here and has glpsol's objective value.
    ASSERT_EQ(report.values.size(), model.variables.size()) << file;
    const double tolerance = 1e-6;
    for (std::size_t j = 0; j < model.variables.size(); ++j) {
      const Variable& v = model.variables[j];
      EXPECT_GE(report.values[j], v.lower - tolerance) << file << " column " << j;
      EXPECT_LE(report.values[j], v.upper + tolerance) << file << " column " << j;
      if (v.type != 0) EXPECT_NEAR(report.values[j], std::round(report.values[j]), tolerance) << file << " column " << j;
    }
    for (const Constraint& row : model.rows) {
      double a = activity(row.expression, report.values);
      double scale = tolerance * (1 + std::fabs(a));
      EXPECT_GE(a, row.lower - scale) << file << " row " << nameText(row.expression.name_id);
      EXPECT_LE(a, row.upper + scale) << file << " row " << nameText(row.expression.name_id);
    }
    double objective = activity(model.objective, report.values);
    EXPECT_NEAR(objective, report.objective, 1e-6 * (1 + std::fabs(objective))) << file;
    ++files;
  }
  EXPECT_GE(files, 7);
}

}  // namespace
}  // namespace velorium

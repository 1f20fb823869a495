#include "formats/engine/engine_lp_file.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <tuple>

#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"
#include "formats/engine/engine_test_support.hpp"
#include "formats/lp/lp_writer.hpp"
#include "support/log_capture.hpp"
#include "support/scratch_dir.hpp"
#include "support/test_models.hpp"
#include "velorium/velorium.hpp"

namespace velorium {
namespace {

using test::kInf;
using test::nameOrNone;
using test::TestModel;

VeloriumModel engineModelOf(const Model& model) {
  VeloriumModel engine;
  engine.fillFromModel(model, nullptr);
  return engine;
}

// The objective line (the third line of the file).
std::string objectiveLine(const std::string& text) {
  std::size_t begin = text.find(" obj:");
  return text.substr(begin, text.find('\n', begin) - begin);
}

// Columns of every kind: free, bounded, binary, integer, semi-continuous.
struct MixedColumns {
  int x, y, b, g, s;
  explicit MixedColumns(TestModel& m)
      : x(m.addVariable("x", 0, 4)),
        y(m.addVariable("y", -kInf, kInf)),
        b(m.addVariable("b", 0, 1, test::kBinary)),
        g(m.addVariable("g", -2, 9, test::kInteger)),
        s(m.addVariable("s", 1, 10, test::kSemiContinuous)) {}
};

TEST(EngineLpFile, WholeFile) {
  TestModel m;
  auto [x, y, b, g, s] = MixedColumns(m);
  m.addRow("r", 1, 5, {{x, 1}, {y, -1}});
  m.addRow("e", 2, 2, {{x, 3}, {b, -1}}, 0.5);
  m.addRow("free", -kInf, kInf, {{g, 1}});
  m.setObjective({{x, 2}, {s, 1}, {g, -1}}, -3);
  m.addObjectiveQuadratic({{x, y, 2}, {y, y, 1}});

  EXPECT_EQ(writeEngineModelToText(engineModelOf(m.model)),
            "\\ File written by Velorium LP filereader\n"
            "Minimize\n"
            " obj: 2 x - g + s + [ +2 x * y +1 y * y  ]/2  -3\n"
            "\n"
            "Subject To\n"
            " r_PART1: x - y <= 5\n"
            " r_PART2: x - y >= 1\n"
            " e: 3 x - b =  1.5\n"
            " free: g >= -inf\n"
            "\n"
            "Bounds\n"
            " 0 <=  x <= 4\n"
            " y Free\n"
            " 0 <=  b <= 1\n"
            " -2 <=  g <= 9\n"
            " 1 <=  s <= 10\n"
            "\n"
            "Binaries\n"
            " b\n"
            "\n"
            "Generals\n"
            " g\n"
            "\n"
            "Semi-continuous\n"
            " s\n"
            "End\n");
}

TEST(EngineLpFile, SenseHeader) {
  VeloriumModel engine;
  engine.sense = 1;
  EXPECT_EQ(writeEngineModelToText(engine),
            "\\ File written by Velorium LP filereader\nMinimize\n obj: \n\nSubject To\n\nBounds\nEnd\n");
  engine.sense = -1;
  EXPECT_NE(writeEngineModelToText(engine).find("\nMaximize\n"), std::string::npos);
  engine.sense = 0;
  EXPECT_NE(writeEngineModelToText(engine).find("\nMaximize\n"), std::string::npos) << "only 1 minimises";
}

TEST(EngineLpFile, QuadraticObjectiveIsHalfOfTheLpWriters) {
  TestModel m;
  int x = m.addVariable("x");
  int y = m.addVariable("y");
  m.addObjectiveQuadratic({{x, y, 2}});
  VeloriumModel engine = engineModelOf(m.model);
  EXPECT_EQ(engine.hessian.values, (std::vector<double>{1, 1}));
  EXPECT_EQ(objectiveLine(writeEngineModelToText(engine)), " obj: + [ +2 x * y  ]/2 ");
  // The LP writer writes the model's own coefficient doubled over "/ 2"; this form has the
  // Hessian's entry doubled over "/2", which is half of it.
  EXPECT_EQ(objectiveLine(LpWriter().writeModelToText(m.model)), " obj: [ 4 x * y ]/ 2 ");
}

TEST(EngineLpFile, GeneralConstraintsAloneWriteAnEmptyBlock) {
  TestModel m;
  int x = m.addVariable("x");
  m.setObjective({{x, 1}}, 2);
  GeneralConstraintRecord general;
  general.result_variable = x;
  m.model.general_constraints.push_back(general);
  EXPECT_EQ(objectiveLine(writeEngineModelToText(engineModelOf(m.model))), " obj: x + [  ]/2  +2");
}

TEST(EngineLpFile, NamesThatResolveToNothing) {
  VeloriumModel engine;
  engine.sense = 1;
  engine.column_count = 2;
  engine.row_count = 1;
  engine.column_costs = {1, 1};
  engine.column_lower = {0, 0};
  engine.column_upper = {kInf, kInf};
  engine.row_lower = {-kInf};
  engine.row_upper = {3};
  engine.column_name_ids = {test::nameId("named"), -1};  // the second column and the row have none
  engine.matrix.format = kMatrixColumnwise;
  engine.matrix.column_count = 2;
  engine.matrix.row_count = 1;
  engine.matrix.starts = {0, 1, 2};
  engine.matrix.indices = {0, 0};
  engine.matrix.values = {1, -1};
  const std::string text = writeEngineModelToText(engine);
  EXPECT_NE(text.find(" obj: named + x2 \n"), std::string::npos) << text;
  EXPECT_NE(text.find(" con1: named - x2 <= 3\n"), std::string::npos) << text;
  EXPECT_EQ(engine.matrix.format, kMatrixColumnwise) << "the model is not changed";
}

TEST(EngineLpFile, InconsistentModelsAreRefused) {
  VeloriumModel short_arrays;
  short_arrays.column_count = 2;
  short_arrays.column_costs = {1};
  EXPECT_THROW(writeEngineModelToText(short_arrays), velorium_exception);

  TestModel m;
  int x = m.addVariable("x");
  m.addObjectiveQuadratic({{x, x, 1}});
  VeloriumModel bad_hessian = engineModelOf(m.model);
  bad_hessian.hessian.indices[0] = 5;
  EXPECT_THROW(writeEngineModelToText(bad_hessian), velorium_exception);
}

TEST(EngineLpFile, FileCannotBeCreated) {
  test::ScratchDir dir;
  test::LogCapture log;
  const std::string path = dir.file("missing/folder/model.lp");
  EXPECT_EQ(writeEngineModelToFile(log.options(), path, VeloriumModel{}), kVeloriumStatusError);
  ASSERT_EQ(log.texts().size(), 1u);
  EXPECT_EQ(log.texts()[0].level, kLogLevelError);
  EXPECT_EQ(log.texts()[0].text, get_message(72) + formatString("Невозможно открыть файл %s: %s\n", path.c_str(),
                                                                  std::strerror(ENOENT)));
}

TEST(EngineLpFile, ReadFailuresFillNothing) {
  test::ScratchDir dir;
  test::LogCapture log;
  VeloriumModel engine;
  EXPECT_EQ(readModelFile(log.options(), dir.file("absent.lp"), engine), 1);
  EXPECT_EQ(readModelFile(log.options(), dir.write("bad.lp", "Minimize\n obj: x\nSubject To\n c: x < 1\nEnd\n"), engine), 2);
  EXPECT_EQ(engine.column_count, 0);
  EXPECT_TRUE(engine.column_lower.empty());
  EXPECT_TRUE(engine.row_name_ids.empty());
}

// What a model holds, keyed by names, so that models whose columns come in another order
// compare equal.
struct NamedContent {
  std::map<std::string, std::tuple<double, double, int, double>> columns;  // bounds, integrality, cost
  std::map<std::string, std::tuple<double, double>> rows;
  std::map<std::tuple<std::string, std::string>, double> matrix;   // (row, column)
  std::map<std::tuple<std::string, std::string>, double> hessian;  // (row, column)
  int sense;
  double offset;
  bool operator==(const NamedContent&) const = default;
};

NamedContent namedContent(const VeloriumModel& engine) {
  NamedContent content;
  auto column = [&](std::size_t j) { return nameOrNone(engine.column_name_ids[j]); };
  auto row = [&](std::size_t r) { return nameOrNone(engine.row_name_ids[r]); };
  for (std::size_t j = 0; j < static_cast<std::size_t>(engine.column_count); ++j) {
    content.columns[column(j)] = {engine.column_lower[j], engine.column_upper[j], engine.integrality[j],
                                  engine.column_costs[j]};
  }
  for (std::size_t r = 0; r < static_cast<std::size_t>(engine.row_count); ++r) {
    content.rows[row(r)] = {engine.row_lower[r], engine.row_upper[r]};
  }
  for (const test::MatrixEntry& entry : test::columnwiseEntries(engine.matrix)) {
    content.matrix[{row(static_cast<std::size_t>(entry.row)), column(static_cast<std::size_t>(entry.column))}] = entry.value;
  }
  for (std::size_t j = 0; j + 1 < engine.hessian.starts.size(); ++j) {
    for (auto k = static_cast<std::size_t>(engine.hessian.starts[j]); k < static_cast<std::size_t>(engine.hessian.starts[j + 1]); ++k) {
      content.hessian[{column(static_cast<std::size_t>(engine.hessian.indices[k])), column(j)}] = engine.hessian.values[k];
    }
  }
  content.sense = engine.sense;
  content.offset = engine.offset;
  return content;
}

VeloriumModel writtenAndReadBack(const VeloriumModel& engine) {
  test::ScratchDir dir;
  test::LogCapture log;
  const std::string path = dir.file("engine.lp");
  EXPECT_EQ(writeEngineModelToFile(log.options(), path, engine), kVeloriumStatusOk) << log.all();
  VeloriumModel back;
  EXPECT_EQ(readModelFile(log.options(), path, back), 0) << log.all();
  EXPECT_EQ(back.matrix.format, kMatrixColumnwise);
  return back;
}

TEST(EngineLpFile, RoundTripKeepsTheLinearModel) {
  TestModel m;
  auto [x, y, b, g, s] = MixedColumns(m);
  int t = m.addVariable("t", 2, 8, test::kSemiInteger);
  int z = m.addVariable("z", 0, 1, test::kBinary);
  m.addRow("ranged", 1, 5, {{x, 1}, {y, -1}});
  m.addRow("eq", 2, 2, {{x, 3}, {b, -1.25}, {t, 1}});
  m.setIndicator(m.addRow("ind", 3, kInf, {{g, 1}, {s, 2}}), z, true);
  m.setIndicator(m.addRow("ind_eq", 4, 4, {{y, 1}}), z, false);
  m.setObjective({{x, 2}, {s, 1}, {g, -1}, {t, 0.5}}, -3, 1);

  const VeloriumModel engine = engineModelOf(m.model);
  const VeloriumModel back = writtenAndReadBack(engine);
  EXPECT_EQ(namedContent(back), namedContent(engine));
  EXPECT_EQ(back.row_count, 6);
  EXPECT_EQ(back.sense, -1);
  // Read back, the rows are plain one-sided rows: nothing is split or rewritten again.
  EXPECT_EQ(namedContent(writtenAndReadBack(back)), namedContent(engine));
}

TEST(EngineLpFile, RoundTripHalvesTheQuadraticObjective) {
  TestModel m;
  int x = m.addVariable("x");
  int y = m.addVariable("y");
  m.setObjective({{x, 1}});
  m.addObjectiveQuadratic({{x, y, 2}, {y, y, 3}});
  const VeloriumModel engine = engineModelOf(m.model);
  const VeloriumModel back = writtenAndReadBack(engine);
  NamedContent halved = namedContent(engine);
  for (auto& entry : halved.hessian) entry.second /= 2;
  EXPECT_EQ(namedContent(back), halved);
  EXPECT_TRUE(back.has_nonlinear_part);
}

TEST(EngineLpFile, ReadIntoEngineModelFromAnLpFile) {
  test::ScratchDir dir;
  test::LogCapture log;
  const std::string path = dir.write("model.lp",
                                     "Maximize\n obj: 3 a + 2 b + 4\n"
                                     "Subject To\n c1: a + b <= 4\n c2: z = 1 -> a - b = 3\n"
                                     "Bounds\n b <= 5\nGenerals\n b\nBinaries\n z\nEnd\n");
  VeloriumModel engine;
  ASSERT_EQ(readModelFile(log.options(), path, engine), 0) << log.all();
  EXPECT_EQ(engine.sense, -1);
  EXPECT_EQ(engine.offset, 4);
  EXPECT_EQ(engine.column_costs, (std::vector<double>{3, 2, 0}));
  EXPECT_EQ(engine.integrality, (std::vector<std::uint8_t>{0, 1, 1}));
  EXPECT_EQ(engine.matrix.format, kMatrixColumnwise);
  ASSERT_EQ(engine.row_count, 3);
  EXPECT_EQ(nameOrNone(engine.row_name_ids[1]), "c2_PART1");
  EXPECT_EQ(nameOrNone(engine.row_name_ids[2]), "c2_PART2");
  EXPECT_EQ(engine.row_lower, (std::vector<double>{-kInf, -kInf, 3 - 1e12}));
  EXPECT_EQ(engine.row_upper, (std::vector<double>{4, 3 + 1e12, kInf}));
}

}  // namespace
}  // namespace velorium

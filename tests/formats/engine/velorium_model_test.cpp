#include "formats/engine/velorium_model.hpp"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "formats/engine/engine_test_support.hpp"
#include "formats/engine/indicator_split.hpp"
#include "formats/engine/quadratic_convexity.hpp"
#include "support/log_capture.hpp"
#include "support/test_models.hpp"
#include "velorium/velorium.hpp"

namespace velorium {
namespace {

using test::columnwiseEntries;
using test::kInf;
using test::MatrixEntry;
using test::nameOrNone;
using test::TestModel;

VeloriumModel engineModelOf(const Model& model, const VeloriumLogOptions* log = nullptr) {
  VeloriumModel engine;
  engine.fillFromModel(model, log);
  return engine;
}

std::vector<std::string> rowNames(const VeloriumModel& engine) {
  std::vector<std::string> names;
  for (std::int32_t id : engine.row_name_ids) names.push_back(nameOrNone(id));
  return names;
}

TEST(EngineModelFill, ColumnsObjectiveAndPlainRows) {
  TestModel m;
  int x = m.addVariable("x", 0, 4);
  int y = m.addVariable("y", -kInf, kInf, test::kInteger);
  int b = m.addVariable("b", 0, 1, test::kBinary);
  int s = m.addVariable("s", 1, 5, test::kSemiContinuous);
  int t = m.addVariable("t", 0, 7, test::kSemiInteger);
  m.model.name = "plain";
  m.addRow("le", -kInf, 10, {{x, 3}, {y, 2}}, 4);
  m.addRow("ge", 1, kInf, {{b, -1}, {s, 1}});
  m.addRow("eq", 2, 2, {{t, 1}, {x, 1}});
  m.setObjective({{x, 2}, {t, -1}}, 6);
  m.nameObjective("cost");

  VeloriumModel engine = engineModelOf(m.model);
  EXPECT_EQ(engine.name, "plain");
  EXPECT_EQ(engine.column_count, 5);
  EXPECT_EQ(engine.row_count, 3);
  EXPECT_EQ(engine.column_lower, (std::vector<double>{0, -kInf, 0, 1, 0}));
  EXPECT_EQ(engine.column_upper, (std::vector<double>{4, kInf, 1, 5, 7}));
  EXPECT_EQ(engine.integrality, (std::vector<std::uint8_t>{0, 1, 1, 2, 3}));
  EXPECT_EQ(engine.column_costs, (std::vector<double>{2, 0, 0, 0, -1}));
  EXPECT_EQ(engine.offset, 6);
  EXPECT_EQ(engine.objective_name, "cost");
  EXPECT_EQ(engine.sense, 1);
  EXPECT_EQ(rowNames(engine), (std::vector<std::string>{"le", "ge", "eq"}));
  EXPECT_EQ(nameOrNone(engine.column_name_ids[3]), "s");
  // The row's constant moves to the finite bounds.
  EXPECT_EQ(engine.row_lower, (std::vector<double>{-kInf, 1, 2}));
  EXPECT_EQ(engine.row_upper, (std::vector<double>{6, kInf, 2}));
  EXPECT_EQ(engine.matrix.format, kMatrixColumnwise);
  EXPECT_EQ(engine.matrix.column_count, 5);
  EXPECT_EQ(engine.matrix.row_count, 3);
  EXPECT_EQ(columnwiseEntries(engine.matrix), (std::vector<MatrixEntry>{
                                                  {0, 0, 3}, {2, 0, 1}, {0, 1, 2}, {1, 2, -1}, {1, 3, 1}, {2, 4, 1}}));
  EXPECT_FALSE(engine.has_nonlinear_part);
  EXPECT_TRUE(engine.is_convex);
  EXPECT_TRUE(engine.hessian.indices.empty());
}

TEST(EngineModelFill, MaximisedObjectiveHasSenseMinusOne) {
  TestModel m;
  m.setObjective({{m.addVariable("x"), 1}}, 0, 1);
  EXPECT_EQ(engineModelOf(m.model).sense, -1);
}

TEST(EngineModelFill, RangedRowsAreSplitAndEqualRowsStay) {
  TestModel m;
  int x = m.addVariable("x");
  int y = m.addVariable("y");
  m.addRow("r", 1, 5, {{x, 1}, {y, 1}});
  m.addRow("fixed", 2, 2 + 1e-13, {{x, 1}});
  m.addRow(std::nullopt, 0, 3, {{y, 2}});

  VeloriumModel engine = engineModelOf(m.model);
  ASSERT_EQ(engine.row_count, 5);
  EXPECT_EQ(rowNames(engine), (std::vector<std::string>{"r_PART1", "r_PART2", "fixed", "<none>", "<none>"}));
  EXPECT_EQ(engine.row_lower, (std::vector<double>{-kInf, 1, 2, -kInf, 0}));
  EXPECT_EQ(engine.row_upper, (std::vector<double>{5, kInf, 2 + 1e-13, 3, kInf}));
  EXPECT_EQ(columnwiseEntries(engine.matrix), (std::vector<MatrixEntry>{
                                                  {0, 0, 1}, {1, 0, 1}, {2, 0, 1}, {0, 1, 1}, {1, 1, 1}, {3, 1, 2}, {4, 1, 2}}));
}

TEST(EngineModelFill, IndicatorRowsGetBigMTerms) {
  TestModel m;
  int x = m.addVariable("x");
  int z = m.addVariable("z", 0, 1, test::kBinary);
  m.setIndicator(m.addRow("on_ge", 3, kInf, {{x, 1}}), z, true);    // x >= 3 when z = 1
  m.setIndicator(m.addRow("off_le", -kInf, 4, {{x, 1}}), z, false);  // x <= 4 when z = 0
  m.setIndicator(m.addRow("on_le", -kInf, 6, {{x, 1}}), z, true);   // x <= 6 when z = 1
  m.setIndicator(m.addRow(std::nullopt, 5, 5, {{x, 1}}), z, false);  // x = 5 when z = 0, position 4
  m.setIndicator(m.addRow("self", 1, kInf, {{z, 2}, {x, 1}}), z, true);

  VeloriumModel engine = engineModelOf(m.model);
  EXPECT_EQ(rowNames(engine), (std::vector<std::string>{"on_ge", "off_le", "on_le", "INDICATOR_CONSTR_4_PART1",
                                                        "INDICATOR_CONSTR_4_PART2", "self"}));
  EXPECT_EQ(engine.row_lower, (std::vector<double>{3 - 1e12, -kInf, -kInf, -kInf, 5, 1 - 1e12}));
  EXPECT_EQ(engine.row_upper, (std::vector<double>{kInf, 4, 6 + 1e12, 5, kInf, kInf}));
  // Column z: one entry per row; in "self" the big-M term is added to z's own term.
  EXPECT_EQ(columnwiseEntries(engine.matrix),
            (std::vector<MatrixEntry>{{0, 0, 1}, {1, 0, 1}, {2, 0, 1}, {3, 0, 1}, {4, 0, 1}, {5, 0, 1},
                                      {0, 1, -1e12}, {1, 1, -1e12}, {2, 1, 1e12}, {3, 1, -1e12}, {4, 1, 1e12},
                                      {5, 1, 2 - 1e12}}));
}

TEST(EngineModelFill, RowsWithoutTermsAreLeftOut) {
  TestModel m;
  int x = m.addVariable("x");
  m.addRow("empty", 0, 1, {});
  m.addRow("kept", -kInf, 1, {{x, 1}});
  m.addRow("empty_too", -kInf, kInf, {});
  VeloriumModel engine = engineModelOf(m.model);
  EXPECT_EQ(rowNames(engine), (std::vector<std::string>{"kept"}));
  EXPECT_EQ(engine.matrix.starts, (std::vector<std::int32_t>{0, 1}));
}

TEST(EngineModelFill, RepeatedTermsAreSummed) {
  TestModel m;
  int x = m.addVariable("x");
  int y = m.addVariable("y");
  m.addRow("r", -kInf, 1, {{x, 1}, {y, 2}, {x, 3}, {y, -2}});
  m.setObjective({{x, 1}, {y, 4}, {x, 1.5}});
  m.addObjectiveQuadratic({{x, y, 1}, {y, x, 3}, {x, x, 1}, {x, x, -1}});

  VeloriumModel engine = engineModelOf(m.model);
  EXPECT_EQ(engine.column_costs, (std::vector<double>{2.5, 4}));
  EXPECT_EQ(columnwiseEntries(engine.matrix), (std::vector<MatrixEntry>{{0, 0, 4}}));
  EXPECT_EQ(engine.hessian.starts, (std::vector<std::int32_t>{0, 1, 2}));
  EXPECT_EQ(engine.hessian.indices, (std::vector<std::int32_t>{1, 0}));
  EXPECT_EQ(engine.hessian.values, (std::vector<double>{2, 2}));
}

TEST(EngineModelFill, HessianOfTheObjective) {
  TestModel m;
  int x = m.addVariable("x");
  int y = m.addVariable("y");
  int w = m.addVariable("w");
  m.addObjectiveQuadratic({{x, y, 2}, {w, w, 3}});
  VeloriumModel engine = engineModelOf(m.model);
  EXPECT_TRUE(engine.has_nonlinear_part);
  EXPECT_EQ(engine.hessian.dimension, 3);
  EXPECT_EQ(engine.hessian.format, 2);
  EXPECT_EQ(engine.hessian.starts, (std::vector<std::int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(engine.hessian.indices, (std::vector<std::int32_t>{1, 0, 2}));
  EXPECT_EQ(engine.hessian.values, (std::vector<double>{1, 1, 3}));

  TestModel zero;
  int a = zero.addVariable("a");
  zero.addObjectiveQuadratic({{a, a, 0}});
  VeloriumModel no_hessian = engineModelOf(zero.model);
  EXPECT_TRUE(no_hessian.has_nonlinear_part) << "the objective has quadratic terms";
  EXPECT_EQ(no_hessian.hessian.dimension, 0);
  EXPECT_TRUE(no_hessian.hessian.starts.empty());
}

TEST(EngineModelFill, NonlinearPartAndConvexity) {
  struct Case {
    const char* what;
    int sense;
    std::vector<std::tuple<int, int, double>> objective;
    std::vector<std::tuple<int, int, double>> row;
    double row_lower, row_upper;
    bool nonlinear, convex;
  };
  const Case cases[] = {
      {"x^2 + y^2 - 3xy, minimised", 0, {{0, 0, 1}, {1, 1, 1}, {0, 1, -3}}, {}, 0, 0, true, false},
      {"x^2 + y^2 - xy, minimised", 0, {{0, 0, 1}, {1, 1, 1}, {0, 1, -1}}, {}, 0, 0, true, true},
      {"-x^2, maximised", 1, {{0, 0, -1}}, {}, 0, 0, true, true},
      {"-x^2, minimised", 0, {{0, 0, -1}}, {}, 0, 0, true, false},
      {"convex row with an upper bound", 0, {}, {{0, 0, 1}}, -kInf, 4, true, true},
      {"convex row with a lower bound", 0, {}, {{0, 0, 1}}, 4, kInf, true, false},
      {"concave row with a lower bound", 0, {}, {{0, 0, -1}}, 4, kInf, true, true},
      {"quadratic equality row", 0, {}, {{0, 0, 1}}, 4, 4, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestModel m;
    int x = m.addVariable("x");
    m.addVariable("y");
    m.setObjective({}, 0, c.sense);
    for (auto [i, j, q] : c.objective) m.model.objective.quadratic_terms.push_back({i, j, q});
    if (!c.row.empty()) {
      int r = m.addRow("q", c.row_lower, c.row_upper, {{x, 1}});
      for (auto [i, j, q] : c.row) m.model.rows[static_cast<std::size_t>(r)].expression.quadratic_terms.push_back({i, j, q});
    }
    VeloriumModel engine = engineModelOf(m.model);
    EXPECT_EQ(engine.has_nonlinear_part, c.nonlinear);
    EXPECT_EQ(engine.is_convex, c.convex);
  }
}

TEST(EngineModelFill, GeneralConstraintsMakeTheModelNonlinear) {
  TestModel m;
  int x = m.addVariable("x");
  GeneralConstraintRecord general;
  general.result_variable = x;
  m.model.general_constraints.push_back(general);
  EXPECT_TRUE(engineModelOf(m.model).has_nonlinear_part);
}

TEST(EngineModelFill, ReservedRowNames) {
  TestModel clashing;
  int x = clashing.addVariable("x");
  clashing.addRow("VELORIUM_R7", -kInf, 1, {{x, 1}});
  clashing.addRow("", -kInf, 2, {{x, 1}});
  test::LogCapture log;
  VeloriumModel cleared = engineModelOf(clashing.model, &log.options());
  EXPECT_TRUE(cleared.row_name_ids.empty());
  ASSERT_EQ(log.texts().size(), 2u) << log.all();
  EXPECT_EQ(log.texts()[0].level, kLogLevelInfo);
  EXPECT_EQ(log.texts()[0].text, "Имя VELORIUM_R7 начинается с \"VELORIUM_R\"\n");
  EXPECT_EQ(log.texts()[1].level, kLogLevelWarning);
  EXPECT_NE(log.texts()[1].text.find("Невозможно создать имя строки начинающееся \"VELORIUM_R\" из-за других "
                                     "строкс таким же префиксом: имена строк очищены\n"),
            std::string::npos);

  TestModel kept;
  int y = kept.addVariable("y");
  kept.addRow("VELORIUM_R7", -kInf, 1, {{y, 1}});
  kept.addRow(std::nullopt, -kInf, 2, {{y, 1}});
  test::LogCapture kept_log;
  EXPECT_EQ(rowNames(engineModelOf(kept.model, &kept_log.options())),
            (std::vector<std::string>{"VELORIUM_R7", "<none>"}));
  ASSERT_EQ(kept_log.texts().size(), 1u);

  TestModel generated;
  int z = generated.addVariable("z");
  generated.addRow("a", -kInf, 1, {{z, 1}});
  generated.addRow("", -kInf, 2, {{z, 1}});
  test::LogCapture quiet;
  EXPECT_EQ(rowNames(engineModelOf(generated.model, &quiet.options())),
            (std::vector<std::string>{"a", "VELORIUM_R1"}));
  EXPECT_TRUE(quiet.texts().empty());
}

TEST(EngineModelFill, MissingVariableIsRefused) {
  TestModel m;
  m.addVariable("x");
  m.addRow("r", -kInf, 1, {{3, 1}});
  VeloriumModel engine;
  EXPECT_THROW(engine.fillFromModel(m.model, nullptr), velorium_exception);
}

TEST(IndicatorSplit, KeepsEverythingButTheRows) {
  TestModel m;
  int x = m.addVariable("x");
  m.model.name = "split";
  m.setObjective({{x, 5}}, 1, 1);
  m.addRow("r", 1, 2, {{x, 1}});
  Model target;
  Model& split = splitIndicatorConstraints(m.model, target);
  EXPECT_EQ(&split, &target);
  EXPECT_EQ(split.name, "split");
  EXPECT_EQ(split.variables.size(), 1u);
  EXPECT_EQ(split.objective.linear_terms.size(), 1u);
  EXPECT_EQ(split.objective_sense, 1);
  ASSERT_EQ(split.rows.size(), 2u);
  EXPECT_EQ(m.model.rows.size(), 1u) << "the source is not changed";
}

TEST(QuadraticConvexity, TermTable) {
  struct Case {
    const char* what;
    std::vector<QuadTerm> terms;
    bool concave;
    bool expected;
  };
  const Case cases[] = {
      {"no terms", {}, false, true},
      {"no terms, concave", {}, true, true},
      {"a positive square", {{0, 0, 2}}, false, true},
      {"a positive square, concave", {{0, 0, 2}}, true, false},
      {"a cross term alone", {{0, 1, 1}}, false, false},
      {"d(x)d(y) equals h^2", {{0, 0, 1}, {1, 1, 1}, {0, 1, 2}}, false, true},
      {"split cross terms sum up", {{0, 0, 1}, {1, 1, 1}, {0, 1, 1.5}, {1, 0, 1.5}}, false, false},
      {"x^2 + y^2 - 3xy", {{0, 0, 1}, {1, 1, 1}, {0, 1, -3}}, false, false},
      {"squares summed before the sign test", {{0, 0, 2}, {0, 0, -1}}, false, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isQuadraticConvex(c.terms, c.concave), c.expected) << c.what;
  }
}

ConstraintMatrix columnwiseSample() {
  // Columns: 0 -> rows 0, 2; 1 -> none; 2 -> rows 1, 2.
  ConstraintMatrix matrix;
  matrix.format = kMatrixColumnwise;
  matrix.column_count = 3;
  matrix.row_count = 3;
  matrix.starts = {0, 2, 2, 4};
  matrix.indices = {0, 2, 1, 2};
  matrix.values = {1, 2, 3, 4};
  return matrix;
}

TEST(EngineMatrix, RowwiseAndBack) {
  ConstraintMatrix matrix = columnwiseSample();
  ensureColumnwise(matrix);
  EXPECT_EQ(matrix.starts, (std::vector<std::int32_t>{0, 2, 2, 4})) << "already column-wise";

  ensureRowwise(matrix);
  EXPECT_EQ(matrix.format, kMatrixRowwise);
  EXPECT_EQ(matrix.starts, (std::vector<std::int32_t>{0, 1, 2, 4}));
  EXPECT_EQ(matrix.indices, (std::vector<std::int32_t>{0, 2, 0, 2}));
  EXPECT_EQ(matrix.values, (std::vector<double>{1, 3, 2, 4}));
  ensureRowwise(matrix);
  EXPECT_EQ(matrix.starts, (std::vector<std::int32_t>{0, 1, 2, 4})) << "already row-wise";

  ensureColumnwise(matrix);
  const ConstraintMatrix original = columnwiseSample();
  EXPECT_EQ(matrix.format, kMatrixColumnwise);
  EXPECT_EQ(matrix.starts, original.starts);
  EXPECT_EQ(matrix.indices, original.indices);
  EXPECT_EQ(matrix.values, original.values);
}

TEST(EngineMatrix, WithoutEntriesAndOtherFormats) {
  ConstraintMatrix empty;
  empty.column_count = 2;
  empty.row_count = 3;
  ensureRowwise(empty);
  EXPECT_EQ(empty.starts, (std::vector<std::int32_t>{0, 0, 0, 0}));
  EXPECT_TRUE(empty.indices.empty());

  ConstraintMatrix parts = columnwiseSample();
  ensureRowwise(parts);
  parts.format = kMatrixRowwisePartitioned;
  ensureRowwise(parts);
  EXPECT_EQ(parts.format, kMatrixRowwisePartitioned) << "row-wise in parts counts as row-wise";
  ensureColumnwise(parts);
  EXPECT_EQ(parts.starts, columnwiseSample().starts);

  ConstraintMatrix unknown = columnwiseSample();
  unknown.format = 0;
  ensureColumnwise(unknown);
  EXPECT_EQ(unknown.format, kMatrixColumnwise);
  EXPECT_EQ(unknown.starts, columnwiseSample().starts) << "format 0 counts as column-wise";
}

TEST(EngineMatrix, InconsistentMatricesAreRefused) {
  struct Case {
    const char* what;
    std::vector<std::int32_t> starts, indices;
  };
  const Case cases[] = {
      {"a row index outside the matrix", {0, 2, 2, 4}, {0, 3, 1, 2}},
      {"a negative row index", {0, 2, 2, 4}, {0, -1, 1, 2}},
      {"falling starts", {0, 3, 2, 4}, {0, 2, 1, 2}},
      {"more entries than indices", {0, 2, 2, 5}, {0, 2, 1, 2}},
      {"too few starts", {0, 2, 4}, {0, 2, 1, 2}},
  };
  for (const Case& c : cases) {
    ConstraintMatrix matrix = columnwiseSample();
    matrix.starts = c.starts;
    matrix.indices = c.indices;
    EXPECT_THROW(ensureRowwise(matrix), velorium_exception) << c.what;
  }
}

}  // namespace
}  // namespace velorium

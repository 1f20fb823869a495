#include "formats/mps/mps_writer.hpp"

#include <gtest/gtest.h>


#include "support/test_models.hpp"

namespace velorium {
namespace {

using test::kInf;
using test::TestModel;

std::string mpsText(const Model& model) { return MpsWriter().writeModelToText(model); }

// The lines every minimised model without a name begins with.
constexpr const char* kMinimiseHead = "NAME        \nOBJSENSE\n  MIN\nROWS\n N  obj     \n";

TEST(MpsWriter, SmallLinearModel) {
  TestModel m;
  int x = m.addVariable("x");
  m.addRow("c1", -kInf, 4, {{x, 1}});
  m.setObjective({{x, 2}});
  EXPECT_EQ(mpsText(m.model),
            std::string(kMinimiseHead) +
            " L  c1      \n"
            "COLUMNS\n"
            "    x         obj       2\n"
            "    x         c1        1\n"
            "RHS\n"
            "    RHS_V     c1        4\n"
            "ENDATA\n");
}

TEST(MpsWriter, OffsetRangesFreeRowsAndEmptyColumns) {
  TestModel m;
  m.model.name = "my model";
  int x = m.addVariable("x");
  int unused = m.addVariable("a_long_column_name");
  m.addRow("range", 1, 5, {{x, 1}});
  m.addRow("open", -kInf, kInf, {{x, 0.1}});
  m.addRow("eq", 2, 2, {{x, -1.5}}, 0.5);
  m.addRow("ge", 0, kInf, {{x, 3}});
  m.setObjective({{x, 1}}, 3, 1);
  (void)unused;
  EXPECT_EQ(mpsText(m.model),
            "NAME        my model\n"
            "OBJSENSE\n"
            "  MAX\n"
            "ROWS\n"
            " N  obj     \n"
            " L  range   \n"
            " N  open    \n"
            " E  eq      \n"
            " G  ge      \n"
            "COLUMNS\n"
            "    x         obj       1\n"
            "    x         range     1\n"
            "    x         open      0.10000000000000001\n"
            "    x         eq        -1.5\n"
            "    x         ge        3\n"
            "    a_long_column_name  obj       0\n"
            "RHS\n"
            "    RHS_V     obj       -3\n"
            "    RHS_V     range     5\n"
            "    RHS_V     eq        1.5\n"
            "RANGES\n"
            "    RANGE     range     4\n"
            "ENDATA\n");
}

// Names of 15 characters and more take the long way through the writer's name slots.
TEST(MpsWriter, LongNamesExtendTheirLines) {
  TestModel m;
  int x = m.addVariable("x");
  int y = m.addVariable("column_name_16ch");
  m.addRow("row_name_fifteen", -kInf, 4, {{x, 1}, {y, 2}});
  m.addRow("row_name_15_chr", -kInf, 4, {{x, 3}});
  m.addRow("r", -kInf, 4, {{y, 0.5}});
  std::string text = mpsText(m.model);
  EXPECT_EQ(text.substr(text.find("COLUMNS\n"), text.find("RHS\n") - text.find("COLUMNS\n")),
            "COLUMNS\n"
            "    x         row_name_fifteen  1\n"
            "    x         row_name_15_chr  3\n"
            "    column_name_16ch  row_name_fifteen  2\n"
            "    column_name_16ch  r         0.5\n");
}

TEST(MpsWriter, IntegerMarkersAroundRuns) {
  TestModel m;
  m.addVariable("a", 0, 1, test::kInteger);
  m.addVariable("b", 0, 1, test::kBinary);
  m.addVariable("c");
  m.addVariable("d", 0, 1, test::kInteger);
  EXPECT_EQ(mpsText(m.model),
            std::string(kMinimiseHead) +
            "COLUMNS\n"
            "    MARK0000  'MARKER'                 'INTORG'\n"
            "    a         obj       0\n"
            "    b         obj       0\n"
            "    MARK0001  'MARKER'                 'INTEND'\n"
            "    c         obj       0\n"
            "    MARK0002  'MARKER'                 'INTORG'\n"
            "    d         obj       0\n"
            "    MARK0003  'MARKER'                 'INTEND'\n"
            "RHS\n"  // without a line: cbc wants the section before BOUNDS
            "BOUNDS\n"
            " BV BOUND     a       \n"
            " BV BOUND     b       \n"
            " BV BOUND     d       \n"
            "ENDATA\n");
}

struct BoundCase {
  const char* title;
  double lower;
  double upper;
  std::uint8_t kind;
  const char* lines;
};

TEST(MpsWriter, BoundLinesReadBackAsTheBounds) {
  const BoundCase cases[] = {
      {"integer [0, 1]", 0, 1, kExportInteger, " BV BOUND     x       \n"},
      {"integer [2, 10]", 2, 10, kExportInteger, " LI BOUND     x         2\n UI BOUND     x         10\n"},
      {"integer [0, 7]", 0, 7, kExportInteger, " UI BOUND     x         7\n"},
      {"integer [0, inf]", 0, kInf, kExportInteger, " LI BOUND     x         0\n"},
      {"integer [-3, inf]", -3, kInf, kExportInteger, " LI BOUND     x         -3\n"},
      {"integer [-inf, 5]", -kInf, 5, kExportInteger, " MI BOUND     x       \n UI BOUND     x         5\n"},
      {"integer [-inf, -5]", -kInf, -5, kExportInteger, " MI BOUND     x       \n UI BOUND     x         -5\n"},
      {"integer [0, -2]", 0, -2, kExportInteger, " LI BOUND     x         0\n UI BOUND     x         -2\n"},
      {"integer [4, 4]", 4, 4, kExportInteger, " FX BOUND     x         4\n"},
      {"integer free", -kInf, kInf, kExportInteger, " FR BOUND     x       \n"},
      {"continuous [-inf, 5]", -kInf, 5, kExportContinuous, " MI BOUND     x       \n UP BOUND     x         5\n"},
      {"continuous [3, inf]", 3, kInf, kExportContinuous, " LO BOUND     x         3\n"},
      {"continuous [0, 5]", 0, 5, kExportContinuous, " UP BOUND     x         5\n"},
      {"continuous [-1, 5]", -1, 5, kExportContinuous, " LO BOUND     x         -1\n UP BOUND     x         5\n"},
      {"continuous [0, -2]", 0, -2, kExportContinuous, " LO BOUND     x         0\n UP BOUND     x         -2\n"},
      {"continuous [4, 4]", 4, 4, kExportContinuous, " FX BOUND     x         4\n"},
      {"continuous free", -kInf, kInf, kExportContinuous, " FR BOUND     x       \n"},
      {"continuous [-inf, inf] as minus", -kInf, kInf, kExportContinuous, " FR BOUND     x       \n"},
      {"semi-continuous [2, 10]", 2, 10, kExportSemiContinuous, " SC BOUND     x         10\n LO BOUND     x         2\n"},
      {"semi-integer [2, 10]", 2, 10, kExportSemiInteger, " SI BOUND     x         10\n LO BOUND     x         2\n"},
      {"semi-continuous [4, 4]", 4, 4, kExportSemiContinuous, " SC BOUND     x         4\n LO BOUND     x         4\n"},
      {"semi-integer [0, inf]", 0, kInf, kExportSemiInteger, " SI BOUND     x         inf\n LO BOUND     x         0\n"},
      {"continuous [-1, -0]", -1, -0.0, kExportContinuous, " LO BOUND     x         -1\n UP BOUND     x         0\n"},
      {"continuous [-0, -0]", -0.0, -0.0, kExportContinuous, " FX BOUND     x         0\n"},
      {"integer [-0, 3]", -0.0, 3, kExportInteger, " UI BOUND     x         3\n"},
      {"integer [0, -0]", 0, -0.0, kExportInteger, " FX BOUND     x         0\n"},
      {"integer [-0, 1]", -0.0, 1, kExportInteger, " BV BOUND     x       \n"},
      {"semi-continuous [-0, -0]", -0.0, -0.0, kExportSemiContinuous, " SC BOUND     x         0\n LO BOUND     x         0\n"},
  };
  for (const BoundCase& c : cases) {
    SCOPED_TRACE(c.title);
    std::string out;
    writeMpsBound(out, c.lower, c.upper, c.kind, "x");
    EXPECT_EQ(out, c.lines);
  }
}

// Minus zero, which calculations leave behind, is written as 0 wherever a number goes.
TEST(MpsWriter, MinusZeroIsWrittenAsZero) {
  TestModel m;
  int x = m.addVariable("x", -1, -0.0);
  m.addRow("le", -kInf, -0.0, {{x, 1}});
  m.addRow("eq", -0.0, -0.0, {{x, 2}});
  m.addRow("rng", -0.0, 4, {{x, -0.0}});
  m.setObjective({{x, -0.0}}, -0.0);
  const std::string text = mpsText(m.model);
  EXPECT_EQ(text.find("-0\n"), std::string::npos) << text;
  EXPECT_NE(text.find(" UP BOUND     x         0\n"), std::string::npos) << text;
}

TEST(MpsWriter, BoundsSectionSkipsOnlyDefaultContinuousColumns) {
  TestModel m;
  m.addVariable("a");
  m.addVariable("b", 0, kInf, test::kInteger);
  m.addVariable("c", 0, 5, test::kContinuous);
  ExportModel copy = buildExportModel(m.model);
  std::string text = collectText([&](TextOutput& out) { writeMpsBounds(out, copy, true); });
  EXPECT_EQ(text, "BOUNDS\n LI BOUND     b         0\n UP BOUND     c         5\n");
}

TEST(MpsWriter, QuadraticSections) {
  TestModel m;
  int x = m.addVariable("x");
  int y = m.addVariable("y");
  m.setObjective({{x, 1}});
  m.addObjectiveQuadratic({{x, y, 1.5}, {x, x, 1.5}, {y, x, 0}});
  int r = m.addRow("r", -kInf, 4, {{x, 1}});
  m.addRowQuadratic(r, {{y, x, 1.5}});
  int z = m.addRow("z", -kInf, 4, {});
  m.addRowQuadratic(z, {{x, y, 0}});
  EXPECT_EQ(mpsText(m.model),
            std::string(kMinimiseHead) +
            " L  r       \n"
            " L  z       \n"
            "COLUMNS\n"
            "    x         obj       1\n"
            "    x         r         1\n"
            "    y         obj       0\n"
            "RHS\n"
            "    RHS_V     r         4\n"
            "    RHS_V     z         4\n"
            "QMATRIX\n"
            "    x         x         3\n"
            "    x         y         1.5\n"
            "    y         x         1.5\n"
            "QCMATRIX   r\n"
            "    x         y         0.75\n"
            "    y         x         0.75\n"
            "QCMATRIX   z\n"
            "ENDATA\n");
}

TEST(MpsWriter, IndicatorsAndGeneralConstraints) {
  TestModel m;
  int x = m.addVariable("x");
  int b = m.addVariable("b", 0, 1, test::kBinary);
  int r = m.addVariable("r", -kInf, kInf);
  int c = m.addRow("c", -kInf, 3, {{x, 2}});
  m.setIndicator(c, b, true);
  int d = m.addRow("d", 1, kInf, {{x, 1}});
  m.setIndicator(d, b, false);
  m.model.general_constraints.push_back(
      {"g 1",
       {ExprNodeRecord::operation(3, -1), ExprNodeRecord::variable(x, 0), ExprNodeRecord::constant(2.5, 0)},
       r});
  m.model.general_constraints.push_back({"g_1", {ExprNodeRecord::operation(6, -1), ExprNodeRecord::variable(b, 0)}, r});
  std::string text = mpsText(m.model);
  std::string tail = text.substr(text.find("BOUNDS\n"));
  EXPECT_EQ(tail,
            "BOUNDS\n"
            " BV BOUND     b       \n"
            " FR BOUND     r       \n"
            "INDICATORS\n"
            " IF c         b         1\n"
            " IF d         b         0\n"
            "GENCONS\n"
            " NL g_1\n"
            "    r\n"
            "    PLUS -1 -1\n"
            "    VARIABLE x 0\n"
            "    CONSTANT 2.5 0\n"
            " NL g_1#1\n"
            "    r\n"
            "    SQRT -1 -1\n"
            "    VARIABLE b 0\n"
            "ENDATA\n");
}

// Repeated terms of one variable are summed: one entry per column and row, none for a sum of 0.
TEST(MpsWriter, RepeatedTermsGiveOneEntry) {
  TestModel m;
  int x = m.addVariable("x");
  int y = m.addVariable("y");
  m.addRow("r", -kInf, 4, {{x, 1}, {y, 1}, {x, 1}, {y, -1}});
  m.setObjective({{x, 1}, {x, 2}, {y, 3}, {y, -3}});
  std::string text = mpsText(m.model);
  EXPECT_EQ(text.substr(text.find("COLUMNS\n"), text.find("RHS\n") - text.find("COLUMNS\n")),
            "COLUMNS\n"
            "    x         obj       3\n"
            "    x         r         2\n"
            "    y         obj       0\n");
}

TEST(MpsWriter, ObjectiveAndColumnNamesAreLegalised) {
  TestModel m;
  int x = m.addVariable("RHS");
  m.addRow("obj", -kInf, 4, {{x, 1}});
  m.nameObjective(std::nullopt);
  std::string text = mpsText(m.model);
  EXPECT_NE(text.find(" N  obj#1   \n L  obj     \n"), std::string::npos) << text;
  EXPECT_NE(text.find("COLUMNS\n    _RHS      obj       1\nRHS\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace velorium

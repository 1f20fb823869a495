// Independent solvers read the files we write and must find the known optimum: a file that
// they misread (a lost bound, a wrong sign, a dropped integrality) shows as another optimum.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>

#include "formats/lp/lp_writer.hpp"
#include "formats/mps/mps_writer.hpp"
#include "support/external_tool.hpp"
#include "support/log_capture.hpp"
#include "support/scratch_dir.hpp"
#include "support/test_models.hpp"

namespace velorium {
namespace {

using test::kInf;
using test::TestModel;

// min x + y, x + 2y >= 4, 3x + y >= 6: the optimum lies where both rows are tight (1.6, 1.2).
TestModel smallMinimum() {
  TestModel m;
  int x = m.addVariable("x");
  int y = m.addVariable("y");
  m.addRow("a", 4, kInf, {{x, 1}, {y, 2}});
  m.addRow("b", 6, kInf, {{x, 3}, {y, 1}});
  m.setObjective({{x, 1}, {y, 1}});
  return m;
}

// max 3x + 2y - z + 10 with z = x - 1, 1 <= x + y <= 4: the objective is 2(x + y) + 11, so 19.
// Bounds of every continuous kind, a ranged and an equality row, a free row, an offset.
TestModel boundsAndRanges() {
  TestModel m;
  int x = m.addVariable("x", -2, 3);
  int y = m.addVariable("y", -kInf, 3);
  int z = m.addVariable("z", -kInf, kInf);
  int w = m.addVariable("w", 1.5, 1.5);
  m.addRow("sum", 1, 4, {{x, 1}, {y, 1}});
  m.addRow("link", 1, 1, {{x, 1}, {z, -1}});
  m.addRow("loose", -kInf, kInf, {{x, 1}, {w, 1}});
  m.addRow("wcap", -kInf, 2, {{w, 1}}, 0.5);  // w + 0.5 <= 2
  m.setObjective({{x, 3}, {y, 2}, {z, -1}}, 10, 1);
  return m;
}

// max 5a + 4b + 3c over the integers: 2a + 3b + c <= 5, 4a + b + 2c <= 11, 3a + 4b + 2c <= 8;
// the optimum 13 is at (2, 0, 1).
TestModel smallIntegerMaximum() {
  TestModel m;
  int a = m.addVariable("a", 0, kInf, test::kInteger);
  int b = m.addVariable("b", 0, kInf, test::kInteger);
  int c = m.addVariable("c", 0, kInf, test::kInteger);
  m.addRow("r1", -kInf, 5, {{a, 2}, {b, 3}, {c, 1}});
  m.addRow("r2", -kInf, 11, {{a, 4}, {b, 1}, {c, 2}});
  m.addRow("r3", -kInf, 8, {{a, 3}, {b, 4}, {c, 2}});
  m.setObjective({{a, 5}, {b, 4}, {c, 3}}, 0, 1);
  return m;
}

// min 2x + y + 3b + 1 with x integer in [-inf, 10], y integer in [0, 7], b binary:
// x >= -3.5, x + y >= -1, b + y >= 3 give x = -3, y = 3, b = 0 and the optimum -2. A lost
// lower bound -inf of x would give x >= 0 and the optimum 1 + ... instead.
TestModel integerBounds() {
  TestModel m;
  int x = m.addVariable("x", -kInf, 10, test::kInteger);
  int y = m.addVariable("y", 0, 7, test::kInteger);
  int b = m.addVariable("b", 0, 1, test::kBinary);
  int f = m.addVariable("f", 2, 2, test::kInteger);
  int g = m.addVariable("g", 0, 1, test::kInteger);
  m.addRow("lowx", -3.5, kInf, {{x, 1}});
  m.addRow("pair", -1, kInf, {{x, 1}, {y, 1}});
  m.addRow("need", 3, kInf, {{b, 1}, {y, 1}});
  m.addRow("fg", -kInf, 2.5, {{f, 1}, {g, 1}});
  m.setObjective({{x, 2}, {y, 1}, {b, 3}, {g, -0.25}, {f, 0}}, 1);
  return m;
}

// Names that no file can carry as they are, repeated terms and a repeated objective term:
// min (x + x) + 3y - y with x + x + y >= 4 and y - y + y <= 1: x = 1.5, y = 1, optimum 5.
TestModel awkwardNames() {
  TestModel m;
  int x = m.addVariable("my x");
  int y = m.addVariable("RHS");
  m.addRow("a+b", 4, kInf, {{x, 1}, {x, 1}, {y, 1}});
  m.addRow("a+b", -kInf, 1, {{y, 1}, {y, -1}, {y, 1}});
  m.nameObjective("total cost");
  m.setObjective({{x, 1}, {x, 1}, {y, 3}, {y, -1}});
  return m;
}

// Names that begin with "." (cbc drops such rows and terms, glpsol refuses them) and names
// that other tools take for the general-integer section: min .x + int + 3 integer + .n with
// .x + int >= 2, int + integer >= 3, .x - int >= -1, int <= 1.5 and .n >= 0.5 integer gives
// int = 1.5, integer = 1.5, .x = 0.5, .n = 1 and the optimum 7.5.
TestModel pointAndIntegerNames() {
  TestModel m;
  int x = m.addVariable(".x");
  int i = m.addVariable("int", 0, 1.5);
  int g = m.addVariable("integer");
  int n = m.addVariable(".n", 0, kInf, test::kInteger);
  m.addRow(".r1", 2, kInf, {{x, 1}, {i, 1}});
  m.addRow("..", 3, kInf, {{i, 1}, {g, 1}});
  m.addRow(".e5", -1, kInf, {{x, 1}, {i, -1}});
  m.addRow("INT", 0.5, kInf, {{n, 1}});
  m.setObjective({{x, 1}, {i, 1}, {g, 3}, {n, 1}});
  return m;
}

// The glpk example plan.mps, built by hand (the ranged row si stands for its two si rows).
TestModel glpkPlan() {
  TestModel m;
  const char* names[] = {"bin1", "bin2", "bin3", "bin4", "bin5", "alum", "silicon"};
  const double lower[] = {0, 0, 400, 100, 0, 0, 0};
  const double upper[] = {200, 2500, 800, 700, 1500, kInf, kInf};
  for (int j = 0; j < 7; ++j) m.addVariable(names[j], lower[j], upper[j]);
  m.setObjective({{0, .03}, {1, .08}, {2, .17}, {3, .12}, {4, .15}, {5, .21}, {6, .38}});
  m.addRow("yield", 2000, 2000, {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}});
  m.addRow("fe", -kInf, 60, {{0, .15}, {1, .04}, {2, .02}, {3, .04}, {4, .02}, {5, .01}, {6, .03}});
  m.addRow("cu", -kInf, 100, {{0, .03}, {1, .05}, {2, .08}, {3, .02}, {4, .06}, {5, .01}});
  m.addRow("mn", -kInf, 40, {{0, .02}, {1, .04}, {2, .01}, {3, .02}, {4, .02}});
  m.addRow("mg", -kInf, 30, {{0, .02}, {1, .03}, {4, .01}});
  m.addRow("al", 1500, kInf, {{0, .70}, {1, .75}, {2, .80}, {3, .75}, {4, .80}, {5, .97}});
  m.addRow("si", 250, 300, {{0, .02}, {1, .06}, {2, .08}, {3, .12}, {4, .02}, {5, .01}, {6, .97}});
  return m;
}

// The glpk example samp1.mps, built by hand.
TestModel glpkSamp1() {
  TestModel m;
  int x1 = m.addVariable("X1", 0, 4);
  int x2 = m.addVariable("X2", 2, 5, test::kInteger);
  int x3 = m.addVariable("X3", 0, 1, test::kInteger);
  int x4 = m.addVariable("X4", 3, 8);
  m.nameObjective("Z");
  m.setObjective({{x1, 3}, {x2, 7}, {x3, -1}, {x4, 1}});
  m.addRow("R1", 1, kInf, {{x1, 2}, {x2, -1}, {x3, 1}, {x4, -1}});
  m.addRow("R2", 8, kInf, {{x1, 1}, {x2, -1}, {x3, -6}, {x4, 4}});
  m.addRow("R3", 5, kInf, {{x1, 5}, {x2, 3}, {x4, 1}});
  return m;
}

// min x with the row x >= 0 and x in [-10, 10]: no right-hand side to write, but bounds.
TestModel zeroRightHandSides() {
  TestModel m;
  int x = m.addVariable("x", -10, 10);
  m.addRow("r", 0, kInf, {{x, 1}});
  m.setObjective({{x, 1}});
  return m;
}

// min -2x with x in [-10, 10] and no rows: -20.
TestModel noRows() {
  TestModel m;
  m.addVariable("x", -10, 10);
  m.setObjective({{0, -2}});
  return m;
}

// A feasibility model without an objective (as a sudoku is): x + y = 3, x - y >= 1, x and y
// integer in [0, 2]: the only point is (2, 1), and every reader's optimum is 0. glpsol refuses
// an objective line without a term, so the LP file names the first column with 0.
TestModel noObjective() {
  TestModel m;
  int x = m.addVariable("x", 0, 2, test::kInteger);
  int y = m.addVariable("y", 0, 2, test::kInteger);
  m.addRow("sum", 3, 3, {{x, 1}, {y, 1}});
  m.addRow("gap", 1, kInf, {{x, 1}, {y, -1}});
  return m;
}

struct KnownModel {
  const char* title;
  std::function<TestModel()> build;
  double optimum;
};

const KnownModel kKnownModels[] = {
    {"small minimum", smallMinimum, 2.8},
    {"bounds and ranges", boundsAndRanges, 19},
    {"small integer maximum", smallIntegerMaximum, 13},
    {"integer bounds", integerBounds, -2},
    {"awkward names", awkwardNames, 4},
    {"names beginning with a point, integer names", pointAndIntegerNames, 7.5},
    {"glpk plan", glpkPlan, 296.2166065},
    {"glpk samp1", glpkSamp1, 24.333333333},
    {"zero right-hand sides", zeroRightHandSides, 0},
    {"no rows", noRows, -20},
    {"no objective", noObjective, 0},
};

void expectOptimum(const test::SolverOutcome& outcome, double optimum, const std::string& path) {
  std::string context = outcome.output + "\n--- " + path + ":\n" + test::readFileBytes(path);
  EXPECT_TRUE(outcome.read_cleanly) << context;
  EXPECT_EQ(outcome.status, "Optimal") << context;
  ASSERT_TRUE(outcome.objective.has_value()) << context;
  EXPECT_NEAR(*outcome.objective, optimum, 1e-6 * std::max(1.0, std::fabs(optimum))) << context;
}

class WriterCrossCheck : public testing::Test {
 protected:
  void requireTool(const char* tool) {
    if (!test::toolAvailable(tool)) GTEST_SKIP() << tool << " is not installed (tools/setup-machine installs it)";
  }
  std::string write(const std::string& file, const Model& model) {
    std::string path = dir_.file(file);
    bool lp = file.ends_with(".lp");
    int status = lp ? LpWriter().writeModelToFile(log_.options(), path, model)
                    : writeModelAsMps(log_.options(), path, model);
    EXPECT_EQ(status, 0);
    return path;
  }
  test::ScratchDir dir_;
  test::LogCapture log_;
};

TEST_F(WriterCrossCheck, CbcReadsOurMpsFilesAndFindsTheOptimum) {
  requireTool("cbc");
  for (const KnownModel& known : kKnownModels) {
    SCOPED_TRACE(known.title);
    Model model = known.build().model;
    std::string path = write("model.mps", model);
    expectOptimum(test::solveWithCbc(path, model.objective_sense != 0), known.optimum, path);
  }
}

TEST_F(WriterCrossCheck, CbcReadsOurLpFilesAndFindsTheOptimum) {
  requireTool("cbc");
  for (const KnownModel& known : kKnownModels) {
    SCOPED_TRACE(known.title);
    Model model = known.build().model;
    std::string path = write("model.lp", model);
    // cbc 2.10 drops the objective's constant of an LP file when it minimises.
    double expected = known.optimum - (model.objective_sense == 0 ? model.objective.constant : 0.0);
    expectOptimum(test::solveWithCbc(path), expected, path);
  }
}

// glpsol reads no OBJSENSE section (it is taken out of a copy, and the sense is given on the
// command line), and takes an RHS value of the objective row as its constant with the sign
// unchanged, where the MPS convention that we and cbc follow takes it negated.
TEST_F(WriterCrossCheck, GlpsolReadsOurMpsFilesAndFindsTheOptimum) {
  requireTool("glpsol");
  for (const KnownModel& known : kKnownModels) {
    SCOPED_TRACE(known.title);
    Model model = known.build().model;
    std::string text = test::readFileBytes(write("model.mps", model));
    std::size_t sense = text.find("OBJSENSE\n");
    ASSERT_NE(sense, std::string::npos);
    text.erase(sense, text.find("ROWS\n") - sense);
    std::string path = dir_.write("glpk.mps", text);
    double expected = known.optimum - 2 * model.objective.constant;
    expectOptimum(test::solveWithGlpsol(path, "--freemps", model.objective_sense != 0 ? "--max" : "--min"), expected,
                  path);
  }
}

// glpsol's LP reader takes none of the names as written ("invalid use of decimal point",
// "integer" opens a section): our file carries their legal forms, and it finds the optimum.
TEST_F(WriterCrossCheck, GlpsolReadsOurLpFileOfAwkwardNames) {
  requireTool("glpsol");
  std::string path = write("names.lp", pointAndIntegerNames().model);
  expectOptimum(test::solveWithGlpsol(path, "--lp"), 7.5, path);
}

// The hand-built copies of glpk's examples agree with the examples themselves.
TEST_F(WriterCrossCheck, GlpkExamplesGiveTheSameOptimum) {
  requireTool("glpsol");
  const std::string examples = "/usr/share/doc/glpk-utils/examples/";
  for (const auto& [file, optimum] : {std::pair{"plan.mps", 296.2166065}, std::pair{"samp1.mps", 24.333333333}}) {
    SCOPED_TRACE(file);
    if (!std::filesystem::exists(examples + file)) GTEST_SKIP() << "glpk example " << file << " is missing";
    expectOptimum(test::solveWithGlpsol(examples + file, "--mps"), optimum, examples + file);
  }
}


// ---------------------------------------------------------------------------------------------
// What each reader makes of the parts of our files that not every reader takes: every claim of
// the README's "Files and other tools" stands here as a case.
// ---------------------------------------------------------------------------------------------

// min x + 10y with x semi-continuous (or semi-integer) in {0} or [2, upper], y in [0, 1.5] and
// x + y >= 1: 2 at x = 2.
TestModel semiContinuous(std::uint32_t type, double upper) {
  TestModel m;
  int x = m.addVariable("x", 2, upper, type);
  int y = m.addVariable("y", 0, 1.5);
  m.addRow("r", 1, kInf, {{x, 1}, {y, 1}});
  m.setObjective({{x, 1}, {y, 10}});
  return m;
}

// min x^2 - 2x with x in [-10, 10]: -1; without the quadratic term -20.
TestModel quadraticObjective() {
  TestModel m;
  int x = m.addVariable("x", -10, 10);
  m.setObjective({{x, -2}});
  m.addObjectiveQuadratic({{x, x, 1}});
  return m;
}

// max x + y with x^2 + y^2 <= 2 and x, y in [0, 10]: 2; without the quadratic row 20.
TestModel quadraticRow() {
  TestModel m;
  int x = m.addVariable("x", 0, 10);
  int y = m.addVariable("y", 0, 10);
  int q = m.addRow("q", -kInf, 2, {});
  m.addRowQuadratic(q, {{x, x, 1}, {y, y, 1}});
  m.setObjective({{x, 1}, {y, 1}}, 0, 1);
  return m;
}

// max x + y with x <= 8, y <= 1, the binary f forced to 1 and the indicator f = 1 -> x <= 2:
// 3; without the indicator 9.
TestModel indicatorRow() {
  TestModel m;
  int x = m.addVariable("x", 0, 8);
  int y = m.addVariable("y", 0, 1);
  int f = m.addVariable("f", 0, 1, test::kBinary);
  m.addRow("force", 1, kInf, {{f, 1}});
  int ind = m.addRow("ind", -kInf, 2, {{x, 1}});
  m.setIndicator(ind, f, true);
  m.setObjective({{x, 1}, {y, 1}}, 0, 1);
  return m;
}

// max x with the general constraint z = x + 2 and z <= 4: 2.
TestModel generalConstraint() {
  TestModel m;
  int x = m.addVariable("x", 0, 10);
  int z = m.addVariable("z", -kInf, 4);
  m.addRow("r", -kInf, 100, {{x, 1}});
  m.model.general_constraints.push_back(
      {"g", {ExprNodeRecord::operation(3, -1), ExprNodeRecord::variable(x, 0), ExprNodeRecord::constant(2, 0)}, z});
  m.setObjective({{x, 1}}, 0, 1);
  return m;
}

// min x with the ranged row 1 <= x <= 4 and x free, plus `constant`: 1 + constant.
TestModel rangedRow(double constant) {
  TestModel m;
  int x = m.addVariable("x", -kInf, kInf);
  m.addRow("rng", 1, 4, {{x, 1}});
  m.setObjective({{x, 1}}, constant);
  return m;
}

// A row whose bounds are both -inf: written with the right-hand side -inf.
TestModel minusInfiniteRightHandSide() {
  TestModel m;
  int x = m.addVariable("x", 0, 1);
  m.addRow("a", 0, kInf, {{x, 1}});
  m.addRow("c", -kInf, -kInf, {{x, 1}});
  m.setObjective({{x, 1}});
  return m;
}

// max 3p + 2q with p binary, q integer in [0, 3] and p + q <= 2.5: 5 at (1, 1).
TestModel binaryMaximum() {
  TestModel m;
  int p = m.addVariable("p", 0, 1, test::kBinary);
  int q = m.addVariable("q", 0, 3, test::kInteger);
  m.addRow("cap", -kInf, 2.5, {{p, 1}, {q, 1}});
  m.setObjective({{p, 3}, {q, 2}}, 0, 1);
  return m;
}

// smallMinimum with a row that has no terms (0 <= 10): written "empty : <= 10".
TestModel rowWithoutTerms() {
  TestModel m = smallMinimum();
  m.addRow("empty", -kInf, 10, {});
  return m;
}

// smallMinimum with its second column named `name`: 2.8.
TestModel columnNamed(const char* name) {
  TestModel m = smallMinimum();
  m.model.variables[1].name_id = test::nameId(name);
  return m;
}

enum class Reader { cbc_mps, cbc_lp, glpsol_mps, glpsol_lp };
// reads: the reader finds the model's optimum. misreads: it reads the file without a word and
// finds another optimum (it drops a part). refuses: it reports an error or stops.
enum class Outcome { reads, misreads, refuses };

struct Claim {
  const char* what;
  Reader reader;
  std::function<TestModel()> build;
  Outcome outcome;
  double optimum;  // what the reader finds when it reads or misreads
  bool maximize_on_command_line = true;  // cbc: pass "max" for a maximised model
};

class ReaderClaims : public WriterCrossCheck {
 protected:
  // Writes the model as the reader wants it and has the reader solve it; `path` is the file.
  test::SolverOutcome run(const Claim& claim, const Model& model, std::string& path) {
    const bool maximise = model.objective_sense != 0;
    switch (claim.reader) {
      case Reader::cbc_mps:
        path = write("model.mps", model);
        return test::solveWithCbc(path, maximise && claim.maximize_on_command_line);
      case Reader::cbc_lp:
        path = write("model.lp", model);
        return test::solveWithCbc(path);
      case Reader::glpsol_mps: {
        // glpsol reads no OBJSENSE section: it goes, and the sense is given on the command line.
        std::string text = test::readFileBytes(write("model.mps", model));
        const std::size_t sense = text.find("OBJSENSE\n");
        if (claim.maximize_on_command_line) text.erase(sense, text.find("ROWS\n") - sense);
        path = dir_.write("glpk.mps", text);
        return test::solveWithGlpsol(path, "--freemps", maximise ? "--max" : "--min");
      }
      case Reader::glpsol_lp:
        path = write("model.lp", model);
        return test::solveWithGlpsol(path, "--lp", maximise ? "--max" : "--min");
    }
    return {};
  }
};

TEST_F(ReaderClaims, EachReaderReadsMisreadsOrRefusesWhatTheReadmeSays) {
  requireTool("cbc");
  requireTool("glpsol");
  using enum Reader;
  using enum Outcome;
  using test::kInteger;
  using test::kSemiContinuous;
  using test::kSemiInteger;
  const Claim claims[] = {
      // cbc, MPS.
      {"semi-continuous with an upper bound", cbc_mps, [] { return semiContinuous(kSemiContinuous, 10); }, reads, 2},
      {"SC bound of inf", cbc_mps, [] { return semiContinuous(kSemiContinuous, kInf); }, refuses, 0},
      {"SI bound lines", cbc_mps, [] { return semiContinuous(kSemiInteger, 10); }, refuses, 0},
      {"QMATRIX", cbc_mps, quadraticObjective, refuses, 0},
      {"QCMATRIX", cbc_mps, quadraticRow, refuses, 0},
      {"INDICATORS", cbc_mps, indicatorRow, refuses, 0},
      {"GENCONS", cbc_mps, generalConstraint, refuses, 0},
      {"right-hand side -inf", cbc_mps, minusInfiniteRightHandSide, refuses, 0},
      {"OBJSENSE is ignored", cbc_mps, smallIntegerMaximum, misreads, 0, false},
      // cbc, LP.
      {"semi-continuous with an upper bound", cbc_lp, [] { return semiContinuous(kSemiContinuous, 10); }, reads, 2},
      {"semi-integer with an upper bound", cbc_lp, [] { return semiContinuous(kSemiInteger, 10); }, reads, 2},
      {"semi-continuous without an upper bound", cbc_lp, [] { return semiContinuous(kSemiContinuous, kInf); },
       refuses, 0},
      {"the objective's constant when minimising", cbc_lp, [] { return rangedRow(5); }, misreads, 1},
      {"quadratic objective", cbc_lp, quadraticObjective, misreads, -20},
      {"quadratic row", cbc_lp, quadraticRow, misreads, 20},
      {"indicator row", cbc_lp, indicatorRow, misreads, 9},
      {"general constraint", cbc_lp, generalConstraint, refuses, 0},
      // glpsol, free MPS.
      {"OBJSENSE", glpsol_mps, smallMinimum, refuses, 0, false},
      {"the objective's constant", glpsol_mps, [] { return rangedRow(5); }, misreads, 1 - 5},
      {"SC bound lines", glpsol_mps, [] { return semiContinuous(kSemiContinuous, 10); }, refuses, 0},
      {"SI bound lines", glpsol_mps, [] { return semiContinuous(kSemiInteger, 10); }, refuses, 0},
      {"QMATRIX", glpsol_mps, quadraticObjective, refuses, 0},
      {"QCMATRIX", glpsol_mps, quadraticRow, refuses, 0},
      {"INDICATORS", glpsol_mps, indicatorRow, refuses, 0},
      {"GENCONS", glpsol_mps, generalConstraint, refuses, 0},
      {"right-hand side -inf", glpsol_mps, minusInfiniteRightHandSide, refuses, 0},
      // glpsol, CPLEX LP.
      {"rows, bounds and Generals", glpsol_lp, glpkSamp1, reads, 24.333333333},
      {"Maximize and Binaries", glpsol_lp, binaryMaximum, reads, 5},
      {"no objective", glpsol_lp, noObjective, reads, 0},
      {"ranged row", glpsol_lp, [] { return rangedRow(0); }, refuses, 0},
      {"the objective's constant", glpsol_lp, [] { return rangedRow(5); }, refuses, 0},
      {"right-hand side -inf", glpsol_lp, minusInfiniteRightHandSide, refuses, 0},
      {"quadratic objective", glpsol_lp, quadraticObjective, refuses, 0},
      {"Semi-continuous", glpsol_lp, [] { return semiContinuous(kSemiContinuous, 10); }, refuses, 0},
      {"indicator row", glpsol_lp, indicatorRow, refuses, 0},
      {"general constraint", glpsol_lp, generalConstraint, refuses, 0},
      {"no rows", glpsol_lp, noRows, refuses, 0},
      {"a row without terms", glpsol_lp, rowWithoutTerms, refuses, 0},
      {"a column named b", glpsol_lp, [] { return columnNamed("b"); }, refuses, 0},
      {"a column named i", glpsol_lp, [] { return columnNamed("i"); }, refuses, 0},
  };
  const char* const readers[] = {"cbc MPS", "cbc LP", "glpsol MPS", "glpsol LP"};
  for (const Claim& claim : claims) {
    SCOPED_TRACE(std::string(readers[static_cast<int>(claim.reader)]) + ": " + claim.what);
    const Model model = claim.build().model;
    std::string path;
    const test::SolverOutcome outcome = run(claim, model, path);
    if (claim.outcome == refuses) {
      EXPECT_TRUE(!outcome.read_cleanly || !outcome.objective.has_value())
          << outcome.output << "\n--- " << path << ":\n" << test::readFileBytes(path);
    } else {
      expectOptimum(outcome, claim.optimum, path);
    }
  }
}

}  // namespace
}  // namespace velorium

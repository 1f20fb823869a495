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

}  // namespace
}  // namespace velorium

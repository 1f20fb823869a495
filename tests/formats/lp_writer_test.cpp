#include "formats/lp/lp_writer.hpp"

#include <gtest/gtest.h>

#include "support/test_models.hpp"

namespace velorium {
namespace {

using test::kInf;
using test::TestModel;

constexpr const char* kHead = "\\ File written by Velorium LP filereader\n";

std::string lpText(const Model& model) { return LpWriter().writeModelToText(model); }

// The text between "Subject To\n" and the empty line before "Bounds".
std::string constraintsOf(const std::string& text) {
  std::size_t begin = text.find("Subject To\n") + 11;
  return text.substr(begin, text.find("\nBounds\n") - begin);
}

TEST(LpWriter, EmptyModel) {
  TestModel m;
  EXPECT_EQ(lpText(m.model), std::string(kHead) + "Minimize\n obj: \n\nSubject To\n\nBounds\nEnd\n");
}

TEST(LpWriter, ObjectiveAndRowForms) {
  TestModel m;
  int x = m.addVariable("x");
  int y = m.addVariable("y");
  int z = m.addVariable("z");
  m.addRow("c1", -kInf, 10, {{x, 3}, {y, 2}, {z, -1}});
  m.setObjective({{x, 2}}, 4);
  m.addObjectiveQuadratic({{x, x, 0.5}});
  EXPECT_EQ(lpText(m.model), std::string(kHead) +
                                 "Minimize\n"
                                 " obj: 2 x + [ x^2 ]/ 2  +4\n"
                                 "\n"
                                 "Subject To\n"
                                 "c1 : 3 x + 2 y - z <= 10\n"
                                 "\n"
                                 "Bounds\n"
                                 "End\n");
}

TEST(LpWriter, ObjectiveVariants) {
  struct Case {
    const char* title;
    std::optional<std::string_view> name;
    int sense;
    double constant;
    const char* lines;
  };
  const Case cases[] = {
      {"constant only", std::nullopt, 0, 5, "Minimize\n obj:  +5\n"},
      {"negative constant", std::nullopt, 1, -2.5, "Maximize\n obj:  -2.5\n"},
      {"named", "cost", 0, 0, "Minimize\n cost: \n"},
      {"illegal name", "total cost", 1, 0, "Maximize\n total_cost: \n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    TestModel m;
    m.setObjective({}, c.constant, c.sense);
    m.nameObjective(c.name);
    std::string text = lpText(m.model);
    EXPECT_EQ(text.substr(std::string(kHead).size(), text.find("\nSubject To") - std::string(kHead).size()), c.lines);
  }
}

// glpsol refuses an objective line without a term: a model without an objective (a feasibility
// model) names its first column with the coefficient 0, which every reader reads as no term.
TEST(LpWriter, ObjectiveWithoutTermsNamesTheFirstColumnAtZero) {
  struct Case {
    const char* title;
    test::Terms terms;
    double constant;
    const char* line;
  };
  const Case cases[] = {
      {"no objective", {}, 0, " obj: 0 x \n"},
      {"only a constant", {}, 5, " obj: 0 x  +5\n"},
      {"terms that cancel", {{1, 2}, {1, -2}}, 0, " obj: 0 x \n"},
      {"a zero coefficient", {{1, 0}}, 0, " obj: 0 x \n"},
      {"a term", {{1, 2}}, 0, " obj: 2 y \n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    TestModel m;
    int x = m.addVariable("x");
    int y = m.addVariable("y");
    m.addRow("c", 1, kInf, {{x, 1}, {y, 1}});
    m.setObjective(c.terms, c.constant);
    const std::string text = lpText(m.model);
    EXPECT_NE(text.find("Minimize\n" + std::string(c.line) + "\nSubject To\n"), std::string::npos) << text;
  }
  TestModel quadratic;
  int x = quadratic.addVariable("x");
  quadratic.addObjectiveQuadratic({{x, x, 1}});
  EXPECT_NE(lpText(quadratic.model).find(" obj: [ 2 x^2 ]/ 2 \n"), std::string::npos) << "a quadratic term is a term";
}

struct RowCase {
  const char* title;
  double lower;
  double upper;
  test::Terms terms;
  double constant;
  const char* lines;
};

TEST(LpWriter, RowLines) {
  const RowCase cases[] = {
      {"equality", 5, 5, {{0, 2}}, 0, "r : 2 x = 5\n"},
      {"ranged", 2, 8, {{0, 1}}, 0, "r : x <= 8\nr : x >= 2\n"},
      {"free", -kInf, kInf, {{0, 1}}, 0, "r : x >= -inf\n"},
      {"greater", 1.5, kInf, {{0, 1}}, 0, "r : x >= 1.5\n"},
      {"constant moves right", -kInf, 10, {{0, 1}}, 3, "r : x <= 7\n"},
      {"no terms", -kInf, 10, {}, 0, "r : <= 10\n"},
      {"zero terms skipped", 1, kInf, {{0, 0}, {1, 1}}, 0, "r : y >= 1\n"},
      {"minus one first", -kInf, 1, {{0, -1}, {1, 1}}, 0, "r : - x + y <= 1\n"},
      {"negative coefficient", -kInf, 1, {{0, -2.5}, {1, 0.1}}, 0, "r : - 2.5 x + 0.1 y <= 1\n"},
      {"repeated terms summed", -kInf, 4, {{0, 1}, {1, 1}, {0, 1}, {1, -1}}, 0, "r : 2 x <= 4\n"},
      {"all terms cancel", -kInf, 4, {{0, 1}, {0, -1}}, 0, "r : <= 4\n"},
      {"long number", -kInf, 1.0 / 3, {{0, 1e-300}}, 0, "r : 1e-300 x <= 0.333333333333333\n"},
      {"both bounds minus infinity", -kInf, -kInf, {{0, 1}}, 0, "r : x <= -inf\n"},
      {"both bounds infinity", kInf, kInf, {{0, 1}}, 0, "r : x >= inf\n"},
      {"infinite constant", -kInf, 1, {{0, 1}}, kInf, "r : x <= -inf\n"},
      {"minus zero bound", -kInf, -0.0, {{0, 1}}, 0, "r : x <= 0\n"},
      {"minus zero equality", -0.0, -0.0, {{0, -0.0}, {1, 1}}, 0, "r : y = 0\n"},
  };
  for (const RowCase& c : cases) {
    SCOPED_TRACE(c.title);
    TestModel m;
    m.addVariable("x");
    m.addVariable("y");
    m.addRow("r", c.lower, c.upper, c.terms, c.constant);
    EXPECT_EQ(constraintsOf(lpText(m.model)), c.lines);
  }
}

TEST(LpWriter, QuadraticBlocks) {
  TestModel m;
  int x = m.addVariable("x");
  int y = m.addVariable("y");
  int a = m.addRow("a", -kInf, 1, {{x, 0}});
  m.addRowQuadratic(a, {{x, y, 2}});
  int b = m.addRow("b", -kInf, 4, {});
  m.addRowQuadratic(b, {{x, x, 1}, {y, y, -1}, {x, y, 0}, {y, x, 3}});
  m.setObjective({});
  m.addObjectiveQuadratic({{x, x, -0.5}, {x, y, 1.5}});
  std::string text = lpText(m.model);
  EXPECT_NE(text.find("\n obj: [ - x^2 + 3 x * y ]/ 2 \n"), std::string::npos) << text;
  EXPECT_EQ(constraintsOf(text), "a : + [ 2 x * y ] <= 1\nb : [ x^2 - y^2 + 3 y * x ] <= 4\n");
}

TEST(LpWriter, IndicatorRows) {
  TestModel m;
  int x = m.addVariable("x");
  int b = m.addVariable("b", 0, 1, test::kBinary);
  int c1 = m.addRow("c1", -kInf, 3, {{x, 2}});
  m.setIndicator(c1, b, true);
  int c2 = m.addRow("c2", 2, 8, {{x, 1}});
  m.setIndicator(c2, b, false);
  EXPECT_EQ(constraintsOf(lpText(m.model)),
            "c1 :b = 1 -> 2 x <= 3\n"
            "c2 :b = 0 -> x <= 8\n"
            "c2 :b = 0 -> x >= 2\n");
}

TEST(LpWriter, BoundsAndTypeSections) {
  TestModel m;
  m.addVariable("x");
  m.addVariable("y", -kInf, 4);
  m.addVariable("z", -kInf, kInf);
  m.addVariable("w", 2, kInf);
  m.addVariable("v", 0, 4);
  m.addVariable("u", -1.5, 2);
  m.addVariable("b", 0, 1, test::kBinary);
  m.addVariable("k", 0, 0, test::kBinary);
  m.addVariable("kz", -0.0, -0.0, test::kBinary);
  m.addVariable("i01", 0, 1, test::kInteger);
  m.addVariable("n", 0, 10, test::kInteger);
  m.addVariable("m", -kInf, 5, test::kInteger);
  m.addVariable("s", 2, 10, test::kSemiContinuous);
  m.addVariable("t", 0, 5, test::kSemiInteger);
  m.addVariable("mz", -1, -0.0);
  std::string text = lpText(m.model);
  EXPECT_EQ(text.substr(text.find("\nBounds\n")),
            "\nBounds\n"
            " -inf <= y <= 4\n"
            "z Free\n"
            " 2 <= w\n"
            "v <= 4\n"
            " -1.5 <= u <= 2\n"
            "k <= 0\n"
            "kz <= 0\n"
            "n <= 10\n"
            " -inf <= m <= 5\n"
            " 2 <= s <= 10\n"
            "t <= 5\n"
            " -1 <= mz <= 0\n"
            "\nBinaries\n"
            "b\n"
            "k\n"
            "kz\n"
            "i01\n"
            "\nGenerals\n"
            "n\n"
            "m\n"
            "t\n"
            "\nSemi-continuous\n"
            "s\n"
            "t\n"
            "End\n");
}

TEST(LpWriter, GeneralConstraints) {
  TestModel m;
  int x = m.addVariable("x");
  int r = m.addVariable("r", -kInf, kInf);
  m.model.general_constraints.push_back(
      {"g 1",
       {ExprNodeRecord::operation(3, -1), ExprNodeRecord::variable(x, 0), ExprNodeRecord::constant(2.5, 0)},
       r});
  m.model.general_constraints.push_back({"g_1",
                                         {ExprNodeRecord::operation(5, -1), ExprNodeRecord::variable(x, 0),
                                          ExprNodeRecord::operation(6, 0), ExprNodeRecord::variable(r, 2),
                                          ExprNodeRecord::constant(-1e21, 0)},
                                         r});
  std::string text = lpText(m.model);
  EXPECT_EQ(text.substr(text.find("gencons")),
            "gencons\n"
            " g_1 : r = NL : ( PLUS , -1 , -1 ) ( VARIABLE , x , 0 ) ( CONSTANT , 2.5 , 0 ) \n"
            "\n"
            " g_1#1 : r = NL : ( MULTIPLY , -1 , -1 ) ( VARIABLE , x , 0 ) ( SQRT , -1 , 0 ) \n"
            "( VARIABLE , r , 2 ) ( CONSTANT , -1e+21 , 0 ) \n"
            "End\n");
}

TEST(LpWriter, LongLinesWrapBetweenItems) {
  TestModel m;
  std::vector<int> columns;
  for (char c = 'a'; c < 'a' + 7; ++c) columns.push_back(m.addVariable(std::string(99, c) + "1"));
  m.addRow("r", -kInf, 1, {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}});
  auto name = [](char c) { return std::string(99, c) + "1"; };
  // 3 + 5 * 101 + 4 * 2 = 516 characters, then " +" and " " reach 519, and the next name would
  // reach the limit of 560: it starts a new line.
  EXPECT_EQ(constraintsOf(lpText(m.model)), "r : " + name('a') + " + " + name('b') + " + " + name('c') + " + " +
                                                name('d') + " + " + name('e') + " + \n" + name('f') + " + " +
                                                name('g') + " <= 1\n");
}

TEST(LpWriter, NameOfTheLineLimitStartsALine) {
  TestModel m;
  std::string long_name(560, 'n');
  int x = m.addVariable(std::string_view(long_name));
  m.setObjective({{x, 1}});
  std::string text = lpText(m.model);
  EXPECT_NE(text.find("\n obj: \n" + long_name + "\n \n"), std::string::npos);
  TestModel shorter;
  std::string name_559(553, 'n');  // " obj: " holds 6 characters: 6 + 553 = 559 still fits
  int y = shorter.addVariable(std::string_view(name_559));
  shorter.setObjective({{y, 1}});
  EXPECT_NE(lpText(shorter.model).find("\n obj: " + name_559 + "\n \n"), std::string::npos);
}

}  // namespace
}  // namespace velorium

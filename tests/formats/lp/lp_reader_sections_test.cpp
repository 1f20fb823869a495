// The sections of an LP text read into a model record.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "formats/lp/lp_reader.hpp"
#include "lp_test_support.hpp"

namespace velorium {
namespace {

using test::columnName;
using test::columnNames;
using test::linearText;
using test::nameText;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::uint32_t kContinuous = 0, kBinary = 1, kInteger = 2, kSemicontinuous = 3, kSemiinteger = 4;

std::shared_ptr<Model> read(const std::string& text) { return parseLpText(text); }

// The line of the syntax error a text gives, 0 when it reads.
LpLineNumber errorLine(const std::string& text, std::string* reason = nullptr) {
  try {
    parseLpText(text);
  } catch (const LpSyntaxError& error) {
    if (reason) *reason = error.reason();
    return error.line();
  }
  return 0;
}

TEST(LpReaderObjective, LabelTermsConstantAndSense) {
  auto model = read("Maximize\n profit: 3 x - y + 2 - 0.5 z + x\nSubject To\n c: y <= 1\nEnd\n");
  EXPECT_EQ(model->objective_sense, 1);
  EXPECT_EQ(nameText(model->objective.name_id), "profit");
  EXPECT_EQ(linearText(*model, model->objective), "3 x + -1 y + -0.5 z + 1 x");  // not merged
  EXPECT_EQ(model->objective.constant, 2);
  EXPECT_EQ(columnNames(*model), "x y z");
}

// A number may run straight into the letter that begins a name, as glpsol reads it.
TEST(LpReaderObjective, NumbersRunIntoNames) {
  auto model = read("Maximize\n obj: 3x + 2y - 0.5e1z\nSubject To\n c: -1x +4y <= 2\nBounds\n x <= 1e1\nEnd\n");
  EXPECT_EQ(linearText(*model, model->objective), "3 x + 2 y + -5 z");
  EXPECT_EQ(linearText(*model, model->rows[0].expression), "-1 x + 4 y");
  EXPECT_EQ(model->variables[0].upper, 10);
}

TEST(LpReaderObjective, MinimizeWinsOverMaximize) {
  auto model = read("Maximize\n y\nMinimize\n x\n");
  EXPECT_EQ(model->objective_sense, 0);
  EXPECT_EQ(columnNames(*model), "x");
  auto none = read("Subject To\n c: x >= 1\n");
  EXPECT_EQ(none->objective_sense, 0);
  EXPECT_TRUE(none->objective.linear_terms.empty());
  EXPECT_EQ(none->objective.name_id, -1);
}

TEST(LpReaderObjective, QuadraticBlockIsHalved) {
  auto model = read("Minimize\n obj: x + [ 2 x^2 + 4 x * y - y ^ 2 ]/ 2\n");
  ASSERT_EQ(model->objective.quadratic_terms.size(), 3u);
  const QuadTerm& a = model->objective.quadratic_terms[0];
  const QuadTerm& b = model->objective.quadratic_terms[1];
  const QuadTerm& c = model->objective.quadratic_terms[2];
  EXPECT_EQ(columnName(*model, a.variable1), "x");
  EXPECT_EQ(a.variable1, a.variable2);
  EXPECT_EQ(a.coefficient, 1);
  EXPECT_EQ(columnName(*model, b.variable2), "y");
  EXPECT_EQ(b.coefficient, 2);
  EXPECT_EQ(c.coefficient, -0.5);
}

TEST(LpReaderConstraints, RowsBoundsNamesAndConstants) {
  auto model = read(
      "Minimize\n x\nSubject To\n c1: x + y <= 10\n 3 x >= 2\n e: x = 4\n c: x + 3 <= 10\n r: 2 x 3 y >= -inf\n");
  ASSERT_EQ(model->rows.size(), 5u);
  const auto& rows = model->rows;
  EXPECT_EQ(nameText(rows[0].expression.name_id), "c1");
  EXPECT_EQ(rows[0].lower, -kInf);
  EXPECT_EQ(rows[0].upper, 10);
  EXPECT_EQ(rows[0].indicator_variable, -1);
  EXPECT_EQ(rows[1].expression.name_id, -1);
  EXPECT_EQ(rows[1].lower, 2);
  EXPECT_EQ(rows[1].upper, kInf);
  EXPECT_EQ(rows[2].lower, 4);
  EXPECT_EQ(rows[2].upper, 4);
  EXPECT_EQ(rows[3].expression.constant, 3);
  EXPECT_EQ(rows[3].upper, 10);
  EXPECT_EQ(linearText(*model, rows[4].expression), "2 x 3 y");
  EXPECT_EQ(rows[4].lower, -kInf);
}

TEST(LpReaderConstraints, QuadraticRowKeepsCoefficients) {
  auto model = read("Subject To\n q: x + [ 2 x^2 + 4 x * y ] <= 3\n");
  ASSERT_EQ(model->rows.size(), 1u);
  const auto& terms = model->rows[0].expression.quadratic_terms;
  ASSERT_EQ(terms.size(), 2u);
  EXPECT_EQ(terms[0].coefficient, 2);
  EXPECT_EQ(terms[1].coefficient, 4);
  EXPECT_EQ(model->rows[0].upper, 3);
}

TEST(LpReaderConstraints, IndicatorRows) {
  auto model = read("Subject To\n c1: b = 1 -> 2 x <= 3\n c2: b = 0 -> x + y >= 1\n c3: x <= 8\n");
  ASSERT_EQ(model->rows.size(), 3u);
  EXPECT_EQ(model->indicator_count, 2);
  const Constraint& c1 = model->rows[0];
  EXPECT_EQ(nameText(c1.expression.name_id), "c1");
  EXPECT_EQ(columnName(*model, c1.indicator_variable), "b");
  EXPECT_TRUE(c1.indicator_value);
  EXPECT_EQ(linearText(*model, c1.expression), "2 x");
  EXPECT_EQ(c1.lower, -kInf);
  EXPECT_EQ(c1.upper, 3);
  const Constraint& c2 = model->rows[1];
  EXPECT_FALSE(c2.indicator_value);
  EXPECT_EQ(c2.lower, 1);
  EXPECT_EQ(c2.upper, kInf);
  EXPECT_EQ(nameText(c2.expression.name_id), "c2");
  EXPECT_EQ(model->rows[2].indicator_variable, -1);
}

TEST(LpReaderColumns, ZeroCoefficientMakesNoColumnAndOrderIsFirstMention) {
  // The sections are read objective, constraints, general constraints, bounds, types.
  auto model = read("Bounds\n w <= 1\nSubject To\n c: 0 u + y + 0 x >= 1\nMinimize\n x\nGenerals\n v\n");
  EXPECT_EQ(columnNames(*model), "x y w v");
  EXPECT_EQ(model->rows[0].expression.linear_terms.size(), 1u);
}

struct OrderCase {
  const char* text;
  const char* columns;
};

// However the file orders its sections, columns are numbered as if it named them objective
// first, then constraints, general constraints, bounds, generals, binaries, semi-continuous,
// SOS; and every reference follows the renumbering.
TEST(LpReaderColumns, NumberedInTheFixedOrderOfTheSections) {
  const OrderCase cases[] = {
      {"Minimize\n a + b\nSubject To\n c: b + c >= 1\nBounds\n d <= 1\nEnd\n", "a b c d"},
      {"Bounds\n x <= 1\nMinimize\n y + x\n", "y x"},
      {"Binaries\n b\nGenerals\n g\nBounds\n x <= 2\nSubject To\n c: x + g + b >= 1\n", "x g b"},
      {"Binaries\n b\nGenerals\n g\nSemis\n s\n", "g b s"},
      {"Subject To\n c: [ y * z ] + x >= 1\nMinimize\n z\n", "z y x"},
      {"Subject To\n c: b = 1 -> x + y <= 2\nMinimize\n y\n", "y b x"},
      {"General Constraints\n g : r = NL : ( VARIABLE , x , -1 )\nSubject To\n c: x >= 1\nMinimize\n r\n", "r x"},
      {"Generals\n y\nSubject To\n c: x + y >= 1\nBounds\n z <= 1\n y <= 1\nMinimize\n z\n", "z x y"},
  };
  for (const OrderCase& c : cases) {
    auto model = read(c.text);
    EXPECT_EQ(columnNames(*model), c.columns) << c.text;
  }
  auto model = read(
      "Generals\n x\nBounds\n x <= 7\nGeneral Constraints\n g : r = NL : ( VARIABLE , x , -1 )\n"
      "Subject To\n c: b = 1 -> 3 x + [ x * r ] <= 4\nMinimize\n obj: 2 r\n");
  ASSERT_EQ(columnNames(*model), "r b x");
  EXPECT_EQ(linearText(*model, model->objective), "2 r");
  EXPECT_EQ(linearText(*model, model->rows[0].expression), "3 x");
  EXPECT_EQ(test::quadraticText(*model, model->rows[0].expression), "1 x*r");
  EXPECT_EQ(columnName(*model, model->rows[0].indicator_variable), "b");
  EXPECT_EQ(columnName(*model, model->general_constraints[0].result_variable), "r");
  EXPECT_EQ(columnName(*model, model->general_constraints[0].nodes[0].variable_index()), "x");
  EXPECT_EQ(model->variables[2].type, kInteger);
  EXPECT_EQ(model->variables[2].upper, 7);
}

struct BoundCase {
  const char* line;
  double lower;
  double upper;
};

TEST(LpReaderBounds, EachFormSetsItsBounds) {
  const BoundCase cases[] = {
      {"x free", -kInf, kInf},          {"x FREE", -kInf, kInf},        {"-inf <= x <= 4", -kInf, 4},
      {"2 <= x", 2, kInf},              {"x >= -5", -5, kInf},          {"x <= 7", 0, 7},
      {"x = 3", 3, 3},                  {"4 >= x", 0, 4},               {"-2 = x", -2, -2},
      {"1 <= x <= 1e30", 1, 1e30},      {"-inf <= x", -kInf, kInf},     {"x <= -inf", 0, -kInf},
      {"x <= 5\n x >= 1", 1, 5},      {"x <= 5\n x free", -kInf, kInf},
  };
  for (const BoundCase& c : cases) {
    auto model = read(std::string("Bounds\n ") + c.line + "\nEnd\n");
    ASSERT_EQ(model->variables.size(), 1u) << c.line;
    EXPECT_EQ(model->variables[0].lower, c.lower) << c.line;
    EXPECT_EQ(model->variables[0].upper, c.upper) << c.line;
  }
}

TEST(LpReaderBounds, NameAloneOnItsLineIsIgnored) {
  EXPECT_EQ(columnNames(*read("Bounds\n x\n y <= 2\nEnd\n")), "y");
  EXPECT_EQ(columnNames(*read("Bounds\n x")), "");
}

TEST(LpReaderBounds, NameWithBlanksBeforeFree) {
  auto model = read("Bounds\n my var free\n");
  EXPECT_EQ(columnNames(*model), "my var");
  EXPECT_EQ(model->variables[0].lower, -kInf);
}

struct TypeCase {
  const char* sections;
  std::uint32_t type;
  double lower;
  double upper;
};

TEST(LpReaderColumns, TypeSectionsCombine) {
  const TypeCase cases[] = {
      {"Binaries\n x\n", kBinary, 0, 1},
      {"Bounds\n x <= 5\nBinaries\n x\n", kBinary, 0, 5},
      {"Bounds\n -1 <= x\nBinary\n x\n", kBinary, -1, 1},
      {"Generals\n x\n", kInteger, 0, kInf},
      {"Generals\n x\nSemi-Continuous\n x\n", kSemiinteger, 0, kInf},
      {"Semis\n x\nGenerals\n x\n", kSemiinteger, 0, kInf},
      {"Generals\n x\nBinaries\n x\n", kBinary, 0, 1},
      {"Binaries\n x\nSemi\n x\n", kSemicontinuous, 0, 1},
      {"Semi-Continuous\n x\n", kSemicontinuous, 0, kInf},
      {"Bounds\n x <= 4\n", kContinuous, 0, 4},
      {"Binaries\n x\nBounds\n x free\n", kBinary, -kInf, 1},
      {"Binaries\n x\nBounds\n x <= 3\n", kBinary, 0, 3},
      {"Semis\n x\nGenerals\n x\nBinaries\n x\n", kSemicontinuous, 0, 1},
      {"Generals\n x\nSemis\n x x\n", kSemicontinuous, 0, kInf},
  };
  for (const TypeCase& c : cases) {
    auto model = read(c.sections);
    ASSERT_EQ(model->variables.size(), 1u) << c.sections;
    EXPECT_EQ(model->variables[0].type, c.type) << c.sections;
    EXPECT_EQ(model->variables[0].lower, c.lower) << c.sections;
    EXPECT_EQ(model->variables[0].upper, c.upper) << c.sections;
  }
}

TEST(LpReaderGeneralConstraints, NodesInFileOrder) {
  auto model = read(
      "Minimize\n x\nGeneral Constraints\n g1 : y = NL : ( PLUS , -1 , -1 ) ( VARIABLE , x , 0 ) ( CONSTANT , 2.5 , 0 )\n"
      " g2 : z = NL : ( SQRT , -1 , -1 ) ( VARIABLE , y , 0 )\n");
  ASSERT_EQ(model->general_constraints.size(), 2u);
  const GeneralConstraintRecord& g1 = model->general_constraints[0];
  EXPECT_EQ(g1.name, "g1");
  EXPECT_EQ(columnName(*model, g1.result_variable), "y");
  ASSERT_EQ(g1.nodes.size(), 3u);
  EXPECT_EQ(g1.nodes[0].type, static_cast<int>(gen_expr_type::plus));
  EXPECT_EQ(g1.nodes[0].parent, -1);
  EXPECT_EQ(g1.nodes[0].constant_value(), 0.0);  // an operator's payload is zero
  EXPECT_EQ(g1.nodes[1].type, static_cast<int>(gen_expr_type::variable));
  EXPECT_EQ(columnName(*model, g1.nodes[1].variable_index()), "x");
  EXPECT_EQ(g1.nodes[1].parent, 0);
  EXPECT_EQ(g1.nodes[2].constant_value(), 2.5);
  EXPECT_EQ(model->general_constraints[1].nodes[0].type, static_cast<int>(gen_expr_type::func_square_root));
  EXPECT_EQ(columnNames(*model), "x y z");
}

TEST(LpReaderGeneralConstraints, ParentIsTruncated) {
  auto model = read("gencons\n g : y = NL : ( PLUS , -1 , -1 ) ( CONSTANT , 1 , 0.9 )\n");
  EXPECT_EQ(model->general_constraints[0].nodes[1].parent, 0);
}

TEST(LpReaderSos, SetsAreRead) {
  auto model = read("SOS\n s1: S1:: x:1 y:2\n s2: s2:: y:1\n");
  ASSERT_EQ(model->sos_sets.size(), 2u);
  EXPECT_EQ(nameText(model->sos_sets[0].name_id), "s1");
  EXPECT_EQ(model->sos_sets[0].sos_type, 1);
  ASSERT_EQ(model->sos_sets[0].entries.size(), 2u);
  EXPECT_EQ(model->sos_sets[0].entries[1].weight, 2);
  EXPECT_EQ(model->sos_sets[1].sos_type, 2);
  EXPECT_EQ(columnNames(*model), "x y");
}

TEST(LpReaderEnd, CommentsAfterEndAreFine) {
  auto model = read("Minimize\n x\nEnd\n\\ trailing note\n/* and a block */\n");
  EXPECT_EQ(columnNames(*model), "x");
}

TEST(LpReaderDecisions, KeywordOpeningALineEndsTheBounds) {
  auto model = read("Bounds\n x <= 3\nGenerals x y\n");
  EXPECT_EQ(columnNames(*model), "x y");
  EXPECT_EQ(model->variables[0].type, kInteger);
  EXPECT_EQ(model->variables[1].type, kInteger);
}

TEST(LpReaderDecisions, NamesBeginningWithNanOrInf) {
  auto model = read("Minimize\n nancy + 2 infeasible\nBounds\n nancy <= Infinity\n");
  EXPECT_EQ(columnNames(*model), "nancy infeasible");
  EXPECT_EQ(model->variables[0].upper, kInf);
}

// Infinite bounds and right-hand sides stay as they are: they say "no bound".
TEST(LpReaderDecisions, InfiniteBoundsAreKept) {
  auto model = read("Minimize\n x\nSubject To\n c: x + y <= inf\n d: x >= -1e999\nBounds\n -inf <= x <= 1e999\n y >= -infinity\n");
  EXPECT_EQ(model->rows[0].upper, kInf);
  EXPECT_EQ(model->rows[1].lower, -kInf);
  EXPECT_EQ(model->variables[0].lower, -kInf);
  EXPECT_EQ(model->variables[0].upper, kInf);
  EXPECT_EQ(model->variables[1].lower, -kInf);
}

// Text after ";" is a comment wherever it stands, also right behind a name.
TEST(LpReaderDecisions, SemicolonCommentsNeverJoinAName) {
  auto model = read("Minimize\n obj: x + y ; total\nSubject To\n c: x + y >= 1; first\nBounds\n x free ; note\nEnd\n");
  EXPECT_EQ(columnNames(*model), "x y");
  EXPECT_EQ(model->rows[0].lower, 1);
  EXPECT_EQ(model->variables[0].lower, -kInf);
}

// Other tools write and read "Integer" (and "Int") for the general integers.
TEST(LpReaderDecisions, IntegerSectionHoldsGeneralIntegers) {
  for (const char* keyword : {"Integer", "INT", "integers", "Generals"}) {
    auto model = read(std::string("Minimize\n x + y\nSubject To\n c: x + y >= 1\nBounds\n x <= 10\n") + keyword + "\n x y\nEnd\n");
    ASSERT_EQ(model->variables.size(), 2u) << keyword;
    EXPECT_EQ(model->variables[0].type, kInteger) << keyword;
    EXPECT_EQ(model->variables[0].upper, 10) << keyword;
    EXPECT_EQ(model->variables[1].type, kInteger) << keyword;
  }
}

// When both objective sections hold terms, Minimize is read and Maximize is not, wherever
// either stands and whatever the unread one holds.
TEST(LpReaderDecisions, MinimizeWinsWhereverItStands) {
  auto model = read("Maximize\n y + [ z ^ 2 ]/ 2\nSubject To\n c: x >= 1\nMinimize\n x\n");
  EXPECT_EQ(model->objective_sense, 0);
  EXPECT_EQ(columnNames(*model), "x");
  EXPECT_EQ(linearText(*model, model->objective), "1 x");
  EXPECT_EQ(columnNames(*read("Maximize\n y <= 3\nSubject To\n c: x >= 1\nMinimize\n x\n")), "x");
  EXPECT_EQ(errorLine("Maximize\n y <= 3\nSubject To\n c: x >= 1\n"), 2u);
}

struct MalformedCase {
  const char* what;
  const char* text;
  LpLineNumber line;
  const char* reason;  // a part of the reason
};

class LpReaderMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(LpReaderMalformed, FailsOnItsLine) {
  std::string reason;
  EXPECT_EQ(errorLine(GetParam().text, &reason), GetParam().line) << GetParam().what;
  EXPECT_NE(reason.find(GetParam().reason), std::string::npos) << GetParam().what << ": " << reason;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LpReaderMalformed,
    ::testing::Values(
        MalformedCase{"keyword before colon", "Minimize\nmax: x\n", 2, "\":\""},
        MalformedCase{"strict less", "Subject To\n c: x < 4\n", 2, "\"<\""},
        MalformedCase{"strict greater", "Subject To\n c: x + y\n > 4\n", 3, "\"<\""},
        MalformedCase{"name on the right", "Subject To\n c: x <= y\n", 2, "right-hand side"},
        MalformedCase{"numbers on both sides", "Subject To\n c: 2 <= x <= 4\n", 2, "right-hand side"},
        MalformedCase{"no comparison", "Subject To\n c: x + y\n", 2, "comparison"},
        MalformedCase{"cube", "Minimize\n [ x^3 ]/ 2\n", 2, "exponent 2"},
        MalformedCase{"objective block without / 2", "Minimize\n [ x^2 ]\n", 2, "/ 2"},
        MalformedCase{"objective block / 4", "Minimize\n [ x^2 ] / 4\n", 2, "/ 2"},
        MalformedCase{"unclosed block", "Subject To\n c: [ x^2 + 3 <= 1\n", 2, "\"]\""},
        MalformedCase{"minus before block", "Subject To\n c: x - [ x^2 ] <= 1\n", 2, "\"-\""},
        MalformedCase{"objective with comparison", "Minimize\n x <= 3\n", 2, "objective"},
        MalformedCase{"indicator without a term", "Subject To\n c: = 1 -> x <= 1\n", 2, "indicator"},
        MalformedCase{"indicator with zero term", "Subject To\n c: 0 b = 1 -> x <= 1\n", 2, "indicator"},
        MalformedCase{"indicator body without bound", "Subject To\n c: b = 1 -> x\n", 2, "comparison"},
        MalformedCase{"indicator body strict", "Subject To\n c: b = 1 -> x < 2\n", 2, "\"<\""},
        MalformedCase{"double bound with >=", "Bounds\n 5 >= x >= 2\n", 2, "lower <= name <= upper"},
        MalformedCase{"strict bound", "Bounds\n x < 2\n", 2, "\"<\""},
        MalformedCase{"bound on a name", "Bounds\n x <= y\n", 2, "number"},
        MalformedCase{"name then a bound on the next line", "Bounds\n x\n <= 5\n", 3, "bound"},
        MalformedCase{"number alone in bounds", "Bounds\n 5\n", 2, "bound"},
        MalformedCase{"number in generals", "Generals\n x 3\n", 2, "variable names"},
        MalformedCase{"text after End", "Minimize\n x\nEnd\n y\n", 4, "End"},
        MalformedCase{"section twice", "Minimize\n x\nBounds\n x <= 1\nMinimize\n y\n", 5, "twice"},
        MalformedCase{"SOS without type", "SOS\n s: x:1\n", 2, "SOS type"},
        MalformedCase{"SOS type S3", "SOS\n s: S3:: x:1\n", 2, "S1 or S2"},
        MalformedCase{"gencons without label", "gencons\n y = NL : ( CONSTANT , 1 , -1 )\n", 2, "name"},
        MalformedCase{"gencons without NL", "gencons\n g : y = ( CONSTANT , 1 , -1 )\n", 2, "NL"},
        MalformedCase{"gencons without nodes", "gencons\n g : y = NL :\n", 2, "without nodes"},
        MalformedCase{"gencons label without nodes", "gencons\n g : y = NL : h : z = NL : ( CONSTANT , 1 , -1 )\n", 2,
                      "without nodes"},
        MalformedCase{"unknown node type", "gencons\n g : y = NL : ( Plus , -1 , -1 )\n", 2, "node type"},
        MalformedCase{"variable node with a number", "gencons\n g : y = NL : ( VARIABLE , 3 , -1 )\n", 2, "variable name"},
        MalformedCase{"unclosed node", "gencons\n g : y = NL : ( CONSTANT , 1 , -1\n", 2, "\")\""},
        MalformedCase{"root not first", "gencons\n g : y = NL : ( CONSTANT , 1 , 0 )\n", 2, "root"},
        MalformedCase{"two roots", "gencons\n\n g : y = NL : ( PLUS , -1 , -1 ) ( CONSTANT , 1 , -1 )\n", 3, "parent"},
        MalformedCase{"parent after the child", "gencons\n g : y = NL : ( PLUS , -1 , -1 ) ( CONSTANT , 1 , 2 ) ( CONSTANT , 1 , 0 )\n", 2,
                      "parent"},
        MalformedCase{"parent is itself", "gencons\n g : y = NL : ( PLUS , -1 , -1 ) ( CONSTANT , 1 , 1 )\n", 2, "parent"},
        MalformedCase{"no room in the parent", "gencons\n g : y = NL : ( SQRT , -1 , -1 ) ( CONSTANT , 1 , 0 ) ( CONSTANT , 2 , 0 )\n", 2,
                      "more children"},
        MalformedCase{"child of a constant", "gencons\n g : y = NL : ( CONSTANT , 1 , -1 ) ( CONSTANT , 2 , 0 )\n", 2, "more children"},
        MalformedCase{"parent beyond 32 bits", "gencons\n g : y = NL : ( PLUS , -1 , -1 ) ( CONSTANT , 1 , 1e10 )\n", 2, "out of range"},
        MalformedCase{"parent NaN", "gencons\n g : y = NL : ( PLUS , -1 , -1 ) ( CONSTANT , 1 , nan )\n", 2, "NaN"},
        MalformedCase{"infinite constant node", "gencons\n g : y = NL : ( PLUS , -1 , -1 ) ( CONSTANT , inf , 0 )\n", 2, "finite"},
        MalformedCase{"gencons name with a blank", "gencons\n my g : y = NL : ( CONSTANT , 1 , -1 )\n", 2, "name"},
        MalformedCase{"misspelt objective keyword", "\\ a model\nMaximise\n obj: x\nSubject To\n c: x <= 1\n", 2, "\"Maximise\""},
        MalformedCase{"plain text before the first section", "a model of the plant\nMinimize\n x\n", 1, "before the first section"},
        MalformedCase{"no section at all", "\\ only a comment\n x + y\n", 2, "before the first section"},
        MalformedCase{"empty text", "", 0, "no section"},
        MalformedCase{"only comments", "\\ a comment\n/* and a block */\n", 0, "no section"},
        MalformedCase{"number run into an underscore", "Minimize\n obj: 1_abc\n", 2, "\"1_abc\""},
        MalformedCase{"exponent without digits run into a name", "Minimize\n obj: 2ex\n", 2, "\"2ex\""},
        MalformedCase{"overflow run into a name", "Minimize\n obj: 1e999x\n", 2, "\"1e999x\""},
        MalformedCase{"decimal comma in a bound", "Minimize\n x\nBounds\n x <= 1,5\n", 4, "\"1,5\""},
        MalformedCase{"exponent without digits", "Minimize\n x\nSubject To\n c: x <= 1e\n", 4, "\"1e\""},
        MalformedCase{"two decimal points", "Minimize\n obj: 1.2.3 x\n", 2, "\"1.2.3\""},
        MalformedCase{"hexadecimal coefficient", "Minimize\n obj: 0x10 x\n", 2, "hexadecimal"},
        MalformedCase{"NaN coefficient", "Minimize\n obj: nan x\n", 2, "NaN"},
        MalformedCase{"NaN right-hand side", "Subject To\n c: x <= NaN\n", 2, "NaN"},
        MalformedCase{"NaN bound", "Bounds\n -nan <= x\n", 2, "NaN"},
        MalformedCase{"infinite coefficient", "Minimize\n obj: inf x\n", 2, "coefficient must be finite"},
        MalformedCase{"overflowing coefficient", "Subject To\n c: - 1e999 x <= 1\n", 2, "coefficient must be finite"},
        MalformedCase{"infinite quadratic coefficient", "Minimize\n obj: [ infinity x ^ 2 ]/ 2\n", 2, "coefficient must be finite"},
        MalformedCase{"infinite product coefficient", "Subject To\n c: [ -inf x * y ] <= 1\n", 2, "coefficient must be finite"},
        MalformedCase{"infinite constant", "Minimize\n obj: x + inf\n", 2, "constant must be finite"},
        MalformedCase{"infinite row constant", "Subject To\n c: x - infinity <= 4\n", 2, "constant must be finite"},
        MalformedCase{"overflowing constant", "Minimize\n obj: x + 1e308 + 1e308\n", 2, "constant is too large"}));

}  // namespace
}  // namespace velorium

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "formats/mps/mps_read_helper.hpp"

namespace velorium {
namespace {

using mps_test::columnNamed;
using mps_test::findRowNamed;
using mps_test::readMpsText;

using Term = std::tuple<std::string, std::string, double>;

std::vector<Term> termsOf(const Model& model, const std::vector<QuadTerm>& terms) {
  std::vector<Term> out;
  for (const QuadTerm& t : terms) {
    out.emplace_back(test::nameText(model.variables[t.variable1].name_id), test::nameText(model.variables[t.variable2].name_id),
                     t.coefficient);
  }
  return out;
}

const std::string kHead = "ROWS\n N obj\n L c1\n L c2\nCOLUMNS\n x obj 1 c1 1\n y c1 1\n z c2 1\n";

TEST(MpsQuadraticSectionsTest, TheFourFormsGiveTheSameTerms) {
  struct Case {
    const char* section;
    bool objective;
    std::vector<Term> expected;
  };
  const std::vector<Case> cases = {
      {"QMATRIX\n x x 2\n x y 1\n y x 1\n", true, {{"x", "x", 1}, {"x", "y", 1}}},
      {"QUADOBJ\n x x 2\n x y 1\n", true, {{"x", "x", 1}, {"x", "y", 1}}},
      {"QCMATRIX c1\n x y 3\n y x 3\n", false, {{"x", "y", 6}}},
      {"QSECTION c1\n x y 3\n", false, {{"x", "y", 6}}},
      {"QSECTION c1\n y x 3\n x x 1\n", false, {{"y", "x", 6}, {"x", "x", 1}}},
      {"QCMATRIX obj\n x x 4\n", true, {{"x", "x", 4}}},  // the objective row named on the header
      {"QSECTION obj\n x y 1\n", true, {{"x", "y", 2}}},
      // Lines of one pair are summed, in the order of the pair's first line.
      {"QMATRIX\n x y 1\n y y 2\n y x 3\n", true, {{"x", "y", 2}, {"y", "y", 1}}},
      // Sections do not merge with each other.
      {"QMATRIX\n x y 1\n y x 1\nQMATRIX\n y x 2\n x y 2\n", true, {{"x", "y", 1}, {"y", "x", 2}}},
      // An indented keyword is a column name, not a new section.
      {"QMATRIX\n x x 2\n\tx y 1\n y x 1\n", true, {{"x", "x", 1}, {"x", "y", 1}}},
  };
  for (const Case& c : cases) {
    auto read = readMpsText(kHead + c.section + "ENDATA\n");
    ASSERT_TRUE(read.model) << c.section << read.log;
    const Model& model = *read.model;
    const auto& terms = c.objective ? model.objective.quadratic_terms : findRowNamed(model, "c1")->expression.quadratic_terms;
    EXPECT_EQ(termsOf(model, terms), c.expected) << c.section;
    EXPECT_TRUE((c.objective ? findRowNamed(model, "c1")->expression : model.objective).quadratic_terms.empty()) << c.section;
  }
}

TEST(MpsQuadraticSectionsTest, ColumnsNamedLikeKeywordsInIndentedLines) {
  auto read = readMpsText("ROWS\n N obj\nCOLUMNS\n ENDATA obj 1\n\tQMATRIX obj 1\nQMATRIX\n ENDATA QMATRIX 2\n\tQMATRIX ENDATA 2\nENDATA\n");
  ASSERT_TRUE(read.model) << read.log;
  EXPECT_EQ(termsOf(*read.model, read.model->objective.quadratic_terms), (std::vector<Term>{{"ENDATA", "QMATRIX", 2}}));
}

TEST(MpsIndicatorsTest, SetIndicatorRows) {
  auto read = readMpsText(kHead + " MARKER 'MARKER' 'INTORG'\n z c2 0\n MARKER 'MARKER' 'INTEND'\n"
                                  "INDICATORS\n IF c1 z 0\n IF c2 z 1\n IF c2 x 1\nENDATA\n");
  ASSERT_TRUE(read.model) << read.log;
  const Model& model = *read.model;
  const Constraint* c1 = findRowNamed(model, "c1");
  const Constraint* c2 = findRowNamed(model, "c2");
  EXPECT_EQ(c1->indicator_variable, columnNamed(model, "z"));
  EXPECT_FALSE(c1->indicator_value);
  // Named again, c2 takes the later indicator and is still counted once.
  EXPECT_EQ(c2->indicator_variable, columnNamed(model, "x"));
  EXPECT_TRUE(c2->indicator_value);
  EXPECT_EQ(model.indicator_count, 2);
}

const std::string kGenHead = "ROWS\n N obj\nCOLUMNS\n x obj 1\n y obj 1\n r obj 1\n";

TEST(MpsGeneralConstraintsTest, ReadsTreesInTheirRecordOrder) {
  auto read = readMpsText(kGenHead +
                          "GENCONS\n"
                          " NL g1\n    r\n    PLUS -1 -1\n    VARIABLE x 0\n    CONSTANT 2 0\n"
                          "* a comment line\n"
                          " NL g2\n    y\n    SQRT -1 -1\n    MULTIPLY -1 0\n    CONSTANT -1.5e-3 1\n    VARIABLE x 1\n"
                          "    VARIABLE r 1\n"
                          "ENDATA\n");
  ASSERT_TRUE(read.model) << read.log;
  const Model& model = *read.model;
  ASSERT_EQ(model.general_constraints.size(), 2u);
  const GeneralConstraintRecord& g1 = model.general_constraints[0];
  EXPECT_EQ(g1.name, "g1");
  EXPECT_EQ(g1.result_variable, columnNamed(model, "r"));
  ASSERT_EQ(g1.nodes.size(), 3u);
  EXPECT_EQ(g1.nodes[0].type, 3);
  EXPECT_EQ(g1.nodes[0].parent, -1);
  EXPECT_EQ(g1.nodes[1].type, 1);
  EXPECT_EQ(g1.nodes[1].variable_index(), columnNamed(model, "x"));
  EXPECT_EQ(g1.nodes[1].parent, 0);
  EXPECT_EQ(g1.nodes[2].type, 0);
  EXPECT_EQ(g1.nodes[2].constant_value(), 2);
  const GeneralConstraintRecord& g2 = model.general_constraints[1];
  EXPECT_EQ(g2.name, "g2");
  ASSERT_EQ(g2.nodes.size(), 5u);
  EXPECT_EQ(g2.nodes[1].type, 5);
  EXPECT_EQ(g2.nodes[2].constant_value(), -1.5e-3);
  EXPECT_EQ(g2.nodes[4].parent, 1);
}

TEST(MpsGeneralConstraintsTest, ConstraintsWithoutNodesAreDropped) {
  auto read = readMpsText(kGenHead + "GENCONS\n NL first\n NL second\n    r\n    VARIABLE ENDATA -1\n NL third\n    x\n"
                                     "ENDATA\n");
  // "ENDATA" as the variable node's column is unknown here: the reading must fail on it, not end.
  EXPECT_FALSE(read.model);
  EXPECT_NE(read.log.find("Неизвестная переменная 'ENDATA'"), std::string::npos) << read.log;

  read = readMpsText(kGenHead + "GENCONS\n NL first\n NL second\n    r\n    VARIABLE x -1\n NL third\n    x\nENDATA\n");
  ASSERT_TRUE(read.model) << read.log;
  ASSERT_EQ(read.model->general_constraints.size(), 1u);
  EXPECT_EQ(read.model->general_constraints[0].name, "second");
}

TEST(MpsGeneralConstraintsTest, ParentsMustHaveRoomForTheirChildren) {
  struct Case {
    const char* nodes;
    bool ok;
  };
  const std::vector<Case> cases = {
      {"    MINUS -1 -1\n    VARIABLE x 0\n    VARIABLE y 0\n", true},
      {"    MINUS -1 -1\n    VARIABLE x 0\n    VARIABLE y 0\n    CONSTANT 1 0\n", false},
      {"    EXP -1 -1\n    VARIABLE x 0\n    VARIABLE y 0\n", false},
      {"    CONSTANT 1 -1\n    VARIABLE x 0\n", false},
      {"    VARIABLE x -1\n    VARIABLE y 0\n", false},
      {"    PLUS -1 -1\n    CONSTANT 1 0\n    CONSTANT 2 0\n    CONSTANT 3 0\n    CONSTANT 4 0\n", true},
      {"    SIGNPOW -1 -1\n    POW 0 0\n    VARIABLE x 1\n    CONSTANT 2 1\n    CONSTANT 3 0\n", true},
      {"    SIGNPOW -1 -1\n    POW 0 0\n    VARIABLE x 1\n    CONSTANT 2 1\n    CONSTANT 3 1\n", false},
      // A missing child is not the reader's business: the model store checks completeness.
      {"    DIVIDE -1 -1\n    VARIABLE x 0\n", true},
  };
  for (const Case& c : cases) {
    auto read = readMpsText(kGenHead + "GENCONS\n NL g\n    r\n" + c.nodes + "ENDATA\n");
    EXPECT_EQ(static_cast<bool>(read.model), c.ok) << c.nodes << read.log;
  }
}

}  // namespace
}  // namespace velorium

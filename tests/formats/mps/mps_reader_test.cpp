#include "formats/mps/mps_reader.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "formats/mps/mps_read_helper.hpp"

namespace velorium {
namespace {

using mps_test::columnNamed;
using mps_test::findRowNamed;
using test::nameText;
using mps_test::readMpsText;

constexpr double kInf = std::numeric_limits<double>::infinity();

struct Bounds {
  double lower;
  double upper;
  friend bool operator==(const Bounds&, const Bounds&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Bounds& b) { return out << "[" << b.lower << ", " << b.upper << "]"; }
};

Bounds rowBounds(const Model& model, std::string_view name) {
  const Constraint* row = findRowNamed(model, name);
  if (row == nullptr) return {NAN, NAN};
  return {row->lower, row->upper};
}

Bounds columnBounds(const Model& model, std::string_view name) {
  std::int32_t index = columnNamed(model, name);
  if (index < 0) return {NAN, NAN};
  return {model.variables[index].lower, model.variables[index].upper};
}

const std::string kBasic =
    "NAME          basic\n"
    "ROWS\n"
    " N  obj\n"
    " L  c1\n"
    " G  c2\n"
    " E  c3\n"
    "COLUMNS\n"
    "    x         obj       1            c1        2\n"
    "    y         c2        1            c3        1\n"
    "RHS\n"
    "    RHS       c1        4            c2        1\n"
    "    RHS       c3        3\n"
    "ENDATA\n";

TEST(MpsReaderTest, ReadsTheLinearModel) {
  auto read = readMpsText(kBasic, "m1.mps");
  ASSERT_TRUE(read.model) << read.log;
  const Model& model = *read.model;
  EXPECT_EQ(model.name, "m1.mps");  // the NAME line is not kept
  EXPECT_EQ(nameText(model.objective.name_id), "obj");
  EXPECT_EQ(model.objective_sense, 0);
  ASSERT_EQ(model.rows.size(), 3u);
  EXPECT_EQ(rowBounds(model, "c1"), (Bounds{-kInf, 4}));
  EXPECT_EQ(rowBounds(model, "c2"), (Bounds{1, kInf}));
  EXPECT_EQ(rowBounds(model, "c3"), (Bounds{3, 3}));
  ASSERT_EQ(model.variables.size(), 2u);
  EXPECT_EQ(model.variables[0].type, 0u);
  EXPECT_EQ(columnBounds(model, "x"), (Bounds{0, kInf}));
  ASSERT_EQ(model.objective.linear_terms.size(), 1u);
  EXPECT_EQ(model.objective.linear_terms[0].variable, 0);
  EXPECT_EQ(model.objective.linear_terms[0].coefficient, 1);
  const Constraint* c1 = findRowNamed(model, "c1");
  ASSERT_EQ(c1->expression.linear_terms.size(), 1u);
  EXPECT_EQ(c1->expression.linear_terms[0].coefficient, 2);
  EXPECT_EQ(c1->indicator_variable, -1);
  EXPECT_TRUE(c1->indicator_value);
  EXPECT_EQ(model.indicator_count, 0);
  EXPECT_TRUE(read.log.empty()) << read.log;
}

TEST(MpsReaderTest, NamesTheModelAfterTheFileAndKeepsThePath) {
  mps_test::ScratchDir dir;
  std::string path = dir.write("sub.model.MPS", kBasic);
  auto read = mps_test::readMpsPath(path);
  ASSERT_TRUE(read.model);
  EXPECT_EQ(read.model->name, "sub.model.MPS");
  EXPECT_EQ(read.model->source_path, path);
}

TEST(MpsReaderTest, RowTypesAndTheObjectiveRow) {
  auto read = readMpsText(
      "ROWS\n N obj\n N free1\n NX free2\n GE g\n LX l\n EQ e\nCOLUMNS\n x obj 1 free1 1\n x free2 1\n"
      "RHS\n RHS free1 5 obj 5\nENDATA\n");
  ASSERT_TRUE(read.model) << read.log;
  const Model& model = *read.model;
  EXPECT_EQ(nameText(model.objective.name_id), "obj");
  ASSERT_EQ(model.rows.size(), 5u);
  EXPECT_EQ(rowBounds(model, "free1"), (Bounds{-kInf, kInf}));  // a second N row is a free row; its RHS is ignored
  EXPECT_EQ(rowBounds(model, "free2"), (Bounds{-kInf, kInf}));
  EXPECT_EQ(rowBounds(model, "g"), (Bounds{0, kInf}));
  EXPECT_EQ(rowBounds(model, "l"), (Bounds{-kInf, 0}));
  EXPECT_EQ(rowBounds(model, "e"), (Bounds{0, 0}));
  EXPECT_EQ(model.objective.constant, -5);  // an RHS value on the objective row is the negated offset
  EXPECT_EQ(findRowNamed(model, "free1")->expression.linear_terms.size(), 1u);
}

TEST(MpsReaderTest, RangesFollowTheRowTypeWhateverTheSectionOrder) {
  struct Case {
    const char* type;
    double rhs;
    double range;
    Bounds expected;
  };
  const std::vector<Case> cases = {
      {"G", 1, 2, {1, 3}},   {"G", 1, -2, {1, 3}},   {"L", 1, 2, {-1, 1}},  {"L", 1, -2, {-1, 1}},
      {"E", 1, 2, {1, 3}},   {"E", 1, -2, {-1, 1}},  {"E", 1, 0, {1, 1}},   {"G", -kInf, 2, {-kInf, -kInf}},
      // Infinite right-hand sides and ranges are bounds like any other.
      {"G", 1, kInf, {1, kInf}}, {"L", 1, -kInf, {-kInf, 1}}, {"E", 1, kInf, {1, kInf}}, {"E", 1, -kInf, {-kInf, 1}},
      {"E", kInf, 0, {kInf, kInf}}, {"G", kInf, 2, {kInf, kInf}},
  };
  for (const Case& c : cases) {
    char rhs[64];
    std::snprintf(rhs, sizeof rhs, "RHS\n RHS r %.17g\n", c.rhs);
    char ranges[64];
    std::snprintf(ranges, sizeof ranges, "RANGES\n RNG r %.17g\n", c.range);
    std::string head = std::string("ROWS\n N obj\n ") + c.type + " r\nCOLUMNS\n x r 1\n";
    for (bool ranges_first : {false, true}) {
      std::string text = head + (ranges_first ? std::string(ranges) + rhs : std::string(rhs) + ranges) + "ENDATA\n";
      auto read = readMpsText(text);
      ASSERT_TRUE(read.model) << text << read.log;
      EXPECT_EQ(rowBounds(*read.model, "r"), c.expected) << text;
    }
  }
}

TEST(MpsReaderTest, RangeOnAFreeRowIsIgnoredWithAWarning) {
  auto read = readMpsText("ROWS\n N obj\n N f\nCOLUMNS\n x f 1\nRANGES\n RNG f 4\nENDATA\n");
  ASSERT_TRUE(read.model) << read.log;
  EXPECT_EQ(rowBounds(*read.model, "f"), (Bounds{-kInf, kInf}));
  ASSERT_EQ(read.messages.size(), 1u);
  EXPECT_EQ(read.messages[0].level, 4);
  EXPECT_NE(read.messages[0].text.find("\"f\""), std::string::npos);
}

TEST(MpsReaderTest, IntegerMarkerBlocks) {
  auto read = readMpsText(
      "ROWS\n N obj\n L c\nCOLUMNS\n"
      " a obj 1\n"
      " MARK0000 'MARKER' 'INTORG'\n"
      " b c 1\n c c 1\n d c 1\n e c 1\n"
      " MARK0001 'MARKER' 'INTEND'\n"
      " f c 1\n"
      "BOUNDS\n UP BND c 10\n LO BND d 2\n UP BND e -3\nENDATA\n");
  ASSERT_TRUE(read.model) << read.log;
  const Model& model = *read.model;
  auto type = [&](const char* name) { return model.variables[columnNamed(model, name)].type; };
  EXPECT_EQ(type("a"), 0u);
  EXPECT_EQ(type("b"), 2u);
  EXPECT_EQ(type("f"), 0u);
  EXPECT_EQ(columnBounds(model, "b"), (Bounds{0, 1}));
  EXPECT_EQ(columnBounds(model, "c"), (Bounds{0, 10}));
  EXPECT_EQ(columnBounds(model, "d"), (Bounds{2, kInf}));
  EXPECT_EQ(columnBounds(model, "e"), (Bounds{-kInf, -3}));
  EXPECT_EQ(columnBounds(model, "f"), (Bounds{0, kInf}));
}

TEST(MpsReaderTest, BoundCombinations) {
  struct Case {
    const char* lines;
    bool integer_block;
    std::uint32_t type;
    Bounds expected;
  };
  const std::vector<Case> cases = {
      {" UP B x -1\n", false, 0, {-kInf, -1}},
      {" UP B x 0\n", false, 0, {0, 0}},
      {" UP B x 5\n", false, 0, {0, 5}},
      {" LO B x -5\n UP B x 7\n", false, 0, {-5, 7}},
      {" UP B x 7\n LO B x -5\n", false, 0, {-5, 7}},
      // Every bound given counts, whatever came in between.
      {" LO B x 1\n UP B x 5\n LO B x 2\n", false, 0, {2, 5}},
      {" UP B x 5\n FX B x 3\n", false, 0, {3, 3}},
      {" FX B x 3\n LO B x 2\n", false, 0, {2, 3}},
      {" FX B x 4\n", false, 0, {4, 4}},
      {" FR B x\n", false, 0, {-kInf, kInf}},
      {" MI B x\n", false, 0, {-kInf, kInf}},
      {" MI B x\n UP B x 5\n", false, 0, {-kInf, 5}},
      {" PL B x\n", false, 0, {0, kInf}},
      {" BV B x\n", false, 1, {0, 1}},
      {" BV B x 7\n", false, 1, {0, 1}},  // a value on a BV line is ignored
      {" LI B x 2\n UI B x 10\n", false, 2, {2, 10}},
      {" UI B x 7\n", false, 2, {0, 7}},
      {" LI B x 0\n", true, 2, {0, kInf}},
      {" LI B x 3\n", false, 2, {3, kInf}},
      {" SC B x 10\n LO B x 2\n", false, 3, {2, 10}},
      {" SC B x 10\n", false, 3, {0, 10}},
      {" SI B x 10\n", false, 4, {0, 10}},
      {" UP B x 10\n", true, 2, {0, 10}},
      {" LO B x 2\n", true, 2, {2, kInf}},
      {" UP B x -3\n", true, 2, {-kInf, -3}},
      {" MI B x\n", true, 2, {-kInf, kInf}},
      {" LO B x 5\n UP B x 1\n", false, 0, {5, 1}},  // kept as read
      {" UP B x inf\n LO B x -inf\n", false, 0, {-kInf, kInf}},
      {" UP B x -Infinity\n", false, 0, {-kInf, -kInf}},
      {" FX B x inf\n", false, 0, {kInf, kInf}},
      {" SC B x inf\n", false, 3, {0, kInf}},
      // Fixed-format files leave the bound vector's name out.
      {" UP x 4\n", false, 0, {0, 4}},
      {" FR x\n", false, 0, {-kInf, kInf}},
  };
  for (const Case& c : cases) {
    std::string text = "ROWS\n N obj\nCOLUMNS\n";
    if (c.integer_block) text += " M 'MARKER' 'INTORG'\n";
    text += " x obj 1\n";
    if (c.integer_block) text += " M 'MARKER' 'INTEND'\n";
    text += std::string("BOUNDS\n") + c.lines + "ENDATA\n";
    auto read = readMpsText(text);
    ASSERT_TRUE(read.model) << c.lines << read.log;
    EXPECT_EQ(columnBounds(*read.model, "x"), c.expected) << c.lines;
    EXPECT_EQ(read.model->variables[0].type, c.type) << c.lines;
  }
}

TEST(MpsReaderTest, LoneBoundsCountOverTheWholeFile) {
  // An upper bound in one BOUNDS section and a lower bound in a later one are a pair.
  auto read = readMpsText("ROWS\n N obj\nCOLUMNS\n x obj 1\nBOUNDS\n UP B x 5\nRHS\nBOUNDS\n LO B x -2\nENDATA\n");
  ASSERT_TRUE(read.model) << read.log;
  EXPECT_EQ(columnBounds(*read.model, "x"), (Bounds{-2, 5}));
}

TEST(MpsReaderTest, ObjectiveSenseVariants) {
  struct Case {
    const char* lines;
    int sense;
  };
  const std::vector<Case> cases = {
      {"OBJSENSE\n    MAX\n", 1},
      {"OBJSENSE\n\tMAXIMIZE\n", 1},
      {"OBJSENSE\nMAX\n", 1},
      {"OBJSENSE\nMAXIMIZE\n", 1},
      {"OBJSENSE MAX\n", 1},
      {"OBJSENSE MAXIMIZE\n", 1},
      {"OBJSENSE MAX\n  MIN\n", 0},
      {"OBJSENSE\n  MIN\n", 0},
      {"OBJSENSE MINIMIZE\n", 0},
      {"OBJSENSE\n* comment\n\n  MAX\n", 1},
      {"MAX\n", 0},  // outside OBJSENSE a sense line changes nothing
      {"", 0},
  };
  for (const Case& c : cases) {
    std::string text = std::string("NAME x\n") + c.lines + "ROWS\n N obj\nCOLUMNS\n x obj 1\nENDATA\n";
    auto read = readMpsText(text);
    ASSERT_TRUE(read.model) << c.lines << read.log;
    EXPECT_EQ(read.model->objective_sense, c.sense) << c.lines;
  }
  // A sense between other sections.
  auto read = readMpsText("ROWS\n N obj\nCOLUMNS\n x obj 1\nOBJSENSE\n MAX\nENDATA\n");
  ASSERT_TRUE(read.model) << read.log;
  EXPECT_EQ(read.model->objective_sense, 1);
}

TEST(MpsReaderTest, IndentedLinesAreDataEvenWhenTheyLookLikeKeywords) {
  auto read = readMpsText(
      "NAME\n"
      "ROWS\n N obj\n L ROWS\n G ENDATA\n"
      "COLUMNS\n"
      " RHS obj 1 ROWS 1\n"
      "\tENDATA obj 2 ENDATA 1\n"
      " NAME ROWS 3\n"
      "RHS\n"
      " RHS ROWS 4\n"
      "RHS ENDATA 2\n"  // unindented, a first field RHS names the vector
      "BOUNDS\n UP BND RHS 8\n\tUP BND NAME 9\n"
      "ENDATA\n");
  ASSERT_TRUE(read.model) << read.log;
  const Model& model = *read.model;
  ASSERT_EQ(model.variables.size(), 3u);
  EXPECT_EQ(nameText(model.variables[0].name_id), "RHS");
  EXPECT_EQ(nameText(model.variables[1].name_id), "ENDATA");
  EXPECT_EQ(nameText(model.variables[2].name_id), "NAME");
  EXPECT_EQ(rowBounds(model, "ROWS"), (Bounds{-kInf, 4}));
  EXPECT_EQ(rowBounds(model, "ENDATA"), (Bounds{2, kInf}));
  EXPECT_EQ(findRowNamed(model, "ROWS")->expression.linear_terms.size(), 2u);
  EXPECT_EQ(columnBounds(model, "RHS"), (Bounds{0, 8}));
  EXPECT_EQ(columnBounds(model, "NAME"), (Bounds{0, 9}));
}

TEST(MpsReaderTest, ColumnEntries) {
  auto read = readMpsText(
      "ROWS\n N obj\n L c\nCOLUMNS\n"
      " x obj 0 nosuch 0\n"  // zero pairs are dropped unread; x is still a column
      " y c 2 nosuch 3\n"   // an unknown row is skipped with a warning
      " y obj -1\n"
      "COLUMNS\n"
      " y c 5\n"  // a later COLUMNS section may describe a column again
      "ENDATA\n");
  ASSERT_TRUE(read.model) << read.log;
  const Model& model = *read.model;
  ASSERT_EQ(model.variables.size(), 2u);
  EXPECT_EQ(nameText(model.variables[0].name_id), "x");
  const Constraint* c = findRowNamed(model, "c");
  ASSERT_EQ(c->expression.linear_terms.size(), 2u);
  EXPECT_EQ(c->expression.linear_terms[1].coefficient, 5);
  ASSERT_EQ(model.objective.linear_terms.size(), 1u);
  EXPECT_EQ(model.objective.linear_terms[0].coefficient, -1);
  ASSERT_EQ(read.messages.size(), 1u);
  EXPECT_EQ(read.messages[0].level, 4);
  EXPECT_EQ(read.messages[0].text,
            "ПРЕДУПРЕЖДЕНИЕ: Столбец \"y\" ссылается на несуществующую строку \"nosuch\" в секции COLUMNS MPS файла\n");
}

TEST(MpsReaderTest, FixedFormatLinesWithNamesLeftOut) {
  auto read = readMpsText(
      "NAME          FIXED\n"
      "ROWS\n N  COST\n L  LIM1\n G  LIM2\n E  MYEQN\n"
      "COLUMNS\n"
      "    X1        COST         1.0   LIM1         1.0\n"
      "              LIM2         1.0\n"
      "    X2        COST         2.0\n"
      "              LIM1         1.0   MYEQN       -1.0\n"
      "RHS\n"
      "              LIM1         4.0   LIM2         1.0\n"
      "              MYEQN        7.0\n"
      "RANGES\n"
      "              LIM1         2.5\n"
      "BOUNDS\n"
      " UP           X1           4.0\n"
      " MI           X2\n"
      "ENDATA\n");
  ASSERT_TRUE(read.model) << read.log;
  const Model& model = *read.model;
  EXPECT_EQ(findRowNamed(model, "LIM2")->expression.linear_terms.size(), 1u);
  EXPECT_EQ(findRowNamed(model, "MYEQN")->expression.linear_terms[0].variable, columnNamed(model, "X2"));
  EXPECT_EQ(rowBounds(model, "LIM1"), (Bounds{1.5, 4}));
  EXPECT_EQ(rowBounds(model, "LIM2"), (Bounds{1, kInf}));
  EXPECT_EQ(rowBounds(model, "MYEQN"), (Bounds{7, 7}));
  EXPECT_EQ(columnBounds(model, "X1"), (Bounds{0, 4}));
  EXPECT_EQ(columnBounds(model, "X2"), (Bounds{-kInf, kInf}));
}

TEST(MpsReaderTest, LineEndsByteOrderMarkAndCommentsWithOddBytes) {
  std::string text = "\xEF\xBB\xBFNAME bom\r\nROWS\r\n N obj\r\n* comment with a NUL and \xff\r\nCOLUMNS\r\n x obj 1\r\nENDATA";
  text.insert(text.find("NUL ") + 4, 1, '\0');
  auto read = readMpsText(text);
  ASSERT_TRUE(read.model) << read.log;
  ASSERT_EQ(read.model->objective.linear_terms.size(), 1u);
  EXPECT_EQ(nameText(read.model->objective.name_id), "obj");
}

TEST(MpsReaderTest, LinesAfterEndataAreNotRead) {
  auto read = readMpsText(kBasic + "ROWS\n Q broken\ngarbage\n");
  ASSERT_TRUE(read.model) << read.log;
  EXPECT_EQ(read.model->rows.size(), 3u);
}

TEST(MpsReaderTest, NamesAreUtf8BytesAndMayBeLong) {
  std::string long_name(300000, 'v');
  auto read = readMpsText("ROWS\n N цель\n L огр\nCOLUMNS\n " + long_name + " цель 1 огр 2\nENDATA\n");
  ASSERT_TRUE(read.model) << read.log;
  EXPECT_EQ(nameText(read.model->objective.name_id), "цель");
  EXPECT_EQ(nameText(read.model->variables[0].name_id), long_name);
}

TEST(MpsReaderTest, PathsThatAreNoFiles) {
  mps_test::ScratchDir dir;
  for (const std::string& path : {dir.path().string(), dir.file("missing.mps"), std::string()}) {
    auto read = mps_test::readMpsPath(path);
    EXPECT_FALSE(read.model) << path;
  }
}

TEST(MpsReaderTest, TheReadModelOwnsItsData) {
  auto first = readMpsText(kBasic);
  auto second = readMpsText(kBasic);
  ASSERT_TRUE(first.model && second.model);
  EXPECT_NE(first.model.get(), second.model.get());
  // Equal names share one pool id across readings.
  EXPECT_EQ(first.model->objective.name_id, second.model->objective.name_id);
}

}  // namespace
}  // namespace velorium

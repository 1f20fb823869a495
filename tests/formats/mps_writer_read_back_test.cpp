// MPS files written by the writer read back through the MPS reader as the same model: every
// bound and column kind, rows of every type with their constants, the offset and the sense,
// quadratic parts, indicators and general constraints (under their legal names).
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "formats/mps/mps_reader.hpp"
#include "formats/mps/mps_writer.hpp"
#include "support/log_capture.hpp"
#include "support/scratch_dir.hpp"
#include "support/test_models.hpp"

namespace velorium {
namespace {

using test::kInf;
using test::nameText;
using test::TestModel;

std::shared_ptr<Model> writeAndRead(const Model& model) {
  test::ScratchDir dir;
  test::LogCapture log;
  std::string path = dir.file("model.mps");
  EXPECT_EQ(writeModelAsMps(log.options(), path, model), 0);
  std::shared_ptr<Model> back = readMpsFile(log.options(), path);
  if (!back) {
    ADD_FAILURE() << log.all() << "\n" << test::readFileBytes(path);
    return std::make_shared<Model>();
  }
  return back;
}

// Terms by variable pair, summed: the reader orders and merges terms its own way.
std::map<std::pair<int, int>, double> quadraticTerms(const Expression& expression) {
  std::map<std::pair<int, int>, double> terms;
  for (const QuadTerm& term : expression.quadratic_terms) {
    terms[std::minmax(term.variable1, term.variable2)] += term.coefficient;
  }
  return terms;
}
std::map<int, double> linearTerms(const Expression& expression) {
  std::map<int, double> terms;
  for (const LinearTerm& term : expression.linear_terms) terms[term.variable] += term.coefficient;
  std::erase_if(terms, [](const auto& term) { return term.second == 0.0; });
  return terms;
}

struct ColumnCase {
  const char* name;
  std::uint32_t type;
  double lower;
  double upper;
  std::uint32_t type_read;  // an integer column [0, 1] reads back binary
};

TEST(MpsWriterReadBack, EveryColumnKindAndBound) {
  const ColumnCase cases[] = {
      {"c_default", test::kContinuous, 0, kInf, test::kContinuous},
      {"c_minus", test::kContinuous, -kInf, 5, test::kContinuous},
      {"c_lower", test::kContinuous, 3, kInf, test::kContinuous},
      {"c_upper", test::kContinuous, 0, 5, test::kContinuous},
      {"c_both", test::kContinuous, -1, 5, test::kContinuous},
      {"c_fixed", test::kContinuous, 4, 4, test::kContinuous},
      {"c_free", test::kContinuous, -kInf, kInf, test::kContinuous},
      {"c_negative_upper", test::kContinuous, 0, -2, test::kContinuous},
      {"c_negative_both", test::kContinuous, -7, -2, test::kContinuous},
      {"i_binary", test::kInteger, 0, 1, test::kBinary},
      {"b_binary", test::kBinary, 0, 1, test::kBinary},
      {"i_range", test::kInteger, 2, 10, test::kInteger},
      {"i_upper", test::kInteger, 0, 7, test::kInteger},
      {"i_unbounded", test::kInteger, 0, kInf, test::kInteger},
      {"i_minus", test::kInteger, -kInf, 5, test::kInteger},
      {"i_minus_negative", test::kInteger, -kInf, -5, test::kInteger},
      {"i_negative_upper", test::kInteger, 0, -2, test::kInteger},
      {"i_fixed", test::kInteger, 4, 4, test::kInteger},
      {"i_free", test::kInteger, -kInf, kInf, test::kInteger},
      {"i_lower", test::kInteger, -3, kInf, test::kInteger},
      {"sc_range", test::kSemiContinuous, 2, 10, test::kSemiContinuous},
      {"sc_fixed", test::kSemiContinuous, 4, 4, test::kSemiContinuous},
      {"sc_unbounded", test::kSemiContinuous, 0, kInf, test::kSemiContinuous},
      {"si_range", test::kSemiInteger, 2, 10, test::kSemiInteger},
      {"si_fixed", test::kSemiInteger, 3, 3, test::kSemiInteger},
  };
  TestModel m;
  for (const ColumnCase& c : cases) m.addVariable(c.name, c.lower, c.upper, c.type);
  std::shared_ptr<Model> back = writeAndRead(m.model);
  ASSERT_EQ(back->variables.size(), std::size(cases));
  for (std::size_t j = 0; j < std::size(cases); ++j) {
    SCOPED_TRACE(cases[j].name);
    const Variable& variable = back->variables[j];
    EXPECT_EQ(nameText(variable.name_id), cases[j].name);
    EXPECT_EQ(variable.type, cases[j].type_read);
    EXPECT_EQ(variable.lower, cases[j].lower);
    EXPECT_EQ(variable.upper, cases[j].upper);
  }
}

TEST(MpsWriterReadBack, RowsObjectiveAndQuadraticParts) {
  TestModel m;
  int x = m.addVariable("x");
  int y = m.addVariable("y", -kInf, kInf);
  int z = m.addVariable("z", 0, 3, test::kInteger);
  m.addRow("le", -kInf, 10, {{y, 1}, {x, 2}}, 1.5);
  m.addRow("ge", -3, kInf, {{x, 1}, {z, -0.1}});
  m.addRow("eq", 2, 2, {{z, 1}, {x, 1}, {x, 1}});
  m.addRow("ranged", 1, 5, {{x, 1}, {y, 1}});
  m.addRow("open", -kInf, kInf, {{y, 3}});
  int q = m.addRow("q", -kInf, 4, {{x, 1}});
  m.addRowQuadratic(q, {{x, y, 1.5}, {y, y, -2}, {y, x, 0.5}});
  m.setObjective({{x, 1}, {x, 2}, {z, 0.3}}, -7.25, 1);
  m.addObjectiveQuadratic({{x, y, 1.5}, {x, x, 0.5}});
  m.nameObjective("profit");
  std::shared_ptr<Model> back = writeAndRead(m.model);

  EXPECT_EQ(back->objective_sense, 1);
  EXPECT_EQ(nameText(back->objective.name_id), "profit");
  EXPECT_EQ(back->objective.constant, -7.25);
  EXPECT_EQ(linearTerms(back->objective), (std::map<int, double>{{x, 3}, {z, 0.3}}));
  EXPECT_EQ(quadraticTerms(back->objective), quadraticTerms(m.model.objective));
  ASSERT_EQ(back->rows.size(), m.model.rows.size());
  for (std::size_t i = 0; i < back->rows.size(); ++i) {
    const Constraint& source = m.model.rows[i];
    const Constraint& row = back->rows[i];
    SCOPED_TRACE(nameText(source.expression.name_id));
    EXPECT_EQ(nameText(row.expression.name_id), nameText(source.expression.name_id));
    EXPECT_EQ(linearTerms(row.expression), linearTerms(source.expression));
    EXPECT_EQ(quadraticTerms(row.expression), quadraticTerms(source.expression));
    // The row's constant moves into its bounds.
    EXPECT_EQ(row.lower, source.lower - source.expression.constant);
    EXPECT_EQ(row.upper, source.upper - source.expression.constant);
  }
}

// Terms repeated for one pair of columns (as two quadratic sections of one file give them) are
// written once, summed, and a section's lines go by both columns whatever the order of the
// terms: the file read and written again is the same text.
TEST(MpsWriterReadBack, RepeatedQuadraticPairsAreWrittenOnce) {
  TestModel m;
  int x = m.addVariable("x");
  int y = m.addVariable("y");
  int q = m.addRow("q", -kInf, 4, {{x, 1}});
  m.addRowQuadratic(q, {{x, y, 3}, {y, x, 1}, {x, x, 2}});
  m.setObjective({{x, 1}});
  m.addObjectiveQuadratic({{y, y, 1.5}, {x, y, 1}, {y, y, 1.5}, {y, x, 2}});
  MpsWriter writer;
  const std::string written = writer.writeModelToText(m.model);
  EXPECT_NE(written.find("QMATRIX\n    x         y         3\n    y         x         3\n    y         y         6\n"),
            std::string::npos)
      << written;
  EXPECT_NE(written.find("QCMATRIX   q\n    x         x         2\n    x         y         2\n    y         x         2\n"),
            std::string::npos)
      << written;
  std::shared_ptr<Model> back = writeAndRead(m.model);
  EXPECT_EQ(quadraticTerms(back->objective), quadraticTerms(m.model.objective));
  EXPECT_EQ(quadraticTerms(back->rows[0].expression), quadraticTerms(m.model.rows[0].expression));
  back->name = m.model.name;  // the reader names a model after its file
  EXPECT_EQ(writer.writeModelToText(*back), written);
}

TEST(MpsWriterReadBack, IndicatorsAndGeneralConstraintsUnderLegalNames) {
  TestModel m;
  int x = m.addVariable("x");
  int b = m.addVariable("b", 0, 1, test::kBinary);
  int r = m.addVariable("r", -kInf, kInf);
  int c = m.addRow("c", -kInf, 3, {{x, 2}});
  m.setIndicator(c, b, false);
  const char* names[] = {"g 1", "g_1", "", "ENDATA"};
  for (const char* name : names) {
    m.model.general_constraints.push_back(
        {name,
         {ExprNodeRecord::operation(3, -1), ExprNodeRecord::variable(x, 0), ExprNodeRecord::constant(-2.5, 0)},
         r});
  }
  std::shared_ptr<Model> back = writeAndRead(m.model);
  ASSERT_EQ(back->rows.size(), 1u);
  EXPECT_EQ(back->rows[0].indicator_variable, b);
  EXPECT_FALSE(back->rows[0].indicator_value);
  ASSERT_EQ(back->general_constraints.size(), 4u);
  const char* written[] = {"g_1", "g_1#1", "name", "_ENDATA"};
  for (std::size_t g = 0; g < 4; ++g) {
    const GeneralConstraintRecord& general = back->general_constraints[g];
    EXPECT_EQ(general.name, written[g]);
    EXPECT_EQ(general.result_variable, r);
    ASSERT_EQ(general.nodes.size(), 3u);
    EXPECT_EQ(general.nodes[0].type, 3);
    EXPECT_EQ(general.nodes[1].variable_index(), x);
    EXPECT_EQ(general.nodes[2].constant_value(), -2.5);
    EXPECT_EQ(general.nodes[2].parent, 0);
  }
}

// Names that an MPS file cannot carry as they are still read back, in their legal forms.
TEST(MpsWriterReadBack, AwkwardNames) {
  TestModel m;
  int x = m.addVariable("RHS");
  int y = m.addVariable("my var");
  // The integer marker's word as a name: as the row of a COLUMNS line it would make the line
  // a marker line.
  int z = m.addVariable("'MARKER'");
  m.addRow("obj", -kInf, 4, {{x, 1}, {y, 1}});
  m.addRow("MARKER", 1, kInf, {{y, 1}});
  m.addRow("'MARKER'", 2, 5, {{z, 3}, {y, -1}});
  m.nameObjective(" ");
  m.setObjective({{x, 1}, {z, 2}});
  std::shared_ptr<Model> back = writeAndRead(m.model);
  ASSERT_EQ(back->variables.size(), 3u);
  EXPECT_EQ(nameText(back->variables[0].name_id), "_RHS");
  EXPECT_EQ(nameText(back->variables[1].name_id), "my_var");
  EXPECT_EQ(nameText(back->variables[2].name_id), "_'MARKER'");
  EXPECT_EQ(back->variables[2].type, 0u);
  ASSERT_EQ(back->rows.size(), 3u);
  EXPECT_EQ(nameText(back->rows[0].expression.name_id), "obj");
  EXPECT_EQ(nameText(back->rows[1].expression.name_id), "MARKER");
  EXPECT_EQ(nameText(back->rows[2].expression.name_id), "_'MARKER'");
  EXPECT_EQ(linearTerms(back->rows[2].expression), (std::map<int, double>{{z, 3}, {y, -1}}));
  EXPECT_EQ(back->rows[2].lower, 2);
  EXPECT_EQ(back->rows[2].upper, 5);
  EXPECT_EQ(nameText(back->objective.name_id), "_");
  EXPECT_EQ(linearTerms(back->objective), (std::map<int, double>{{x, 1}, {z, 2}}));
}

}  // namespace
}  // namespace velorium

#include "formats/export/export_model.hpp"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "formats/export/used_name_set.hpp"
#include "support/test_models.hpp"
#include "velorium/velorium.hpp"

namespace velorium {
namespace {

using test::kInf;
using test::TestModel;

std::vector<std::string> columnNames(const ExportModel& copy) {
  std::vector<std::string> names;
  for (const ExportColumn& column : copy.columns) names.emplace_back(column.name);
  return names;
}

std::vector<std::pair<std::string, std::string>> renamed(const std::vector<RenamedName>& pairs) {
  std::vector<std::pair<std::string, std::string>> result;
  for (auto [model_name, name] : pairs) result.emplace_back(model_name, name);
  return result;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

struct NamingCase {
  const char* title;
  std::vector<std::optional<std::string>> names;
  std::vector<std::string> written;
  Pairs reported;
};

TEST(ExportNames, ColumnsGetLegalUniqueNames) {
  const NamingCase cases[] = {
      {"repeated names get suffixes", {"a", "a", "a"}, {"a", "a#1", "a#2"}, {{"a", "a#1"}, {"a", "a#2"}}},
      {"legal forms clash", {"a-b", "a_b"}, {"a_b", "a_b#1"}, {{"a-b", "a_b"}, {"a_b", "a_b#1"}}},
      {"unnamed columns", {"x", std::nullopt, std::nullopt, "y", std::nullopt}, {"x", "X#1", "X#2", "y", "X#4"}, {}},
      {"unnamed clash", {"X#1", std::nullopt}, {"X#1", "X#1#1"}, {{"X#1", "X#1#1"}}},
      {"empty names", {"", ""}, {"name", "name#1"}, {}},
      {"suffix taken by a later name", {"a", "a", "a#2", "a", "a#3"}, {"a", "a#1", "a#2", "a#3", "a#3#1"},
       {{"a", "a#1"}, {"a", "a#3"}, {"a#3", "a#3#1"}}},
      {"suffix taken by an earlier name", {"a#1", "a", "a"}, {"a#1", "a", "a#2"}, {{"a", "a#2"}}},
      {"suffix on the legal name", {"1x", "1x"}, {"_1x", "_1x#1"}, {{"1x", "_1x"}, {"1x", "_1x#1"}}},
  };
  for (const NamingCase& c : cases) {
    SCOPED_TRACE(c.title);
    TestModel m;
    for (const auto& name : c.names) {
      if (name) {
        m.addVariable(std::string_view(*name));
      } else {
        m.addVariable(std::nullopt);
      }
    }
    ExportModel copy = buildExportModel(m.model);
    EXPECT_EQ(columnNames(copy), c.written);
    EXPECT_EQ(renamed(collectRenamedNames(copy.columns)), c.reported);
  }
}

TEST(ExportNames, RowsAreNamedApartFromColumns) {
  TestModel m;
  int x = m.addVariable("same");
  m.addRow("same", -kInf, 1, {{x, 1}});
  m.addRow(std::nullopt, -kInf, 1, {{x, 1}});
  m.addRow("r:1", -kInf, 1, {{x, 1}});
  ExportModel copy = buildExportModel(m.model);
  EXPECT_EQ(copy.columns[0].name, "same");
  EXPECT_EQ(copy.rows[0].name, "same");
  EXPECT_EQ(copy.rows[1].name, "C#1");
  EXPECT_EQ(copy.rows[2].name, "r_1");
  EXPECT_EQ(renamed(collectRenamedNames(copy.rows)), (Pairs{{"r:1", "r_1"}}));
}

struct ObjectiveNameCase {
  std::optional<std::string> name;
  std::optional<std::string> row_name;
  std::string written;
  std::string model_name;  // empty: not reported
};

// The objective is a row of an MPS file: its name is legal and unique among the rows.
TEST(ExportNames, ObjectiveNameIsLegalAndUniqueAmongRows) {
  const ObjectiveNameCase cases[] = {
      {std::nullopt, "c1", "obj", ""},   {"", "c1", "obj", ""},           {"cost", "c1", "cost", ""},
      {"a+b", "c1", "a_b", "a+b"},       {"my obj", "c1", "my_obj", "my obj"}, {" ", "c1", "_", " "},
      {std::nullopt, "obj", "obj#1", "obj"}, {"c1", "c1", "c1#1", "c1"},      {"max", "c1", "_max", "max"},
  };
  for (const ObjectiveNameCase& c : cases) {
    SCOPED_TRACE(c.written);
    TestModel m;
    int x = m.addVariable("x");
    m.addRow(std::string_view(*c.row_name), -kInf, 1, {{x, 1}});
    if (c.name) m.nameObjective(std::string_view(*c.name));
    ExportModel copy = buildExportModel(m.model);
    EXPECT_EQ(copy.rows[0].name, *c.row_name);  // a row keeps its name
    EXPECT_EQ(copy.objective.name, c.written);
    EXPECT_EQ(copy.objective.model_name, c.model_name);
  }
}

TEST(ExportNames, GeneralConstraintNamesAreLegalAndUnique) {
  TestModel m;
  int x = m.addVariable("x");
  for (const char* name : {"g 1", "g_1", "", "gc"}) {
    m.model.general_constraints.push_back({name, {ExprNodeRecord::variable(x, -1)}, x});
  }
  ExportModel copy = buildExportModel(m.model);
  std::vector<std::string> written;
  for (const ExportNamed& general : copy.general_constraints) written.emplace_back(general.name);
  EXPECT_EQ(written, (std::vector<std::string>{"g_1", "g_1#1", "name", "gc"}));
  EXPECT_EQ(renamed(collectRenamedNames(copy.general_constraints)), (Pairs{{"g 1", "g_1"}, {"g_1", "g_1#1"}}));
}

struct RowTypeCase {
  double lower;
  double upper;
  double constant;
  char type;
  double rhs;
  double range;
};

TEST(ExportRows, TypeRightHandSideAndRange) {
  const RowTypeCase cases[] = {
      {1, 5, 2, 'L', 3, 4},   {-kInf, kInf, 0, 'N', -kInf, 0}, {2, 2, 1, 'E', 1, 0},     {3, kInf, 0, 'G', 3, 0},
      {-kInf, 7, 3, 'L', 4, 0}, {-kInf, kInf, 5, 'N', -kInf, 0}, {-4, -4, 0, 'E', -4, 0}, {-2, kInf, -1, 'G', -1, 0},
  };
  for (const RowTypeCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lower << " <= row <= " << c.upper << ", constant " << c.constant);
    TestModel m;
    int x = m.addVariable("x");
    m.addRow("r", c.lower, c.upper, {{x, 1}}, c.constant);
    ExportModel copy = buildExportModel(m.model);
    EXPECT_EQ(copy.rows[0].type, c.type);
    EXPECT_EQ(copy.rows[0].rhs, c.rhs);
    EXPECT_EQ(copy.rows[0].range, c.range);
  }
}

TEST(ExportColumns, KindFollowsTheVariableType) {
  EXPECT_EQ(exportKindOf(test::kContinuous), kExportContinuous);
  EXPECT_EQ(exportKindOf(test::kBinary), kExportInteger);
  EXPECT_EQ(exportKindOf(test::kInteger), kExportInteger);
  EXPECT_EQ(exportKindOf(test::kSemiContinuous), kExportSemiContinuous);
  EXPECT_EQ(exportKindOf(test::kSemiInteger), kExportSemiInteger);
  EXPECT_EQ(exportKindOf(7), kExportContinuous);
}

struct Entry {
  int row;
  double coefficient;
  bool operator==(const Entry&) const = default;
};

std::vector<Entry> entriesOf(const ExportModel& copy, std::size_t column) {
  std::vector<Entry> entries;
  ColumnEntries e = copy.entries(column);
  for (std::size_t k = 0; k < e.size(); ++k) entries.push_back({e.rows[k], e.coefficients[k]});
  return entries;
}

TEST(ExportColumns, EntriesByColumnWithRepeatedTermsSummed) {
  TestModel m;
  int x = m.addVariable("x");
  int y = m.addVariable("y");
  int z = m.addVariable("z");
  int w = m.addVariable("w");
  m.addRow("r0", -kInf, 1, {{y, 2}, {x, 1}, {x, 1}, {z, 0}});
  m.addRow("r1", -kInf, 1, {{x, 3}, {y, 1.5}, {x, -3}});
  m.addRow("r2", -kInf, 1, {{y, -1}, {x, 4}});
  m.setObjective({{x, 1}, {x, 1}, {y, 2}, {y, -2}, {z, 0}, {w, 5}});
  ExportModel copy = buildExportModel(m.model);
  EXPECT_EQ(entriesOf(copy, x), (std::vector<Entry>{{0, 2}, {2, 4}}));
  EXPECT_EQ(entriesOf(copy, y), (std::vector<Entry>{{0, 2}, {1, 1.5}, {2, -1}}));
  EXPECT_TRUE(entriesOf(copy, z).empty());
  EXPECT_TRUE(entriesOf(copy, w).empty());
  EXPECT_EQ(copy.columns[x].objective_coefficient, 2);
  EXPECT_EQ(copy.columns[y].objective_coefficient, 0);
  EXPECT_EQ(copy.columns[z].objective_coefficient, 0);
  EXPECT_EQ(copy.columns[w].objective_coefficient, 5);
}

TEST(ExportColumns, NamesOnlyCopyHasNoEntries) {
  TestModel m;
  int x = m.addVariable("x");
  m.addRow("r", -kInf, 1, {{x, 1}});
  EXPECT_FALSE(buildExportModel(m.model, ExportContent::names_only).hasColumnEntries());
  EXPECT_TRUE(buildExportModel(m.model).hasColumnEntries());
}

TEST(ExportModelChecks, RefusesAMissingVariable) {
  struct Broken {
    const char* title;
    void (*breakIt)(Model&);
  };
  const Broken cases[] = {
      {"row term", [](Model& m) { m.rows[0].expression.linear_terms.push_back({2, 1.0}); }},
      {"negative row term", [](Model& m) { m.rows[0].expression.linear_terms.push_back({-1, 1.0}); }},
      {"objective term", [](Model& m) { m.objective.linear_terms.push_back({5, 1.0}); }},
      {"quadratic term", [](Model& m) { m.objective.quadratic_terms.push_back({0, 9, 1.0}); }},
      {"indicator", [](Model& m) { m.rows[0].indicator_variable = 3; }},
      {"general result", [](Model& m) { m.general_constraints.push_back({"g", {}, 4}); }},
      {"general node", [](Model& m) { m.general_constraints.push_back({"g", {ExprNodeRecord::variable(8, -1)}, 0}); }},
  };
  for (const Broken& c : cases) {
    SCOPED_TRACE(c.title);
    TestModel m;
    int x = m.addVariable("x");
    m.addVariable("y");
    m.addRow("r", -kInf, 1, {{x, 1}});
    c.breakIt(m.model);
    EXPECT_THROW(buildExportModel(m.model), velorium_exception);
  }
}

// The per-base cursor must find exactly the names that a search from 1 each time finds.
TEST(UsedNameSet, SuffixCursorMatchesAFullSearch) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> pick(0, 5);
  const std::string bases[] = {"a", "b", "a#1", "a#2", "b#3", "a#1#1"};
  UsedNameSet fast;
  std::set<std::string> naive;
  std::vector<std::string> storage;
  storage.reserve(5000);
  for (int i = 0; i < 5000; ++i) {
    const std::string& base = bases[pick(random)];
    std::string expected = base;
    if (naive.count(base)) {
      for (int k = 1;; ++k) {
        expected = base + "#" + std::to_string(k);
        if (!naive.count(expected)) break;
      }
    }
    naive.insert(expected);
    std::string got = base;
    if (!fast.insert(storage.emplace_back(base))) {
      storage.pop_back();
      got = fast.firstFreeSuffixed(base);
      ASSERT_TRUE(fast.insert(storage.emplace_back(got)));
    }
    ASSERT_EQ(got, expected) << i;
  }
  EXPECT_EQ(fast.size(), naive.size());
}

}  // namespace
}  // namespace velorium

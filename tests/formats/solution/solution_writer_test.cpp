#include "formats/solution/solution_writer.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "support/comma_locale.hpp"
#include "support/scratch_dir.hpp"

namespace velorium {
namespace {

const std::string kHeader = "# Velorium Solution File Version 1.1\n\n";

// The value lines in the map's own order, as the writer must give them.
std::string entryLines(const SolutionValues& map, bool write_zeros, const char* x_line, const char* y_line) {
  std::string lines;
  for (const auto& [name, value] : map) {
    if (!write_zeros && value == 0.0) continue;
    lines += name == "x" ? x_line : y_line;
  }
  return lines;
}

TEST(SolutionWriter, ValuesOnly) {
  SolutionData data;
  data.values = {{"x", 1.0}, {"y", 0.0}};
  for (bool write_zeros : {true, false}) {
    data.write_zeros = write_zeros;
    // The count reads 2 even when the zero entry is left out.
    EXPECT_EQ(writeSolutionText(data), kHeader + "# Columns  2\n" + entryLines(data.values, write_zeros, "x 1\n", "y 0\n"))
        << "write_zeros " << write_zeros;
  }
}

TEST(SolutionWriter, ObjectiveBoundAndGapLines) {
  struct Case {
    bool has_objective;
    double objective;
    bool has_bound;
    double bound;
    const char* expected_head;
  };
  const std::vector<Case> cases = {
      {true, 10, true, 9, "# Objective Value  10\n# Dual Bound       9\n# Gap  10.000000 %\n\n"},
      {true, -10, true, -9, "# Objective Value  -10\n# Dual Bound       -9\n# Gap  10.000000 %\n\n"},
      {true, 0, true, 0, "# Objective Value  0\n# Dual Bound       0\n# Gap  0.000000 %\n\n"},
      {true, 0, true, 1, "# Objective Value  0\n# Dual Bound       1\n# Gap  100.000000 %\n\n"},
      {true, 0.1, false, 0, "# Objective Value  0.10000000000000001\n\n"},
      {false, 0, true, 9, "# Dual Bound       9\n\n"},
      {false, 0, false, 0, ""},
  };
  for (const Case& c : cases) {
    SolutionData data;
    data.has_objective_value = c.has_objective;
    data.objective_value = c.objective;
    data.has_dual_bound = c.has_bound;
    data.dual_bound = c.bound;
    EXPECT_EQ(writeSolutionText(data), kHeader + c.expected_head + "# Columns  0\n")
        << "objective " << c.objective << ", bound " << c.bound;
  }
}

TEST(SolutionWriter, DualAndReducedCostSections) {
  SolutionData data;
  data.has_duals = true;  // written although it has no entries
  data.reduced_costs = {{"x", -2.5}};  // written because it has entries, without the flag
  data.values = {{"x", 3.0}};
  EXPECT_EQ(writeSolutionText(data),
            kHeader + "\n# Dual Solution\n" + "\n# Reduced Costs\nx -2.5\n" + "# Columns  1\nx 3\n");

  data.write_zeros = false;
  data.duals = {{"r", 0.0}};
  EXPECT_EQ(writeSolutionText(data),
            kHeader + "\n# Dual Solution\n" + "\n# Reduced Costs\nx -2.5\n" + "# Columns  1\nx 3\n");
}

TEST(SolutionWriter, ASourceReplacesTheThreeMaps) {
  auto source = std::make_shared<SolutionSource>();
  source->column_names = {"a", "a"};
  source->values = {1.0, 2.0};  // a repeated name keeps its first value
  source->reduced_costs = {0.5};
  source->row_names = {"r"};
  source->duals = {-3.0};
  SolutionData data;
  data.source = source;
  data.values = {{"ignored", 9.0}};
  data.duals = {{"ignored", 9.0}};
  data.has_objective_value = true;  // everything but the maps still comes from the data
  data.objective_value = 4.0;
  EXPECT_EQ(writeSolutionText(data), kHeader + "# Objective Value  4\n\n" + "\n# Dual Solution\nr -3\n" +
                                         "\n# Reduced Costs\na 0.5\n" + "# Columns  1\na 1\n");
}

TEST(SolutionWriter, NamesByteForByteAndSpecialNumbers) {
  SolutionData data;
  data.values = {{"перем 1", std::numeric_limits<double>::infinity()}};
  data.duals = {{"r", -std::numeric_limits<double>::infinity()}};
  data.reduced_costs = {{"q", std::numeric_limits<double>::quiet_NaN()}};
  EXPECT_EQ(writeSolutionText(data), kHeader + "\n# Dual Solution\nr -inf\n\n# Reduced Costs\nq nan\n" +
                                         "# Columns  1\nперем 1 inf\n");
}

TEST(SolutionWriter, ANameBeginningWithHashGetsABlankInFront) {
  // Written at the start of its line, "#x 1" would read as a comment and "# Columns  0 1" as a
  // heading; the reader trims the blank again.
  SolutionData data;
  data.values = {{"#x", 1.0}};
  data.duals = {{"# Columns  0", 2.0}};
  data.reduced_costs = {{"x#", 3.0}};
  EXPECT_EQ(writeSolutionText(data), kHeader + "\n# Dual Solution\n # Columns  0 2\n\n# Reduced Costs\nx# 3\n" +
                                         "# Columns  1\n #x 1\n");
}

TEST(SolutionWriter, FileHoldsTheSameBytes) {
  test::ScratchDir dir;
  SolutionData data;
  data.has_objective_value = true;
  data.objective_value = 1.5;
  data.values = {{"a", 2.0}, {"b", 0.0}};
  const std::string path = dir.file("out.sol");
  dir.write("out.sol", "old content that must go away entirely\n");
  ASSERT_TRUE(writeSolutionFile(data, path));
  EXPECT_EQ(test::readFileBytes(path), writeSolutionText(data));
}

TEST(SolutionWriter, FailuresAreReported) {
  test::ScratchDir dir;
  SolutionData data;
  data.values = {{"x", 1.0}};
  EXPECT_FALSE(writeSolutionFile(data, dir.file("no/such/folder/out.sol")));
  EXPECT_FALSE(writeSolutionFile(data, dir.path().string()));  // a directory
  EXPECT_FALSE(writeSolutionFile(data, "/dev/full"));            // created, but every write fails
}

TEST(SolutionWriter, ANameWithALineFeedIsRefusedBeforeWriting) {
  // Written as is, "a\nb 5" would give b the value of another name.
  test::ScratchDir dir;
  const std::string path = dir.file("out.sol");
  SolutionData data;
  data.values = {{"x", 1.0}};
  data.reduced_costs = {{"a\nb", 5.0}};
  EXPECT_FALSE(writeSolutionFile(data, path));
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_FALSE(writeSolutionText(data).has_value());

  auto source = std::make_shared<SolutionSource>();
  source->column_names = {"p\nq"};
  source->values = {1.0};
  SolutionData from_source;
  from_source.source = source;
  EXPECT_FALSE(writeSolutionFile(from_source, path));
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(SolutionWriter, IgnoresACommaDecimalLocale) {
  test::ScopedCommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "no locale with a decimal comma could be made";
  SolutionData data;
  data.has_objective_value = true;
  data.objective_value = 2.5;
  data.has_dual_bound = true;
  data.dual_bound = 2.25;
  data.values = {{"x", 0.5}};
  EXPECT_EQ(writeSolutionText(data), kHeader +
                                         "# Objective Value  2.5\n# Dual Bound       2.25\n# Gap  10.000000 %\n\n"
                                         "# Columns  1\nx 0.5\n");
}

}  // namespace
}  // namespace velorium

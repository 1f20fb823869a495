#include "formats/solution/solution_reader.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "formats/solution/solution_writer.hpp"
#include "support/comma_locale.hpp"
#include "support/scratch_dir.hpp"

namespace velorium {
namespace {

SolutionData readText(const std::string& text) {
  SolutionData data;
  EXPECT_TRUE(readSolutionText(data, text.data(), text.size()));
  return data;
}

// The same text read in order, its maps taken from its source when it has one.
SolutionData readTextInOrder(const std::string& text) {
  SolutionData data;
  EXPECT_TRUE(readSolutionTextInOrder(data, text.data(), text.size()));
  if (data.source) {
    ensure_solution_index(*data.source);
    data.values = data.source->values_by_name;
    data.duals = data.source->duals_by_name;
    data.reduced_costs = data.source->reduced_costs_by_name;
  }
  return data;
}

TEST(SolutionReader, ParserTable) {
  struct Case {
    const char* title;
    std::string text;
    SolutionValues values;
    SolutionValues duals;
    SolutionValues reduced_costs;
    bool has_duals;
    bool has_reduced_costs;
  };
  const std::vector<Case> cases = {
      {"name with a blank", "my var 2.5\n", {{"my var", 2.5}}, {}, {}, false, false},
      {"blanks around the name", "  x   3\n", {{"x", 3}}, {}, {}, false, false},
      {"no blank: skipped", "x\n", {}, {}, {}, false, false},
      {"a tab is no blank", "x\t1\n", {}, {}, {}, false, false},
      {"value not a number", "x abc\n", {{"x", 0}}, {}, {}, false, false},
      {"value with trailing text", "x 7abc\n", {{"x", 7}}, {}, {}, false, false},
      {"blanks after the value", "x 4  \n", {{"x", 4}}, {}, {}, false, false},
      {"empty name", " 5\n", {{"", 5}}, {}, {}, false, false},
      {"name beginning with # is a comment", "#x 1\n", {}, {}, {}, false, false},
      {"first value of a name stays", "x 1\nx 2\n", {{"x", 1}}, {}, {}, false, false},
      {"empty lines skipped", "\n\nx 1\n\n", {{"x", 1}}, {}, {}, false, false},
      {"CR LF ends", "x 1\r\ny 2\r\n", {{"x", 1}, {"y", 2}}, {}, {}, false, false},
      {"last line without line end", "x 1\ny 2", {{"x", 1}, {"y", 2}}, {}, {}, false, false},
      {"header, objective, bound and gap lines are comments",
       "# Velorium Solution File Version 1.1\n\n# Objective Value  10\n# Dual Bound       9\n# Gap  10.000000 %\n\n"
       "# Columns  1\nx 1\n",
       {{"x", 1}}, {}, {}, false, false},
      {"sections",
       "a 1\n# Dual Solution\nr 2\n# Reduced Costs\na 3\n# Columns  1\nb 4\n",
       {{"a", 1}, {"b", 4}}, {{"r", 2}}, {{"a", 3}}, true, true},
      {"heading without entries sets its flag", "\n# Dual Solution\n# Columns  0\n", {}, {}, {}, true, false},
      {"# Columns without the blank is ignored", "# Dual Solution\n# Columns\nr 1\n", {}, {{"r", 1}}, {}, true, false},
      {"headings match by their beginning", "# Reduced Costs (extra)\nq 1\n", {}, {}, {{"q", 1}}, false, true},
      {"exponent, sign and hexadecimal values", "a 1e3\nb -2.5E-1\nc +4\nd 0x10\n",
       {{"a", 1000}, {"b", -0.25}, {"c", 4}, {"d", 16}}, {}, {}, false, false},
      {"numbers out of range", "big 1e999\ntiny 1e-999\n",
       {{"big", std::numeric_limits<double>::infinity()}, {"tiny", 0}}, {}, {}, false, false},
  };
  for (const Case& c : cases) {
    for (const SolutionData& data : {readText(c.text), readTextInOrder(c.text)}) {
      EXPECT_EQ(data.values, c.values) << c.title;
      EXPECT_EQ(data.duals, c.duals) << c.title;
      EXPECT_EQ(data.reduced_costs, c.reduced_costs) << c.title;
      EXPECT_EQ(data.has_duals, c.has_duals) << c.title;
      EXPECT_EQ(data.has_reduced_costs, c.has_reduced_costs) << c.title;
    }
  }
}

TEST(SolutionReader, InOrderKeepsTheTextsOrderAndFallsBackToMapsWhenColumnsDiffer) {
  const std::string ordered = "# Dual Solution\nr2 5\nr1 6\n# Reduced Costs\nb 1\na 2\n# Columns  2\nb 3\na 4\n";
  SolutionData data;
  ASSERT_TRUE(readSolutionTextInOrder(data, ordered.data(), ordered.size()));
  ASSERT_NE(data.source, nullptr);
  EXPECT_EQ(data.source->column_names, (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(data.source->values, (std::vector<double>{3, 4}));
  EXPECT_EQ(data.source->reduced_costs, (std::vector<double>{1, 2}));
  EXPECT_EQ(data.source->row_names, (std::vector<std::string>{"r2", "r1"}));
  EXPECT_TRUE(data.values.empty());

  // Reduced costs of other columns than the values cannot share their names: maps instead.
  const std::string mixed = "# Reduced Costs\na 2\nb 1\n# Columns  2\nb 3\na 4\n";
  ASSERT_TRUE(readSolutionTextInOrder(data, mixed.data(), mixed.size()));
  EXPECT_EQ(data.source, nullptr);
  EXPECT_EQ(data.values, (SolutionValues{{"a", 4}, {"b", 3}}));
  EXPECT_EQ(data.reduced_costs, (SolutionValues{{"a", 2}, {"b", 1}}));
}

TEST(SolutionReader, InOrderNamesOutliveTheText) {
  // The text is overwritten and freed before the names are read: they must be copies.
  auto text = std::make_unique<std::string>(
      "# Dual Solution\nrow_with_a_long_name_1 5\n# Reduced Costs\ncolumn_with_a_long_name_1 1\n"
      "# Columns  1\ncolumn_with_a_long_name_1 3\n");
  SolutionData data;
  ASSERT_TRUE(readSolutionTextInOrder(data, text->data(), text->size()));
  std::fill(text->begin(), text->end(), '?');
  text.reset();
  ASSERT_NE(data.source, nullptr);
  EXPECT_EQ(data.source->column_names, (std::vector<std::string>{"column_with_a_long_name_1"}));
  EXPECT_EQ(data.source->row_names, (std::vector<std::string>{"row_with_a_long_name_1"}));
  ensure_solution_index(*data.source);
  EXPECT_EQ(data.source->reduced_costs_by_name, (SolutionValues{{"column_with_a_long_name_1", 1}}));
}

TEST(SolutionReader, ReadReplacesSectionsButKeepsTheRest) {
  SolutionData data;
  data.write_zeros = false;
  data.has_objective_value = true;
  data.objective_value = 7;
  data.has_dual_bound = true;
  data.dual_bound = 6;
  data.has_duals = true;
  data.duals = {{"old", 1}};
  data.values = {{"old", 1}};
  data.has_reduced_costs = true;
  data.source = std::make_shared<SolutionSource>();
  const std::string text = "# Objective Value  99\nx 1\n";
  ASSERT_TRUE(readSolutionText(data, text.data(), text.size()));
  EXPECT_EQ(data.values, (SolutionValues{{"x", 1}}));
  EXPECT_EQ(data.source, nullptr);
  EXPECT_TRUE(data.duals.empty());
  EXPECT_FALSE(data.has_duals);
  EXPECT_FALSE(data.has_reduced_costs);
  EXPECT_FALSE(data.write_zeros);
  EXPECT_EQ(data.objective_value, 7);  // the objective line is only a comment to the reader
  EXPECT_EQ(data.dual_bound, 6);
}

TEST(SolutionReader, TextIsReadOnlyUpToItsLength) {
  // An exactly sized heap copy without a terminator: reading past it is caught by the
  // address sanitizer; the digits behind the given length must not count.
  const std::string text = "x 1\ny 23456";
  auto exact = std::make_unique<char[]>(text.size());
  std::copy(text.begin(), text.end(), exact.get());
  SolutionData data;
  ASSERT_TRUE(readSolutionText(data, exact.get(), text.size()));
  EXPECT_EQ(data.values, (SolutionValues{{"x", 1}, {"y", 23456}}));
  ASSERT_TRUE(readSolutionText(data, exact.get(), text.size() - 3));
  EXPECT_EQ(data.values, (SolutionValues{{"x", 1}, {"y", 23}}));
  ASSERT_TRUE(readSolutionText(data, exact.get(), 0));
  EXPECT_TRUE(data.values.empty());
}

TEST(SolutionReader, FileAndTextReadAlike) {
  test::ScratchDir dir;
  const std::string text = "# Dual Solution\r\nr 1.5\r\n# Columns  2\r\nmy x 2\r\ny -1e-3";
  SolutionData from_file;
  ASSERT_TRUE(readSolutionFile(from_file, dir.write("s.sol", text)));
  const SolutionData from_text = readText(text);
  EXPECT_EQ(from_file.values, (SolutionValues{{"my x", 2}, {"y", -1e-3}}));
  EXPECT_EQ(from_file.duals, (SolutionValues{{"r", 1.5}}));
  EXPECT_EQ(from_text.values, from_file.values);
  EXPECT_EQ(from_text.duals, from_file.duals);
  EXPECT_EQ(from_text.has_duals, from_file.has_duals);
}

TEST(SolutionReader, ALineLongerThanTheFileBufferIsReadWhole) {
  test::ScratchDir dir;
  const std::string name(300000, 'n');
  SolutionData data;
  ASSERT_TRUE(readSolutionFile(data, dir.write("long.sol", "a 1\n" + name + " 5\nb 2\n")));
  EXPECT_EQ(data.values, (SolutionValues{{"a", 1}, {name, 5}, {"b", 2}}));
}

TEST(SolutionReader, PathsThatCannotBeReadGiveFalseAndNoValues) {
  test::ScratchDir dir;
  for (const std::string& path : {dir.file("missing.sol"), dir.path().string(), std::string("/proc/self/mem")}) {
    SolutionData data;
    data.values = {{"stale", 1}};
    data.has_duals = true;
    data.source = std::make_shared<SolutionSource>();
    EXPECT_FALSE(readSolutionFile(data, path)) << path;
    EXPECT_TRUE(data.values.empty()) << path;
    EXPECT_FALSE(data.has_duals) << path;
    EXPECT_FALSE(data.has_reduced_costs) << path;
    EXPECT_EQ(data.source, nullptr) << path;
  }
}

TEST(SolutionReader, RoundTripThroughTextAndFile) {
  SolutionData data;
  data.has_objective_value = true;
  data.objective_value = -3.25;
  data.has_duals = true;
  data.duals = {{"row 1", 0.1}, {"r2", -1e-300}};
  data.has_reduced_costs = true;
  data.reduced_costs = {{"x", 1.0 / 3.0}};
  data.values = {{"x", 123456789.123456789}, {"y z", -0.0}, {"i", std::numeric_limits<double>::infinity()},
                 {"m", -std::numeric_limits<double>::infinity()}, {"w", 4.9e-324}};

  const std::string text = writeSolutionText(data).value();
  const SolutionData back = readText(text);
  EXPECT_EQ(back.values, data.values);
  EXPECT_EQ(back.duals, data.duals);
  EXPECT_EQ(back.reduced_costs, data.reduced_costs);
  EXPECT_TRUE(back.has_duals);
  EXPECT_TRUE(back.has_reduced_costs);

  test::ScratchDir dir;
  const std::string path = dir.file("round.sol");
  ASSERT_TRUE(writeSolutionFile(data, path));
  SolutionData from_file;
  ASSERT_TRUE(readSolutionFile(from_file, path));
  EXPECT_EQ(from_file.values, data.values);
  EXPECT_EQ(from_file.duals, data.duals);
  EXPECT_EQ(from_file.reduced_costs, data.reduced_costs);
}

TEST(SolutionReader, NamesThatLookLikeCommentsSurviveARoundTrip) {
  // A name that begins with "#" is read from a line with blanks in front. Written at the start
  // of a line, it came back as a comment (lost) or a heading (the entries after it changed
  // section).
  const std::string text = "  #x 1\n # Dual Solution 2\nr 3\n\t# 4\n # Reduced Costs 5\n  # 6\n";
  const SolutionData data = readText(text);
  const SolutionValues expected = {{"#x", 1},  {"# Dual Solution", 2}, {"r", 3},
                                   {"\t#", 4}, {"# Reduced Costs", 5}, {"#", 6}};
  ASSERT_EQ(data.values, expected);
  EXPECT_FALSE(data.has_duals);
  EXPECT_FALSE(data.has_reduced_costs);

  const SolutionData back = readText(writeSolutionText(data).value());
  EXPECT_EQ(back.values, expected);
  EXPECT_TRUE(back.duals.empty());
  EXPECT_FALSE(back.has_duals);
  EXPECT_FALSE(back.has_reduced_costs);
}

TEST(SolutionReader, EmptyDualSectionSurvivesARoundTrip) {
  SolutionData data;
  data.has_duals = true;
  const SolutionData back = readText(writeSolutionText(data).value());
  EXPECT_TRUE(back.has_duals);
  EXPECT_FALSE(back.has_reduced_costs);
  EXPECT_TRUE(back.duals.empty());
}

TEST(SolutionReader, NaNReadsBack) {
  SolutionData data;
  data.values = {{"p", std::numeric_limits<double>::quiet_NaN()}, {"q", -std::numeric_limits<double>::quiet_NaN()}};
  const SolutionData back = readText(writeSolutionText(data).value());
  ASSERT_EQ(back.values.size(), 2u);
  EXPECT_TRUE(std::isnan(back.values.at("p")));
  EXPECT_TRUE(std::isnan(back.values.at("q")));
}

TEST(SolutionReader, IgnoresACommaDecimalLocale) {
  test::ScopedCommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "no locale with a decimal comma could be made";
  EXPECT_EQ(readText("x 2.5\ny 1,5\n").values, (SolutionValues{{"x", 2.5}, {"y", 1}}));
}

}  // namespace
}  // namespace velorium

namespace velorium {
namespace {

// A calculation's result text is checked as it is read: what the service writes passes, and
// every kind of reply that is no result text is refused with its reason and leaves nothing.
TEST(ResultText, RefusesWhatIsNoResultTextAndSaysWhy) {
  const std::string heading = "# Velorium Solution File Version 1.1\n\n";
  struct Case {
    const char* title;
    std::string text;
    const char* reason;  // "" when the text is read
  };
  const std::vector<Case> cases = {
      {"as the service writes it",
       heading + "# Objective Value  11\n\n\n# Dual Solution\nc1 2\n\n# Reduced Costs\nx 1\ny 0\n# Columns  2\nx 3\ny 1\n",
       ""},
      {"CR LF line ends, no final line end, infinities", heading + "# Columns  2\r\nx inf\r\ny -1e3", ""},
      {"a calculation without a solution", heading + "# Columns  0\n", ""},
      {"an empty body", "", "is empty"},
      {"an HTML page", "<html><head><title>502 Bad Gateway</title></head></html>\n",
       "does not begin with \"# Velorium Solution File Version 1.1\" but with \"<html><head><title>502 Bad Gateway"},
      {"the heading further down", "\n" + heading + "# Columns  0\n", "does not begin with"},
      {"no count line", heading + "x 1\n", "holds no \"# Columns\" line"},
      {"cut short", heading + "# Columns  3\nx 1\ny 2\n", "counts 3 columns but holds 2 values"},
      {"cut inside a line", heading + "# Columns  2\nx 1\ny", "a line without a name and a value (line 5: \"y\")"},
      {"more values than counted", heading + "# Columns  1\nx 1\ny 2\n", "counts 1 columns but holds 2 values"},
      {"a count that is none", heading + "# Columns  two\nx 1\n", "has no count in its line \"# Columns  two\""},
      {"two count lines", heading + "# Columns  1\nx 1\n# Columns  1\ny 2\n", "a second \"# Columns\" line (line 5)"},
      {"NaN as a value", heading + "# Columns  2\nx 1\ny nan\n", "has NaN for \"y\" (line 5)"},
      {"NaN as a dual value", heading + "# Dual Solution\nc1 NaN\n# Columns  0\n", "has NaN for \"c1\""},
      {"a value that is no number", heading + "# Columns  1\nx 3x\n", "has no number for \"x\" (line 4: \"3x\")"},
      {"a control character is not quoted", "\x1b[2J\n", "but with \"?[2J\""},
  };
  for (const Case& c : cases) {
    SolutionData data;
    data.values = {{"stale", 1.0}};
    const std::string reason = readResultText(data, c.text.data(), c.text.size());
    if (*c.reason == '\0') {
      EXPECT_EQ(reason, "") << c.title;
      continue;
    }
    EXPECT_TRUE(reason.starts_with("the calculation's result text ")) << c.title << ": " << reason;
    EXPECT_NE(reason.find(c.reason), std::string::npos) << c.title << ": " << reason;
    EXPECT_EQ(data.source, nullptr) << c.title;
    EXPECT_TRUE(data.values.empty()) << c.title;
  }
}

TEST(ResultText, ReadsAsTheReaderInOrderDoes) {
  const std::string text =
      "# Velorium Solution File Version 1.1\n\n# Dual Solution\nr2 5\nr1 6\n# Reduced Costs\nb 1\na 2\n"
      "# Columns  2\nb 3\na 4\n";
  SolutionData checked;
  SolutionData plain;
  ASSERT_EQ(readResultText(checked, text.data(), text.size()), "");
  ASSERT_TRUE(readSolutionTextInOrder(plain, text.data(), text.size()));
  ASSERT_NE(checked.source, nullptr);
  EXPECT_EQ(checked.source->column_names, plain.source->column_names);
  EXPECT_EQ(checked.source->values, plain.source->values);
  EXPECT_EQ(checked.source->reduced_costs, plain.source->reduced_costs);
  EXPECT_EQ(checked.source->row_names, plain.source->row_names);
  EXPECT_EQ(checked.source->duals, plain.source->duals);
  EXPECT_TRUE(checked.has_duals && checked.has_reduced_costs);
}

}  // namespace
}  // namespace velorium

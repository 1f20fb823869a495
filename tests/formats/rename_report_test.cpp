#include "formats/export/rename_report.hpp"

#include <gtest/gtest.h>

#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"
#include "support/log_capture.hpp"
#include "support/test_models.hpp"

namespace velorium {
namespace {

using test::LogCapture;
using test::TestModel;

std::vector<RenamedName> pairsOf(const std::vector<std::pair<std::string, std::string>>& pairs) {
  std::vector<RenamedName> views;
  for (const auto& [model_name, name] : pairs) views.emplace_back(model_name, name);
  return views;
}

TEST(RenameReport, ListsThreeRenamingsThenCountsTheRest) {
  const std::vector<std::pair<std::string, std::string>> five = {
      {"a", "a#1"}, {"b c", "b_c"}, {"1", "_1"}, {"d", "d#1"}, {"e", "e#1"}};
  const std::string list3 = "[a] в [a#1], [b c] в [b_c], [1] в [_1]";
  EXPECT_EQ(composeRenamedNamesLine("M: ", 3, pairsOf(five)),
            "M: " + list3 + formatString(get_message(498), std::size_t{2}) + "\n");
  EXPECT_EQ(composeRenamedNamesLine("M: ", 3, pairsOf({five.begin(), five.begin() + 3})), "M: " + list3 + "\n");
  EXPECT_EQ(composeRenamedNamesLine("M: ", 3, pairsOf({five.begin(), five.begin() + 1})), "M: [a] в [a#1]\n");
  // The catalogue in force is Russian.
  EXPECT_EQ(formatString(get_message(498), std::size_t{2}), " и ещё 2 переименований");
}

TEST(RenameReport, LogsColumnsThenConstraintsAsWarningsWithoutPrefix) {
  TestModel m;
  int x = m.addVariable("a");
  m.addVariable("a");
  m.addRow("r 1", -test::kInf, 1, {{x, 1}});
  m.addRow("r 1", -test::kInf, 1, {{x, 1}});
  m.nameObjective("the cost");
  m.model.general_constraints.push_back({"g-1", {ExprNodeRecord::variable(x, -1)}, x});
  ExportModel copy = buildExportModel(m.model);
  LogCapture log;
  reportRenamedNames(copy, log.options());
  ASSERT_EQ(log.texts().size(), 2u);
  EXPECT_EQ(log.texts()[0].level, 4);
  EXPECT_EQ(log.texts()[0].text, std::string(get_message(496)) + "[a] в [a#1]\n");
  EXPECT_EQ(log.texts()[1].level, 4);
  EXPECT_EQ(log.texts()[1].text, std::string(get_message(497)) +
                                     "[r 1] в [r_1], [r 1] в [r_1#1], [the cost] в [the_cost]" +
                                     formatString(get_message(498), std::size_t{1}) + "\n");
}

TEST(RenameReport, LogsNothingWhenNoNameChanged) {
  TestModel m;
  int x = m.addVariable("x");
  m.addVariable(std::nullopt);
  m.addRow(std::nullopt, -test::kInf, 1, {{x, 1}});
  m.addVariable("");
  LogCapture log;
  reportRenamedNames(buildExportModel(m.model), log.options());
  EXPECT_TRUE(log.texts().empty());
}

// A name is data, never a format: "%s" and "%n" must come out as they are.
TEST(RenameReport, LogsNamesVerbatim) {
  TestModel m;
  m.addVariable("%s%n %d");
  m.addVariable("%s%n %d");
  LogCapture log;
  reportRenamedNames(buildExportModel(m.model), log.options());
  ASSERT_EQ(log.texts().size(), 1u);
  EXPECT_EQ(log.texts()[0].text, std::string(get_message(496)) + "[%s%n %d] в [%s%n_%d], [%s%n %d] в [%s%n_%d#1]\n");
}

}  // namespace
}  // namespace velorium

// The two printed forms of an option: the options-file entry and the HTML list item.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/options/option_access.hpp"
#include "core/options/velorium_options.hpp"
#include "core/text/message_catalogue.hpp"

namespace velorium {
namespace {

std::string printed(const OptionRecord& record, bool only_if_changed, bool html) {
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* stream = ::open_memstream(&buffer, &size);
  record.printOption(stream, only_if_changed, html);
  std::fclose(stream);
  std::string text(buffer, size);
  std::free(buffer);
  return text;
}

const OptionRecord& recordOf(const VeloriumOptions& options, const char* name) {
  return *options.records.at(static_cast<std::size_t>(find_option_index(options, name)));
}

std::string htmlHead(const std::string& name, const std::string& description) {
  return "<li><tt><font size=\"+2\"><strong>" + name + "</strong></font></tt><br>\n" + description + "<br>\n";
}

TEST(OptionPrinting, FileAndHtmlFormsOfEachType) {
  VeloriumOptions options;
  ASSERT_EQ(setOptionFromString(options, "presolve", "weak"), OptionStatus::ok);
  ASSERT_EQ(setDoubleOption(options, "mip_rel_gap", 1.5e-7), OptionStatus::ok);
  struct Case {
    const char* name;
    bool html;
    std::string expected;
  };
  const Case cases[] = {
      {"time_limit", false,
       std::string("\n# ") + get_message(430) +
           "\n# [type: double, advanced: false, range: [0, inf], default: inf]\ntime_limit = inf\n"},
      {"mip_rel_gap", false,
       std::string("\n# ") + get_message(425) +
           "\n# [type: double, advanced: false, range: [0, inf], default: 0.0001]\nmip_rel_gap = 1.5e-07\n"},
      {"small_matrix_value", true,
       htmlHead("small_matrix_value", recordOf(options, "small_matrix_value").description) +
           "type: double, advanced: false, range: [1e-12, inf], default: 1e-09\n</li>\n"},
      {"keep_n_rows", false,
       "\n# For multiple N-rows in MPS files: delete rows / delete entries / keep rows (-1/0/1)\n"
       "# [type: VeloriumInt, advanced: true, range: {-1, 1}, default: -1]\nkeep_n_rows = -1\n"},
      {"remote_timeout", true,
       htmlHead("remote_timeout", get_message(429)) +
           "type: VeloriumInt, advanced: true, range: {10, 600}, default: 300\n</li>\n"},
      {"compute_iis", false,
       std::string("\n# ") + get_message(417) +
           "\n# [type: bool, advanced: false, range: {false, true}, default: false]\ncompute_iis = false\n"},
      {"compute_iis", true,
       htmlHead("compute_iis", get_message(417)) +
           "type: bool, advanced: false, range: {false, true}, default: false\n</li>\n"},
      {"presolve", false,
       std::string("\n# ") + get_message(427) + "\n# [type: string, advanced: false, default: \"on\"]\npresolve = weak\n"},
      {"presolve", true,
       htmlHead("presolve", get_message(427)) + "type: string, advanced: false, default: \"on\"\n</li>\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + (c.html ? " html" : " file"));
    EXPECT_EQ(printed(recordOf(options, c.name), false, c.html), c.expected);
  }
}

TEST(OptionPrinting, OnlyChangedOptionsWhenAsked) {
  VeloriumOptions options;
  std::string all;
  for (const auto& record : options.records) all += printed(*record, true, false);
  EXPECT_EQ(all, "") << "a fresh set has nothing changed";

  ASSERT_EQ(setIntOption(options, "threads", 4), OptionStatus::ok);
  ASSERT_EQ(setOptionFromString(options, "solver", "IPM"), OptionStatus::ok);
  all.clear();
  for (const auto& record : options.records) all += printed(*record, true, false);
  EXPECT_NE(all.find("\nthreads = 4\n"), std::string::npos);
  EXPECT_NE(all.find("\nsolver = IPM\n"), std::string::npos);
  std::size_t value_lines = 0;
  for (std::size_t at = all.find(" = "); at != std::string::npos; at = all.find(" = ", at + 1)) ++value_lines;
  EXPECT_EQ(value_lines, 2u) << "only the two changed options";

  // Back at the default, an option is not printed again.
  const_cast<OptionRecord&>(recordOf(options, "solver")).resetToDefault();
  EXPECT_EQ(printed(recordOf(options, "solver"), true, true), "");
}

TEST(OptionPrinting, OptionsFileIsNeverWritten) {
  std::string value;
  OptionRecordString record(0, "options_file", "Options file", &value, "settings.txt");
  EXPECT_EQ(value, "settings.txt") << "a record writes its default at once";
  EXPECT_EQ(printed(record, false, false), "");
  EXPECT_EQ(printed(record, false, true), "");
}

}  // namespace
}  // namespace velorium

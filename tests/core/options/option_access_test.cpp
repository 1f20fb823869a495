// Reading and changing options by name and type: the type rules, the range checks, reading
// values from text, and the exact error line of every refusal.
#include "core/options/option_access.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/options/options_test_support.hpp"
#include "core/text/number_text.hpp"

namespace velorium {
namespace {

using test::CapturedOptions;
using test::errorLine;

enum class Op { GetBool, GetInt, GetDouble, GetString, SetBool, SetInt, SetDouble, SetString };

struct AccessCase {
  Op op;
  const char* name;
  double number;     // the value of SetBool (non-zero: true), SetInt and SetDouble
  const char* text;  // the text of SetString
  OptionStatus status;
  std::vector<std::string> logged;
  // Get: the value read; Set: the option's value afterwards (unchanged when refused).
  const char* result;
  // Set through its text before the operation; null for none.
  const char* setup_name = nullptr;
  const char* setup_text = nullptr;
};

constexpr auto ok = OptionStatus::ok;
constexpr auto unknown = OptionStatus::unknown_option;
constexpr auto refused = OptionStatus::illegal_value;

// An option's value as text, whatever its type.
std::string valueText(const VeloriumOptions& options, const char* name) {
  int index = find_option_index(options, name);
  if (index < 0) return "<no option>";
  const OptionRecord& record = *options.records[static_cast<std::size_t>(index)];
  switch (record.type) {
    case OptionType::Bool: return boolToText(*static_cast<const OptionRecordBool&>(record).value);
    case OptionType::Int: return std::to_string(*static_cast<const OptionRecordInt&>(record).value);
    case OptionType::Double: return formatDoubleGeneral(*static_cast<const OptionRecordDouble&>(record).value, 17);
    case OptionType::String: break;
  }
  return *static_cast<const OptionRecordString&>(record).value;
}

// Runs the operation; for a read that succeeds, `read` is the value read as text.
OptionStatus run(VeloriumOptions& options, const AccessCase& c, std::string& read) {
  switch (c.op) {
    case Op::GetBool: {
      bool value = false;
      OptionStatus status = getBoolOption(options, c.name, value);
      read = boolToText(value);
      return status;
    }
    case Op::GetInt: {
      int value = 0;
      OptionStatus status = getIntOption(options, c.name, value);
      read = std::to_string(value);
      return status;
    }
    case Op::GetDouble: {
      double value = 0;
      OptionStatus status = getDoubleOption(options, c.name, value);
      read = formatDoubleGeneral(value, 17);
      return status;
    }
    case Op::GetString: return getStringOption(options, c.name, read);
    case Op::SetBool: return setBoolOption(options, c.name, c.number != 0);
    case Op::SetInt: return setIntOption(options, c.name, static_cast<int>(c.number));
    case Op::SetDouble: return setDoubleOption(options, c.name, c.number);
    case Op::SetString: return setOptionFromString(options, c.name, c.text);
  }
  return unknown;
}

std::vector<std::string> none() { return {}; }
std::vector<std::string> line(int id, const std::string& first, const std::string& second = {}) {
  return {errorLine(id, first, second)};
}

const std::vector<AccessCase>& accessCases() {
  static const std::vector<AccessCase> cases = {
      // Names are case-sensitive; an unknown name is not logged.
      {Op::GetInt, "threads", 0, "", ok, none(), "0"},
      {Op::GetInt, "Threads", 0, "", unknown, none(), ""},
      {Op::SetInt, "no_such_option", 1, "", unknown, none(), "<no option>"},
      {Op::SetString, "Presolve", 0, "on", unknown, none(), "<no option>"},

      // Reading by type: only the option's own type; a mismatch names the option's type.
      {Op::GetBool, "threads", 0, "", refused, line(107, "threads"), "", "threads", "4"},
      {Op::GetBool, "threads", 0, "", refused, line(107, "threads"), ""},
      {Op::GetBool, "compute_iis", 0, "", ok, none(), "true", "compute_iis", "on"},
      {Op::GetInt, "output_flag", 0, "", refused, line(106, "output_flag"), ""},
      {Op::GetDouble, "compute_iis", 0, "", refused, line(106, "compute_iis"), ""},
      {Op::GetString, "compute_iis", 0, "", refused, line(106, "compute_iis"), ""},
      {Op::GetDouble, "threads", 0, "", refused, line(107, "threads"), ""},
      {Op::GetString, "threads", 0, "", refused, line(107, "threads"), ""},
      {Op::GetInt, "time_limit", 0, "", refused, line(108, "time_limit"), ""},
      {Op::GetBool, "time_limit", 0, "", refused, line(108, "time_limit"), ""},
      {Op::GetString, "time_limit", 0, "", refused, line(108, "time_limit"), ""},
      {Op::GetInt, "presolve", 0, "", refused, line(105, "presolve"), ""},
      {Op::GetDouble, "presolve", 0, "", refused, line(105, "presolve"), ""},
      {Op::GetBool, "presolve", 0, "", refused, line(105, "presolve"), ""},

      // Changing by type.
      {Op::SetInt, "output_flag", 5, "", ok, none(), "true", "output_flag", "false"},
      {Op::SetInt, "compute_iis", 0, "", ok, none(), "false", "compute_iis", "true"},
      {Op::SetBool, "threads", 1, "", ok, none(), "1"},
      {Op::SetBool, "remote_timeout", 1, "", refused, line(102, "remote_timeout", "1"), "300"},
      {Op::SetInt, "time_limit", 5, "", refused, line(101, "time_limit"), "inf"},
      {Op::SetBool, "time_limit", 1, "", refused, line(101, "time_limit"), "inf"},
      {Op::SetInt, "presolve", 1, "", refused, line(104, "presolve"), "on"},
      {Op::SetBool, "presolve", 1, "", refused, line(104, "presolve"), "on"},
      {Op::SetDouble, "presolve", 1, "", refused, line(104, "presolve"), "on"},
      {Op::SetDouble, "compute_iis", 1, "", refused, line(100, "compute_iis"), "false"},
      {Op::SetDouble, "threads", 2, "", refused, line(103, "threads"), "0"},
      {Op::SetDouble, "time_limit", -1, "", refused, line(102, "time_limit", "-1.000000"), "inf"},
      {Op::SetInt, "mip_start_completion_node_limit", -2, "", ok, none(), "-2"},
      {Op::SetDouble, "rebuild_refactor_solution_error_tolerance", -1e300, "", ok, none(), "-1.0000000000000001e+300"},

      // Ints from text: white space around, saturation, nothing else around the number.
      {Op::SetString, "remote_timeout", 0, " 60 ", ok, none(), "60"},
      {Op::SetString, "remote_timeout", 0, "\t+42\r\n", ok, none(), "42"},
      {Op::SetString, "remote_timeout", 0, "60s", refused, line(103, "remote_timeout"), "300"},
      {Op::SetString, "remote_timeout", 0, "", refused, line(102, "remote_timeout", "0"), "300"},
      {Op::SetString, "remote_timeout", 0, "+", refused, line(103, "remote_timeout"), "300"},
      {Op::SetString, "remote_timeout", 0, "0x10", refused, line(103, "remote_timeout"), "300"},
      {Op::SetString, "remote_timeout", 0, "1 0", refused, line(103, "remote_timeout"), "300"},
      {Op::SetString, "remote_timeout", 0, "-99999999999", refused, line(102, "remote_timeout", "-2147483648"), "300"},
      {Op::SetString, "threads", 0, "99999999999", ok, none(), "2147483647"},

      // Doubles from text, in the "C" form whatever the locale; only a whole number is taken.
      {Op::SetString, "mip_rel_gap", 0, "1e-3", ok, none(), "0.001"},
      {Op::SetString, "mip_rel_gap", 0, "abc", refused, line(101, "mip_rel_gap"), "0.0001"},
      {Op::SetString, "mip_rel_gap", 0, "1.5x", refused, line(101, "mip_rel_gap"), "0.0001"},
      {Op::SetString, "mip_rel_gap", 0, "1,5", refused, line(101, "mip_rel_gap"), "0.0001"},
      {Op::SetString, "mip_rel_gap", 0, "", ok, none(), "0"},
      {Op::SetString, "time_limit", 0, " 2.5\n", ok, none(), "2.5", "time_limit", "7"},
      {Op::SetString, "time_limit", 0, "INFINITY", ok, none(), "inf", "time_limit", "7"},
      {Op::SetString, "time_limit", 0, "1e400", ok, none(), "inf", "time_limit", "7"},
      {Op::SetString, "time_limit", 0, "0x1p-2", ok, none(), "0.25"},
      {Op::SetString, "time_limit", 0, "nan", refused, line(102, "time_limit", "nan"), "inf"},
      {Op::SetString, "time_limit", 0, "-1", refused, line(102, "time_limit", "-1.000000"), "inf"},

      // Bools from text: the eight words in any case, nothing around them.
      {Op::SetString, "compute_iis", 0, "On", ok, none(), "true"},
      {Op::SetString, "compute_iis", 0, "T", ok, none(), "true"},
      {Op::SetString, "output_flag", 0, "OFF", ok, none(), "false"},
      {Op::SetString, "output_flag", 0, "0", ok, none(), "false"},
      {Op::SetString, "compute_iis", 0, "yes", refused, line(99, "yes", "compute_iis"), "false"},
      {Op::SetString, "compute_iis", 0, " true", refused, line(99, " true", "compute_iis"), "false"},

      // Strings: allowed texts without regard to case, kept as given.
      {Op::SetString, "presolve", 0, "STRONG", ok, none(), "STRONG"},
      {Op::SetString, "presolve", 0, "medium", refused, line(102, "presolve", "medium"), "on"},
      {Op::SetString, "called_method", 0, "Compute_IIS", ok, none(), "Compute_IIS"},
      {Op::SetString, "http_proxy", 0, "http://proxy:3128", ok, none(), "http://proxy:3128"},

      // Refusals follow the options' own log settings: with output_flag off nothing is written.
      {Op::SetInt, "remote_timeout", 1, "", refused, none(), "300", "output_flag", "off"},
  };
  return cases;
}

TEST(OptionAccess, TypeRulesRangesTextsAndLoggedReasons) {
  for (const AccessCase& c : accessCases()) {
    CapturedOptions captured;
    VeloriumOptions& options = captured.options;
    if (c.setup_name != nullptr) {
      ASSERT_EQ(setOptionFromString(options, c.setup_name, c.setup_text), ok) << c.setup_name;
    }
    SCOPED_TRACE(std::string(c.name) + " <- [" + c.text + "] / " + std::to_string(c.number));
    std::string read;
    EXPECT_EQ(run(options, c, read), c.status);
    EXPECT_EQ(captured.take(), c.logged);
    const bool is_read = c.op == Op::GetBool || c.op == Op::GetInt || c.op == Op::GetDouble || c.op == Op::GetString;
    if (is_read) {
      if (c.status == ok) EXPECT_EQ(read, c.result);
    } else {
      EXPECT_EQ(valueText(options, c.name), c.result);
    }
  }
}

TEST(OptionAccess, StringPointerReadsTheOptionsOwnText) {
  VeloriumOptions options;
  const std::string* text = nullptr;
  ASSERT_EQ(getStringOptionPointer(options, "presolve", text), ok);
  EXPECT_EQ(text, &options.presolve);
  ASSERT_EQ(setOptionFromString(options, "presolve", "weak"), ok);
  EXPECT_EQ(*text, "weak");
}

}  // namespace
}  // namespace velorium

// Option values read, printed and logged the same under a host locale with a comma decimal
// point and digit grouping.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <locale>
#include <string>

#include "core/options/option_access.hpp"
#include "core/options/options_test_support.hpp"
#include "support/comma_locale.hpp"

namespace velorium {
namespace {

using test::CapturedOptions;
using test::errorLine;

std::string printedValueLines(const VeloriumOptions& options, const char* name) {
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* stream = ::open_memstream(&buffer, &size);
  options.records.at(static_cast<std::size_t>(find_option_index(options, name)))->printOption(stream, false, false);
  std::fclose(stream);
  std::string text(buffer, size);
  std::free(buffer);
  return text.substr(text.find("\n# [") + 1);
}

void expectNumbersInTheCForm() {
  CapturedOptions captured;
  VeloriumOptions& options = captured.options;
  ASSERT_EQ(setOptionFromString(options, "time_limit", "2.5"), OptionStatus::ok);
  EXPECT_EQ(options.time_limit, 2.5);
  ASSERT_EQ(setOptionFromString(options, "mip_rel_gap", "1.25e-3"), OptionStatus::ok);
  EXPECT_EQ(options.mip_rel_gap, 1.25e-3);
  EXPECT_EQ(setOptionFromString(options, "mip_abs_gap", "0,5"), OptionStatus::illegal_value);
  EXPECT_EQ(options.mip_abs_gap, 1e-6);
  ASSERT_EQ(setIntOption(options, "mip_pool_soft_limit", 1234567), OptionStatus::ok);

  EXPECT_EQ(printedValueLines(options, "time_limit"),
            "# [type: double, advanced: false, range: [0, inf], default: inf]\ntime_limit = 2.5\n");
  EXPECT_EQ(printedValueLines(options, "small_matrix_value"),
            "# [type: double, advanced: false, range: [1e-12, inf], default: 1e-09]\nsmall_matrix_value = 1e-09\n");
  EXPECT_EQ(printedValueLines(options, "mip_pool_soft_limit"),
            "# [type: VeloriumInt, advanced: false, range: {1, 2147483647}, default: 10000]\n"
            "mip_pool_soft_limit = 1234567\n");

  captured.take();
  EXPECT_EQ(setDoubleOption(options, "mip_heuristic_effort", 1.5), OptionStatus::illegal_value);
  EXPECT_EQ(captured.take(), std::vector<std::string>{errorLine(102, "mip_heuristic_effort", "1.500000")});
}

// The C++ global locale of a host program that prints numbers the German way.
struct CommaNumpunct : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

TEST(OptionLocale, GlobalStreamLocaleWithCommaChangesNothing) {
  const std::locale saved = std::locale::global(std::locale(std::locale::classic(), new CommaNumpunct));
  expectNumbersInTheCForm();
  std::locale::global(saved);
}

TEST(OptionLocale, ProcessLocaleWithCommaChangesNothing) {
  test::ScopedCommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "no locale with a decimal comma could be made";
  expectNumbersInTheCForm();
}

}  // namespace
}  // namespace velorium

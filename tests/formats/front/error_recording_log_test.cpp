#include "formats/front/error_recording_log.hpp"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "core/log/logger.hpp"
#include "core/text/message_catalogue.hpp"
#include "support/log_capture.hpp"
#include "support/stdout_capture.hpp"

namespace velorium {
namespace {

TEST(ErrorRecordingLog, KeepsTheErrorTextsWithoutPrefixOrLineFeeds) {
  const VeloriumLogOptions quiet;
  ErrorRecordingLog log(&quiet);
  logLevelFormat(*log.options(), kLogLevelInfo, "read %d rows\n", 3);
  logLevelFormat(*log.options(), kLogLevelWarning, "a warning\n");
  logLevelFormat(*log.options(), kLogLevelError, "%s:%d: bad number\n", "m.lp", 4);
  logLevelFormat(*log.options(), kLogLevelError, "section COLUMNS\n\n");
  EXPECT_EQ(log.errors(), "m.lp:4: bad number; section COLUMNS") << "kept although the target's output is off";
}

TEST(ErrorRecordingLog, StopsRecordingAtItsLimit) {
  const VeloriumLogOptions quiet;
  ErrorRecordingLog log(&quiet);
  const std::string line(ErrorRecordingLog::kRecordedLimit / 3, 'e');
  for (int k = 0; k < 10; ++k) logLevelFormat(*log.options(), kLogLevelError, "%s\n", line.c_str());
  EXPECT_EQ(log.errors(), line + "; " + line);
  EXPECT_LE(log.errors().size(), ErrorRecordingLog::kRecordedLimit);
}

TEST(ErrorRecordingLog, PassesEveryTextOnToTheTargetWithItsLevelPrefixAndStamp) {
  test::LogCapture capture;
  VeloriumLogOptions target = capture.options();
  bool stamped = true;
  target.log_display_systime = &stamped;
  ErrorRecordingLog log(&target);
  logLevelFormat(*log.options(), kLogLevelInfo, "read %d rows\n", 3);
  logLevelFormat(*log.options(), kLogLevelError, "m.lp:%d: bad number\n", 4);

  ASSERT_EQ(capture.texts().size(), 2u);
  const std::string stamp = R"(\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}\] )";
  EXPECT_EQ(capture.texts()[0].level, kLogLevelInfo);
  EXPECT_TRUE(std::regex_match(capture.texts()[0].text, std::regex(stamp + "read 3 rows\n"))) << capture.all();
  EXPECT_EQ(capture.texts()[1].level, kLogLevelError);
  EXPECT_TRUE(std::regex_match(capture.texts()[1].text,
                               std::regex(stamp + get_message(72) + "m\\.lp:4: bad number\n")))
      << capture.all();
  EXPECT_EQ(log.errors(), "m.lp:4: bad number") << "the kept text carries no stamp";
}

TEST(ErrorRecordingLog, WithoutATargetTheTextsGoToTheConsole) {
  test::StdoutCapture console;
  {
    ErrorRecordingLog log;
    logLevelFormat(*log.options(), kLogLevelError, "m.lp:%d: bad number\n", 4);
    EXPECT_EQ(log.errors(), "m.lp:4: bad number");
  }
  EXPECT_EQ(console.finish(), std::string(get_message(72)) + "m.lp:4: bad number\n");
}

}  // namespace
}  // namespace velorium

#include "formats/front/error_recording_log.hpp"

#include <gtest/gtest.h>

#include <string>

#include "core/log/logger.hpp"

namespace velorium {
namespace {

TEST(ErrorRecordingLog, KeepsTheErrorTextsWithoutPrefixOrLineFeeds) {
  ErrorRecordingLog log;
  *log.options()->log_to_console = false;
  logLevelFormat(*log.options(), kLogLevelInfo, "read %d rows\n", 3);
  logLevelFormat(*log.options(), kLogLevelWarning, "a warning\n");
  logLevelFormat(*log.options(), kLogLevelError, "%s:%d: bad number\n", "m.lp", 4);
  logLevelFormat(*log.options(), kLogLevelError, "section COLUMNS\n\n");
  EXPECT_EQ(log.errors(), "m.lp:4: bad number; section COLUMNS");
}

TEST(ErrorRecordingLog, StopsRecordingAtItsLimit) {
  ErrorRecordingLog log;
  *log.options()->log_to_console = false;
  const std::string line(ErrorRecordingLog::kRecordedLimit / 3, 'e');
  for (int k = 0; k < 10; ++k) logLevelFormat(*log.options(), kLogLevelError, "%s\n", line.c_str());
  EXPECT_EQ(log.errors(), line + "; " + line);
  EXPECT_LE(log.errors().size(), ErrorRecordingLog::kRecordedLimit);
}

}  // namespace
}  // namespace velorium

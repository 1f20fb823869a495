#include "core/log/logger.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "core/log/log_file.hpp"
#include "support/stdout_capture.hpp"

namespace velorium {
namespace {

using test::readFileBytes;
using test::ScratchDir;
using test::StdoutCapture;

struct HookCall {
  int level;
  std::string text;
  void* user;
  std::string file_at_call;  // what the log file held when the hook ran
};

// Log options with their own flags, an optional log file and a recording hook.
class LoggerTest : public ::testing::Test {
 protected:
  LoggerTest() {
    options.output_flag = &output_flag;
    options.log_to_console = &log_to_console;
    options.log_display_systime = &log_display_systime;
  }
  ~LoggerTest() override { replaceLogFile(options, ""); }

  void openLogFile() { replaceLogFile(options, log_path.string()); }
  void installHook() {
    options.log_hook = &LoggerTest::recordHook;
    options.log_hook_user = this;
  }
  static void recordHook(int level, const char* text, void* user) {
    auto* self = static_cast<LoggerTest*>(user);
    self->hook_calls.push_back({level, text, user, readFileBytes(self->log_path)});
  }

  ScratchDir folder;
  std::filesystem::path log_path = folder.file("model.log");
  bool output_flag = true;
  bool log_to_console = false;
  bool log_display_systime = false;
  VeloriumLogOptions options;
  std::vector<HookCall> hook_calls;
};

TEST_F(LoggerTest, OutputFlagOffOrMissingWritesNothingAnywhere) {
  for (bool flag_missing : {false, true}) {
    SCOPED_TRACE(flag_missing ? "flag pointer null" : "flag false");
    output_flag = false;
    options.output_flag = flag_missing ? nullptr : &output_flag;
    log_to_console = true;
    openLogFile();
    StdoutCapture console;
    logLevelFormat(options, kLogLevelError, "format %d\n", 1);
    logCatalogueMessage(options, kLogLevelWarning, 69, "a.lp");
    logText(options, kLogLevelInfo, "text\n");
    installHook();
    logText(options, kLogLevelInfo, "text\n");
    options.log_hook = nullptr;
    EXPECT_EQ(console.finish(), "");
    EXPECT_EQ(readFileBytes(log_path), "");
    EXPECT_TRUE(hook_calls.empty());
  }
}

TEST_F(LoggerTest, NoDestinationMeansNoOutput) {
  StdoutCapture console;
  logLevelFormat(options, kLogLevelError, "lost %s\n", "text");
  EXPECT_EQ(console.finish(), "");
}

TEST_F(LoggerTest, LevelPrefixesAreTheRussianCatalogueTexts) {
  struct Case {
    int level;
    bool verbatim;
    std::string expected;
  };
  const std::string opened = "Невозможно открыть файл модель.lp\n";
  const std::vector<Case> cases = {
      {kLogLevelWarning, false, "ПРЕДУПРЕЖДЕНИЕ: " + opened},
      {kLogLevelError, false, "ОШИБКА: " + opened},
      {kLogLevelInfo, false, opened},
      {2, false, opened},
      {kLogLevelWarning, true, opened},
      {kLogLevelError, true, opened},
  };
  openLogFile();
  installHook();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    replaceLogFile(options, "");
    std::filesystem::remove(log_path);
    openLogFile();
    hook_calls.clear();
    if (c.verbatim) {
      logText(options, c.level, opened.c_str());
    } else {
      logCatalogueMessage(options, c.level, 69, "модель.lp");
    }
    EXPECT_EQ(readFileBytes(log_path), c.expected);
    ASSERT_EQ(hook_calls.size(), 1u);
    EXPECT_EQ(hook_calls[0].level, c.level);
    EXPECT_EQ(hook_calls[0].text, c.expected);
  }
}

TEST_F(LoggerTest, VerbatimTextIsNeverUsedAsAFormat) {
  const std::string text = "100% done: %s %n %d %%\n";
  openLogFile();
  installHook();
  logText(options, kLogLevelInfo, text.c_str());
  EXPECT_EQ(readFileBytes(log_path), text);
  ASSERT_EQ(hook_calls.size(), 1u);
  EXPECT_EQ(hook_calls[0].text, text);
}

TEST_F(LoggerTest, VerbatimTextIsNotCutAt4095Bytes) {
  const std::string text = std::string(6000, 'r') + "\n";
  openLogFile();
  logText(options, kLogLevelWarning, text.c_str());
  EXPECT_EQ(readFileBytes(log_path), text);
}

TEST_F(LoggerTest, HookReceivesTextAfterTheFileAndReplacesTheConsole) {
  log_to_console = true;
  openLogFile();
  installHook();
  StdoutCapture console;
  logLevelFormat(options, kLogLevelWarning, "bound %g\n", 2.5);
  EXPECT_EQ(console.finish(), "");
  EXPECT_EQ(readFileBytes(log_path), "ПРЕДУПРЕЖДЕНИЕ: bound 2.5\n");
  ASSERT_EQ(hook_calls.size(), 1u);
  EXPECT_EQ(hook_calls[0].level, kLogLevelWarning);
  EXPECT_EQ(hook_calls[0].text, "ПРЕДУПРЕЖДЕНИЕ: bound 2.5\n");
  EXPECT_EQ(hook_calls[0].user, this);
  EXPECT_EQ(hook_calls[0].file_at_call, "ПРЕДУПРЕЖДЕНИЕ: bound 2.5\n");
}

TEST_F(LoggerTest, ConsoleAndFileBothReceiveTheTextWithoutAHook) {
  log_to_console = true;
  openLogFile();
  StdoutCapture console;
  logLevelFormat(options, kLogLevelError, "row %s\n", "C#1");
  EXPECT_EQ(console.finish(), "ОШИБКА: row C#1\n");
  EXPECT_EQ(readFileBytes(log_path), "ОШИБКА: row C#1\n");
}

TEST_F(LoggerTest, LogFileThatIsStdoutIsNotWrittenTwice) {
  log_to_console = true;
  StdoutCapture console;
  options.log_stream = stdout;
  logLevelFormat(options, kLogLevelInfo, "once\n");
  replaceLogFile(options, "");  // drops stdout without closing it
  EXPECT_EQ(options.log_stream, nullptr);
  logLevelFormat(options, kLogLevelInfo, "console\n");
  EXPECT_EQ(console.finish(), "once\nconsole\n");
}

TEST_F(LoggerTest, LogFileAppendsAcrossOpenings) {
  {
    std::ofstream earlier(log_path);
    earlier << "earlier\n";
  }
  openLogFile();
  logLevelFormat(options, kLogLevelInfo, "first\n");
  replaceLogFile(options, "");
  EXPECT_EQ(options.log_stream, nullptr);
  logLevelFormat(options, kLogLevelInfo, "not written\n");
  openLogFile();
  logLevelFormat(options, kLogLevelInfo, "second\n");
  EXPECT_EQ(readFileBytes(log_path), "earlier\nfirst\nsecond\n");
}

// A stand-in for the options structure: the two fields the log file operation uses.
struct OptionsWithLogFile {
  VeloriumLogOptions log_options;
  std::string log_file;
};

TEST_F(LoggerTest, SetLogFileRecordsTheNameEvenWhenTheOpenFails) {
  OptionsWithLogFile holder;
  bool on = true;
  holder.log_options.output_flag = &on;
  setLogFile(holder, log_path.string());
  ASSERT_NE(holder.log_options.log_stream, nullptr);
  EXPECT_EQ(holder.log_file, log_path.string());
  logText(holder.log_options, kLogLevelInfo, "kept\n");

  const std::string unopenable = folder.file("missing-folder/x.log");
  setLogFile(holder, unopenable);
  EXPECT_EQ(holder.log_options.log_stream, nullptr);
  EXPECT_EQ(holder.log_file, unopenable);
  EXPECT_EQ(readFileBytes(log_path), "kept\n");

  setLogFile(holder, log_path.string());
  setLogFile(holder, "");
  EXPECT_EQ(holder.log_options.log_stream, nullptr);
  EXPECT_EQ(holder.log_file, "");
}

TEST_F(LoggerTest, UnknownCatalogueIdLogsNothing) {
  openLogFile();
  logCatalogueMessage(options, kLogLevelError, -1);
  logCatalogueMessage(options, kLogLevelError, 100000);
  EXPECT_EQ(readFileBytes(log_path), "");
}

// The stamp as it must look: "[YYYY-MM-DD hh:mm:ss.mmm] ".
const std::string kStamp = R"(\[\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3}\] )";

TEST_F(LoggerTest, TimeStampStandsBeforeEveryLineAndThePrefix) {
  struct Case {
    int level;
    const char* message;
    std::string pattern;
  };
  const std::vector<Case> cases = {
      {kLogLevelInfo, "one\ntwo\n", kStamp + "one\n" + kStamp + "two\n"},
      {kLogLevelError, "one\n\nthree", kStamp + "ОШИБКА: one\n" + kStamp + "\n" + kStamp + "three"},
      {kLogLevelInfo, "\rprogress 50%%\n", "\r" + kStamp + "progress 50%\n"},
      {kLogLevelInfo, "", kStamp},
      {kLogLevelError, "", kStamp + "ОШИБКА: "},
      {kLogLevelWarning, "\n", kStamp + "ПРЕДУПРЕЖДЕНИЕ: \n"},
  };
  log_display_systime = true;
  installHook();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    hook_calls.clear();
    logLevelFormat(options, c.level, c.message);
    ASSERT_EQ(hook_calls.size(), 1u);
    EXPECT_TRUE(std::regex_match(hook_calls[0].text, std::regex(c.pattern))) << hook_calls[0].text;
  }
}

TEST_F(LoggerTest, VerbatimTextIsStampedToo) {
  log_display_systime = true;
  openLogFile();
  logText(options, kLogLevelWarning, "a\nb\n");
  EXPECT_TRUE(std::regex_match(readFileBytes(log_path), std::regex(kStamp + "a\n" + kStamp + "b\n")));
}

// Runs the body with the local time zone set to UTC, so stamps are reproducible.
class UtcTimeZone {
 public:
  UtcTimeZone() {
    if (const char* tz = std::getenv("TZ")) saved_ = tz;
    had_ = std::getenv("TZ") != nullptr;
    ::setenv("TZ", "UTC", 1);
    ::tzset();
  }
  ~UtcTimeZone() {
    if (had_) {
      ::setenv("TZ", saved_.c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }

 private:
  std::string saved_;
  bool had_ = false;
};

TEST(LogTimeStamp, SecondsAndMillisecondsComeFromOneReading) {
  using namespace std::chrono;
  UtcTimeZone utc;
  struct Case {
    milliseconds since_epoch;
    const char* stamp;
  };
  const Case cases[] = {
      {milliseconds(1709251199999), "[2024-02-29 23:59:59.999] "},
      {milliseconds(1709251200000), "[2024-03-01 00:00:00.000] "},
      {milliseconds(7), "[1970-01-01 00:00:00.007] "},
      {milliseconds(-1), "[1969-12-31 23:59:59.999] "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(makeLogTimeStamp(system_clock::time_point(c.since_epoch)), c.stamp);
  }
  std::string text = "x\ny\n";
  formatLogTimeStamp(text, system_clock::time_point(milliseconds(1709251199999)));
  EXPECT_EQ(text, "[2024-02-29 23:59:59.999] x\n[2024-02-29 23:59:59.999] y\n");
}

}  // namespace
}  // namespace velorium

// Building an options object, the shared registry, and copies that stand on their own.
#include "core/options/velorium_options.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "core/log/log_file.hpp"
#include "core/options/option_access.hpp"
#include "core/options/options_test_support.hpp"
#include "support/scratch_dir.hpp"

namespace velorium {
namespace {

using test::errorLine;

std::size_t openDescriptorCount() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

bool pointsInto(const void* field, const VeloriumOptions& options) {
  const char* begin = reinterpret_cast<const char*>(&options);
  const char* at = static_cast<const char*>(field);
  return at >= begin && at < begin + sizeof(VeloriumOptions);
}

void expectLinkedToOwnFields(const VeloriumOptions& options) {
  EXPECT_EQ(options.log_options.output_flag, &options.output_flag);
  EXPECT_EQ(options.log_options.log_to_console, &options.log_to_console);
  EXPECT_EQ(options.log_options.log_display_systime, &options.log_display_systime);
}

TEST(OptionRegistry, OneRegistryForAllObjectsAndCaseSensitiveNames) {
  VeloriumOptions first;
  VeloriumOptions second;
  ASSERT_NE(first.registry, nullptr);
  EXPECT_EQ(first.registry, second.registry);
  EXPECT_EQ(first.registry->size(), static_cast<std::size_t>(kOptionCount));
  EXPECT_EQ(find_option_index(first, "presolve"), 0);
  EXPECT_EQ(find_option_index(first, "emphasis_mip"), 118);
  EXPECT_EQ(find_option_index(first, "Threads"), -1);
  EXPECT_EQ(find_option_index(first, ""), -1);
  EXPECT_EQ(find_option_index(first, "threads "), -1);
}

TEST(OptionRegistry, TwoRecordsOnOneFieldOrOfOneNameAreRefused) {
  VeloriumOptions options;
  bool saved_flag = options.output_flag;
  options.records.push_back(std::make_shared<OptionRecordBool>(0, "extra_flag", "", &options.output_flag, true));
  EXPECT_THAT([&] { buildOptionRegistry(options); },
              testing::ThrowsMessage<std::invalid_argument>(testing::StrEq("Several options with the same address")));
  options.records.pop_back();
  options.output_flag = saved_flag;

  int other_field = 0;
  options.records.push_back(std::make_shared<OptionRecordInt>(0, "threads", "", &other_field, 0, 1, 2));
  EXPECT_THAT([&] { buildOptionRegistry(options); },
              testing::ThrowsMessage<std::invalid_argument>(testing::StrEq("Several options with the same name")));
  EXPECT_EQ(other_field, 1) << "a record writes its default at once";
}

TEST(OptionRegistry, BuildingStepsCanBeRepeated) {
  VeloriumOptions options;
  ASSERT_EQ(setIntOption(options, "threads", 4), OptionStatus::ok);
  registerOptions(options);
  linkLogOptions(options);
  EXPECT_EQ(options.records.size(), static_cast<std::size_t>(kOptionCount));
  EXPECT_GE(options.records.capacity(), kOptionRecordCapacity);
  EXPECT_EQ(options.threads, 0) << "registering writes every default again";
  expectLinkedToOwnFields(options);
  EXPECT_EQ(options.log_options.log_stream, nullptr);
  EXPECT_EQ(options.log_options.log_hook, nullptr);
}

// A source with changed values, a recording hook and (optionally) a log file.
class OptionsCopy : public ::testing::Test {
 protected:
  OptionsCopy() {
    source.log_to_console = false;
    source.log_options.log_hook = &OptionsCopy::record;
    source.log_options.log_hook_user = &hook_lines;
    EXPECT_EQ(setIntOption(source, "threads", 4), OptionStatus::ok);
    EXPECT_EQ(setOptionFromString(source, "presolve", "weak"), OptionStatus::ok);
    EXPECT_EQ(setDoubleOption(source, "time_limit", 5.0), OptionStatus::ok);
    EXPECT_EQ(setOptionFromString(source, "temp_folder_path", "/tmp/work"), OptionStatus::ok);
  }
  static void record(int, const char* text, void* user) { static_cast<std::vector<std::string>*>(user)->push_back(text); }
  // Logs one refusal through `options`: the line names `value`.
  static void logRefusal(VeloriumOptions& options, int value) {
    ASSERT_EQ(setIntOption(options, "remote_timeout", value), OptionStatus::illegal_value);
  }
  static std::string refusalLine(int value) { return errorLine(102, "remote_timeout", std::to_string(value)); }

  test::ScratchDir scratch;
  std::vector<std::string> hook_lines;
  VeloriumOptions source;
};

TEST_F(OptionsCopy, CopyPointsIntoItselfAndHasTheSourcesValues) {
  VeloriumOptions copy(source);
  ASSERT_EQ(copy.records.size(), source.records.size());
  for (std::size_t i = 0; i < copy.records.size(); ++i) {
    SCOPED_TRACE(copy.records[i]->name);
    EXPECT_TRUE(pointsInto(copy.records[i]->valuePointer(), copy));
    EXPECT_EQ(static_cast<const char*>(copy.records[i]->valuePointer()) - reinterpret_cast<const char*>(&copy),
              static_cast<const char*>(source.records[i]->valuePointer()) - reinterpret_cast<const char*>(&source));
    EXPECT_NE(copy.records[i], source.records[i]);
  }
  expectLinkedToOwnFields(copy);
  EXPECT_EQ(copy.registry, source.registry);
  EXPECT_EQ(copy.threads, 4);
  EXPECT_EQ(copy.presolve, "weak");
  EXPECT_EQ(copy.time_limit, 5.0);
  EXPECT_EQ(copy.temp_folder_path, "/tmp/work");
  EXPECT_FALSE(copy.log_to_console);
  EXPECT_EQ(copy.log_options.log_hook, source.log_options.log_hook);
  EXPECT_EQ(copy.log_options.log_hook_user, source.log_options.log_hook_user);
}

TEST_F(OptionsCopy, ChangingOneNeverChangesTheOther) {
  VeloriumOptions copy(source);
  ASSERT_EQ(setOptionFromString(copy, "called_method", "compute_iis"), OptionStatus::ok);
  ASSERT_EQ(setIntOption(copy, "threads", 8), OptionStatus::ok);
  ASSERT_EQ(setBoolOption(copy, "output_flag", false), OptionStatus::ok);
  EXPECT_EQ(source.called_method, "solve");
  EXPECT_EQ(source.threads, 4);
  EXPECT_TRUE(source.output_flag);

  ASSERT_EQ(setOptionFromString(source, "presolve", "off"), OptionStatus::ok);
  EXPECT_EQ(copy.presolve, "weak");

  // The copy's output_flag is off, so only the source's refusal reaches the shared hook.
  logRefusal(copy, 1);
  logRefusal(source, 2);
  EXPECT_EQ(hook_lines, std::vector<std::string>{refusalLine(2)});
}

TEST_F(OptionsCopy, CopyLogsToTheSameFileAndNeverClosesTheSources) {
  const std::string log_path = scratch.file("model.log");
  const std::size_t descriptors_before = openDescriptorCount();
  setLogFile(source, log_path);
  ASSERT_NE(source.log_options.log_stream, nullptr);
  {
    VeloriumOptions copy(source);
    EXPECT_EQ(copy.log_file, log_path);
    ASSERT_NE(copy.log_options.log_stream, nullptr);
    EXPECT_NE(copy.log_options.log_stream, source.log_options.log_stream) << "a stream of its own";
    logRefusal(copy, 1);
    logRefusal(source, 2);
  }
  // The copy is gone; the source's file is still open and written.
  logRefusal(source, 3);
  {
    VeloriumOptions copy(source);
    setLogFile(source, "");  // the source closes its file first
    EXPECT_EQ(source.log_options.log_stream, nullptr);
    logRefusal(copy, 4);
    setLogFile(copy, "");  // and the copy closes only its own stream
  }
  {
    VeloriumOptions copy(source);
    EXPECT_EQ(copy.log_options.log_stream, nullptr);
  }
  EXPECT_EQ(test::readFileBytes(log_path), refusalLine(1) + refusalLine(2) + refusalLine(3) + refusalLine(4));
  EXPECT_EQ(openDescriptorCount(), descriptors_before) << "every stream closed once";
}

TEST_F(OptionsCopy, DestroyingAnOptionsObjectClosesItsLogFile) {
  const std::size_t descriptors_before = openDescriptorCount();
  {
    VeloriumOptions options;
    setLogFile(options, scratch.file("own.log"));
    VeloriumOptions copy(options);
    EXPECT_EQ(openDescriptorCount(), descriptors_before + 2);
  }
  EXPECT_EQ(openDescriptorCount(), descriptors_before);
}

TEST_F(OptionsCopy, StandardStreamIsSharedNotDuplicated) {
  source.log_options.log_stream = stdout;
  {
    VeloriumOptions copy(source);
    EXPECT_EQ(copy.log_options.log_stream, stdout);
  }
  source.log_options.log_stream = nullptr;
  EXPECT_NE(std::fflush(stdout), EOF) << "stdout stays open";
}

}  // namespace
}  // namespace velorium

// Log receivers given as plain functions (Model_SetLogCallbackFn) and the release of a model
// (Model_Release): the adapter that a model uses must outlive its use, and the table must not
// keep adapters of models that are gone.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "core/capi/log_callback_table.hpp"
#include "support/recording_objects.hpp"
#include "velorium/velorium.h"
#include "velorium/velorium.hpp"

namespace velorium::testing {
namespace {

// A model that logs through its receiver, also at the moment the receiver is replaced (so an
// adapter destroyed before its replacement was installed would be used after its end).
class LoggingModel : public RecordingMatrixModel {
 public:
  void SetLogCallback(ILogCallback* callback) override {
    log("receiver replaced");
    receiver_ = callback;
    events.push_back(callback != nullptr ? "SetLogCallback(receiver)" : "SetLogCallback(null)");
  }
  void Release() override { events.push_back("Release"); }
  void log(const char* text) {
    if (receiver_ != nullptr) receiver_->LogMessage(text);
  }
  bool has_receiver() const { return receiver_ != nullptr; }

  std::vector<std::string> events;

 private:
  ILogCallback* receiver_ = nullptr;
};

void collect_line(const char* text, void* user) {
  static_cast<std::vector<std::string>*>(user)->push_back(text);
}

class LogFunctionTest : public ::testing::Test {
 protected:
  std::size_t adapters_before_ = capi::log_callback_adapter_count();
  LoggingModel model_;
  std::vector<std::string> first_lines_;
  std::vector<std::string> second_lines_;
};

TEST_F(LogFunctionTest, TheFunctionReceivesEveryLineWithItsUserPointer) {
  Model_SetLogCallbackFn(&model_, collect_line, &first_lines_);
  model_.log("one");
  model_.log("two");
  EXPECT_EQ(first_lines_, (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(capi::log_callback_adapter_count(), adapters_before_ + 1);
  Model_SetLogCallbackFn(&model_, nullptr, nullptr);
}

TEST_F(LogFunctionTest, ASecondFunctionReplacesTheFirst) {
  Model_SetLogCallbackFn(&model_, collect_line, &first_lines_);
  Model_SetLogCallbackFn(&model_, collect_line, &second_lines_);
  model_.log("after");
  // The first adapter still took the line logged while the second was being installed.
  EXPECT_EQ(first_lines_, (std::vector<std::string>{"receiver replaced"}));
  EXPECT_EQ(second_lines_, (std::vector<std::string>{"after"}));
  EXPECT_EQ(capi::log_callback_adapter_count(), adapters_before_ + 1);
  Model_SetLogCallbackFn(&model_, nullptr, nullptr);
}

TEST_F(LogFunctionTest, ANullFunctionRemovesTheReceiverBeforeItsAdapterGoes) {
  Model_SetLogCallbackFn(&model_, collect_line, &first_lines_);
  Model_SetLogCallbackFn(&model_, nullptr, nullptr);
  model_.log("after");
  EXPECT_FALSE(model_.has_receiver());
  EXPECT_EQ(first_lines_, (std::vector<std::string>{"receiver replaced"}));
  EXPECT_EQ(capi::log_callback_adapter_count(), adapters_before_);
}

TEST_F(LogFunctionTest, ANullFunctionOnAModelWithoutOneOnlyRemovesItsReceiver) {
  Model_SetLogCallbackFn(&model_, nullptr, nullptr);
  EXPECT_EQ(model_.events, (std::vector<std::string>{"SetLogCallback(null)"}));
  EXPECT_EQ(capi::log_callback_adapter_count(), adapters_before_);
}

TEST_F(LogFunctionTest, ReleasingAModelRemovesItsReceiverAndAdapterFirst) {
  Model_SetLogCallbackFn(&model_, collect_line, &first_lines_);
  model_.events.clear();
  Model_Release(&model_);
  EXPECT_EQ(model_.events, (std::vector<std::string>{"SetLogCallback(null)", "Release"}));
  EXPECT_EQ(capi::log_callback_adapter_count(), adapters_before_);
}

TEST_F(LogFunctionTest, ReleasingAModelWithoutAFunctionLeavesTheTable) {
  Model_Release(&model_);
  EXPECT_EQ(model_.events, (std::vector<std::string>{"SetLogCallback(null)", "Release"}));
  EXPECT_EQ(capi::log_callback_adapter_count(), adapters_before_);
}

TEST_F(LogFunctionTest, ModelsOfSeveralThreadsChangeTheTableSafely) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 500;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([] {
      LoggingModel model;
      std::vector<std::string> lines;
      for (int round = 0; round < kRounds; ++round) {
        Model_SetLogCallbackFn(&model, collect_line, &lines);
        model.log("line");
        if (round % 2 == 0) Model_SetLogCallbackFn(&model, nullptr, nullptr);
      }
      Model_Release(&model);
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(capi::log_callback_adapter_count(), adapters_before_);
}

}  // namespace
}  // namespace velorium::testing

// Uploads to the local service's storage address, as its journal records them.
#include "cloud/multipart_upload.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "cloud/calculation_state.hpp"
#include "cloud/service_requests.hpp"
#include "cloud/support/recording_reporter.hpp"
#include "cloud/support/service_fixture.hpp"

namespace velorium::nimbrova {
namespace {

namespace json = boost::json;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

class MultipartUploadTest : public test::ServiceTest {
 protected:
  void SetUp() override {
    test::ServiceTest::SetUp();
    if (IsSkipped()) return;
    create_calculation();
    service_->clear_journal();
    // Given no folder, an upload builds its body in a private folder beside the file; the
    // system's temporary folder (here one the test can watch) is never used.
    temporary_ = std::make_unique<test::ScopedEnv>("TMPDIR", tmp_.path().string());
  }
  void TearDown() override {
    temporary_.reset();
    test::ServiceTest::TearDown();
  }
  std::unique_ptr<TemporaryFile> model_file(const std::string& name, const std::string& content) {
    files_.write(name, content);
    return std::make_unique<TemporaryFile>(name, "", files_.path().string(), true, false);
  }
  static void status_fault(json::array attempts) {
    json::object rule{{"endpoint", "upload"}, {"action", "status"}, {"code", 500}};
    if (!attempts.empty()) rule["attempts"] = attempts;
    service_->faults({rule});
  }
  test::ScratchDir files_;
  test::ScratchDir tmp_;
  std::unique_ptr<test::ScopedEnv> temporary_;
};

TEST_F(MultipartUploadTest, TheModelArrivesCompressedWithTheFormFieldsAndNoApiKey) {
  upload_file(current_calculation_copy(), model_file("small.mps", test::kSmallMps), true, nullptr, nullptr);
  const json::value entry = sent("upload").at(0);
  std::vector<std::string> names;
  for (const json::value& header : entry.at("headers").as_array()) names.emplace_back(header.as_array().at(0).as_string());
  EXPECT_EQ(names, (std::vector<std::string>{"Accept", "Content-Type", "Connection", "Host", "Content-Length"}));
  EXPECT_EQ(test::journal_header(entry, "Content-Type"),
            std::string("multipart/form-data; boundary=") + kMultipartBoundary);
  EXPECT_EQ(test::journal_header(entry, "Accept"), "*/*");
  const json::value upload = service_->calculations().back().at("uploads").at(0);
  EXPECT_EQ(upload.at("filename").as_string(), "small.mps.gz");
  EXPECT_EQ(upload.at("kind").as_string(), "model");
  EXPECT_GT(upload.at("bytes").to_number<std::size_t>(), 0u);  // what arrived: the compressed part
}

TEST_F(MultipartUploadTest, TwoFailuresThenSuccessSendTheSameBodyThreeTimes) {
  status_fault({1, 2});
  upload_file(current_calculation_copy(), model_file("small.mps", test::kSmallMps), true, nullptr, nullptr);
  const json::array uploads = sent("upload");
  ASSERT_EQ(uploads.size(), 3u);
  EXPECT_EQ(uploads.at(0).at("body_sha256"), uploads.at(2).at("body_sha256"));
  EXPECT_EQ(uploads.at(1).at("body_sha256"), uploads.at(2).at("body_sha256"));
  EXPECT_EQ(uploads.at(2).at("reply_status").to_number<int>(), 204);
  EXPECT_EQ(clock_->sleeps(), (std::vector<std::chrono::milliseconds>{300ms, 600ms}));
  EXPECT_TRUE(fs::is_empty(tmp_.path()));
  EXPECT_TRUE(fs::is_empty(files_.path()));
}

TEST_F(MultipartUploadTest, ThreeFailuresThrowTheLastAndLeaveNoFileBehind) {
  status_fault({});
  try {
    upload_file(current_calculation_copy(), model_file("small.mps", test::kSmallMps), true, nullptr, nullptr);
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Http result : 500");
  }
  EXPECT_EQ(sent("upload").size(), 3u);
  EXPECT_TRUE(fs::is_empty(tmp_.path()));
  EXPECT_TRUE(fs::is_empty(files_.path()));
}

TEST_F(MultipartUploadTest, TheUploadReporterCountsTheWholeRequestFromZeroEachAttempt) {
  test::RecordingReporter uploading;
  status_fault({1});
  upload_file(current_calculation_copy(), model_file("start.sol", "# Velorium Solution File Version 1.1\n"), false,
              nullptr, &uploading);
  EXPECT_EQ(uploading.starts, 2);
  const json::value entry = sent("upload").at(1);
  EXPECT_EQ(uploading.total, entry.at("body_length").to_number<std::uint64_t>());
  EXPECT_GT(uploading.values.back(), uploading.total);  // the request line and header count as well
}

// The one test that waits for the retry gaps in real time.
TEST_F(MultipartUploadTest, RetryGapsTakeRealTimeWithTheSteadyClock) {
  clock_.reset();
  status_fault({1, 2});
  const auto started = std::chrono::steady_clock::now();
  upload_file(current_calculation_copy(), model_file("small.mps", test::kSmallMps), true, nullptr, nullptr);
  EXPECT_GE(std::chrono::steady_clock::now() - started, 900ms);
  EXPECT_EQ(sent("upload").size(), 3u);
}

}  // namespace
}  // namespace velorium::nimbrova

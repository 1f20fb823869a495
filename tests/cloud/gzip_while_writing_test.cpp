// The model's gzip member made while the model file is written, and the upload body built
// from it.
#include "cloud/gzip_while_writing.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>

#include "cloud/multipart_upload.hpp"
#include "cloud/support/gunzip.hpp"
#include "cloud/support/process_limits.hpp"
#include "cloud/support/recording_reporter.hpp"
#include "formats/common/text_output.hpp"
#include "support/scratch_dir.hpp"

namespace velorium::nimbrova {
namespace {

namespace fs = std::filesystem;

// Writes `size` bytes of model-like lines to `path` as the model writers do: in pieces
// flushed once they are large. Throws after `fail_after` bytes when that is smaller.
void write_model_like(const std::string& path, std::size_t size, std::size_t fail_after = SIZE_MAX) {
  std::mt19937 random(11);
  const bool written = writeTextFile(path, [&](TextOutput& out) {
    std::size_t made = 0;
    while (made < size) {
      if (made >= fail_after) throw std::runtime_error("the writer stopped");
      std::string line = "    x" + std::to_string(random() % 100000) + "  R" + std::to_string(random() % 5000) + "  " +
                         std::to_string(static_cast<double>(random() % 100000) / 997.0) + "\n";
      line.resize(std::min(line.size(), size - made));
      out.text() += line;
      made += line.size();
      out.flushIfFull();
    }
  });
  ASSERT_TRUE(written);
}

class GzipWhileWritingTest : public ::testing::Test {
 protected:
  // The body of an upload of the file at `path` (left in place), with `member` when given.
  std::string body_of(const std::string& path, std::unique_ptr<TemporaryFile> member,
                      test::RecordingReporter* preparing = nullptr) {
    MultipartForm form;
    form.fields = {{"key", "K"}};
    form.files.push_back({std::make_unique<TemporaryFile>(path, "", "", false, false), "", true, std::move(member)});
    form.preparing_reporter = preparing;
    build_multipart_body(form);
    return test::readFileBytes(form.body_file->path());
  }
  std::unique_ptr<TemporaryFile> member_file() {
    return std::make_unique<TemporaryFile>("model.mps.gz", "", dir_.path().string(), true, false);
  }
  test::ScratchDir dir_;
};

TEST_F(GzipWhileWritingTest, TheBodyFromTheMemberIsTheBodyOfTheFileCompressedAfterwards) {
  // Empty, within one piece of the writer, and many pieces and gzip blocks.
  for (const std::size_t size : {std::size_t{0}, std::size_t{70000}, std::size_t{5u << 20}}) {
    for (const unsigned workers : {1u, 3u}) {
      const std::string path = dir_.file("model.mps");
      GzipWhileWriting compressing(member_file(), workers);
      {
        const ScopedTextOutputTap tap(path, compressing);
        write_model_like(path, size);
      }
      std::unique_ptr<TemporaryFile> member = compressing.finish(path);
      ASSERT_NE(member, nullptr) << size << " " << workers;
      const std::string member_path = member->path();
      EXPECT_EQ(test::gunzip_one_member(test::readFileBytes(member_path)), test::readFileBytes(path));

      test::RecordingReporter with_member;
      test::RecordingReporter compressed_here;
      const std::string body = body_of(path, std::move(member), &with_member);
      EXPECT_EQ(body, body_of(path, nullptr, &compressed_here)) << size << " " << workers;
      EXPECT_FALSE(fs::exists(member_path));  // it went with the form
      // The preparing line reaches the file's size either way.
      ASSERT_FALSE(with_member.values.empty());
      EXPECT_EQ(with_member.values.back(), size);
      EXPECT_EQ(compressed_here.values.back(), size);
      fs::remove(path);
    }
  }
}

TEST_F(GzipWhileWritingTest, AMemberThatIsMissingOrNotTheFilesIsNotUsed) {
  const std::string path = dir_.file("model.mps");
  {
    // One on disk is taken as it is, never compressed again.
    write_model_like(path, 1000);
    dir_.write("model.mps.gz", "MEMBER");
    const std::string body = body_of(path, member_file());
    EXPECT_NE(body.find("filename=\"model.mps.gz\"\r\n\r\nMEMBER\r\n\r\n--"), std::string::npos) << body;
  }
  {
    // Deleted before the body is built: the body compresses the file itself.
    GzipWhileWriting compressing(member_file(), 2);
    {
      const ScopedTextOutputTap tap(path, compressing);
      write_model_like(path, 3u << 20);
    }
    std::unique_ptr<TemporaryFile> member = compressing.finish(path);
    ASSERT_NE(member, nullptr);
    fs::remove(member->path());
    EXPECT_EQ(body_of(path, std::move(member)), body_of(path, nullptr));
  }
  {
    // Bytes added behind the writer's back.
    GzipWhileWriting compressing(member_file(), 2);
    {
      const ScopedTextOutputTap tap(path, compressing);
      write_model_like(path, 3u << 20);
    }
    std::ofstream(path, std::ios::app) << "more\n";
    EXPECT_EQ(compressing.finish(path), nullptr);
    EXPECT_FALSE(fs::exists(dir_.file("model.mps.gz")));
  }
  {
    // The tap was set for another file: it saw nothing of this one.
    GzipWhileWriting compressing(member_file(), 2);
    {
      const ScopedTextOutputTap tap(dir_.file("other.mps"), compressing);
      write_model_like(path, 3u << 20);
    }
    EXPECT_EQ(compressing.finish(path), nullptr);
    EXPECT_FALSE(fs::exists(dir_.file("model.mps.gz")));
  }
}

TEST_F(GzipWhileWritingTest, AWriteThatFailsMidwayLeavesNoThreadAndNoMemberBehind) {
  const int threads_before = test::thread_count();
  const std::string path = dir_.file("model.mps");
  {
    GzipWhileWriting compressing(member_file(), 3);
    const ScopedTextOutputTap tap(path, compressing);
    // Far more than the queue holds: the writer has waited for the compressor on the way.
    EXPECT_THROW(write_model_like(path, 40u << 20, 20u << 20), std::runtime_error);
  }
  EXPECT_FALSE(fs::exists(dir_.file("model.mps.gz")));
  EXPECT_LE(test::thread_count(), threads_before);
}

TEST_F(GzipWhileWritingTest, AFailingCompressorNeverHoldsTheWriterUpAndItsFailureReachesTheCaller) {
  const int threads_before = test::thread_count();
  const std::string path = dir_.file("model.mps");
  GzipWhileWriting compressing(std::make_unique<TemporaryFile>("model.mps.gz", "", dir_.file("missing"), true, false), 2);
  {
    const ScopedTextOutputTap tap(path, compressing);
    write_model_like(path, 20u << 20);
  }
  EXPECT_THROW(compressing.finish(path), std::runtime_error);
  EXPECT_LE(test::thread_count(), threads_before);
}

}  // namespace
}  // namespace velorium::nimbrova

// The multipart body that an upload sends, built from files on disk.
#include "cloud/multipart_upload.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "cloud/support/gunzip.hpp"
#include "cloud/support/recording_reporter.hpp"
#include "core/text/message_catalogue.hpp"
#include "support/scoped_env.hpp"
#include "support/scratch_dir.hpp"

namespace velorium::nimbrova {
namespace {

namespace fs = std::filesystem;
const std::string B = kMultipartBoundary;

class MultipartBodyTest : public ::testing::Test {
 protected:
  // A form over a temporary file holding `content` at `name` in the scratch folder.
  MultipartForm form_of(const std::string& name, const std::string& content, bool gzip) {
    dir_.write(name, content);
    MultipartForm form;
    form.files.push_back({std::make_unique<TemporaryFile>(name, "", dir_.path().string(), true, false), "", gzip});
    return form;
  }
  static std::string body_of(const MultipartForm& form) { return test::readFileBytes(form.body_file->path()); }
  test::ScratchDir dir_;
};

TEST_F(MultipartBodyTest, FieldsThenTheFileThenTheClosingBoundaryLine) {
  MultipartForm form = form_of("start.sol", "abc", false);
  form.fields = {{"key", "K"}, {"policy", "P"}, {"x-amz-signature", "X"}};
  build_multipart_body(form);
  const std::string expected = "--" + B + "\r\nContent-Disposition: form-data; name=\"key\"\r\n\r\nK\r\n" + "--" + B +
                               "\r\nContent-Disposition: form-data; name=\"policy\"\r\n\r\nP\r\n" + "--" + B +
                               "\r\nContent-Disposition: form-data; name=\"x-amz-signature\"\r\n\r\nX\r\n" + "--" + B +
                               "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"start.sol\"\r\n\r\n" +
                               "abc\r\n\r\n--" + B + "\r\n";
  EXPECT_EQ(body_of(form), expected);
}

TEST_F(MultipartBodyTest, ACompressedPartIsOneGzipMemberOfTheFileNamedDotGz) {
  std::string model;
  for (int k = 0; k < 20000; ++k) model += "    x" + std::to_string(k) + "  c1  1.5\n";
  MultipartForm form = form_of("Plan.mps", model, true);
  test::RecordingReporter preparing;
  form.preparing_reporter = &preparing;
  build_multipart_body(form);
  const std::string body = body_of(form);
  const std::string head = "--" + B + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"Plan.mps.gz\"\r\n\r\n";
  const std::string tail = "\r\n\r\n--" + B + "\r\n";
  ASSERT_EQ(body.rfind(head, 0), 0u);
  ASSERT_TRUE(body.ends_with(tail));
  EXPECT_EQ(test::gunzip_one_member(body.substr(head.size(), body.size() - head.size() - tail.size())), model);
  ASSERT_FALSE(preparing.values.empty());
  EXPECT_EQ(preparing.values.front(), 0u);
  EXPECT_EQ(preparing.values.back(), model.size());  // source bytes, not body bytes
}

TEST_F(MultipartBodyTest, ABodyIsBuiltOnceInAPrivateFolderThatGoesWithTheForm) {
  std::string folder;
  std::string body_path;
  std::string source;
  {
    MultipartForm form = form_of("m.lp", "min\n", true);
    source = form.files.front().file->path();
    build_multipart_body(form);
    body_path = form.body_file->path();
    folder = form.body_folder->path();
    struct stat status{};
    ASSERT_EQ(::stat(folder.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    fs::last_write_time(body_path, fs::file_time_type::clock::now() - std::chrono::hours(1));
    const auto written = fs::last_write_time(body_path);
    build_multipart_body(form);  // the body exists: nothing is built again
    EXPECT_EQ(form.body_file->path(), body_path);
    EXPECT_EQ(fs::last_write_time(body_path), written);
  }
  EXPECT_FALSE(fs::exists(body_path));
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_FALSE(fs::exists(source));  // the uploaded file goes with the form too
}

TEST_F(MultipartBodyTest, ABodyIsBuiltInTheFolderTheFormIsGivenAndNowhereElse) {
  test::ScratchDir elsewhere;
  test::ScratchDir system_temporary;
  const test::ScopedEnv tmpdir("TMPDIR", system_temporary.path().string());
  PrivateFolder operation(elsewhere.path().string());
  std::string body_path;
  {
    MultipartForm form = form_of("m.lp", "min\n", true);
    form.folder = &operation;
    build_multipart_body(form);
    body_path = form.body_file->path();
    EXPECT_EQ(fs::path(body_path).parent_path(), fs::path(operation.path()));
    EXPECT_EQ(form.body_folder, nullptr);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 1);  // m.lp alone
  }
  EXPECT_FALSE(fs::exists(body_path));
  EXPECT_TRUE(fs::is_empty(operation.path()));
  EXPECT_TRUE(fs::is_empty(system_temporary.path()));
}

TEST_F(MultipartBodyTest, AMissingSourceStopsTheBodyWithItsPath) {
  MultipartForm form;
  form.files.push_back({std::make_unique<TemporaryFile>("absent.mps", "", dir_.path().string(), true, false), "", true});
  try {
    build_multipart_body(form);
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), get_message(366) + dir_.file("absent.mps"));
  }
}

TEST_F(MultipartBodyTest, AnUnreadableSourceStopsTheBodyInsteadOfSendingItShort) {
  // A folder opens but cannot be read as a file: the copy loop meets a read error.
  fs::create_directory(dir_.path() / "folder.sol");
  MultipartForm form;
  form.files.push_back({std::make_unique<TemporaryFile>("folder.sol", "", dir_.path().string(), true, false), "", false});
  EXPECT_THROW(build_multipart_body(form), std::runtime_error);
}

TEST(SafePartName, LeavesNoCharacterThatCouldEndTheQuotedName) {
  EXPECT_EQ(safe_part_name("Plan.mps.gz"), "Plan.mps.gz");
  EXPECT_EQ(safe_part_name("a\"b\\c\r\nd\te\x7f.gz"), "a_b_c__d_e_.gz");
  EXPECT_EQ(safe_part_name("План.lp"), "План.lp");  // UTF-8 stays
}

TEST(GetFileSize, MeasuresAFileAndNamesOneItCannotOpen) {
  test::ScratchDir dir;
  EXPECT_EQ(get_file_size(dir.write("five", "12345")), 5u);
  EXPECT_THROW(
      {
        try {
          get_file_size(dir.file("none"));
        } catch (const std::runtime_error& e) {
          EXPECT_EQ(std::string(e.what()), get_message(388) + dir.file("none"));
          throw;
        }
      },
      std::runtime_error);
}

}  // namespace
}  // namespace velorium::nimbrova

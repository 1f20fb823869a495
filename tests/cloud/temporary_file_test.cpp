#include "cloud/temporary_file.hpp"

#include "cloud/private_folder.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <type_traits>
#include <regex>
#include <utility>

#include "support/scratch_dir.hpp"

namespace velorium::nimbrova {
namespace {

namespace fs = std::filesystem;

TEST(TemporaryFile, PathIsFolderNameUniquePartAndSuffix) {
  const TemporaryFile start("start.sol", "", "", true, false);
  EXPECT_EQ(start.path(), (fs::temp_directory_path() / "start.sol").string());

  test::ScratchDir dir;
  const TemporaryFile a("mltprt", "tmp", dir.path().string(), true, true);
  const TemporaryFile b("mltprt", "tmp", dir.path().string(), true, true);
  const std::regex unique_name("mltprt[0-9A-F]{32}tmp");
  EXPECT_TRUE(std::regex_match(fs::path(a.path()).filename().string(), unique_name)) << a.path();
  EXPECT_EQ(fs::path(a.path()).parent_path(), dir.path());
  EXPECT_NE(a.path(), b.path());
  EXPECT_FALSE(fs::exists(a.path()));  // nothing is created on disk
}

static_assert(std::is_nothrow_destructible_v<TemporaryFile>);

TEST(TemporaryFile, DestructorDeletesOnlyAFileOrALinkWhenAskedTo) {
  test::ScratchDir dir;
  const std::string target = dir.write("target.txt", "keep me");
  struct Case {
    const char* what;
    std::function<void(const std::string&)> make;  // puts something at the path
    bool delete_on_destroy;
    bool gone;
  };
  const Case cases[] = {
      {"regular file", [](const std::string& p) { std::ofstream(p) << "x"; }, true, true},
      {"regular file kept", [](const std::string& p) { std::ofstream(p) << "x"; }, false, false},
      {"symbolic link", [&](const std::string& p) { fs::create_symlink(target, p); }, true, true},
      {"folder", [](const std::string& p) { fs::create_directory(p); }, true, false},
      {"nothing", [](const std::string&) {}, true, false},
  };
  const TemporaryFile under_a_file("child", "", target, true, false);  // no folder there: nothing to do
  for (const Case& c : cases) {
    std::string path;
    {
      const TemporaryFile file(c.what, ".tmp", dir.path().string(), c.delete_on_destroy, false);
      path = file.path();
      c.make(path);
    }
    struct stat status{};
    const bool present = ::lstat(path.c_str(), &status) == 0;
    EXPECT_EQ(!present, c.gone || std::string(c.what) == "nothing") << c.what;
  }
  EXPECT_EQ(test::readFileBytes(target), "keep me");  // a link's target stays
}

TEST(TemporaryFile, MovingTheOwnerMovesTheDeletion) {
  test::ScratchDir dir;
  auto owner = std::make_unique<TemporaryFile>("moved", "", dir.path().string(), true, false);
  const std::string path = owner->path();
  std::ofstream(path) << "x";
  std::unique_ptr<TemporaryFile> next = std::move(owner);
  owner.reset();
  EXPECT_TRUE(fs::exists(path));
  next.reset();
  EXPECT_FALSE(fs::exists(path));
}

TEST(TemporaryFile, AFolderSwappedForALinkLeadsNoDeletionElsewhere) {
  // Another user, where the parent folder lets them, renames the operation's folder and puts a
  // link to a folder of the victim's in its place: its files must survive the operation's end.
  test::ScratchDir dir;
  test::ScratchDir victim;
  for (const char* name : {"model.mps", "start.sol", "other.txt"}) victim.write(name, "the victim's");
  std::string moved_away;
  {
    const PrivateFolder folder(dir.path().string());
    std::unique_ptr<TemporaryFile> model = folder.file("model.mps");
    std::unique_ptr<TemporaryFile> start = folder.file("start.sol");
    std::ofstream(model->path()) << "ours";
    std::ofstream(start->path()) << "ours";
    moved_away = folder.path() + ".moved";
    fs::rename(folder.path(), moved_away);
    fs::create_directory_symlink(victim.path(), folder.path());
    model.reset();
    EXPECT_FALSE(fs::exists(moved_away + "/model.mps"));  // deleted where it really is
  }
  for (const char* name : {"model.mps", "start.sol", "other.txt"}) {
    EXPECT_EQ(test::readFileBytes(victim.file(name)), "the victim's") << name;
  }
  EXPECT_TRUE(fs::is_empty(moved_away));  // the folder's own files went, through its descriptor
}

}  // namespace
}  // namespace velorium::nimbrova

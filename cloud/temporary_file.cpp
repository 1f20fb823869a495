#include "cloud/temporary_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <system_error>
#include <utility>

#include <boost/uuid/random_generator.hpp>
#include <boost/uuid/uuid.hpp>

namespace velorium::nimbrova {

std::string unique_hex_name() {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const boost::uuids::uuid id = boost::uuids::random_generator()();
  std::string text;
  text.reserve(32);
  for (const std::uint8_t byte : id) {
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0x0F]);
  }
  return text;
}

TemporaryFile::TemporaryFile(const std::string& name, const std::string& suffix, const std::string& folder,
                             bool delete_on_destroy, bool unique)
    : delete_on_destroy_(delete_on_destroy) {
  const std::filesystem::path base = folder.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(folder);
  path_ = (base / (name + (unique ? unique_hex_name() : std::string()) + suffix)).string();
}

TemporaryFile::TemporaryFile(std::shared_ptr<const Descriptor> folder, const std::string& folder_path,
                             const std::string& name, const std::string& suffix, bool unique)
    : delete_on_destroy_(true),
      folder_(std::move(folder)),
      name_(name + (unique ? unique_hex_name() : std::string()) + suffix) {
  path_ = (std::filesystem::path(folder_path) / name_).string();
}

TemporaryFile::~TemporaryFile() {
  if (!delete_on_destroy_ || path_.empty()) return;
  struct stat status{};
  if (folder_) {
    if (::fstatat(folder_->get(), name_.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return;
    if (S_ISREG(status.st_mode) || S_ISLNK(status.st_mode)) ::unlinkat(folder_->get(), name_.c_str(), 0);
    return;
  }
  if (::lstat(path_.c_str(), &status) != 0) return;
  if (S_ISREG(status.st_mode) || S_ISLNK(status.st_mode)) ::unlink(path_.c_str());
}

}  // namespace velorium::nimbrova

#include "cloud/private_folder.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace velorium::nimbrova {

PrivateFolder::PrivateFolder(const std::string& parent, const std::string& prefix) {
  const std::filesystem::path base = parent.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(parent);
  std::string pattern = (base / (prefix + "XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) {
    throw std::runtime_error("cannot create a folder for temporary files in " + base.string() + ": " +
                             std::strerror(errno));
  }
  path_ = pattern;
}

PrivateFolder::~PrivateFolder() {
  const int folder = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (folder >= 0) {
    if (DIR* entries = ::fdopendir(folder)) {
      while (const dirent* entry = ::readdir(entries)) {
        struct stat status{};
        if (::fstatat(folder, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISREG(status.st_mode) || S_ISLNK(status.st_mode)) ::unlinkat(folder, entry->d_name, 0);
      }
      ::closedir(entries);  // closes `folder` too
    } else {
      ::close(folder);
    }
  }
  ::rmdir(path_.c_str());
}

}  // namespace velorium::nimbrova

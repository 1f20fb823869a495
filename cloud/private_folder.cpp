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
  const int fd = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    ::rmdir(path_.c_str());
    throw std::runtime_error("cannot open the folder for temporary files " + path_ + ": " + std::strerror(error));
  }
  descriptor_ = std::make_shared<const Descriptor>(fd);
}

PrivateFolder::~PrivateFolder() {
  // A descriptor of its own for the listing, which closes it.
  const int folder = ::openat(descriptor_->get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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

std::unique_ptr<TemporaryFile> PrivateFolder::file(const std::string& name, const std::string& suffix,
                                                   bool unique) const {
  return std::make_unique<TemporaryFile>(descriptor_, path_, name, suffix, unique);
}

}  // namespace velorium::nimbrova

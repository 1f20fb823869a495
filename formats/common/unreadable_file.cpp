#include "formats/common/unreadable_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace velorium {

std::string unreadableFileReason(const char* path) {
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  int error = fd < 0 ? errno : 0;
  if (fd >= 0) {
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) error = EISDIR;
    ::close(fd);
  }
  if (error == 0) return std::string();
  char buffer[256];
  return ::strerror_r(error, buffer, sizeof buffer);
}

}  // namespace velorium

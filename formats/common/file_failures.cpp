#include "formats/common/file_failures.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/log/logger.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"

namespace velorium {

namespace {

constexpr int kMessageUnableToOpen = 69;
constexpr int kMessageUnableToWrite = 118;

void logFileFailure(const VeloriumLogOptions& log, int message_id, const std::string& path, int error) {
  std::string text = formatString(get_message(message_id), path.c_str());
  while (!text.empty() && text.back() == '\n') text.pop_back();
  if (error != 0) text += ": " + systemErrorText(error);
  text += '\n';
  logLevelFormat(log, kLogLevelError, "%s", text.c_str());
}

}  // namespace

std::string systemErrorText(int error) {
  if (error == 0) return std::string();
  char buffer[256];
  // The GNU strerror_r: the text may be in the buffer or a static string.
  return ::strerror_r(error, buffer, sizeof buffer);
}

std::string unreadableFileReason(const char* path) {
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  int error = fd < 0 ? errno : 0;
  if (fd >= 0) {
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) error = EISDIR;
    ::close(fd);
  }
  return systemErrorText(error);
}

void logUnopenedFile(const VeloriumLogOptions& log, const std::string& path, int error) {
  logFileFailure(log, kMessageUnableToOpen, path, error);
}

void logUnwrittenFile(const VeloriumLogOptions& log, const std::string& path, int error) {
  logFileFailure(log, kMessageUnableToWrite, path, error);
}

}  // namespace velorium

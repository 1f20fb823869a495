#include "core/log/console_output.hpp"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <pthread.h>
#include <unistd.h>

namespace velorium {

namespace console_detail {

std::string cutLinesToCharacters(std::string_view text, std::size_t limit) {
  std::string result;
  result.reserve(text.size());
  std::size_t characters = 0;
  for (char c : text) {
    if (c == '\n') {
      result.push_back(c);
      characters = 0;
      continue;
    }
    bool continuation = (static_cast<unsigned char>(c) & 0xC0) == 0x80;
    // A continuation byte belongs to the character before it, kept or dropped with it.
    if (!continuation) ++characters;
    if (characters <= limit) result.push_back(c);
  }
  return result;
}

std::size_t writeAll(int fd, const char* data, std::size_t size, WriteFunction write_function) {
  std::size_t done = 0;
  while (done < size) {
    ssize_t written = write_function(fd, data + done, size - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) break;
    done += static_cast<std::size_t>(written);
  }
  return done;
}

}  // namespace console_detail

namespace {

ssize_t systemWrite(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }

// Blocks SIGPIPE on this thread while a write may hit a closed pipe, and swallows the signal
// that write raised, so a reader that went away never ends the host process.
class SigpipeGuard {
 public:
  SigpipeGuard() {
    sigemptyset(&pipe_set_);
    sigaddset(&pipe_set_, SIGPIPE);
    sigset_t pending;
    sigemptyset(&pending);
    sigpending(&pending);
    was_pending_ = sigismember(&pending, SIGPIPE) == 1;
    blocked_ = pthread_sigmask(SIG_BLOCK, &pipe_set_, &old_mask_) == 0;
  }
  ~SigpipeGuard() {
    if (!blocked_) return;
    if (!was_pending_) {
      const timespec no_wait{0, 0};
      int saved_errno = errno;
      while (sigtimedwait(&pipe_set_, nullptr, &no_wait) == -1 && errno == EINTR) {
      }
      errno = saved_errno;
    }
    pthread_sigmask(SIG_SETMASK, &old_mask_, nullptr);
  }
  SigpipeGuard(const SigpipeGuard&) = delete;
  SigpipeGuard& operator=(const SigpipeGuard&) = delete;

 private:
  sigset_t pipe_set_;
  sigset_t old_mask_;
  bool was_pending_ = false;
  bool blocked_ = false;
};

std::mutex& consoleMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

void writeConsoleText(const char* text) {
  if (text == nullptr || *text == '\0') return;
  std::lock_guard<std::mutex> lock(consoleMutex());
  // Keep the order of output the program wrote through stdio before this text.
  std::fflush(stdout);
  const int fd = STDOUT_FILENO;
  std::string cut;
  std::string_view bytes(text);
  if (::isatty(fd) == 1) {
    cut = console_detail::cutLinesToCharacters(bytes, kConsoleLineLimit);
    bytes = cut;
  }
  SigpipeGuard guard;
  // write(2) leaves nothing buffered in the process, so the text is flushed once written.
  console_detail::writeAll(fd, bytes.data(), bytes.size(), systemWrite);
}

}  // namespace velorium

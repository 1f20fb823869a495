#include "cloud/remote_operation_lock.hpp"

namespace velorium::nimbrova {

std::mutex& remote_operation_mutex() noexcept {
  static std::mutex mutex;
  return mutex;
}

}  // namespace velorium::nimbrova

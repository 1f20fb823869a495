#include "core/base/allowed_processors.hpp"

#include <sched.h>

#include <thread>

namespace velorium {

std::size_t allowedProcessors() {
  std::size_t processors = 0;
#if defined(__linux__)
  cpu_set_t allowed;
  CPU_ZERO(&allowed);
  if (::sched_getaffinity(0, sizeof allowed, &allowed) == 0) processors = static_cast<std::size_t>(CPU_COUNT(&allowed));
#endif
  if (processors == 0) processors = std::thread::hardware_concurrency();
  return processors == 0 ? 1 : processors;
}

}  // namespace velorium

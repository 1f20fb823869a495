// The processor time benchmarks report beside wall time, for work whose wall time is mostly
// another process's (the local calculation service).
#pragma once

#include <time.h>

namespace velorium::bench {

// The CPU time of the whole process (every thread) in seconds.
inline double process_cpu_seconds() {
  timespec now{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace velorium::bench

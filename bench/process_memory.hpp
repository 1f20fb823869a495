// This process's memory figures from /proc/self/status (Linux), for benchmarks that report
// the memory an operation needs on top of what was there before it.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace velorium::bench {

// A field of /proc/self/status given in kB ("VmRSS:" resident set, "VmHWM:" its peak), in
// bytes; 0 when the field is not there.
inline std::size_t processStatusBytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::strtoull(line.c_str() + std::strlen(field), nullptr, 10) * 1024;
  }
  return 0;
}

// The growth of the resident set from construction to the highest point it reaches afterwards.
class PeakMemoryProbe {
 public:
  PeakMemoryProbe() : baseline_(processStatusBytes("VmRSS:")) {
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from the current size
  }
  std::size_t growth_bytes() const {
    const std::size_t peak = processStatusBytes("VmHWM:");
    return peak > baseline_ ? peak - baseline_ : 0;
  }

 private:
  std::size_t baseline_;
};

}  // namespace velorium::bench

// How many processors this process may run on, for code that shares work out among threads.
#pragma once

#include <cstddef>

namespace velorium {

// The processors of the process's affinity mask (a container or `taskset` may allow fewer
// than the machine has), or the machine's count where the mask cannot be read; at least 1.
std::size_t allowedProcessors();

}  // namespace velorium

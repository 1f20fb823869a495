// One remote operation at a time in the process: the calculation client's state (parameters,
// current calculation, log output) is process-wide, so a second operation waits for the first.
#pragma once

#include <mutex>

namespace velorium::nimbrova {

std::mutex& remote_operation_mutex() noexcept;

}  // namespace velorium::nimbrova

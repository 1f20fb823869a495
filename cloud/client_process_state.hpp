// The calculation client's process-wide state, in its place in the library's start-up order.
// Nothing here starts a thread, opens a file or contacts the service while the library loads.
// The client reaches it only through calculation_state.hpp and client_log.hpp, which take its
// locks: a helper thread (the interrupt handling of a synchronous solve) reads it while the
// caller's thread runs the calculation.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "cloud/remote_parameters.hpp"

namespace velorium::nimbrova {

// The calculation at the service that the last constructed client created (or is creating).
struct CalculationInfo {
  std::string calc_uid;    // empty until the service has created a calculation
  std::string upload_url;  // the pre-signed address of the uploads
  std::map<std::string, std::string> upload_fields;  // the upload's form fields, sorted by name
};

// Where the client's log goes.
struct ClientLogState {
  bool to_console = false;
  int file = -1;  // descriptor of the client log file; -1 while none is open
  ~ClientLogState();
};

// Members are built in the order in which they stand and destroyed in the reverse order.
struct ClientProcessState {
  // 1. The start of the socket layer: POSIX sockets need no process-wide start.
  // 2. The current calculation, and 3. the parameter set of the running calculation (by
  //    default only "remote_solver_address", the service's calculations address), both
  //    guarded by `mutex`.
  std::mutex mutex;
  CalculationInfo current_calculation;
  RemoteParameters remote_parameters;
  // 4. The client's log: no file is open at load; the first remote operation that names a
  //    log file opens it, and it stays open until the library is unloaded.
  std::mutex log_mutex;
  ClientLogState log;
  // 5. The start of the TLS library: OpenSSL 3 initialises itself on first use, and starting
  //    it at load would read its configuration file.
};

// The state, built at load; null once the library's process-wide state is torn down.
ClientProcessState* client_process_state() noexcept;

}  // namespace velorium::nimbrova

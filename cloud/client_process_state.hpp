// The calculation client's process-wide state: the place kept for it in the library's
// start-up order. The client fills in what it needs; nothing here may start a thread, open a
// file or contact the service while the library loads.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "cloud/remote_parameters.hpp"

namespace velorium::nimbrova {

// The calculation that the last constructed client created (or is creating). Replaced by
// every remote solve and every remote-log request, so remote operations of different models
// must not overlap.
struct CurrentCalculation {
  std::string identifier;  // empty until the service has created a calculation
  std::string upload_address;
  std::vector<std::pair<std::string, std::string>> upload_fields;  // form fields of the upload
};

// Members are built in the order in which they stand and destroyed in the reverse order.
struct ClientProcessState {
  // 1. The start of the socket layer: POSIX sockets need no process-wide start.
  // 2. The current calculation.
  CurrentCalculation current_calculation;
  // 3. The default remote parameter set: only "remote_solver_address", the service's
  //    calculations address.
  RemoteParameters default_parameters;
  // 4. The client's log file stream: opened only when a remote solve names a log file, never
  //    at load; it stays open until the library is unloaded.
  // 5. The start of the TLS library: OpenSSL 3 initialises itself on first use, and starting
  //    it at load would read its configuration file.
};

// The state, built at load; null once the library's process-wide state is torn down.
ClientProcessState* client_process_state() noexcept;

}  // namespace velorium::nimbrova

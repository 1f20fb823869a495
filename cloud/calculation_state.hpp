// The process-wide parameters of the running calculation and the current calculation at the
// service. Every access copies under the client's lock, so a second thread (the interrupt
// handling of a synchronous solve) never races the caller's thread. After the library's
// teardown the readers give empty values and the writers do nothing.
#pragma once

#include <string>

#include "cloud/client_process_state.hpp"
#include "cloud/remote_parameters.hpp"

namespace velorium::nimbrova {

// The parameters of the running calculation: replaced by every client construction.
void set_remote_parameters(const RemoteParameters& parameters);
RemoteParameters remote_parameters_copy();
void set_remote_solver_address(const std::string& address);

// The three readers that every request uses, read afresh at every call: the calculations
// address and the proxy (empty when absent: a direct connection), and `remote_timeout` in
// seconds (0 when absent).
std::string get_remote_solver_address();
std::string get_http_proxy();
int get_remote_timeout();

CalculationInfo current_calculation_copy();
std::string current_calc_uid();
void set_current_calculation(CalculationInfo calculation);
void clear_current_calculation();

}  // namespace velorium::nimbrova

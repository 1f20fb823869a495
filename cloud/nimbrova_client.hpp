// One remote calculation, run on the caller's thread: create it at the service, upload the
// start values and the model, poll the status every 3 seconds while showing the calculation's
// log, and fetch the result and its details. Also the fetch of an earlier calculation's result.
//
// A client holds the process's remote-operation lock for its whole life, so a second remote
// operation (another thread, another model) waits. Its construction replaces the process-wide
// parameters and clears the current calculation.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "cloud/interrupt_cancel.hpp"
#include "cloud/private_folder.hpp"
#include "cloud/remote_calculation_result.hpp"
#include "cloud/remote_parameters.hpp"
#include "cloud/temporary_file.hpp"

namespace velorium::nimbrova {

// The tolerated length of a run of failed status polls, measured on the client clock from the
// first failure of the run and tested when a further failure arrives.
struct OutageTimer {
  std::chrono::steady_clock::time_point start{};
  std::chrono::steady_clock::time_point stop{};
  bool running = false;
  int timeout_seconds = 0;
};
// True (and the run ends) when the run has lasted more than `timeout_seconds`.
bool is_timed_out(OutageTimer& timer);

// The outcome of a calculation cancelled at the service, also given when an interrupt ended
// the operation.
inline constexpr const char* kCancelledOutcome = "error: CANCELLED";

// Logs a failure: the outcome words of the two key failures (168, 169), catalogue message 170
// and the text for any other. Gives the failure's text as a result keeps it (failure_text).
std::string report_cloud_error(const std::string& text, std::string& outcome);

class Client {
 public:
  // Takes over the files (any may be null) and the folder that holds them (may be null),
  // copies `parameters` into the process-wide set, clears the current calculation, sets the
  // client log's output from "log_to_console" (true when absent) and "log_file", and lets
  // NIMBROVA_TEST_SERVER_ADDRESS replace the calculations address (logged).
  // `model_gzip_member`: the model file's gzip member made while it was written; without it
  // the model file is compressed when it is uploaded. `interrupts`: the interrupt handling
  // installed when the operation began (a synchronous solve makes its own otherwise); it goes
  // last, after the files, when the client goes.
  Client(std::unique_ptr<TemporaryFile> model_file, const RemoteParameters& parameters,
         std::unique_ptr<TemporaryFile> initial_solution_file, std::unique_ptr<PrivateFolder> folder = nullptr,
         std::unique_ptr<TemporaryFile> model_gzip_member = nullptr,
         std::unique_ptr<InterruptCancel> interrupts = nullptr);
  ~Client();
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  // The whole calculation. Never throws for the service, the network or the files: failures
  // are logged, and the result then is empty but for its outcome text. Interrupts and
  // termination requests meanwhile cancel the calculation or end the operation
  // (InterruptCancel); an operation so ended gives the outcome kCancelledOutcome. The signals
  // caught are handed on when the client goes, after its files.
  RemoteCalculationResult solve();
  // Creates the calculation and uploads the files; failures are only logged.
  void solve_async();
  // The result of an existing calculation (console output on, no log file). A failure is
  // logged, and the record then holds only its outcome word (for the key failures) and its
  // failure text: nothing read before it. An identifier that is not valid fails before any
  // request.
  RemoteCalculationResult get_result(const std::string& uid);
  // The identifier of the current calculation; empty when none was created.
  std::string get_calc_uid() const;

 private:
  // Creates the calculation and uploads the files; `interrupts` (null for an asynchronous
  // start) stops the uploads once a cancel is asked for.
  void init_calculation(InterruptCancel* interrupts);
  RemoteCalculationResult wait_for_result();
  // The part of the calculation's log beyond the `held` bytes shown already; `held` grows by
  // its size. Only the count is kept, so a long log costs no memory between polls.
  std::string fetch_log_update(std::uint64_t& held);

  std::unique_lock<std::mutex> operation_lock_;
  std::unique_ptr<InterruptCancel> interrupts_;  // before the folder and files: it goes after them
  std::unique_ptr<PrivateFolder> folder_;        // before the files: it goes after them
  std::unique_ptr<TemporaryFile> model_file_;
  std::unique_ptr<TemporaryFile> model_gzip_member_;
  std::unique_ptr<TemporaryFile> initial_solution_file_;
};

}  // namespace velorium::nimbrova

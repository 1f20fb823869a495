#include "cloud/nimbrova_client.hpp"

#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <utility>

#include <boost/system/system_error.hpp>

#include "cloud/calculation_state.hpp"
#include "cloud/calculation_uid.hpp"
#include "cloud/client_clock.hpp"
#include "cloud/client_log.hpp"
#include "cloud/interrupt_cancel.hpp"
#include "cloud/multipart_upload.hpp"
#include "cloud/operation_interruption.hpp"
#include "cloud/progress_reporter.hpp"
#include "cloud/remote_failure.hpp"
#include "cloud/remote_operation_lock.hpp"
#include "cloud/service_requests.hpp"
#include "core/text/message_catalogue.hpp"
#include "formats/solution/solution_reader.hpp"

namespace velorium::nimbrova {

namespace {

constexpr std::chrono::seconds kPollInterval{3};

// Catalogue messages of the run.
constexpr int kTimedOut = 166;
constexpr int kWaitingForStart = 167;
constexpr int kInvalidKey = 168;
constexpr int kKeyNotSet = 169;
constexpr int kError = 170;
constexpr int kSuccessfully = 171;
constexpr int kStartingUpload = 172;
constexpr int kPreparingStart = 173;
constexpr int kUploadingStart = 174;
constexpr int kPreparingModel = 175;
constexpr int kUploadingModel = 176;
constexpr int kSendingRequest = 177;
constexpr int kNetworkError = 178;
constexpr int kNotCompleted = 179;
constexpr int kCurrentStatus = 180;

struct LogSink {
  void operator()(const std::string& text) const { log_line(text); }
};
using ClientProgress = SimpleProgressReporter<LogSink>;

// A network failure's message 178, and its text as a result keeps it, with the reason.
std::string report_network_error(const std::string& reason) {
  log_message(kNetworkError);
  return failure_text(kNetworkError, reason);
}

// A result text that is not one (an empty reply, an error page, a text cut short, NaN) fails
// like any other reply the client cannot read.
void read_solution(const std::string& text, RemoteCalculationResult& result) {
  const std::string refused = readResultText(result.solution, text.data(), text.size());
  if (!refused.empty()) throw std::runtime_error(refused);
}

}  // namespace

bool is_timed_out(OutageTimer& timer) {
  const auto end = timer.running ? client_clock().now() : timer.stop;
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(end - timer.start);
  if (static_cast<double>(elapsed.count()) / 1000.0 > timer.timeout_seconds) {
    timer.running = false;
    return true;
  }
  return false;
}

std::string report_cloud_error(const std::string& text, std::string& outcome) {
  if (text == "invalid_api_key") {
    outcome = text;
    log_message(kInvalidKey);
    return failure_text(kInvalidKey, "");
  }
  if (text == "api_key_not_set") {
    outcome = text;
    log_message(kKeyNotSet);
    return failure_text(kKeyNotSet, "");
  }
  // The text may hold what the service sent.
  const std::string shown = printable_service_text(text);
  log_line(get_message(kError) + shown + "\n");
  return failure_text(kError, shown);
}

Client::Client(std::unique_ptr<TemporaryFile> model_file, const RemoteParameters& parameters,
               std::unique_ptr<TemporaryFile> initial_solution_file, std::unique_ptr<PrivateFolder> folder,
               std::unique_ptr<TemporaryFile> model_gzip_member, std::unique_ptr<InterruptCancel> interrupts)
    : operation_lock_(remote_operation_mutex()),
      interrupts_(std::move(interrupts)),
      folder_(std::move(folder)),
      model_file_(std::move(model_file)),
      model_gzip_member_(std::move(model_gzip_member)),
      initial_solution_file_(std::move(initial_solution_file)) {
  set_remote_parameters(parameters);
  clear_current_calculation();
  const auto console = parameters.bool_params.find("log_to_console");
  const auto log_file = parameters.string_params.find("log_file");
  set_log_output(console == parameters.bool_params.end() || console->second,
                 log_file == parameters.string_params.end() ? std::string() : log_file->second);
  if (const char* address = std::getenv("NIMBROVA_TEST_SERVER_ADDRESS")) {
    set_remote_solver_address(address);
    log_line(std::string("Set test server address to ") + address + "\n");
  }
}

Client::~Client() = default;

std::string Client::get_calc_uid() const { return current_calc_uid(); }

RemoteCalculationResult Client::solve() {
  apply_message_locale();
  RemoteCalculationResult result;
  if (!interrupts_) interrupts_ = std::make_unique<InterruptCancel>();
  InterruptCancel& interrupts = *interrupts_;
  const ScopedInterruptionCheck ending([&interrupts] { return interrupts.ends_operation(); });
  print_banner();
  print_launch_parameters(remote_parameters_copy());
  log_message(kSendingRequest);
  try {
    throw_if_interrupted();
    init_calculation(&interrupts);
    result = wait_for_result();
  } catch (const OperationInterrupted&) {
    result = RemoteCalculationResult();
    result.outcome_text = kCancelledOutcome;
  } catch (const boost::system::system_error& e) {
    result.failure_text = report_network_error(e.what());
  } catch (const std::exception& e) {
    result.failure_text = report_cloud_error(e.what(), result.outcome_text);
  }
  return result;
}

void Client::solve_async() {
  apply_message_locale();
  print_banner();
  print_launch_parameters(remote_parameters_copy());
  log_message(kSendingRequest);
  try {
    init_calculation(nullptr);
  } catch (const boost::system::system_error&) {
    log_message(kNetworkError);
  } catch (const std::exception& e) {
    log_line(get_message(kError) + printable_service_text(e.what()) + "\n");
  }
}

void Client::init_calculation(InterruptCancel* interrupts) {
  create_calculation();
  if (interrupts) interrupts->calculation_created();
  log_message(kSuccessfully);
  log_line("UID: " + printable_service_text(current_calc_uid()) + "\n");
  log_message(kStartingUpload);
  const std::int64_t interval_ms = client_log_file_open() ? 1000 : 100;
  const auto upload = [&](std::unique_ptr<TemporaryFile>& file, int preparing_caption, int uploading_caption, bool gzip,
                          std::unique_ptr<TemporaryFile> gzip_member) {
    if (!file || (interrupts && interrupts->cancel_requested())) return;
    ClientProgress preparing(LogSink(), get_file_size(file->path()), get_message(preparing_caption), interval_ms);
    ClientProgress uploading(LogSink(), 0, get_message(uploading_caption), interval_ms);
    upload_file(current_calculation_copy(), std::move(file), gzip, &preparing, &uploading, std::move(gzip_member),
                folder_ ? folder_.get() : nullptr);
  };
  // Once the calculation is being cancelled, uploading to it is pointless: the uploads stop,
  // and the wait tells how the calculation ended.
  std::optional<ScopedInterruptionCheck> stopping;
  if (interrupts) stopping.emplace([interrupts] { return interrupts->cancel_requested(); });
  try {
    upload(initial_solution_file_, kPreparingStart, kUploadingStart, false, nullptr);
    upload(model_file_, kPreparingModel, kUploadingModel, true, std::move(model_gzip_member_));
  } catch (const OperationInterrupted&) {
    if (!interrupts || interrupts->ends_operation()) throw;
    log_line("\n");  // after the progress line the upload left unfinished
  }
}

RemoteCalculationResult Client::wait_for_result() {
  RemoteCalculationResult result;
  std::uint64_t log_held = 0;  // bytes of the calculation's log shown so far
  bool done = false;
  bool first_seen = false;
  std::optional<int> previous;
  OutageTimer timer;
  timer.timeout_seconds = get_remote_timeout();
  const std::string uid = current_calc_uid();
  const std::chrono::milliseconds timeout = calculation_request_timeout();
  while (!done) {
    sleep_unless_interrupted(kPollInterval);
    try {
      const CalculationStatus status = parse_status(get_calc_data_with_retries(uid, "status", {}, timeout));
      result.outcome_text = status_text(status);
      if (!first_seen) {
        log_message(kWaitingForStart);
        first_seen = true;
      } else if (status.status == kStatusQueued) {
        log_line(" .");
      } else if (status.status == kStatusCalculating) {
        if (previous == kStatusQueued) log_line("\n\n");
        log_line(printable_service_text(fetch_log_update(log_held)));
      }
      previous = status.status;
      timer.stop = client_clock().now();
      timer.running = false;
      const bool ended = (status.status == kStatusDone && status.log_full) || status.status == kStatusError;
      if (!ended) continue;
      log_line(printable_service_text(fetch_log_update(log_held)));
      done = status.status == kStatusDone;
      if (status.status == kStatusError) {
        log_line(status_text(status));
        return result;
      }
    } catch (const std::exception&) {
      if (!timer.running) {
        timer.start = client_clock().now();
        timer.running = true;
      } else if (is_timed_out(timer)) {
        log_message(kTimedOut);
        throw;
      }
    }
  }
  read_solution(get_calc_data_with_retries(uid, "result", {}, timeout), result);
  read_result_json(get_calc_data_with_retries(uid, "details", {}, timeout), result);
  return result;
}

std::string Client::fetch_log_update(std::uint64_t& held) {
  LogDownload reply = download_log_from(current_calc_uid(), held, calculation_request_timeout());
  std::string piece;
  if (held == 0) {
    piece = std::move(reply.bytes);
  } else if (reply.partial) {
    // The range began one byte before the end of what is held.
    if (reply.bytes.empty()) throw std::out_of_range("the log's reply lacks the byte it must repeat");
    piece = reply.bytes.substr(1);
  } else if (reply.bytes.size() > held) {
    piece = reply.bytes.substr(held);  // the whole log, from a service that ignored the range
  }
  held += piece.size();
  return piece;
}

RemoteCalculationResult Client::get_result(const std::string& uid) {
  set_log_output(true, "");
  RemoteCalculationResult result;
  try {
    check_calc_uid(uid);
    const CalculationStatus status = parse_status(get_calc_data_with_retries(uid, "status", {}, kFetchTimeout));
    result.outcome_text = status_text(status);
    if (status.status != kStatusDone) {
      log_message(kNotCompleted);
      const std::string current = get_message(kCurrentStatus) + status_text(status);
      log_line(current + "\n");
      result.failure_text = failure_text(kNotCompleted, current);
      return result;
    }
    read_solution(get_calc_data_with_retries(uid, "result", {}, kFetchTimeout), result);
    read_result_json(get_calc_data_with_retries(uid, "details", {}, kFetchTimeout), result);
  } catch (const std::exception& e) {
    // What was read before the failure is no result: a half-read calculation must not pass
    // for a finished one.
    RemoteCalculationResult failed;
    failed.failure_text = report_cloud_error(e.what(), failed.outcome_text);
    return failed;
  }
  return result;
}

}  // namespace velorium::nimbrova

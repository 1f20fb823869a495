// The client's side of the calculation service's protocol: create a calculation, fetch its
// status, log, result and details (with retries and the one redirect), cancel it, and read the
// status and details replies. Addresses, proxy and parameters come from the process-wide
// calculation state, read afresh at every request.
//
// Failures: boost::system::system_error for the network (exchange and redirects);
// std::runtime_error for HTTP errors ("invalid_api_key", "Http result : N"), for a create
// that failed (catalogue message 364 or 365 with the reason) and for replies the client cannot
// read; std::logic_error "api_key_not_set" when X_API_KEY is not set (nothing is sent then).
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cloud/cloud_request.hpp"
#include "cloud/remote_calculation_result.hpp"
#include "cloud/remote_parameters.hpp"

namespace velorium::nimbrova {

// Status words and their codes.
inline constexpr int kStatusCalculating = 0;
inline constexpr int kStatusQueued = 1;
inline constexpr int kStatusDone = 2;
inline constexpr int kStatusError = 3;

struct CalculationStatus {
  int status = kStatusQueued;
  bool log_full = false;
  std::optional<std::string> minor;  // only for "error"
};

using ExtraHeaders = std::vector<std::pair<std::string, std::string>>;

// The deadline of each step of a request: `remote_timeout` seconds of the running calculation
// when it is set, else 60 seconds (also what fetching an earlier result or a log uses).
inline constexpr std::chrono::seconds kFetchTimeout{60};
std::chrono::milliseconds calculation_request_timeout();

// The texts of the create failures that the client finds in the reply itself (each inside
// catalogue message 364).
inline constexpr const char* kMalformedCreateReply =
    "the service's reply to the create request is not a JSON object of the expected shape";
inline constexpr const char* kCreateReplyWithoutUid = "the service's reply to the create request holds no calc_uid";
inline constexpr const char* kCreateReplyWithoutUrl = "the service's reply to the create request holds no upload url";

// Sets "X-API-KEY" from X_API_KEY (an empty value is sent empty); std::logic_error
// "api_key_not_set" when the variable is not set.
void add_api_key_header(CloudRequest& request);

// One JSON object: the string, then the double, then the integer parameters (each group by
// name; a name in two groups keeps the later value); the bool parameters are not sent.
std::string parameters_to_json(const RemoteParameters& parameters);

// One create request; its reply body.
std::string post_calculation_request();
// Creates the calculation and fills the current calculation from the reply. Network errors
// are retried after 100 and 200 ms, an empty reply at once (3 attempts in all); HTTP errors
// and a missing key are not. A "calc_uid" that is not a valid identifier (calculation_uid.hpp)
// fails the create (message 364 with the reason) and is not kept.
void create_calculation();

// Every request for one calculation (polling, log, cancel) first checks its identifier
// (check_calc_uid: std::invalid_argument, nothing sent); an empty one is refused too.
// One polling request for base + uid + "/" + word; a 302 is followed once, to its "Location",
// without the API key and with the same extra headers. Any other status than 2xx (a 302 of
// the redirect's target included) fails as an HTTP error.
std::string get_calc_data(const std::string& uid, const std::string& word, const ExtraHeaders& extra,
                          std::chrono::milliseconds timeout);
// The same with up to 3 attempts, 100 and 200 ms apart; the third failure is thrown on. An
// identifier that is not valid is not retried.
std::string get_calc_data_with_retries(const std::string& uid, const std::string& word, const ExtraHeaders& extra,
                                       std::chrono::milliseconds timeout);
// The log from byte `offset` − 1 on ("Range: bytes=N-"), or the whole log for offset 0: the
// range starts one byte early, so a reply with nothing new still holds that one byte.
std::string download_log(const std::string& uid, std::uint64_t offset, std::chrono::milliseconds timeout);
// The same, telling whether the reply is the range asked for (206) or, from a service that
// ignores ranges, the whole log.
struct LogDownload {
  std::string bytes;
  bool partial = false;
};
LogDownload download_log_from(const std::string& uid, std::uint64_t offset, std::chrono::milliseconds timeout);
// Announces the cancel (message 165) and sends PATCH base + uid of the current calculation,
// without a body; the reply is not used and failures go to the caller.
void cancel_calculation();

// The status reply: "status" one of "calculating", "queued", "done", "error"; "log_full" a
// boolean (false when absent or not one); "minor" required for "error", kept without control
// characters (printable_service_text).
CalculationStatus parse_status(const std::string& reply);
// "word" or "word: minor".
std::string status_text(const CalculationStatus& status);
// The details reply: the six statistics (a number, null, or the texts "null", "nan",
// "infinity", "-infinity" in any letter case) and "solution_status_v2", all required.
void read_result_json(const std::string& details, RemoteCalculationResult& result);

}  // namespace velorium::nimbrova

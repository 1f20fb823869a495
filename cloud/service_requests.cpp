#include "cloud/service_requests.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <utility>

#include <boost/json/parse.hpp>
#include <boost/json/serialize.hpp>
#include <boost/json/value.hpp>

#include "cloud/calculation_state.hpp"
#include "cloud/calculation_uid.hpp"
#include "cloud/client_clock.hpp"
#include "cloud/client_log.hpp"
#include "cloud/https_exchange.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"

namespace velorium::nimbrova {

namespace json = boost::json;

namespace {

constexpr int kRequestAttempts = 3;
constexpr std::chrono::milliseconds kRetryStep{100};
constexpr int kCreateFailed = 364;
constexpr int kCreateFailedWithoutReason = 365;
constexpr int kCancelling = 165;

constexpr const char* kStatusWords[] = {"calculating", "queued", "done", "error"};

[[noreturn]] void create_failed(const std::string& reason) {
  throw std::runtime_error(formatString(get_message(kCreateFailed), reason.c_str()));
}

// Parses a reply up to its first NUL; null when it is not one JSON text.
std::optional<json::value> parse_reply(const std::string& text) {
  boost::system::error_code ec;
  json::value value = json::parse(std::string_view(text.c_str()), ec);
  if (ec) return std::nullopt;
  return value;
}

// A reply that must be one JSON object.
json::value reply_object(const std::string& text, const char* what) {
  std::optional<json::value> value = parse_reply(text);
  if (!value || !value->is_object()) throw std::runtime_error(std::string("the ") + what + " is not a JSON object");
  return std::move(*value);
}

// A scalar as text: strings unchanged, numbers and booleans as JSON writes them.
std::string scalar_text(const json::value& value) {
  if (value.is_string()) return std::string(value.as_string());
  return json::serialize(value);
}

bool lenient_bool(const json::value* value) {
  if (!value) return false;
  if (value->is_bool()) return value->as_bool();
  if (value->is_int64()) return value->as_int64() == 1;
  if (value->is_uint64()) return value->as_uint64() == 1;
  if (value->is_string()) return value->as_string() == "true" || value->as_string() == "1";
  return false;
}

// One statistic of the details reply.
double statistic_value(const json::object& details, const char* key) {
  const json::value* value = details.if_contains(key);
  if (!value) throw std::runtime_error(std::string("the details reply has no \"") + key + "\"");
  if (value->is_null()) return std::numeric_limits<double>::quiet_NaN();
  if (value->is_number()) return value->to_number<double>();
  if (value->is_string()) {
    std::string text(value->as_string());
    trimChars(text, kWhitespaceChars);
    std::string lower = text;
    for (char& c : lower) c = toLowerAscii(c);
    if (lower == "null" || lower == "nan") return std::numeric_limits<double>::quiet_NaN();
    if (lower == "infinity") return std::numeric_limits<double>::infinity();
    if (lower == "-infinity") return -std::numeric_limits<double>::infinity();
    double number = 0.0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data() + (text.starts_with('+') ? 1 : 0), end, number);
    if (error == std::errc() && stop == end && !text.empty()) return number;
  }
  throw std::runtime_error(std::string("the details reply's \"") + key + "\" is not a number");
}

// Reads the create reply into `info`: a walk over all nested objects (each walked after the
// members of the object that holds it) picking "calc_uid", "url" and the form fields "key",
// "policy" and "x-amz-*" (the first one met of a name stays).
void read_create_reply(const std::string& reply, CalculationInfo& info) {
  std::optional<json::value> root = parse_reply(reply);
  if (!root || !root->is_object()) create_failed(kMalformedCreateReply);
  std::vector<const json::object*> pending{&root->as_object()};
  while (!pending.empty()) {
    const json::object& object = *pending.back();
    pending.pop_back();
    for (const json::key_value_pair& member : object) {
      const std::string_view name = member.key();
      const json::value& value = member.value();
      if (value.is_object()) {
        pending.push_back(&value.as_object());
      } else if (name == "url" || name == "calc_uid") {
        if (value.is_string()) (name == "url" ? info.upload_url : info.calc_uid) = value.as_string();
      } else if (name == "key" || name == "policy" || name.starts_with("x-amz-")) {
        if (!value.is_string()) create_failed(kMalformedCreateReply);
        info.upload_fields.emplace(std::string(name), std::string(value.as_string()));
      }
    }
  }
}

// Every address of one calculation is made here, so no identifier reaches a target unchecked.
std::string calculation_address(const std::string& uid) {
  check_calc_uid(uid);
  return get_remote_solver_address() + uid;
}

}  // namespace

std::chrono::milliseconds calculation_request_timeout() {
  const int seconds = get_remote_timeout();
  return seconds > 0 ? std::chrono::seconds(seconds) : kFetchTimeout;
}

void add_api_key_header(CloudRequest& request) {
  const char* key = std::getenv("X_API_KEY");
  if (!key) throw std::logic_error("api_key_not_set");
  request.set_field("X-API-KEY", key);
}

std::string parameters_to_json(const RemoteParameters& parameters) {
  json::object object;
  const auto add_sorted = [&object](const auto& map) {
    std::vector<std::string> names;
    for (const auto& entry : map) names.push_back(entry.first);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) object[name] = map.at(name);
  };
  add_sorted(parameters.string_params);
  add_sorted(parameters.double_params);
  add_sorted(parameters.int_params);
  return json::serialize(object);
}

std::string post_calculation_request() {
  CloudRequest request(get_http_proxy(), calculation_request_timeout());
  add_api_key_header(request);
  request.body_text = parameters_to_json(remote_parameters_copy());
  request.set_field("Content-Type", "application/json");
  return http_post(request, get_remote_solver_address()).body();
}

void create_calculation() {
  std::string reply;
  for (int attempt = 1; reply.empty() && attempt <= kRequestAttempts; ++attempt) {
    try {
      reply = post_calculation_request();
    } catch (const boost::system::system_error& e) {
      if (attempt < kRequestAttempts) {
        client_clock().sleep_for(attempt * kRetryStep);
        continue;
      }
      const std::string reason = e.what();
      if (reason.empty()) throw std::runtime_error(get_message(kCreateFailedWithoutReason));
      create_failed(reason);
    }
  }
  CalculationInfo info;
  try {
    read_create_reply(reply, info);
  } catch (...) {
    if (!is_valid_calc_uid(info.calc_uid)) info.calc_uid.clear();
    set_current_calculation(info);
    throw;
  }
  // An identifier that is not one is never kept: nothing may be sent to it, a cancel included.
  if (!info.calc_uid.empty() && !is_valid_calc_uid(info.calc_uid)) {
    const std::string refused = invalid_calc_uid_text(info.calc_uid);
    set_current_calculation(CalculationInfo());
    create_failed(refused);
  }
  set_current_calculation(info);
  if (info.calc_uid.empty()) create_failed(kCreateReplyWithoutUid);
  if (info.upload_url.empty()) create_failed(kCreateReplyWithoutUrl);
}

namespace {

// One polling request and its redirect; the whole reply.
CloudReply get_calc_reply(const std::string& uid, const std::string& word, const ExtraHeaders& extra,
                          std::chrono::milliseconds timeout) {
  CloudRequest first(get_http_proxy(), timeout);
  add_api_key_header(first);
  for (const auto& [name, value] : extra) first.set_field(name, value);
  first.redirect_allowed = true;
  CloudReply reply = http_get(first, calculation_address(uid) + "/" + word);
  if (reply.result_int() != 302) return reply;
  // The redirect's target is pre-signed: it gets no API key. Its own redirect is refused.
  CloudRequest second(get_http_proxy(), timeout);
  for (const auto& [name, value] : extra) second.set_field(name, value);
  return http_get(second, std::string(reply[http::field::location]));
}

template <class Call>
auto with_retries(Call call) {
  for (int attempt = 1;; ++attempt) {
    try {
      return call();
    } catch (const std::exception&) {
      if (attempt >= kRequestAttempts) throw;
      client_clock().sleep_for(attempt * kRetryStep);
    }
  }
}

}  // namespace

std::string get_calc_data(const std::string& uid, const std::string& word, const ExtraHeaders& extra,
                          std::chrono::milliseconds timeout) {
  // A result text runs to tens of megabytes: handed on, not copied.
  return std::move(get_calc_reply(uid, word, extra, timeout).body());
}

std::string get_calc_data_with_retries(const std::string& uid, const std::string& word, const ExtraHeaders& extra,
                                       std::chrono::milliseconds timeout) {
  check_calc_uid(uid);  // no request and no retry for an identifier that can never be one
  return with_retries([&] { return get_calc_data(uid, word, extra, timeout); });
}

LogDownload download_log_from(const std::string& uid, std::uint64_t offset, std::chrono::milliseconds timeout) {
  check_calc_uid(uid);
  ExtraHeaders extra;
  if (offset != 0) extra.emplace_back("Range", "bytes=" + std::to_string(offset - 1) + "-");
  return with_retries([&] {
    CloudReply reply = get_calc_reply(uid, "log", extra, timeout);
    return LogDownload{std::move(reply.body()), reply.result_int() == 206};
  });
}

std::string download_log(const std::string& uid, std::uint64_t offset, std::chrono::milliseconds timeout) {
  return download_log_from(uid, offset, timeout).bytes;
}

void cancel_calculation() {
  log_message(kCancelling);
  CloudRequest request(get_http_proxy(), calculation_request_timeout());
  add_api_key_header(request);
  http_patch(request, calculation_address(current_calc_uid()));
}

CalculationStatus parse_status(const std::string& reply) {
  const json::value reply_value = reply_object(reply, "status reply");
  const json::object& object = reply_value.as_object();
  const json::value* word = object.if_contains("status");
  if (!word) throw std::runtime_error("the status reply has no \"status\"");
  const std::string text = scalar_text(*word);
  CalculationStatus status;
  const auto found = std::find(std::begin(kStatusWords), std::end(kStatusWords), text);
  if (found == std::end(kStatusWords)) throw std::runtime_error("unknown calculation status \"" + text + "\"");
  status.status = static_cast<int>(found - std::begin(kStatusWords));
  status.log_full = lenient_bool(object.if_contains("log_full"));
  if (status.status == kStatusError) {
    const json::value* minor = object.if_contains("minor");
    if (!minor) throw std::runtime_error("the status reply of an error has no \"minor\"");
    // Shown on the console and kept in the result's texts.
    status.minor = printable_service_text(scalar_text(*minor));
  }
  return status;
}

std::string status_text(const CalculationStatus& status) {
  if (status.status < 0 || status.status >= static_cast<int>(std::size(kStatusWords))) {
    throw std::out_of_range("unknown calculation status code " + std::to_string(status.status));
  }
  std::string text = kStatusWords[status.status];
  if (status.minor) text += ": " + *status.minor;
  return text;
}

void read_result_json(const std::string& details, RemoteCalculationResult& result) {
  const json::value details_value = reply_object(details, "details reply");
  const json::object& object = details_value.as_object();
  for (const char* key : {"relative_gap", "objective", "best_bound", "processed_nodes", "iterations", "solve_time"}) {
    result.statistics[key] = statistic_value(object, key);
  }
  const json::value* word = object.if_contains("solution_status_v2");
  if (!word) throw std::runtime_error("the details reply has no \"solution_status_v2\"");
  result.solution_status_word = scalar_text(*word);
}

}  // namespace velorium::nimbrova

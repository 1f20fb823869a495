#include "support/calc_service.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <vector>

#include <boost/json/parse.hpp>
#include <boost/json/serialize.hpp>
#include <boost/json/value_to.hpp>

namespace velorium::test {

namespace json = boost::json;

namespace {

constexpr int kReadySeconds = 30;
constexpr const char* kApiKeyVariable = "CALC_SERVICE_API_KEY";
constexpr int kControlSeconds = 30;
constexpr auto kStopWait = std::chrono::seconds(5);

// Reads from `fd` until `done` says the text is complete, the peer closes, or `seconds` pass.
template <class Done>
std::string read_until(int fd, int seconds, Done done) {
  std::string data;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  char buffer[65536];
  while (!done(data)) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) throw std::runtime_error("the calculation service did not answer in time");
    pollfd wait{fd, POLLIN, 0};
    if (::poll(&wait, 1, static_cast<int>(left.count())) <= 0) continue;
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got <= 0) break;
    data.append(buffer, static_cast<std::size_t>(got));
  }
  return data;
}

}  // namespace

std::string CalcService::script() {
  if (const char* other = std::getenv("VELORIUM_CALC_SERVICE"); other && *other) return other;
  const std::string path = std::string(VELORIUM_SOURCE_DIR) + "/tools/calc-service";
  return std::filesystem::exists(path) ? path : std::string();
}

CalcService::CalcService(const std::string& api_key, const std::vector<std::string>& options) {
  const std::string path = script();
  if (path.empty()) throw std::runtime_error("this tree has no tools/calc-service");
  const std::string state = folder_.file("state");
  const std::string errors = folder_.file("service-stderr.txt");
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("no pipe for the calculation service");
  // Everything the child needs is made before the fork: after it, only system calls.
  std::vector<std::string> environment_texts{"PYTHONDONTWRITEBYTECODE=1"};
  const std::string key_prefix = std::string(kApiKeyVariable) + "=";
  // A key given goes in the environment, which only this user can read (a command line every
  // local user can); without one the service makes a random key.
  if (!api_key.empty()) environment_texts.push_back(key_prefix + api_key);
  for (char** entry = environ; *entry; ++entry) {
    if (!std::string_view(*entry).starts_with(key_prefix)) environment_texts.emplace_back(*entry);
  }
  std::vector<char*> environment;
  for (std::string& text : environment_texts) environment.push_back(text.data());
  environment.push_back(nullptr);
  // The interpreter by its full path: the service starts its solvers with the same one.
  std::vector<std::string> argument_texts{"/usr/bin/python3", path, "--state", state, "--idle-exit", "600"};
  argument_texts.insert(argument_texts.end(), options.begin(), options.end());
  std::vector<char*> arguments;
  for (std::string& text : argument_texts) arguments.push_back(text.data());
  arguments.push_back(nullptr);
  const pid_t parent = ::getpid();
  pid_ = ::fork();
  if (pid_ == 0) {
    // The service goes when the test program goes, even if it dies without cleaning up.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) ::_exit(1);
    ::dup2(out[1], STDOUT_FILENO);
    const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (err >= 0) ::dup2(err, STDERR_FILENO);
    const int null = ::open("/dev/null", O_RDONLY);
    if (null >= 0) ::dup2(null, STDIN_FILENO);
    ::execve("/usr/bin/python3", arguments.data(), environment.data());
    ::_exit(127);
  }
  ::close(out[1]);
  if (pid_ < 0) {
    ::close(out[0]);
    throw std::runtime_error("cannot start the calculation service");
  }
  std::string line;
  try {
    line = read_until(out[0], kReadySeconds, [](const std::string& data) { return data.find('\n') != std::string::npos; });
  } catch (...) {
    ::close(out[0]);
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    throw;
  }
  ::close(out[0]);
  boost::system::error_code ec;
  const json::value ready = json::parse(line.substr(0, line.find('\n')), ec);
  if (ec || !ready.is_object()) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    throw std::runtime_error("the calculation service did not start: " + readFileBytes(errors));
  }
  const json::object& fields = ready.as_object();
  base_ = json::value_to<std::string>(fields.at("base"));
  api_key_ = json::value_to<std::string>(fields.at("api_key"));
  ca_ = json::value_to<std::string>(fields.at("ca"));
  relay_port_ = static_cast<int>(fields.at("relay_port").to_number<std::int64_t>());
  const std::string control_address = json::value_to<std::string>(fields.at("control"));
  control_port_ = std::atoi(control_address.c_str() + control_address.rfind(':') + 1);
  // The service writes service.json before its ready line.
  const std::string facts = readFileBytes(json::value_to<std::string>(fields.at("state")) + "/service.json");
  const json::value start_up = json::parse(facts, ec);
  if (ec || !start_up.is_object() || !start_up.as_object().contains("control_token")) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    throw std::runtime_error("the calculation service's service.json has no control token: " + facts);
  }
  control_token_ = json::value_to<std::string>(start_up.at("control_token"));
}

CalcService::~CalcService() {
  try {
    control("POST", "/shutdown", json::object());
  } catch (...) {
  }
  const auto deadline = std::chrono::steady_clock::now() + kStopWait;
  while (::waitpid(pid_, nullptr, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

std::string CalcService::base_path() const {
  const std::size_t start = base_.find('/', std::string("https://").size());
  return base_.substr(start);
}

json::value CalcService::control(const std::string& method, const std::string& path, const json::value& body) const {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(control_port_));
  if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    if (fd >= 0) ::close(fd);
    throw std::runtime_error("cannot reach the calculation service's control port");
  }
  const std::string content = body.is_null() ? std::string() : json::serialize(body);
  const std::string request = method + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" +
                              "X-Control-Token: " + control_token_ + "\r\n" +
                              "Content-Type: application/json\r\nContent-Length: " + std::to_string(content.size()) +
                              "\r\n\r\n" + content;
  for (std::size_t sent = 0; sent < request.size();) {
    const ssize_t wrote = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (wrote <= 0) break;
    sent += static_cast<std::size_t>(wrote);
  }
  std::string reply;
  try {
    reply = read_until(fd, kControlSeconds, [](const std::string&) { return false; });
  } catch (...) {
    ::close(fd);
    throw;
  }
  ::close(fd);
  const std::size_t head_end = reply.find("\r\n\r\n");
  const std::string status_line = reply.substr(0, reply.find("\r\n"));
  if (head_end == std::string::npos || status_line.find(" 200 ") == std::string::npos) {
    throw std::runtime_error("control request " + method + " " + path + " failed: " + reply);
  }
  boost::system::error_code ec;
  json::value value = json::parse(reply.substr(head_end + 4), ec);
  if (ec) throw std::runtime_error("control reply is not JSON: " + reply);
  return value;
}

json::array CalcService::journal() const { return control("GET", "/journal").at("requests").as_array(); }

void CalcService::clear_journal() const { control("POST", "/journal/clear", json::object()); }

void CalcService::faults(const json::array& rules) const { control("POST", "/faults", json::object{{"faults", rules}}); }

void CalcService::status_script(const json::array& statuses, const std::optional<std::string>& uid) const {
  json::object body{{"statuses", statuses}};
  if (uid) body["calc_uid"] = *uid;
  control("POST", "/status-script", body);
}

void CalcService::log_script(const json::array& pieces, const std::optional<std::string>& uid) const {
  json::object body{{"pieces", pieces}};
  if (uid) body["calc_uid"] = *uid;
  control("POST", "/log-script", body);
}

void CalcService::hold(double seconds) const { control("POST", "/hold", json::object{{"seconds", seconds}}); }

json::array CalcService::relay_journal() const { return control("GET", "/relay-journal").at("requests").as_array(); }

json::array CalcService::calculations() const {
  return control("GET", "/calculations").at("calculations").as_array();
}

std::string journal_header(const json::value& entry, const std::string& name) {
  for (const json::value& header : entry.at("headers").as_array()) {
    const json::array& pair = header.as_array();
    if (pair.at(0).as_string() == name) return std::string(pair.at(1).as_string());
  }
  return "<absent>";
}

bool journal_has_header(const json::value& entry, const std::string& name) {
  return journal_header(entry, name) != "<absent>";
}

json::array journal_of(const json::array& journal, const std::string& endpoint) {
  json::array entries;
  for (const json::value& entry : journal) {
    if (entry.at("endpoint").is_string() && entry.at("endpoint").as_string() == endpoint) entries.push_back(entry);
  }
  return entries;
}

}  // namespace velorium::test

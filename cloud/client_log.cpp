#include "cloud/client_log.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <locale>
#include <sstream>
#include <utility>
#include <vector>

#include "cloud/client_process_state.hpp"
#include "cloud/server_url.hpp"
#include "core/log/console_output.hpp"
#include "core/text/message_catalogue.hpp"

namespace velorium::nimbrova {

namespace {

std::function<void(std::string_view)>& tap() {
  static std::function<void(std::string_view)> receiver;
  return receiver;
}

void close_file(ClientLogState& log) {
  if (log.file >= 0) ::close(log.file);
  log.file = -1;
}

template <class Map>
std::vector<std::pair<std::string, typename Map::mapped_type>> sorted(const Map& map) {
  std::vector<std::pair<std::string, typename Map::mapped_type>> entries(map.begin(), map.end());
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return entries;
}

}  // namespace

ClientLogState::~ClientLogState() { close_file(*this); }

void set_log_output(bool to_console, const std::string& path) {
  ClientProcessState* state = client_process_state();
  if (!state) return;
  std::lock_guard lock(state->log_mutex);
  state->log.to_console = to_console;
  if (!path.empty() && state->log.file < 0) {
    // It shows the calculation's parameters and log: created for its owner alone.
    state->log.file = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  }
}

bool client_log_file_open() {
  ClientProcessState* state = client_process_state();
  if (!state) return false;
  std::lock_guard lock(state->log_mutex);
  return state->log.file >= 0;
}

void log_line(std::string_view text) {
  ClientProcessState* state = client_process_state();
  if (!state || text.empty()) return;
  std::lock_guard lock(state->log_mutex);
  if (state->log.to_console) writeConsoleText(std::string(text).c_str());
  if (state->log.file >= 0) {
    console_detail::writeAll(state->log.file, text.data(), text.size(), ::write);
  }
  if (tap()) tap()(text);
}

void log_message(int id) { log_line(get_message(id)); }

std::string printable_service_text(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte < 0x20 && byte != '\n' && byte != '\t') || byte == 0x7F) continue;
    if (byte == 0xC2 && i + 1 < text.size()) {
      const auto next = static_cast<unsigned char>(text[i + 1]);
      if (next >= 0x80 && next <= 0x9F) {
        ++i;
        continue;
      }
    }
    shown += text[i];
  }
  return shown;
}

void print_banner() {
  log_line("Запуск Nimbrova\n");
  log_line("Расчеты выполняются сервисом Nimbrova по условиям его лицензии.\n\n");
}

void print_launch_parameters(const RemoteParameters& parameters) {
  log_line("Параметры запуска:\n");
  for (const auto& [name, value] : sorted(parameters.string_params)) {
    if (name == "solver" || name == kRemoteSolverAddressParameter) continue;
    // A proxy's user information is a secret: never shown, though the client refuses it anyway.
    log_line(name + " : " + (name == "http_proxy" ? url_without_user_info(value) : value) + "\n");
  }
  for (const auto& [name, value] : sorted(parameters.double_params)) {
    log_line(name + " : " + double_to_text(value) + "\n");
  }
  for (const auto& [name, value] : sorted(parameters.int_params)) {
    log_line(name + " : " + double_to_text(static_cast<double>(value)) + "\n");
  }
}

std::string double_to_text(double value) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << value;
  return text.str();
}

void reset_client_log_for_testing() {
  ClientProcessState* state = client_process_state();
  if (!state) return;
  std::lock_guard lock(state->log_mutex);
  close_file(state->log);
  state->log.to_console = false;
}

void set_client_log_tap_for_testing(std::function<void(std::string_view)> receiver) {
  ClientProcessState* state = client_process_state();
  if (!state) return;
  std::lock_guard lock(state->log_mutex);
  tap() = std::move(receiver);
}

}  // namespace velorium::nimbrova

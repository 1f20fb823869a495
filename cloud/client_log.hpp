// The calculation client's own log writer: every text a remote operation shows goes to the
// console (when enabled) and to one client log file. The client does not log through a
// model's logger. Writers are serialised by a lock, so a helper thread's lines never tear the
// caller's.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "cloud/remote_parameters.hpp"

namespace velorium::nimbrova {

// Console output on or off. The first non-empty `path` while no client log file is open is
// opened for appending (created when missing, mode 0600, its content kept); later paths leave the file
// that was opened first in place. A file that cannot be opened leaves file output off, without
// a message; a later call may try again.
void set_log_output(bool to_console, const std::string& path);
// Whether a client log file is open (it also sets the interval of the progress lines).
bool client_log_file_open();

// Writes `text` unchanged (UTF-8; newlines are the caller's) to each enabled sink; the file
// is flushed after every text. Failures are ignored.
void log_line(std::string_view text);
// The catalogue text of message `id`, unformatted.
void log_message(int id);

// `text` without the control characters a terminal acts on: the C0 controls other than line
// feed and tab, DEL, and the C1 controls (U+0080 to U+009F, as UTF-8). What the service sends
// (an identifier, a status's reason, pieces of its log) passes through it before it is shown.
std::string printable_service_text(std::string_view text);

// "Запуск Nimbrova", a line on the rights of use, and an empty line.
void print_banner();
// "Параметры запуска:" and one "name : value" line per string parameter (except `solver` and
// `remote_solver_address`; `http_proxy` without user information), per double and per integer
// parameter, each group sorted by name.
void print_launch_parameters(const RemoteParameters& parameters);
// A number as a default output stream writes it: "%g" with 6 significant digits, "." as the
// decimal point whatever the locale.
std::string double_to_text(double value);

// Test seams: close the log file and turn the console off; receive every text written.
void reset_client_log_for_testing();
void set_client_log_tap_for_testing(std::function<void(std::string_view)> tap);

}  // namespace velorium::nimbrova

// The log file of an options record.
#pragma once

#include <concepts>
#include <string>

#include "core/log/log_options.hpp"

namespace velorium {

// Flushes and closes the open log file, if any (stdout and stderr are only flushed); then, unless `file_name` is empty, opens that
// file for appending (created when missing). When the open fails there is no log file
// afterwards; nothing is reported.
void replaceLogFile(VeloriumLogOptions& log_options, const std::string& file_name);

// Replaces the log file of an options structure and records its name in the option
// `log_file`, which keeps the name even when the file could not be opened.
template <class OptionsStruct>
  requires requires(OptionsStruct& options) {
    { options.log_options } -> std::same_as<VeloriumLogOptions&>;
    options.log_file = std::string();
  }
void setLogFile(OptionsStruct& options, const std::string& file_name) {
  replaceLogFile(options.log_options, file_name);
  options.log_file = file_name;
}

}  // namespace velorium

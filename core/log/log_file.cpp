#include "core/log/log_file.hpp"

#include <cstdio>

namespace velorium {

void replaceLogFile(VeloriumLogOptions& log_options, const std::string& file_name) {
  if (log_options.log_stream != nullptr) {
    std::fflush(log_options.log_stream);
    // A record may log to a standard stream it does not own; that one stays open.
    if (log_options.log_stream != stdout && log_options.log_stream != stderr) std::fclose(log_options.log_stream);
    log_options.log_stream = nullptr;
  }
  if (!file_name.empty()) log_options.log_stream = std::fopen(file_name.c_str(), "a+");
}

}  // namespace velorium

// The failures of opening and writing a model file, logged alike by every reader and writer:
// the catalogue's text, then the system's reason ("No such file or directory", "Is a
// directory", "Permission denied", "No space left on device").
#pragma once

#include <string>

#include "core/log/log_options.hpp"

namespace velorium {

// The system's text of an errno value; "" for 0.
std::string systemErrorText(int error);

// The system's text for why `path` does not open for reading ("No such file or directory",
// "Permission denied"), "Is a directory" for a folder, and "" for a file that opens.
std::string unreadableFileReason(const char* path);

// Logs catalogue message 69 ("Unable to open file %s") for `path` as an error, with the text of
// `error` (an errno value; 0 for none) behind it, as one line.
void logUnopenedFile(const VeloriumLogOptions& log, const std::string& path, int error);

// Logs catalogue message 118 ("Unable to write file [%s]") the same way.
void logUnwrittenFile(const VeloriumLogOptions& log, const std::string& path, int error);

}  // namespace velorium

// Why a file cannot be read, in the system's words, for the texts of failed reads.
#pragma once

#include <string>

namespace velorium {

// The system's text for why `path` does not open for reading ("No such file or directory",
// "Permission denied"), "Is a directory" for a folder, and "" for a file that opens.
std::string unreadableFileReason(const char* path);

}  // namespace velorium

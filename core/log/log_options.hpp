// Where a model's (or a file reader's or writer's) log output goes.
#pragma once

#include <cstdio>

namespace velorium {

// Receives every finished log text with its level; `user` is `log_hook_user`.
using LogHook = void (*)(int level, const char* text, void* user);

// Log levels in use; every other level is logged without a prefix.
inline constexpr int kLogLevelInfo = 1;
inline constexpr int kLogLevelWarning = 4;
inline constexpr int kLogLevelError = 5;

// A plain record: copying it copies the six fields unchanged, so a copy shares the stream
// and points at the same flags. The three flags point at bool options of the owning options
// structure; a null flag counts as false.
struct VeloriumLogOptions {
  // The open log file, or null. Opened and closed only by replaceLogFile / setLogFile.
  FILE* log_stream = nullptr;
  // Null or false turns all log output off.
  bool* output_flag = nullptr;
  bool* log_to_console = nullptr;
  // When true every line of a log text begins with the local time.
  bool* log_display_systime = nullptr;
  // When set, takes the place of the console.
  LogHook log_hook = nullptr;
  void* log_hook_user = nullptr;
};

}  // namespace velorium

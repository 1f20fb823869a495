// Turns one log message into one log text and hands it to the log file, then to the log hook
// or (without a hook) to the console.
#pragma once

#include <chrono>
#include <cstdarg>
#include <string>

#include "core/log/log_options.hpp"

namespace velorium {

// Logs a printf-formatted message; level 4 is prefixed with "WARNING: ", level 5 with
// "ERROR: " (catalogue messages 71 and 72). The formatted message is cut at 4095 bytes.
void logLevelFormat(const VeloriumLogOptions& options, int level, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// The same, with the catalogue text of `message_id` as the format. An id outside the
// catalogue logs nothing.
void logCatalogueMessage(const VeloriumLogOptions& options, int level, int message_id, ...);

// The same as one line: a line feed is added when the filled-in text has none at its end (the
// catalogue's error texts have none, and a log line without one runs into the next).
void logCatalogueLine(const VeloriumLogOptions& options, int level, int message_id, ...);

// The common core of the three above.
void logFormatted(const VeloriumLogOptions& options, int level, const char* format, va_list args);

// Logs a complete text as it is: never used as a format, never cut, and no level prefix
// whatever the level (the level still reaches the hook).
void logText(const VeloriumLogOptions& options, int level, const char* text);

// Puts "[YYYY-MM-DD hh:mm:ss.mmm] " (local time) in front of every line of `text`, in place.
// A final line feed gets no stamp after it; a leading carriage return stays first.
void formatLogTimeStamp(std::string& text);
// The same with a given moment, so the stamp is reproducible.
void formatLogTimeStamp(std::string& text, std::chrono::system_clock::time_point now);

// The stamp for one moment: date, time and milliseconds come from that one reading.
std::string makeLogTimeStamp(std::chrono::system_clock::time_point now);

}  // namespace velorium

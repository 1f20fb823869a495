// The log lines that tell which names a written file carries in place of the model's own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/log/log_options.hpp"
#include "formats/export/export_model.hpp"

namespace velorium {

// How many renamings a line lists before it only counts the rest.
inline constexpr std::size_t kRenamedNamesListed = 3;

// `message`, then the first `limit` pairs as "[<model name>] в [<written name>]" joined by
// ", ", then (when more were renamed) catalogue message 498 with the number left out, then a
// line feed. Names are copied verbatim, whatever bytes they hold.
std::string composeRenamedNamesLine(std::string_view message, std::size_t limit,
                                    const std::vector<RenamedName>& pairs);

// Logs that line as a warning, through logText (never used as a format).
void logRenamedNames(const VeloriumLogOptions& log, std::string_view message, std::size_t limit,
                     const std::vector<RenamedName>& pairs);

// Logs the renamed columns (catalogue message 496) and the renamed rows, objective and general
// constraints (message 497); nothing when no name was changed.
void reportRenamedNames(const ExportModel& copy, const VeloriumLogOptions& log);

}  // namespace velorium

#include "formats/export/rename_report.hpp"

#include <algorithm>

#include "core/log/logger.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"

namespace velorium {

std::string composeRenamedNamesLine(std::string_view message, std::size_t limit,
                                    const std::vector<RenamedName>& pairs) {
  std::string line(message);
  std::size_t listed = std::min(limit, pairs.size());
  for (std::size_t i = 0; i < listed; ++i) {
    if (i > 0) line += ", ";
    line += '[';
    line += pairs[i].first;
    line += "] в [";
    line += pairs[i].second;
    line += ']';
  }
  if (pairs.size() > limit) line += formatString(get_message(498), pairs.size() - limit);
  line += '\n';
  return line;
}

void logRenamedNames(const VeloriumLogOptions& log, std::string_view message, std::size_t limit,
                     const std::vector<RenamedName>& pairs) {
  logText(log, kLogLevelWarning, composeRenamedNamesLine(message, limit, pairs).c_str());
}

void reportRenamedNames(const ExportModel& copy, const VeloriumLogOptions& log) {
  apply_message_locale();
  std::vector<RenamedName> columns = collectRenamedNames(copy.columns);
  if (!columns.empty()) logRenamedNames(log, get_message(496), kRenamedNamesListed, columns);

  std::vector<RenamedName> constraints = collectRenamedNames(copy.rows);
  if (!copy.objective.model_name.empty()) constraints.emplace_back(copy.objective.model_name, copy.objective.name);
  std::vector<RenamedName> general = collectRenamedNames(copy.general_constraints);
  constraints.insert(constraints.end(), general.begin(), general.end());
  if (!constraints.empty()) logRenamedNames(log, get_message(497), kRenamedNamesListed, constraints);
}

}  // namespace velorium

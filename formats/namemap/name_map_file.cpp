#include "formats/namemap/name_map_file.hpp"

#include "core/log/logger.hpp"
#include "formats/common/file_failures.hpp"
#include "formats/common/line_reader.hpp"
#include "formats/common/text_lines.hpp"
#include "formats/common/text_output.hpp"
#include "formats/namemap/generated_names.hpp"

namespace velorium {

namespace {
constexpr std::size_t kReadBufferSize = 65536;
constexpr const char* kNameWithLineFeed = "Файл %s не записан: в имени есть перевод строки\n";

void writeEntries(TextOutput& out, const NameMapEntries& entries) {
  for (const NameMapEntry& entry : entries) {
    std::string& text = out.text();
    text += entry.model_name;
    text += ' ';
    text += entry.generated_name;
    text += '\n';
    out.flushIfFull();
  }
}

// Generated names hold no blank and model names may, so the last blank is the cut. A line
// without a blank maps to itself.
void addLine(NameMap& map, std::string_view line, int direction) {
  const std::size_t cut = line.rfind(' ');
  const std::string_view model_name = cut == std::string_view::npos ? line : line.substr(0, cut);
  const std::string_view generated_name = cut == std::string_view::npos ? line : line.substr(cut + 1);
  if (direction != kNameMapModelToGenerated) {
    map.insert_or_assign(std::string(generated_name), std::string(model_name));
    return;
  }
  // A model name may belong to a variable and to a row or the objective at once; start
  // values are keyed by variable names, so the variable's line wins.
  auto [it, inserted] = map.try_emplace(std::string(model_name), generated_name);
  if (!inserted && (isGeneratedVariableName(generated_name) || !isGeneratedVariableName(it->second))) {
    it->second = generated_name;
  }
}

// A name with a line feed would split its line and map the wrong names to each other.
bool namesFitOnLines(const NameMapEntries& entries) {
  for (const NameMapEntry& entry : entries) {
    if (entry.model_name.find('\n') != std::string::npos || entry.generated_name.find('\n') != std::string::npos) {
      return false;
    }
  }
  return true;
}

template <class Lines>
NameMap readLines(Lines& lines, int direction) {
  NameMap map;
  std::string_view line;
  while (lines.nextLine(line)) addLine(map, line, direction);
  return map;
}
}  // namespace

bool writeNameMap(const std::string& path, const NameMapEntries& entries, const VeloriumLogOptions* log) {
  if (path.empty() || entries.empty()) return true;
  if (!namesFitOnLines(entries)) {
    if (log) logLevelFormat(*log, kLogLevelError, kNameWithLineFeed, path.c_str());
    return false;
  }
  TextOutput out;
  if (!out.open(path)) {
    if (log) logUnopenedFile(*log, path, out.error());
    return false;
  }
  writeEntries(out, entries);
  if (!out.finish()) {
    if (log) logUnwrittenFile(*log, path, out.error());
    return false;
  }
  return true;
}

std::optional<std::string> writeNameMapText(const NameMapEntries& entries) {
  if (!namesFitOnLines(entries)) return std::nullopt;
  return collectText([&](TextOutput& out) { writeEntries(out, entries); });
}

NameMap readNameMap(const std::string& path, int direction) {
  LineReader reader(path, kReadBufferSize, false);
  return readLines(reader, direction);
}

NameMap readNameMapText(std::string_view text, int direction) {
  TextLines lines(text);
  return readLines(lines, direction);
}

}  // namespace velorium

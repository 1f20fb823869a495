// The name-map file: which model name became which generated name when a model was written
// with anonymous names. One line per member: the model name, a blank, the generated name.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/log/log_options.hpp"

namespace velorium {

struct NameMapEntry {
  std::string model_name;
  std::string generated_name;
};

// One entry per renamed member, in the order written (objective, variables, rows). A list
// rather than a map keyed by model name, so that a variable and a row sharing a name both
// keep their line.
using NameMapEntries = std::vector<NameMapEntry>;

// A name map as read: text to text, in the direction asked for.
using NameMap = std::unordered_map<std::string, std::string>;

inline constexpr int kNameMapModelToGenerated = 0;
inline constexpr int kNameMapGeneratedToModel = 1;

// Writes one line per entry, replacing the file. An empty path or an empty list writes
// nothing (no file is created) and counts as success; false when the file cannot be created,
// not every byte could be written, or a name holds a line feed (nothing is written then).
// A failure is logged as an error through `log` when it is not null, with the system's reason.
bool writeNameMap(const std::string& path, const NameMapEntries& entries, const VeloriumLogOptions* log = nullptr);
// The same text, in memory; nothing for entries that writeNameMap refuses.
std::optional<std::string> writeNameMapText(const NameMapEntries& entries);

// Reads a name-map file. Direction kNameMapModelToGenerated (0) gives model name to
// generated name; any other value generated name to model name. A file that cannot be read
// gives an empty map.
NameMap readNameMap(const std::string& path, int direction);
// The same over a text in memory.
NameMap readNameMapText(std::string_view text, int direction);

}  // namespace velorium

#include "formats/namemap/generated_names.hpp"

#include "core/text/number_text.hpp"

namespace velorium {

std::string formatIndexedName(std::string_view prefix, std::uint64_t index) {
  std::string name(prefix);
  appendDecimal(name, index);
  return name;
}

bool isGeneratedVariableName(std::string_view name) {
  const std::string_view prefix = kGeneratedVariablePrefix;
  if (name.size() <= prefix.size() || !name.starts_with(prefix)) return false;
  for (char c : name.substr(prefix.size())) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace velorium

// The anonymous names that a model carries when it is written beside a name-map file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velorium {

inline constexpr const char* kGeneratedObjectiveName = "objective";
inline constexpr const char* kGeneratedVariablePrefix = "x";
inline constexpr const char* kGeneratedRowPrefix = "c";

// The prefix followed by the index in decimal: ("x", 0) gives "x0", ("c", 12) "c12".
std::string formatIndexedName(std::string_view prefix, std::uint64_t index);

// True for a generated variable name: "x" followed by decimal digits only.
bool isGeneratedVariableName(std::string_view name);

}  // namespace velorium

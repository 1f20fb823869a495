// Writing a SolutionData as a solution file.
#pragma once

#include <string>

#include "formats/solution/solution_data.hpp"

namespace velorium {

// Writes the solution file; false when the file cannot be created or not every byte of it
// could be written. Nothing is logged: the caller reports the failure.
bool writeSolutionFile(const SolutionData& data, const std::string& path);
// The same text, in memory.
std::string writeSolutionText(const SolutionData& data);

}  // namespace velorium

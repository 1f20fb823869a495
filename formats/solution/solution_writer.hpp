// Writing a SolutionData as a solution file.
#pragma once

#include <optional>
#include <string>

#include "formats/solution/solution_data.hpp"

namespace velorium {

// Writes the solution file; false when the file cannot be created, not every byte of it could
// be written, or a name holds a line feed (which no line of the file can carry; nothing is
// written then). Nothing is logged: the caller reports the failure. Names are written byte for
// byte, except that a name beginning with "#" gets one blank in front, which the reader drops.
bool writeSolutionFile(const SolutionData& data, const std::string& path);
// The same text, in memory; nothing for a solution that writeSolutionFile refuses.
std::optional<std::string> writeSolutionText(const SolutionData& data);

}  // namespace velorium

// Reading solution files and solution texts into a SolutionData.
#pragma once

#include <cstddef>
#include <string>

#include "formats/common/line_reader.hpp"
#include "formats/solution/solution_data.hpp"

namespace velorium {

// Replaces the values, duals and reduced costs of `data` and its two section flags with
// what the file holds and drops its source; the objective value, the bound and write_zeros
// stay as they were.
// False (with the maps left empty) when the file cannot be opened or reading it failed.
bool readSolutionFile(SolutionData& data, const std::string& path);
// The same over a text in memory; reads only the `length` bytes at `text`.
bool readSolutionText(SolutionData& data, const char* text, std::size_t length);
// The same text read into `data`'s source instead: names and numbers in the text's order, the
// maps by name built only when first asked for (ensure_solution_index), the first number of
// a name winning as in the maps. Several times faster for a large result read by position.
// Falls back to readSolutionText when the reduced costs do not list the columns of the values
// in the same order.
bool readSolutionTextInOrder(SolutionData& data, const char* text, std::size_t length);
// A calculation's result text, read as readSolutionTextInOrder reads it and checked on the way:
// it must begin with the line "# Velorium Solution File Version 1.1", hold one "# Columns N"
// line whose N is the number of value lines, and every line of data must be a name, a blank
// and a number (a whole field, not NaN). Empty when the text was read; otherwise why it was
// refused (beginning "the calculation's result text "), and `data` then holds nothing.
std::string readResultText(SolutionData& data, const char* text, std::size_t length);

// The parser behind both readers, over the lines of a reader or of a text.
void parseSolutionFile(SolutionData& data, LineReader& reader);
void parseSolutionText(SolutionData& data, const char* text, std::size_t length);

}  // namespace velorium

// Reading an LP file into a flat model record.
//
// What the LP dialect read here does, in brief (it is the dialect the LP writer writes, and
// glpsol's --wlp output reads as well):
// - Sections open with keywords in any case: Minimize/Min/Minimum, Maximize/Max/Maximum,
//   Subject To/Such That/st/s.t., Bounds/Bound, Generals/General/Integers/Integer/Int/Gen,
//   Binaries/Binary/Bin, Semi-Continuous/Semi/Semis, SOS, General Constraints/General
//   Constraint/GenCons/g.c., End. A keyword is a keyword wherever it stands, so no name may
//   be "bin", "end", "st", "int", ...; a section that held tokens may not come again. The
//   file must begin with a section keyword (comments aside): text before it, or a file with
//   no section at all, is an error.
// - In the objective, constraints and bounds a name runs on over blanks to the next delimiter
//   ("\t\\:+<>^=/-*[]"): "2 x 3 y <= 5" is 2 times the one name "x 3 y". A keyword that opens a
//   line is still a keyword there. Elsewhere blanks end names too. In the bounds, a line
//   ending in "free" keeps "free" apart from the name before it. A "/" between two name
//   characters belongs to the name ("B/A", as glpsol writes names from MPS files).
// - ";" and "\\" start a comment wherever they stand, right behind a name too; "/*" ... "*/"
//   is a comment across lines.
// - Numbers: digits with an optional "." and fraction and an optional exponent, read without
//   the process locale (overflow is infinity), as the MPS reader reads them; hexadecimal is
//   no number. A number ends at a blank, an operator, or an ASCII letter, which begins a name:
//   "3x + 2y" is 3 x + 2 y (as glpsol reads it). Run into anything else it is an error ("1,5",
//   "1.2.3", "3_x"), and so are an exponent without digits ("1e", "2ex"), a hexadecimal number
//   ("0x1F") and an overflow run into a name ("1e999x"). Signs belong to the number that
//   follows: "- 3 x" is -3 x, "- x" is -1 x. "inf" and "infinity" (any case) are numbers only when a delimiter or the line end
//   follows: "infeasible" is a name. NaN is refused everywhere; an infinite coefficient,
//   quadratic coefficient or constant is refused, while infinite bounds and right-hand sides
//   stand for no bound.
// - A right-hand side is one number; a constant in the expression stays in the expression
//   ("x + 3 <= 10" keeps 3 and the bound 10). "<" and ">" are errors; "=<" and "=>" are not
//   comparisons. Repeated variables are not merged; a zero coefficient drops its term and
//   makes no variable.
// - Quadratic parts are "[ ... ]" blocks of "c x ^ 2" and "c x * y" terms; in the objective a
//   block must be followed by "/ 2" and its coefficients are halved.
// - Indicators: "name: b = 1 -> body <= rhs"; the first variable before "->" is the
//   indicator, and a non-zero value means "applies when b is 1". Nothing before "->" is an
//   error.
// - Bounds: "x free", "x <= u", "x >= l", "x = v", "l <= x", "l <= x <= u" (only "<=" in the
//   double form); a name alone on its line is ignored. Binaries get the upper bound 1 only
//   when the bounds left them none.
// - Generals + Semi-Continuous make a semi-integer column; Binaries + Generals a binary one.
// - General constraints: "name : result = NL : ( TYPE , value , parent ) ..."; records are
//   checked before they are accepted (one root first, parents before children, room in the
//   parent, known types, finite constants).
// - The sections are read in one pass in the order of the file, with the result of reading
//   them in a fixed order (objective, constraints, general constraints, bounds, generals,
//   binaries, semi-continuous, SOS): columns are numbered in the order that fixed order first
//   names them, and with both a Minimize and a Maximize section Minimize is read.
// - A file with SOS sets is read but refused (result 2).
// - A UTF-8 byte-order mark at the start is skipped; "\r\n" line ends are accepted; a NUL
//   byte anywhere is an error.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/log/log_options.hpp"
#include "core/records/model.hpp"
#include "formats/lp/lp_syntax_error.hpp"

namespace velorium {

// Reads an LP file into a new model; its source path is `path` and its name the file-name
// part of it. Every failure is a std::invalid_argument with the text "File not existent or
// illegal file format.": LpFileError when the file cannot be opened or read, LpSyntaxError
// when the text is not legal. Other failures (std::bad_alloc) pass through.
std::shared_ptr<Model> parseLpFile(const std::string& path);

// The same for a text held in memory; the model's name and source path stay empty.
std::shared_ptr<Model> parseLpText(std::string_view text);

// Reads an LP file into `model`: 0 read, 1 the file cannot be opened or read, 2 the text is
// not a legal LP file, holds SOS sets (`model` then holds what was read), or memory ran out.
// Never throws. Each failure is logged at level 5, naming the file (and the line).
int readLpModelFile(const VeloriumLogOptions& options, const std::string& path, std::shared_ptr<Model>& model);

}  // namespace velorium

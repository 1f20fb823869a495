// Which names an LP or MPS file can carry, and how any name is made into one that it can.
#pragma once

#include <string>
#include <string_view>

namespace velorium {

// Bytes a written name may not hold: the six ASCII white-space characters and the LP
// operators and delimiters. Every other byte is allowed ("#", "." and UTF-8 sequences too).
inline constexpr std::string_view kForbiddenNameChars = " \t\n\v\f\r\\:+<>^=/-*[];";

// The 31 LP keywords that a name may not equal (compared with ASCII letters lowered): "integer"
// and "int" open the general integers in files of other tools and in our reader.
inline constexpr std::string_view kLpKeywords[] = {
    "minimize", "min",      "minimum",  "maximize", "max",      "maximum",         "subject", "such",
    "st",       "s.t.",     "bounds",   "bound",    "binary",   "binaries",        "bin",     "general",
    "generals", "integers", "integer",  "int",      "gen",      "semi-continuous", "semi",    "semis",
    "sos",      "end",      "free",     "inf",      "infinity", "gencons",         "g.c."};

// True when `text`, with ASCII letters lowered, is one of the LP keywords.
bool isLpKeyword(std::string_view text);

// True when `text` is a word that an MPS reader gives a meaning of its own, so that no
// written name may equal it: a section keyword (exact, case-sensitive), which starts a
// section when it stands first in a line, or the integer marker "'MARKER'", which makes a
// COLUMNS line whose row it names a marker line.
bool isMpsReservedWord(std::string_view text);

// True when strtod in the "C" locale would convert a prefix of `text`: optional leading white
// space and sign, then a digit, a "." followed by a digit, or "inf" / "nan" in any case.
bool startsWithNumber(std::string_view text);

bool containsForbiddenNameChar(std::string_view text);

// True when `name` can be written unchanged: not empty, not starting with a number or a ".",
// no keyword and no forbidden byte. cbc misreads an LP name that begins with "." and glpsol
// refuses it.
bool isLegalName(std::string_view name);

// The legal form of any name: forbidden bytes become "_", an empty name becomes "name", and a
// result that starts with a number or a "." or is a keyword gets one "_" in front (not tested
// again).
std::string makeLegalName(std::string_view name);
std::string makeLegalName(const char* name);

}  // namespace velorium

// Second stage of the LP reader: raw tokens joined into the tokens the sections are read from,
// and the token list cut into sections.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "formats/lp/lp_keywords.hpp"
#include "formats/lp/lp_lexer.hpp"
#include "formats/lp/lp_name_table.hpp"

namespace velorium {

enum class LpTokenKind : std::uint8_t {
  section_keyword = 1,
  name = 2,
  label = 3,  // a name followed by ":"
  number = 4,
  free = 5,
  open_bracket = 6,   // "[", and "(" in the general constraints section
  close_bracket = 7,  // "]", and ")" in the general constraints section
  comparison = 8,
  slash = 10,
  star = 11,
  caret = 12,
  sos_type = 13,  // "S1::" or "S2::"
  arrow = 14,
  nl_marker = 16,  // "NL" after "=" in a general constraint
};

enum class LpComparison : std::uint8_t {
  less_equal = 0,
  less = 1,
  equal = 2,
  greater = 3,
  greater_equal = 4,
};

// 16 bytes: files with millions of tokens hold them all at once.
struct LpToken {
  LpTokenKind kind;
  LpLineNumber line;
  union {
    double number;           // number
    std::uint32_t name;      // name, label: local id in the file's LpNameTable
    LpSection section;       // section keyword
    LpComparison comparison; // comparison
    std::uint8_t sosType;    // sos type: 1 or 2
  };
};
static_assert(sizeof(LpToken) == 16);

// Reads every raw token of `lexer` and appends the tokens they make to `tokens`; names are
// interned in `names`. Throws LpSyntaxError.
void buildLpTokens(LpLexer& lexer, LpNameTable& names, std::vector<LpToken>& tokens);

// The tokens of one section: positions [begin, end) in the token list.
struct LpTokenRange {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// The sections that hold tokens, by code. Tokens before the first keyword are ignored; a
// section that holds tokens may not come again (LpSyntaxError).
std::map<LpSection, LpTokenRange> splitLpSections(const std::vector<LpToken>& tokens);

}  // namespace velorium

// Section keywords of the LP format.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/text/text_utils.hpp"

namespace velorium {

// Section codes; the order of the codes is the order in which the reader reads the sections.
enum class LpSection : std::uint8_t {
  none = 0,
  minimize = 1,
  maximize = 2,
  constraints = 3,
  bounds = 4,
  generals = 5,
  binaries = 6,
  semi_continuous = 7,
  sos = 8,
  general_constraints = 9,
  end = 10,
};

// The keywords of the sections, built once per process while the library loads (its place
// in the start-up order: core/startup/process_state.hpp).
class LpSectionKeywordTable {
 public:
  LpSectionKeywordTable();
  // The section of a lower-case keyword; none for any other text.
  LpSection find(std::string_view lowerCaseText) const;

 private:
  std::unordered_map<std::string_view, LpSection> sections_;
};

// The process's table; null once the library's process-wide state is torn down.
const LpSectionKeywordTable* lpSectionKeywordTable() noexcept;

// The section of a lower-case keyword ("subject to", "bin", "g.c.", ...); none for any other
// text. Keywords of two words are written with one blank between them.
LpSection findLpSection(std::string_view lowerCaseText);

// Every keyword begins with b, e, g, i, m or s, in either case: words beginning otherwise
// need no look-up.
inline bool lpMayBeginKeyword(char c) {
  // Bit c - 'a' of a 32-bit mask, for a letter in either case.
  constexpr std::uint32_t kFirstLetters = 1u << ('b' - 'a') | 1u << ('e' - 'a') | 1u << ('g' - 'a') | 1u << ('i' - 'a') |
                                          1u << ('m' - 'a') | 1u << ('s' - 'a');
  const unsigned letter = static_cast<unsigned>(static_cast<unsigned char>(c) | 0x20) - 'a';
  return letter < 26 && ((kFirstLetters >> letter) & 1u) != 0;
}

// The section of a word in any case; none for any other text.
LpSection findLpSectionInTable(std::string_view word);
inline LpSection findLpSectionOfWord(std::string_view word) {
  return word.empty() || !lpMayBeginKeyword(word.front()) ? LpSection::none : findLpSectionInTable(word);
}
// The section of two words in any case joined by `joiner` ("subject" " " "to",
// "semi" "-" "continuous"); none when they make no keyword.
LpSection findLpSectionOfWords(std::string_view first, char joiner, std::string_view second);

// Whether `text` is the lower-case `word` in any case.
bool lpEqualsNoCase(std::string_view text, std::string_view word);

// Objective, constraints and bounds: the sections whose names may hold blanks.
inline bool lpSectionAllowsBlanksInNames(LpSection section) {
  return section == LpSection::minimize || section == LpSection::maximize ||
         section == LpSection::constraints || section == LpSection::bounds;
}

}  // namespace velorium

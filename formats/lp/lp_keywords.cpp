#include "formats/lp/lp_keywords.hpp"

#include <cstring>
#include <iterator>

#include "core/text/text_utils.hpp"

namespace velorium {

namespace {
struct KeywordEntry {
  std::string_view keyword;
  LpSection section;
};

constexpr KeywordEntry lpSectionKeywords[] = {
    {"minimize", LpSection::minimize},
    {"min", LpSection::minimize},
    {"minimum", LpSection::minimize},
    {"maximize", LpSection::maximize},
    {"max", LpSection::maximize},
    {"maximum", LpSection::maximize},
    {"subject to", LpSection::constraints},
    {"such that", LpSection::constraints},
    {"st", LpSection::constraints},
    {"s.t.", LpSection::constraints},
    {"bounds", LpSection::bounds},
    {"bound", LpSection::bounds},
    {"general", LpSection::generals},
    {"generals", LpSection::generals},
    {"integers", LpSection::generals},
    {"integer", LpSection::generals},
    {"int", LpSection::generals},
    {"gen", LpSection::generals},
    {"binary", LpSection::binaries},
    {"binaries", LpSection::binaries},
    {"bin", LpSection::binaries},
    {"semi-continuous", LpSection::semi_continuous},
    {"semi", LpSection::semi_continuous},
    {"semis", LpSection::semi_continuous},
    {"sos", LpSection::sos},
    {"general constraints", LpSection::general_constraints},
    {"general constraint", LpSection::general_constraints},
    {"gencons", LpSection::general_constraints},
    {"g.c.", LpSection::general_constraints},
    {"end", LpSection::end},
};
}  // namespace

LpSectionKeywordTable::LpSectionKeywordTable() {
  sections_.reserve(std::size(lpSectionKeywords));
  for (const KeywordEntry& entry : lpSectionKeywords) sections_.emplace(entry.keyword, entry.section);
}

LpSection LpSectionKeywordTable::find(std::string_view lowerCaseText) const {
  auto found = sections_.find(lowerCaseText);
  return found == sections_.end() ? LpSection::none : found->second;
}

namespace {
// The longest keyword, "general constraints".
constexpr std::size_t kLongestKeyword = 19;
}  // namespace

LpSection findLpSectionInTable(std::string_view word) {
  if (word.size() > kLongestKeyword) return LpSection::none;
  char lowered[kLongestKeyword];
  for (std::size_t i = 0; i < word.size(); ++i) lowered[i] = toLowerAscii(word[i]);
  return findLpSection(std::string_view(lowered, word.size()));
}

LpSection findLpSectionOfWords(std::string_view first, char joiner, std::string_view second) {
  const std::size_t size = first.size() + 1 + second.size();
  if (first.empty() || size > kLongestKeyword || !lpMayBeginKeyword(first.front())) return LpSection::none;
  char joined[kLongestKeyword];
  std::memcpy(joined, first.data(), first.size());
  joined[first.size()] = joiner;
  std::memcpy(joined + first.size() + 1, second.data(), second.size());
  return findLpSectionOfWord(std::string_view(joined, size));
}

bool lpEqualsNoCase(std::string_view text, std::string_view word) {
  if (text.size() != word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (toLowerAscii(text[i]) != word[i]) return false;
  }
  return true;
}

LpSection findLpSection(std::string_view lowerCaseText) {
  const LpSectionKeywordTable* table = lpSectionKeywordTable();
  return table ? table->find(lowerCaseText) : LpSection::none;
}

}  // namespace velorium

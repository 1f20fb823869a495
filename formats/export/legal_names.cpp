#include "formats/export/legal_names.hpp"

#include <algorithm>
#include <array>

#include "core/text/text_utils.hpp"
#include "formats/mps/mps_section.hpp"

namespace velorium {

namespace {

constexpr std::array<bool, 256> buildForbiddenTable() {
  std::array<bool, 256> table{};
  for (char c : kForbiddenNameChars) table[static_cast<unsigned char>(c)] = true;
  return table;
}
constexpr std::array<bool, 256> kForbidden = buildForbiddenTable();

constexpr std::size_t kLongestLpKeyword = 15;  // "semi-continuous"

// The letters, in either case, that some LP keyword begins with: most names begin with
// another and are told at once that they are no keyword.
constexpr std::array<bool, 256> buildLpKeywordFirstLetters() {
  std::array<bool, 256> table{};
  for (std::string_view keyword : kLpKeywords) {
    const auto lower = static_cast<unsigned char>(keyword.front());
    table[lower] = true;
    if (lower >= 'a' && lower <= 'z') table[lower - 'a' + 'A'] = true;
  }
  return table;
}
constexpr std::array<bool, 256> kLpKeywordFirstLetters = buildLpKeywordFirstLetters();

bool startsWithNoCase(std::string_view text, std::string_view word) {
  if (text.size() < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (toLowerAscii(text[i]) != word[i]) return false;
  }
  return true;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool isLpKeyword(std::string_view text) {
  if (text.empty() || text.size() > kLongestLpKeyword || !kLpKeywordFirstLetters[static_cast<unsigned char>(text[0])]) return false;
  char lowered[kLongestLpKeyword];
  for (std::size_t i = 0; i < text.size(); ++i) lowered[i] = toLowerAscii(text[i]);
  std::string_view key(lowered, text.size());
  return std::find(std::begin(kLpKeywords), std::end(kLpKeywords), key) != std::end(kLpKeywords);
}

bool isMpsReservedWord(std::string_view text) {
  return findMpsSection(text) != MpsSection::None || text == "'MARKER'";
}

bool startsWithNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::string_view rest = text.substr(i);
  if (rest.empty()) return false;
  if (isDigit(rest[0])) return true;
  if (rest[0] == '.') return rest.size() > 1 && isDigit(rest[1]);
  return startsWithNoCase(rest, "inf") || startsWithNoCase(rest, "nan");
}

bool containsForbiddenNameChar(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return kForbidden[static_cast<unsigned char>(c)]; });
}

bool isLegalName(std::string_view name) {
  return !name.empty() && name.front() != '.' && !startsWithNumber(name) && !isLpKeyword(name) && !isMpsReservedWord(name) &&
         !containsForbiddenNameChar(name);
}

std::string makeLegalName(std::string_view name) {
  std::string result(name);
  for (char& c : result) {
    if (kForbidden[static_cast<unsigned char>(c)]) c = '_';
  }
  if (result.empty()) return "name";
  if (result.front() == '.' || startsWithNumber(result) || isLpKeyword(result) || isMpsReservedWord(result)) {
    result.insert(0, 1, '_');
  }
  return result;
}

std::string makeLegalName(const char* name) {
  return makeLegalName(name ? std::string_view(name) : std::string_view());
}

}  // namespace velorium

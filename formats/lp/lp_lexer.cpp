#include "formats/lp/lp_lexer.hpp"

#include <cmath>

#include "core/text/number_text.hpp"

namespace velorium {

namespace {
// Where a word ends: with blanks in the objective, constraints and bounds, without elsewhere.
constexpr std::string_view kDelimiters = "\t\n\\:+<>^= /-*[]";
constexpr std::string_view kDelimitersKeepingBlanks = "\t\n\\:+<>^=/-*[]";
constexpr std::string_view kWhitespace = "\t\n\v\f\r ";

bool isIn(std::string_view set, char c) { return set.find(c) != std::string_view::npos; }

std::string_view trimWhitespace(std::string_view text) {
  std::size_t first = text.find_first_not_of(kWhitespace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kWhitespace) - first + 1);
}

}  // namespace

std::size_t scanLpNumber(std::string_view text, double& value) {
  // Signs are tokens of their own here.
  if (text.empty() || text[0] == '-' || text[0] == '+') return 0;
  return parseDoublePrefix(text, value);
}

void LpLexer::next(LpRawToken& token) {
  while (!tokenize(token)) {
  }
}

void LpLexer::enterSection(LpSection section) {
  namesHoldBlanks_ = lpSectionAllowsBlanksInNames(section);
  lastKeyword_ = section;
}

bool LpLexer::tokenize(LpRawToken& token) {
  if (pos_ >= line_.size()) {
    if (atEnd_ || !lines_.nextLine(line_)) {
      atEnd_ = true;
      token.kind = LpRawKind::end_of_file;
      token.line = lines_.lineNumber();
      return true;
    }
    requireLpSyntax(line_.find('\0') == std::string_view::npos, lines_.lineNumber(), "NUL byte in the text");
    pos_ = 0;
    firstNonBlank_ = line_.find_first_not_of(kWhitespace);
    plainWordsPending_ = 0;
    return false;
  }
  token.line = lines_.lineNumber();
  const char c = line_[pos_];
  if (isIn(kWhitespace, c)) {
    ++pos_;
    return false;
  }
  switch (c) {
    case ';':
    case '\\':
      pos_ = line_.size();
      return false;
    case '*': token.kind = LpRawKind::star; break;
    case '+': token.kind = LpRawKind::plus; break;
    case '/': token.kind = LpRawKind::slash; break;
    case ':': token.kind = LpRawKind::colon; break;
    case '<': token.kind = LpRawKind::less; break;
    case '=': token.kind = LpRawKind::equal; break;
    case '>': token.kind = LpRawKind::greater; break;
    case '[': token.kind = LpRawKind::open_bracket; break;
    case ']': token.kind = LpRawKind::close_bracket; break;
    case '^': token.kind = LpRawKind::caret; break;
    case '-':
      if (pos_ + 1 < line_.size() && line_[pos_ + 1] == '>') {
        token.kind = LpRawKind::arrow;
        pos_ += 2;
        return true;
      }
      token.kind = LpRawKind::minus;
      break;
    default: {
      std::string_view rest(line_.data() + pos_, line_.size() - pos_);
      std::size_t used = scanLpNumber(rest, token.value);
      // "inf", "infinity", "nan" and overflows are numbers only when a delimiter follows,
      // so that "infeasible" and "nancy" stay names.
      if (used > 0 && (std::isfinite(token.value) || used == rest.size() || isIn(kDelimiters, rest[used]))) {
        token.kind = LpRawKind::number;
        pos_ += used;
        return true;
      }
      readWord(token);
      return true;
    }
  }
  ++pos_;
  return true;
}

std::size_t LpLexer::plainWordEnd(std::size_t from) const {
  std::size_t end = line_.find_first_of(kDelimiters, from);
  return end == std::string_view::npos ? line_.size() : end;
}

// A keyword that opens a line counts before names may run on over blanks: in the bounds
// section "Generals x y" starts the generals, and "Subject To" after the generals switches
// the mode as the single words "subject" and "to" could not.
bool LpLexer::plainKeywordAtLineStart() {
  std::size_t end1 = plainWordEnd(pos_);
  std::string first = lpLowerCopy(trimWhitespace(line_.substr(pos_, end1 - pos_)));
  if (findLpSection(first) != LpSection::none) return true;
  std::size_t start2 = line_.find_first_not_of(" \t", end1);
  if (start2 == end1 || start2 == std::string_view::npos) return false;
  std::size_t end2 = plainWordEnd(start2);
  if (end2 == start2) return false;
  LpSection section = findLpSection(first + " " + lpLowerCopy(line_.substr(start2, end2 - start2)));
  if (section == LpSection::none) return false;
  enterSection(section);
  plainWordsPending_ = 1;
  return true;
}

// In the bounds section a line such as "my var free" holds the name "my var" and "free".
std::size_t LpLexer::boundsWordEnd(std::size_t lineEnd) const {
  constexpr std::string_view separators = "\t\n\v\f\r ,";
  std::string_view rest = line_.substr(pos_, lineEnd - pos_);
  std::size_t lastEnd = rest.find_last_not_of(separators);
  if (lastEnd == std::string_view::npos) return lineEnd;
  std::size_t lastStart = rest.find_last_of(separators, lastEnd);
  lastStart = lastStart == std::string_view::npos ? 0 : lastStart + 1;
  if (lastStart == 0 || lpLowerCopy(rest.substr(lastStart, lastEnd + 1 - lastStart)) != "free") return lineEnd;
  if (rest.substr(0, lastStart).find_first_not_of(separators) == std::string_view::npos) return lineEnd;
  return pos_ + lastStart;
}

void LpLexer::readWord(LpRawToken& token) {
  bool plain = !namesHoldBlanks_ || plainWordsPending_ > 0;
  if (plainWordsPending_ > 0) --plainWordsPending_;
  if (pos_ == firstNonBlank_ && plainKeywordAtLineStart()) plain = true;
  std::string_view delimiters = plain ? kDelimiters : kDelimitersKeepingBlanks;
  std::size_t end = line_.find_first_of(delimiters, pos_);
  // A "/" between two name characters ("B/A", as glpsol writes names taken from MPS files)
  // stays in the name: there it could only have been an error, never a division or "/*".
  while (end != std::string_view::npos && line_[end] == '/' && !isIn(kWhitespace, line_[end - 1]) &&
         end + 1 < line_.size() && !isIn(kDelimiters, line_[end + 1]) && !isIn(kWhitespace, line_[end + 1])) {
    end = line_.find_first_of(delimiters, end + 1);
  }
  if (end == std::string_view::npos) {
    end = line_.size();
    if (!plain && lastKeyword_ == LpSection::bounds) end = boundsWordEnd(end);
  }
  token.kind = LpRawKind::word;
  token.text.assign(trimWhitespace(line_.substr(pos_, end - pos_)));
  pos_ = end;
  if (lpMayBeginKeyword(token.text.front())) {
    LpSection section = findLpSection(lpLowerCopy(token.text));
    if (section != LpSection::none) enterSection(section);
  }
}

}  // namespace velorium

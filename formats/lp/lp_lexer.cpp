#include "formats/lp/lp_lexer.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>
#include <utility>

#include "core/text/number_text.hpp"
#include "core/text/text_utils.hpp"
#include "formats/common/word_bytes.hpp"

namespace velorium {

namespace {

// Byte classes, one bit each, so that every scan is one table look-up per byte.
enum : std::uint8_t {
  kWhite = 1,             // "\t\n\v\f\r "
  kEndsWord = 2,          // "\t\n\\:+<>^= /-*[]": where a word ends where names hold no blanks
  kEndsWordInBlanks = 4,  // the same without the blank
  kEndsNumber = 8,        // white space and the operators: what may follow a number
  kDigit = 16,
  kMayStartOther = 32,  // a word beginning so may be more than a name
};

struct ByteClasses {
  std::uint8_t table[256] = {};
  constexpr ByteClasses() {
    for (unsigned char c : std::string_view("\t\n\v\f\r ")) table[c] |= kWhite | kEndsNumber;
    for (unsigned char c : std::string_view("\t\n\\:+<>^= /-*[]")) table[c] |= kEndsWord;
    for (unsigned char c : std::string_view("\t\n\\:+<>^=/-*[]")) table[c] |= kEndsWordInBlanks;
    for (unsigned char c : std::string_view("\\:+<>^=/-*[];")) table[c] |= kEndsNumber;
    for (unsigned char c = '0'; c <= '9'; ++c) table[c] |= kDigit;
    for (unsigned char c : std::string_view("beEgGiImMsSfFnN(),")) table[c] |= kMayStartOther;
    table[static_cast<unsigned char>('B')] |= kMayStartOther;
  }
  bool is(char c, std::uint8_t classes) const { return (table[static_cast<unsigned char>(c)] & classes) != 0; }
};
constexpr ByteClasses kBytes;

bool isDigit(char c) { return static_cast<unsigned char>(c) - 48u < 10u; }

// The first position from `from` that is no white space, or whose byte is of one of `classes`.
[[gnu::always_inline]] inline std::size_t skipWhite(std::string_view text, std::size_t from) {
  while (from < text.size() && kBytes.is(text[from], kWhite)) ++from;
  return from;
}
[[gnu::always_inline]] inline std::size_t findClass(std::string_view text, std::size_t from, std::uint8_t classes) {
  while (from < text.size() && !kBytes.is(text[from], classes)) ++from;
  return from;
}
// `text` without white space at its end.
[[gnu::always_inline]] inline std::string_view trimEnd(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && kBytes.is(text[end - 1], kWhite)) --end;
  return text.substr(0, end);
}
std::string_view trimWhitespace(std::string_view text) {
  const std::size_t first = skipWhite(text, 0);
  return trimEnd(text.substr(first));
}

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr std::uint64_t kIntegerPowersOfTen[] = {1,      10,      100,      1000,      10000,
                                                 100000, 1000000, 10000000, 100000000};
constexpr std::size_t kMostExactDigits = 19;  // a mantissa of 19 digits fits 64 bits

// How many of the 8 bytes of `word` (the first in the lowest byte) are decimal digits before
// the first other byte. Carries and borrows only reach bytes behind that first one.
[[gnu::always_inline]] inline unsigned leadingDigits(std::uint64_t word) {
  const std::uint64_t other = ((word + 0x4646464646464646ull) | (word - 0x3030303030303030ull)) & 0x8080808080808080ull;
  return other == 0 ? 8 : static_cast<unsigned>(__builtin_ctzll(other)) / 8;
}

// Reads the run of digits at `p`, adding them to `mantissa` while it has room for them, and
// counting them in `digits`; returns the end of the run. kReadable: 8 bytes may be read from
// any position before `end`.
template <bool kReadable>
[[gnu::always_inline]] inline const char* readDigits(const char* p, const char* end, std::uint64_t& mantissa, std::size_t& digits) {
  if constexpr (kReadable) {
    while (p < end) {
      std::uint64_t word;
      std::memcpy(&word, p, sizeof word);
      unsigned count = leadingDigits(word);
      if (count > static_cast<std::size_t>(end - p)) count = static_cast<unsigned>(end - p);
      if (count == 0) break;
      if (digits + count <= kMostExactDigits) mantissa = mantissa * kIntegerPowersOfTen[count] + valueOfDigits(word, count);
      digits += count;
      p += count;
      if (count < 8) break;
    }
  } else {
    for (unsigned digit; p < end && (digit = static_cast<unsigned char>(*p) - 48u) < 10u; ++p) {
      if (digits < kMostExactDigits) mantissa = mantissa * 10 + digit;
      ++digits;
    }
  }
  return p;
}

// A mantissa of up to 19 digits times 10^scale (|scale| <= 22) as a double, exactly rounded,
// for the full-precision numbers (17 digits) that most writers give. In the 64 bits of an
// x87 long double the mantissa and the power are exact, so one operation rounds the value
// once to 64 bits; rounding that to the double's 53 bits is the exact rounding unless it lies
// on a midpoint between two doubles (its 11 lowest bits 10000000000), where the value's side
// of the midpoint is lost. False then, and where long double is no x87 one.
[[gnu::always_inline]] inline bool readByExtendedPrecision(std::uint64_t mantissa, long long scale, double& value) {
  if constexpr (std::numeric_limits<long double>::digits == 64 && sizeof(long double) >= 10) {
    static constexpr long double kPowers[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,
                                              1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L, 1e14L, 1e15L,
                                              1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L, 1e22L};
    const auto whole = static_cast<long double>(mantissa);
    const long double result = scale < 0 ? whole / kPowers[-scale] : whole * kPowers[scale];
    std::uint64_t bits;
    std::memcpy(&bits, &result, sizeof bits);  // the 64-bit significand comes first
    if ((bits & 0x7FF) == 0x400) return false;
    value = static_cast<double>(result);
    return true;
  } else {
    return false;
  }
}

template <bool kReadable>
[[gnu::always_inline]] inline std::size_t scanDecimal(const char* begin, const char* end, double& value) {
  const char* p = begin;
  std::uint64_t mantissa = 0;
  std::size_t digits = 0;
  p = readDigits<kReadable>(p, end, mantissa, digits);
  // The common whole number: nothing more to read.
  if (digits > 0 && digits <= 15 && (p == end || !(*p == '.' || *p == 'e' || *p == 'E'))) {
    value = static_cast<double>(mantissa);
    return static_cast<std::size_t>(p - begin);
  }
  std::size_t fractionDigits = 0;
  if (p < end && *p == '.') {
    const std::size_t integerDigits = digits;
    const char* fraction = p + 1;
    p = readDigits<kReadable>(fraction, end, mantissa, digits);
    fractionDigits = digits - integerDigits;
    if (digits == 0) return 0;  // a lone "."
  }
  if (digits == 0) return 0;
  long long exponent = 0;
  if (p < end && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    const bool negative = q < end && *q == '-';
    if (q < end && (*q == '-' || *q == '+')) ++q;
    if (q < end && isDigit(*q)) {
      for (; q < end && isDigit(*q); ++q) {
        if (exponent < 100000) exponent = exponent * 10 + (*q - '0');
      }
      if (negative) exponent = -exponent;
      p = q;
    }
  }
  // Up to 19 digits, a mantissa up to 2^53 and a power of ten up to 22: one exact operation,
  // rounded once as the full conversion rounds.
  const long long scale = exponent - static_cast<long long>(fractionDigits);
  const auto used = static_cast<std::size_t>(p - begin);
  if (digits <= kMostExactDigits && mantissa <= (std::uint64_t{1} << 53) && scale >= -22 && scale <= 22) {
    const auto result = static_cast<double>(mantissa);
    value = scale < 0 ? result / kPowersOfTen[-scale] : result * kPowersOfTen[scale];
    return used;
  }
  if (digits <= kMostExactDigits && scale >= -22 && scale <= 22 && readByExtendedPrecision(mantissa, scale, value)) return used;
  // Longer mantissas and larger powers: the full conversion, which rounds exactly; magnitudes
  // beyond the double range become infinity or zero.
  const auto [end_of_number, error] = std::from_chars(begin, p, value, std::chars_format::general);
  if (error != std::errc() || end_of_number != p) parseDoublePrefix(std::string_view(begin, used), value);
  return used;
}

}  // namespace

std::size_t scanLpDecimal(std::string_view text, double& value) {
  return scanDecimal<false>(text.data(), text.data() + text.size(), value);
}

LpLexer::LpLexer(LpLineReader& lines) : lines_(lines) {}

void LpLexer::enterSection(LpSection section) {
  namesHoldBlanks_ = lpSectionAllowsBlanksInNames(section);
  lastKeyword_ = section;
}

void LpLexer::refill() {
  while (count_ - head_ < 3) {
    // The unread tokens move to the front; a batch never spans lines, so at most the last
    // two are left when the line runs out.
    const std::size_t unread = count_ - head_;
    for (std::size_t k = 0; k < unread && head_ > 0; ++k) {
      raw_[k] = raw_[head_ + k];
      // A kept word goes with its token; words are kept only in the first places.
      if (head_ + k < kept_.size()) std::swap(kept_[k], kept_[head_ + k]);
    }
    head_ = 0;
    count_ = unread;
    pos_ = skipWhite(line_, pos_);
    if (pos_ < line_.size()) {
      lexBatch();
      continue;
    }
    keepUnreadWords();
    if (atEnd_ || !nextLine()) {
      atEnd_ = true;
      line_ = {};
      pos_ = 0;
      while (count_ < 3) {
        LpRawToken& token = raw_[count_++];
        token.kind = LpRawKind::end_of_file;
        token.line = lines_.lineNumber();
        token.text = {};
      }
    }
  }
}

// The words of unread tokens point into the current line; before it is replaced they are copied.
void LpLexer::keepUnreadWords() {
  const auto lineBegin = reinterpret_cast<std::uintptr_t>(line_.data());
  for (std::size_t k = head_; k < count_; ++k) {
    LpRawToken& token = raw_[k];
    if (token.text.empty() || reinterpret_cast<std::uintptr_t>(token.text.data()) - lineBegin >= line_.size()) continue;
    // Room behind the copy as behind a line, so that a word may be read in whole pieces.
    KeptWord& kept = kept_[k];
    if (kept.capacity < token.text.size() + LpLineReader::kReadableAfterLine) {
      kept.capacity = std::max<std::size_t>(token.text.size() + LpLineReader::kReadableAfterLine, 64);
      kept.bytes = std::make_unique<char[]>(kept.capacity);
    }
    std::memcpy(kept.bytes.get(), token.text.data(), token.text.size());
    token.text = std::string_view(kept.bytes.get(), token.text.size());
  }
}

bool LpLexer::nextLine() {
  if (!lines_.nextLine(line_)) return false;
  pos_ = 0;
  firstNonBlank_ = skipWhite(line_, 0);
  plainWordsPending_ = 0;
  return true;
}

void LpLexer::lexBatch() {
  const LpLineNumber line = lines_.lineNumber();
  const std::size_t size = line_.size();
  for (std::size_t budget = kBatch; budget > 0; --budget) {
    pos_ = skipWhite(line_, pos_);
    if (pos_ >= size) return;
    LpRawToken& token = raw_[count_++];
    const char c = line_[pos_];
    token.line = line;
    token.text = {};
    const bool afterGeneral = std::exchange(afterWordGeneral_, false);
    switch (c) {
      case '*': token.kind = LpRawKind::star; break;
      case '+':
        if (readSignedNumber(token, false)) continue;
        token.kind = LpRawKind::plus;
        break;
      case '/': token.kind = LpRawKind::slash; break;
      case ':': token.kind = LpRawKind::colon; break;
      case '<': token.kind = LpRawKind::less; break;
      case '=': token.kind = LpRawKind::equal; break;
      case '>': token.kind = LpRawKind::greater; break;
      case '[': token.kind = LpRawKind::open_bracket; break;
      case ']': token.kind = LpRawKind::close_bracket; break;
      case '^': token.kind = LpRawKind::caret; break;
      case '-':
        if (pos_ + 1 < size && line_[pos_ + 1] == '>') {
          token.kind = LpRawKind::arrow;
          ++pos_;
        } else if (readSignedNumber(token, true)) {
          continue;
        } else {
          token.kind = LpRawKind::minus;
        }
        break;
      default:
        if (kBytes.is(c, kDigit)) {
          // The common whole number, ended by white space or an operator.
          std::uint64_t value = 0;
          std::size_t digits = 0;
          const char* const first = line_.data() + pos_;
          const char* const last = readDigits<true>(first, line_.data() + size, value, digits);
          const auto end = static_cast<std::size_t>(last - line_.data());
          if (digits <= 15 && (end == size || kBytes.is(line_[end], kEndsNumber))) {
            token.kind = LpRawKind::number;
            token.value = static_cast<double>(value);
            pos_ = end;
            continue;
          }
        }
        readNumberOrWord(token);
        if (token.kind == LpRawKind::word) {
          token.plainName = !kBytes.is(token.text.front(), kMayStartOther);
          if (afterGeneral || lpMayBeginKeyword(token.text.front())) noteWord(token.text, afterGeneral);
        }
        continue;
    }
    ++pos_;
  }
}

// "+ 3" or "-2.5" on one line as one token. False, having read nothing, when no well-formed
// decimal number follows the sign on its line.
bool LpLexer::readSignedNumber(LpRawToken& token, bool minus) {
  const std::size_t start = skipWhite(line_, pos_ + 1);
  if (start >= line_.size() || !(kBytes.is(line_[start], kDigit) || line_[start] == '.')) return false;
  const std::string_view rest = line_.substr(start);
  double value = 0;
  const std::size_t used = scanDecimal<true>(rest.data(), rest.data() + rest.size(), value);
  if (used == 0 || !numberEndsAt(rest, used, value)) return false;
  token.kind = LpRawKind::signed_number;
  token.value = minus ? -value : value;
  pos_ = start + used;
  return true;
}

bool LpLexer::numberEndsAt(std::string_view text, std::size_t used, double value) const {
  if (used == text.size()) return true;
  const char c = text[used];
  if (kBytes.is(c, kEndsNumber)) return true;
  // The items of a general constraint's node may be written "( CONSTANT , 2.5, 0)".
  if (lastKeyword_ == LpSection::general_constraints && (c == ',' || c == '(' || c == ')')) return true;
  // A letter begins a name: "3x" is 3 times x, as glpsol reads it. Not so an "e" (an exponent
  // without digits), the "x" of a hexadecimal number, or a letter behind an overflow, which
  // would each turn a mistyped number into a term without a word.
  const char lower = toLowerAscii(c);
  if (lower < 'a' || lower > 'z' || lower == 'e' || !std::isfinite(value)) return false;
  if (lower == 'x' && text.substr(0, used) == "0" && used + 1 < text.size()) {
    const char next = toLowerAscii(text[used + 1]);
    if (isDigit(next) || (next >= 'a' && next <= 'f') || next == '.') return false;
  }
  return true;
}

void LpLexer::readNumberOrWord(LpRawToken& token) {
  const std::string_view rest = line_.substr(pos_);
  const char c = rest.front();
  if (kBytes.is(c, kDigit) || c == '.') {
    const std::size_t used = scanDecimal<true>(rest.data(), rest.data() + rest.size(), token.value);
    if (used > 0) {
      if (numberEndsAt(rest, used, token.value)) {
        token.kind = LpRawKind::number;
        pos_ += used;
        return;
      }
      // Keep the whole run for the message: "1,5", "1.2.3", "0x1F".
      const std::size_t end = findClass(rest, used, kEndsWord);
      token.kind = LpRawKind::malformed_number;
      token.text = rest.substr(0, end);
      pos_ += end;
      return;
    }
  } else if (const char lower = toLowerAscii(c); lower == 'i' || lower == 'n') {
    // "inf", "infinity" and "nan" are numbers only when a delimiter follows: "infeasible" and
    // "nancy" are names.
    std::size_t used = 0;
    if (rest.size() >= 8 && lpEqualsNoCase(rest.substr(0, 8), "infinity")) {
      used = 8;
    } else if (rest.size() >= 3 && (lpEqualsNoCase(rest.substr(0, 3), "inf") || lpEqualsNoCase(rest.substr(0, 3), "nan"))) {
      used = 3;
    }
    if (used > 0 && (used == rest.size() || kBytes.is(rest[used], kEndsWord))) {
      token.kind = LpRawKind::number;
      token.value = lower == 'i' ? std::numeric_limits<double>::infinity() : std::numeric_limits<double>::quiet_NaN();
      pos_ += used;
      return;
    }
  }
  readWord(token);
}

std::size_t LpLexer::plainWordEnd(std::size_t from) const { return findClass(line_, from, kEndsWord); }

// A keyword that opens a line counts before names may run on over blanks: in the bounds
// section "Generals x y" starts the generals, and "Subject To" after the generals switches
// the mode as the single words "subject" and "to" could not.
bool LpLexer::plainKeywordAtLineStart() {
  if (!lpMayBeginKeyword(line_[pos_])) return false;
  const std::size_t end1 = plainWordEnd(pos_);
  const std::string_view first = trimWhitespace(line_.substr(pos_, end1 - pos_));
  if (findLpSectionOfWord(first) != LpSection::none) return true;
  const std::size_t start2 = line_.find_first_not_of(" \t", end1);
  if (start2 == end1 || start2 == std::string_view::npos) return false;
  const std::size_t end2 = plainWordEnd(start2);
  if (end2 == start2) return false;
  const LpSection section = findLpSectionOfWords(first, ' ', line_.substr(start2, end2 - start2));
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
  if (lastStart == 0 || !lpEqualsNoCase(rest.substr(lastStart, lastEnd + 1 - lastStart), "free")) return lineEnd;
  if (rest.substr(0, lastStart).find_first_not_of(separators) == std::string_view::npos) return lineEnd;
  return pos_ + lastStart;
}

void LpLexer::readWord(LpRawToken& token) {
  bool plain = !namesHoldBlanks_ || plainWordsPending_ > 0;
  if (plainWordsPending_ > 0) --plainWordsPending_;
  if (pos_ == firstNonBlank_ && plainKeywordAtLineStart()) plain = true;
  const std::uint8_t ends = plain ? kEndsWord : kEndsWordInBlanks;
  const std::size_t size = line_.size();
  std::size_t end = findClass(line_, pos_, ends);
  // A "/" between two name characters ("B/A", as glpsol writes names taken from MPS files)
  // stays in the name: there it could only have been an error, never a division or "/*".
  while (end < size && line_[end] == '/' && !kBytes.is(line_[end - 1], kWhite) && end + 1 < size &&
         !kBytes.is(line_[end + 1], kEndsWord | kWhite)) {
    end = findClass(line_, end + 1, ends);
  }
  if (end == size && !plain && lastKeyword_ == LpSection::bounds) end = boundsWordEnd(end);
  token.kind = LpRawKind::word;
  // A word begins at a byte that is no white space; only its end may need trimming.
  token.text = trimEnd(line_.substr(pos_, end - pos_));
  pos_ = end;
}

void LpLexer::noteWord(std::string_view word, bool afterGeneral) {
  // "General Constraints" is read as two words; the second decides the mode.
  if (afterGeneral && (lpEqualsNoCase(word, "constraints") || lpEqualsNoCase(word, "constraint"))) {
    return enterSection(LpSection::general_constraints);
  }
  if (const LpSection section = findLpSectionOfWord(word); section != LpSection::none) {
    enterSection(section);
    afterWordGeneral_ = lpEqualsNoCase(word, "general");
  }
}

}  // namespace velorium

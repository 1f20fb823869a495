#include "formats/lp/lp_tokens.hpp"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "core/names/names_holder.hpp"

namespace velorium {

LpTokenStream::LpTokenStream(LpLexer& lexer, const LpColumnIndex& columns) : lexer_(lexer), columns_(columns) {}

void LpTokenStream::fill(std::size_t i) {
  if (failure_) std::rethrow_exception(failure_);
  try {
    while (count_ <= i + kDistance && !ended_) step();
  } catch (...) {
    failure_ = std::current_exception();
    throw;
  }
}

void LpTokenStream::consumeSlowly(std::size_t count) {
  peek(count);  // what is passed must have been read
  if (ended_ && count >= count_) count = count_ - 1;
  if (count == 0) return;
  lastLine_ = ring_[(head_ + count - 1) & kRingMask].token.line;
  head_ = (head_ + count) & kRingMask;
  count_ -= count;
}

LpToken& LpTokenStream::emit(LpTokenKind kind, int rawUsed) {
  LpToken& token = ring_[(head_ + count_) & kRingMask].token;
  ++count_;
  token.kind = kind;
  // A token carries the line of the last raw token it was made from.
  token.line = lexer_.window()[rawUsed - 1].line;
  afterEqual_ = false;
  if (kind == LpTokenKind::end_of_text) ended_ = true;
  return token;
}

void LpTokenStream::emitNumber(double value, int rawUsed) {
  requireLpSyntax(!std::isnan(value), lexer_.window()[rawUsed - 1].line, "NaN is not a number a model can hold");
  emit(LpTokenKind::number, rawUsed).number = value;
}

void LpTokenStream::emitSection(LpSection section, int rawUsed) {
  emit(LpTokenKind::section_keyword, rawUsed).section = section;
  section_ = section;
}

void LpTokenStream::emitName(LpTokenKind kind, int rawUsed, std::string_view text) {
  Slot& slot = ring_[(head_ + count_) & kRingMask];
  // The copy outlives the line it was read from; 16 bytes of room behind it let it be read a
  // word at a time. A short name is copied in two words: it has readable bytes behind it.
  if (slot.capacity < text.size() + 16) {
    slot.capacity = text.size() + 16 > 64 ? text.size() + 16 : 64;
    slot.text = std::make_unique<char[]>(slot.capacity);
  }
  if (text.size() <= 16) {
    std::memcpy(slot.text.get(), text.data(), 16);
  } else {
    std::memcpy(slot.text.get(), text.data(), text.size());
  }
  LpToken& token = emit(kind, rawUsed);
  token.text = std::string_view(slot.text.get(), text.size());
  if (kind == LpTokenKind::name) {
    token.key = LpColumnIndex::keyOfReadable(slot.text.get(), text.size());
    columns_.prefetch(token.key);
  } else {
    const VeloriumNamesHolder::HashedName hashed = VeloriumNamesHolder::hash_name(token.text);
    token.key.hash = hashed.spread_hash;
    if (const VeloriumNamesHolder* pool = get_names_holder()) pool->prefetch_name(hashed);
  }
}

void LpTokenStream::skipBlockComment() {
  lexer_.advance(2);
  for (const LpRawToken* r = lexer_.window(); r[0].kind != LpRawKind::end_of_file; r = lexer_.window()) {
    if (r[0].kind == LpRawKind::star && r[1].kind == LpRawKind::slash) {
      lexer_.advance(2);
      return;
    }
    lexer_.advance(1);
  }
}

void LpTokenStream::step() {
  const LpRawToken* window = lexer_.window();
  const LpRawToken& r0 = window[0];
  const LpRawToken& r1 = window[1];
  switch (r0.kind) {
    case LpRawKind::end_of_file:
      emit(LpTokenKind::end_of_text, 1);
      return;
    case LpRawKind::word:
      wordStep();
      return;
    case LpRawKind::slash:
      if (r1.kind == LpRawKind::star) return skipBlockComment();
      emit(LpTokenKind::slash, 1);
      break;
    case LpRawKind::plus:
    case LpRawKind::minus: {
      const bool minus = r0.kind == LpRawKind::minus;
      if (r1.kind == LpRawKind::number) {
        emitNumber(minus ? -r1.value : r1.value, 2);
        lexer_.advance(2);
        return;
      }
      if (r1.kind == LpRawKind::open_bracket) {
        requireLpSyntax(!minus, r1.line, "\"-\" before \"[\"");
        emit(LpTokenKind::open_bracket, 2);
        lexer_.advance(2);
        return;
      }
      emitNumber(minus ? -1.0 : 1.0, 1);
      break;
    }
    case LpRawKind::number:
      requireLpSyntax(r1.kind != LpRawKind::open_bracket, r1.line, "a number before \"[\"");
      emitNumber(r0.value, 1);
      break;
    case LpRawKind::signed_number:
      emitNumber(r0.value, 1);  // a sign and a number: no "[" may follow a lone number only
      break;
    case LpRawKind::malformed_number:
      throw LpSyntaxError(r0.line, "\"" + std::string(r0.text) +
                                       "\" is no number: a number ends at a blank, an operator or the letter that "
                                       "begins a name (\"3x\"); an exponent needs digits, and hexadecimal numbers "
                                       "are not read");
    case LpRawKind::arrow: emit(LpTokenKind::arrow, 1); break;
    case LpRawKind::open_bracket: emit(LpTokenKind::open_bracket, 1); break;
    case LpRawKind::close_bracket: emit(LpTokenKind::close_bracket, 1); break;
    case LpRawKind::star: emit(LpTokenKind::star, 1); break;
    case LpRawKind::caret: emit(LpTokenKind::caret, 1); break;
    case LpRawKind::less:
    case LpRawKind::greater: {
      const bool less = r0.kind == LpRawKind::less;
      if (r1.kind == LpRawKind::equal) {
        emit(LpTokenKind::comparison, 2).comparison = less ? LpComparison::less_equal : LpComparison::greater_equal;
        lexer_.advance(2);
        return;
      }
      emit(LpTokenKind::comparison, 1).comparison = less ? LpComparison::less : LpComparison::greater;
      break;
    }
    case LpRawKind::equal:
      emit(LpTokenKind::comparison, 1).comparison = LpComparison::equal;
      afterEqual_ = true;
      break;
    default:
      throw LpSyntaxError(r0.line, "\":\" without a name before it");
  }
  lexer_.advance(1);
}

void LpTokenStream::wordStep() {
  const LpRawToken* window = lexer_.window();
  const LpRawToken& r0 = window[0];
  const LpRawToken& r1 = window[1];
  const LpRawToken& r2 = window[2];
  const std::string_view word = r0.text;
  if (r0.plainName && r1.kind != LpRawKind::colon) {
    emitName(LpTokenKind::name, 1, word);
    return lexer_.advance(1);
  }
  // Only short words begin a keyword of two parts ("semi-continuous", "subject to", ...).
  if (word.size() <= 7 && lpMayBeginKeyword(word.front())) {
    if (r1.kind == LpRawKind::minus && r2.kind == LpRawKind::word) {
      if (const LpSection section = findLpSectionOfWords(word, '-', r2.text); section != LpSection::none) {
        emitSection(section, 3);
        return lexer_.advance(3);
      }
    }
    if (r1.kind == LpRawKind::word) {
      if (const LpSection section = findLpSectionOfWords(word, ' ', r1.text); section != LpSection::none) {
        emitSection(section, 2);
        return lexer_.advance(2);
      }
    }
  }
  if (const LpSection section = findLpSectionOfWord(word); section != LpSection::none) {
    emitSection(section, 1);
    return lexer_.advance(1);
  }
  if (r1.kind != LpRawKind::colon) {
    if (lpEqualsNoCase(word, "free")) {
      emit(LpTokenKind::free, 1);
    } else if (lpEqualsNoCase(word, "infinity") || lpEqualsNoCase(word, "inf")) {
      emitNumber(std::numeric_limits<double>::infinity(), 1);
    } else if (section_ == LpSection::general_constraints && (word == "(" || word == ")" || word == ",")) {
      if (word != ",") emit(word == "(" ? LpTokenKind::open_bracket : LpTokenKind::close_bracket, 1);
    } else {
      emitName(LpTokenKind::name, 1, word);
    }
    return lexer_.advance(1);
  }
  if (r2.kind != LpRawKind::colon) {
    if (afterEqual_ && word == "NL") {
      emit(LpTokenKind::nl_marker, 2);
    } else {
      emitName(LpTokenKind::label, 2, word);
    }
    return lexer_.advance(2);
  }
  requireLpSyntax(word.size() == 2 && (word[0] == 'S' || word[0] == 's') && (word[1] == '1' || word[1] == '2'), r0.line,
                  "an SOS type must be S1 or S2");
  emit(LpTokenKind::sos_type, 3).sosType = static_cast<std::uint8_t>(word[1] - '0');
  lexer_.advance(3);
}

}  // namespace velorium

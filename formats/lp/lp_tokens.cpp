#include "formats/lp/lp_tokens.hpp"

#include <array>
#include <limits>
#include <string>

namespace velorium {

namespace {

// Looks at a window of three raw tokens and emits at most one token per step.
//
// A large file has far more names than fit in the processor's caches, so each look-up in the
// name table is a wait on memory. A name token is therefore emitted first and its name
// interned some tokens later, its slot in the table asked for at once; names are interned in
// the order of the file, so the local ids still follow first appearance.
class LpTokenBuilder {
 public:
  LpTokenBuilder(LpLexer& lexer, LpNameTable& names, std::vector<LpToken>& tokens)
      : lexer_(lexer), names_(names), tokens_(tokens) {
    for (LpRawToken& slot : window_) lexer_.next(slot);
  }

  void run() {
    while (raw(0).kind != LpRawKind::end_of_file) step();
    while (pending_count_ > 0) internOldest();
  }

 private:
  const LpRawToken& raw(int i) const { return window_[(first_ + i) % 3]; }

  void advance(int count) {
    for (int i = 0; i < count; ++i) {
      lexer_.next(window_[first_]);
      first_ = (first_ + 1) % 3;
    }
  }

  LpToken& emit(LpTokenKind kind, int rawUsed) {
    LpToken token{};
    token.kind = kind;
    token.line = raw(rawUsed - 1).line;
    tokens_.push_back(token);
    return tokens_.back();
  }
  void emitNumber(double value, int rawUsed) { emit(LpTokenKind::number, rawUsed).number = value; }
  void emitSection(LpSection section, int rawUsed) {
    emit(LpTokenKind::section_keyword, rawUsed).section = section;
    section_ = section;
  }

  // Emits a name or label token whose name is interned later.
  void emitName(LpTokenKind kind, int rawUsed, const std::string& text) {
    if (pending_count_ == kPendingNames) internOldest();
    PendingName& pending = pending_[(pending_first_ + pending_count_) % kPendingNames];
    pending.token = tokens_.size();
    pending.text.assign(text);
    pending.key = NameIndex::keyOf(pending.text);
    names_.prefetch(pending.key);
    ++pending_count_;
    emit(kind, rawUsed);
  }
  void internOldest() {
    PendingName& pending = pending_[pending_first_];
    tokens_[pending.token].name = names_.intern(pending.text, pending.key);
    pending_first_ = (pending_first_ + 1) % kPendingNames;
    --pending_count_;
  }

  void step();
  void wordStep();
  void skipBlockComment();

  struct PendingName {
    std::size_t token = 0;
    std::string text;
    NameIndex::Key key{};
  };
  static constexpr std::size_t kPendingNames = 32;

  LpLexer& lexer_;
  LpNameTable& names_;
  std::vector<LpToken>& tokens_;
  LpRawToken window_[3];
  int first_ = 0;
  LpSection section_ = LpSection::none;
  std::array<PendingName, kPendingNames> pending_;
  std::size_t pending_first_ = 0;
  std::size_t pending_count_ = 0;
};

void LpTokenBuilder::skipBlockComment() {
  advance(2);
  while (raw(0).kind != LpRawKind::end_of_file) {
    if (raw(0).kind == LpRawKind::star && raw(1).kind == LpRawKind::slash) {
      advance(2);
      return;
    }
    advance(1);
  }
}

void LpTokenBuilder::step() {
  const LpRawToken& r0 = raw(0);
  const LpRawToken& r1 = raw(1);
  switch (r0.kind) {
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
        advance(2);
        return;
      }
      if (r1.kind == LpRawKind::open_bracket) {
        requireLpSyntax(!minus, r1.line, "\"-\" before \"[\"");
        emit(LpTokenKind::open_bracket, 2);
        advance(2);
        return;
      }
      emitNumber(minus ? -1.0 : 1.0, 1);
      break;
    }
    case LpRawKind::number:
      requireLpSyntax(r1.kind != LpRawKind::open_bracket, r1.line, "a number before \"[\"");
      emitNumber(r0.value, 1);
      break;
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
        advance(2);
        return;
      }
      emit(LpTokenKind::comparison, 1).comparison = less ? LpComparison::less : LpComparison::greater;
      break;
    }
    case LpRawKind::equal: emit(LpTokenKind::comparison, 1).comparison = LpComparison::equal; break;
    default:
      requireLpSyntax(false, r0.line, "\":\" without a name before it");
  }
  advance(1);
}

void LpTokenBuilder::wordStep() {
  const LpRawToken& r0 = raw(0);
  const LpRawToken& r1 = raw(1);
  const LpRawToken& r2 = raw(2);
  const std::string word = lpLowerCopy(r0.text);
  // Only short words begin a keyword of two parts ("semi-continuous", "subject to", ...).
  const bool mayBeKeyword = lpMayBeginKeyword(word.front());
  if (mayBeKeyword && word.size() <= 7) {
    if (r1.kind == LpRawKind::minus && r2.kind == LpRawKind::word) {
      LpSection section = findLpSection(word + "-" + lpLowerCopy(r2.text));
      if (section != LpSection::none) {
        emitSection(section, 3);
        return advance(3);
      }
    }
    if (r1.kind == LpRawKind::word) {
      LpSection section = findLpSection(word + " " + lpLowerCopy(r1.text));
      if (section != LpSection::none) {
        emitSection(section, 2);
        return advance(2);
      }
    }
  }
  if (LpSection section = mayBeKeyword ? findLpSection(word) : LpSection::none; section != LpSection::none) {
    emitSection(section, 1);
    return advance(1);
  }
  if (r1.kind != LpRawKind::colon) {
    if (word == "free") {
      emit(LpTokenKind::free, 1);
    } else if (word == "infinity" || word == "inf") {
      emitNumber(std::numeric_limits<double>::infinity(), 1);
    } else if (section_ == LpSection::general_constraints && (word == "(" || word == ")" || word == ",")) {
      if (word != ",") emit(word == "(" ? LpTokenKind::open_bracket : LpTokenKind::close_bracket, 1);
    } else {
      emitName(LpTokenKind::name, 1, r0.text);
    }
    return advance(1);
  }
  if (r2.kind != LpRawKind::colon) {
    const bool afterEqual = !tokens_.empty() && tokens_.back().kind == LpTokenKind::comparison &&
                            tokens_.back().comparison == LpComparison::equal;
    if (afterEqual && r0.text == "NL") {
      emit(LpTokenKind::nl_marker, 2);
    } else {
      emitName(LpTokenKind::label, 2, r0.text);
    }
    return advance(2);
  }
  const std::string& type = r0.text;
  requireLpSyntax(type.size() == 2 && (type[0] == 'S' || type[0] == 's') && (type[1] == '1' || type[1] == '2'),
                  r0.line, "an SOS type must be S1 or S2");
  emit(LpTokenKind::sos_type, 3).sosType = static_cast<std::uint8_t>(type[1] - '0');
  advance(3);
}

}  // namespace

void buildLpTokens(LpLexer& lexer, LpNameTable& names, std::vector<LpToken>& tokens) {
  LpTokenBuilder(lexer, names, tokens).run();
}

std::map<LpSection, LpTokenRange> splitLpSections(const std::vector<LpToken>& tokens) {
  std::map<LpSection, LpTokenRange> sections;
  std::size_t i = 0;
  while (i < tokens.size() && tokens[i].kind != LpTokenKind::section_keyword) ++i;
  while (i < tokens.size()) {
    const LpToken& keyword = tokens[i];
    requireLpSyntax(sections.count(keyword.section) == 0, keyword.line, "a section comes twice");
    std::size_t end = i + 1;
    while (end < tokens.size() && tokens[end].kind != LpTokenKind::section_keyword) ++end;
    if (end > i + 1) sections[keyword.section] = LpTokenRange{i + 1, end};
    i = end;
  }
  return sections;
}

}  // namespace velorium

// Reads the sections of an LP text, as its tokens stream in, into a model record.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/records/model.hpp"
#include "formats/common/huge_pages.hpp"
#include "formats/lp/lp_column_index.hpp"
#include "formats/lp/lp_syntax_error.hpp"
#include "formats/lp/lp_tokens.hpp"

namespace velorium {

class VeloriumNamesHolder;

// The sections are read in the order of the file, in one pass, with the result of reading
// them in a fixed order: objective, constraints, general constraints, bounds, generals,
// binaries, semi-continuous, SOS. So columns are numbered in the order in which that fixed
// order first names them (when the file's order differs they are renumbered at the end),
// column types are settled once every section is read, and a Maximize section is not read
// when the file has a Minimize section too.
class LpSectionReader {
 public:
  // Names are interned in `pool` as the model records need them. With `skipMaximize`, a
  // Maximize section is passed over unread.
  LpSectionReader(LpTokenStream& tokens, LpColumnIndex& columns, VeloriumNamesHolder& pool, Model& model,
                  bool skipMaximize);

  // Reads the whole text. False when a Minimize section follows a Maximize section that was
  // read: the text must then be read again, skipping the Maximize section. Throws
  // LpSyntaxError.
  bool readAll();

 private:
  // Ranks of the sections in the fixed order; the first mention of a column in the lowest
  // ranked section decides its place.
  enum Rank : std::uint8_t {
    kObjectiveRank = 0,
    kConstraintsRank,
    kGeneralConstraintsRank,
    kBoundsRank,
    kGeneralsRank,
    kBinariesRank,
    kSemiContinuousRank,
    kSosRank,
  };
  // A mention that moved a column to a lower rank than the one it was made in.
  struct RankChange {
    std::int32_t column;
    std::uint8_t rank;
    std::size_t columnsBefore;  // how many columns existed at that mention
  };

  // The token `i` places ahead within the section being read; null at its end.
  const LpToken* at(std::size_t i) {
    const LpToken& token = tokens_.peek(i);
    return token.kind == LpTokenKind::section_keyword || token.kind == LpTokenKind::end_of_text ? nullptr : &token;
  }
  bool isAt(std::size_t i, LpTokenKind kind) {
    const LpToken* token = at(i);
    return token != nullptr && token->kind == kind;
  }
  bool atSectionEnd() { return at(0) == nullptr; }
  // The token of `kind` at `i`, or a syntax error on its line.
  const LpToken& expect(std::size_t i, LpTokenKind kind, const char* reason);
  // The line of the token at `i`, or of the section's last token when `i` is past its end.
  LpLineNumber lineAt(std::size_t i);
  void consume(std::size_t count) { tokens_.consume(count); }

  void enterSection(Rank rank);
  // The column of a name token, appended (continuous, bounds 0 and +infinity) on first use.
  std::int32_t getColumn(const LpToken& name);
  std::int32_t newColumn(const LpToken& name);
  std::int32_t labelId(const LpToken& label);

  void readObjective(bool maximize);
  void readExpression(Expression& target, bool objective);
  void addTerm(std::int32_t column, double coefficient) {
    if (linear_.size() == linear_.capacity()) roomForOneMore(linear_, 64);
    linear_.push_back(LinearTerm{column, coefficient});
  }
  void readQuadraticBlock(bool objective);
  void addConstant(Expression& target, const LpToken& number);
  void readConstraints();
  void readGeneralConstraints();
  void readBounds();
  void readColumnTypes(LpSection section);
  void readSos();
  void skipSection();

  void settleColumnTypes();
  void renumberColumns();

  LpTokenStream& tokens_;
  LpColumnIndex& columns_;
  VeloriumNamesHolder& pool_;
  Model& model_;
  const bool skipMaximize_;

  // Terms of the expression being read, copied to it at their exact size once it is read.
  std::vector<LinearTerm> linear_;
  std::vector<QuadTerm> quadratic_;

  Rank rank_ = kObjectiveRank;
  std::vector<std::uint8_t> columnRank_;  // by column: the rank of the section that made it
  std::uint8_t highestRank_ = 0;          // of every column made so far
  bool rankMayFall_ = false;              // a column made in a higher-ranked section may be named here
  bool renumber_ = false;
  std::vector<RankChange> rankChanges_;
  // By column: bit 0 generals, bit 1 binaries, bits 2-3 how often semi-continuous (up to 2).
  std::vector<std::uint8_t> typeMentions_;
  std::optional<LpSyntaxError> maximizeFailure_;
};

}  // namespace velorium

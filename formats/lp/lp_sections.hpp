// Reads the sections of an LP file, cut out of its token list, into a model record.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "core/records/model.hpp"
#include "formats/lp/lp_tokens.hpp"

namespace velorium {

class VeloriumNamesHolder;

class LpSectionReader {
 public:
  // Names are interned in `pool` as the model records need them.
  LpSectionReader(const std::vector<LpToken>& tokens, const LpNameTable& names, VeloriumNamesHolder& pool,
                  Model& model);

  // Reads the sections in a fixed order whatever their order in the file: objective,
  // constraints, general constraints, bounds, generals, binaries, semi-continuous, SOS, end.
  // Throws LpSyntaxError.
  void processSections(const std::map<LpSection, LpTokenRange>& sections);

 private:
  // The column of a name, appended (continuous, bounds 0 and +infinity) on first use.
  std::int32_t getColumn(std::uint32_t name);
  std::int32_t poolId(std::uint32_t name);

  const LpToken* at(std::size_t position) const { return position < end_ ? &tokens_[position] : nullptr; }
  bool isAt(std::size_t position, LpTokenKind kind) const {
    const LpToken* token = at(position);
    return token != nullptr && token->kind == kind;
  }
  // The token of `kind` at `position`, or a syntax error on its line.
  const LpToken& expect(std::size_t position, LpTokenKind kind, const char* reason) const;
  LpLineNumber lineAt(std::size_t position) const;
  void enter(const LpTokenRange& range) { end_ = range.end; }

  void readExpression(std::size_t& cursor, Expression& target, bool objective);
  void readQuadraticBlock(std::size_t& cursor, Expression& target, bool objective);
  void readObjective(const std::map<LpSection, LpTokenRange>& sections);
  void readConstraints(const LpTokenRange& range);
  void readGeneralConstraints(const LpTokenRange& range);
  void readBounds(const LpTokenRange& range);
  void readColumnTypes(const LpTokenRange& range, LpSection section);
  void readSos(const LpTokenRange& range);

  const std::vector<LpToken>& tokens_;
  const LpNameTable& names_;
  VeloriumNamesHolder& pool_;
  Model& model_;
  std::vector<std::int32_t> columnOfName_;  // by local name id; -1 none
  std::size_t end_ = 0;                     // end of the section being read
};

}  // namespace velorium

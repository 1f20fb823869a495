// MPS reader: the quadratic sections, INDICATORS and GENCONS.
//
// - QMATRIX and QUADOBJ hold the objective's term 1/2 x'Qx: QMATRIX the full symmetric
//   matrix (each off-diagonal entry in both orders), QUADOBJ one triangle. QCMATRIX and
//   QSECTION name a row (or the objective row) on their keyword line and hold its term x'Qx:
//   QCMATRIX the full matrix, QSECTION one triangle. Each data line is "column column value";
//   a value of 0, NaN or an infinite value is an error. Entries for one pair of columns
//   within one section are summed into one term, in the order of the pair's first line.
// - INDICATORS: "IF row column value": the row applies while the column is 0 (value 0) or 1
//   (any other value but NaN). A line with fewer fields is an error; a row named again takes
//   the later column and value and is counted once.
// - GENCONS: " NL name", then a line with the result column, then one line per node in
//   the record's order: "TYPE value parent", the value being a constant's finite number, a
//   variable's column, and ignored for the operators. The first node is the root (parent -1);
//   every other node names an earlier node that still has room for a child. A constraint
//   without nodes is dropped. Comment lines are skipped as everywhere; a line of four or more
//   fields is an error (ignoring it would lose a node). Whether a tree is complete (every
//   operator has all its children) is checked where the records become trees.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/log/logger.hpp"
#include "core/names/fnv1a_hash.hpp"
#include "formats/common/general_constraint_check.hpp"
#include "formats/export/gen_expr_type_names.hpp"
#include "formats/mps/mps_reader.hpp"

namespace velorium {

namespace {

struct QuadraticSectionForm {
  double factor;
  bool doubles_pairs;  // one triangle given: an off-diagonal entry stands for both orders
  bool names_row;
};

QuadraticSectionForm quadraticFormOf(MpsSection section) {
  switch (section) {
    case MpsSection::QMatrix:
      return {0.5, false, false};
    case MpsSection::QuadObj:
      return {0.5, true, false};
    case MpsSection::QSection:
      return {1.0, true, true};
    default:  // QCMATRIX
      return {1.0, false, true};
  }
}

// Key of an unordered pair of columns: the smaller index in the high half.
std::uint64_t pairKey(std::int32_t a, std::int32_t b) {
  auto low = static_cast<std::uint32_t>(a < b ? a : b);
  auto high = static_cast<std::uint32_t>(a < b ? b : a);
  return (std::uint64_t{low} << 32) | high;
}

// FNV-1a over the key's eight bytes.
struct PairKeyHash {
  std::size_t operator()(std::uint64_t key) const noexcept {
    std::uint64_t hash = kFnv1aOffsetBasis;
    for (int byte = 0; byte < 8; ++byte) {
      hash ^= (key >> (8 * byte)) & 0xFF;
      hash *= kFnv1aPrime;
    }
    return static_cast<std::size_t>(hash);
  }
};

}  // namespace

MpsSection MpsReader::readQuadraticSection(MpsSection section) {
  const QuadraticSectionForm form = quadraticFormOf(section);
  const char* keyword = mpsSectionKeyword(section);
  Expression* target = &model.objective;
  if (form.names_row) {
    if (line_.field_count < 2) return fail("В заголовке раздела %s не указано ограничение\n", keyword);
    const std::int32_t row = findRowIndex(line_.field(1));
    if (row == -1) {
      return fail("Ссылка на несуществующее ограничение \"%s\" в разделе %s\n", std::string(line_.field(1)).c_str(), keyword);
    }
    if (row >= 0) target = &model.rows[static_cast<std::size_t>(row)].expression;
  }
  // Position of the term that this section made for each pair of columns.
  std::unordered_map<std::uint64_t, std::size_t, PairKeyHash> term_of_pair;
  for (;;) {
    if (!readLine()) return endOfFile();
    MpsSection next = keywordOfLine();
    if (next != MpsSection::None) return next;
    if (line_.field_count != 3) return fail("Неверный формат строки в разделе %s\n", keyword);
    double value = 0.0;
    if (!readValue(line_.field(2), section, false, value)) return MpsSection::EndOfReading;
    if (value == 0.0) return fail("Нулевой коеффициент в разделе %s\n", keyword);
    std::int32_t columns[2];
    for (int i = 0; i < 2; ++i) {
      columns[i] = findColumnIndex(line_.field(static_cast<std::size_t>(i)));
      if (columns[i] < 0) {
        return fail("Ссылка на несуществующую переменную %s в разделе %s\n", std::string(line_.field(static_cast<std::size_t>(i))).c_str(),
                    keyword);
      }
    }
    double coefficient = value * form.factor;
    if (columns[0] != columns[1] && form.doubles_pairs) coefficient *= 2.0;
    auto [found, added] = term_of_pair.try_emplace(pairKey(columns[0], columns[1]), target->quadratic_terms.size());
    if (added) {
      target->quadratic_terms.push_back(QuadTerm{columns[0], columns[1], coefficient});
    } else {
      target->quadratic_terms[found->second].coefficient += coefficient;
    }
  }
}

MpsSection MpsReader::readIndicators() {
  for (;;) {
    if (!readLine()) return endOfFile();
    MpsSection section = keywordOfLine();
    if (section != MpsSection::None) return section;
    if (line_.field_count < 4 || line_.field(0) != "IF") return fail("Ошибка в секции INDICATORS MPS файла\n");
    const std::int32_t row = findRowIndex(line_.field(1));
    if (row < 0) {
      return fail("Ссылка не несуществующее ограничение %s в секции INDICATORS MPS файла\n", std::string(line_.field(1)).c_str());
    }
    const std::int32_t column = findColumnIndex(line_.field(2));
    if (column < 0) {
      return fail("Ссылка не несуществующую переменную %s в секции INDICATORS MPS файла\n", std::string(line_.field(2)).c_str());
    }
    double value = 0.0;
    if (!readValue(line_.field(3), MpsSection::Indicators, true, value)) return MpsSection::EndOfReading;
    Constraint& constraint = model.rows[static_cast<std::size_t>(row)];
    // A row named again changes its indicator but stays one indicator row.
    if (constraint.indicator_variable < 0) ++model.indicator_count;
    constraint.indicator_variable = column;
    constraint.indicator_value = value != 0.0;
  }
}

MpsSection MpsReader::readGeneralConstraints() {
  enum class State { Start, AfterName, AfterResult };
  State state = State::Start;
  GeneralConstraintRecord pending;
  std::vector<std::int32_t> child_counts;  // per node of the pending constraint
  auto close = [&] {
    if (!pending.nodes.empty()) model.general_constraints.push_back(std::move(pending));
    pending = GeneralConstraintRecord{};
    child_counts.clear();
  };
  for (;;) {
    if (!readLine()) return endOfFile();
    MpsSection section = keywordOfLine();
    if (section != MpsSection::None) {
      close();
      return section;
    }
    switch (line_.field_count) {
      case 2: {
        if (line_.field(0) != "NL") return fail("Неверный формат строки в разделе GENCONS\n");
        close();
        pending.name = std::string(line_.field(1));
        state = State::AfterName;
        break;
      }
      case 1: {
        if (state != State::AfterName) {
          return fail("Неожиданная строка '%s' в разделе GENCONS\n", std::string(line_.field(0)).c_str());
        }
        const std::int32_t column = findColumnIndex(line_.field(0));
        if (column < 0) return fail("Неизвестная переменная '%s' в разделе GENCONS\n", std::string(line_.field(0)).c_str());
        pending.result_variable = column;
        state = State::AfterResult;
        break;
      }
      case 3: {
        if (state != State::AfterResult) return fail("Неожиданная строка '%s' в разделе GENCONS\n", lineText().c_str());
        const std::optional<int> type = genExprTypeByName(line_.field(0));
        if (!type) return fail("Неожиданная строка '%s' в разделе GENCONS\n", std::string(line_.field(0)).c_str());
        std::int64_t parent = 0;
        if (!parseMpsInteger(line_.field(2), parent)) return failNumber(line_.field(2));
        // The first node is the one root; every other node hangs below an earlier one.
        const auto node_count = static_cast<std::int64_t>(pending.nodes.size());
        const bool parent_ok = node_count == 0 ? parent == -1 : parent >= 0 && parent < node_count;
        if (!parent_ok) return fail("Неожиданный parent index %lld в разделе GENCONS\n", static_cast<long long>(parent));
        if (parent >= 0) {
          const auto at = static_cast<std::size_t>(parent);
          if (child_counts[at] >= genExprMaximumChildren(pending.nodes[at].type)) {
            return fail("У узла %lld общего ограничения %s нет места для ещё одного потомка в разделе GENCONS\n",
                        static_cast<long long>(parent), pending.name.c_str());
          }
          ++child_counts[at];
        }
        const auto parent_index = static_cast<std::int32_t>(parent);
        if (*type == ExprNodeRecord::kConstantType) {
          double value = 0.0;
          if (!readValue(line_.field(1), MpsSection::GenCons, false, value)) return MpsSection::EndOfReading;
          pending.nodes.push_back(ExprNodeRecord::constant(value, parent_index));
        } else if (*type == ExprNodeRecord::kVariableType) {
          const std::int32_t column = findColumnIndex(line_.field(1));
          if (column < 0) return fail("Неизвестная переменная '%s' в разделе GENCONS\n", std::string(line_.field(1)).c_str());
          pending.nodes.push_back(ExprNodeRecord::variable(column, parent_index));
        } else {
          pending.nodes.push_back(ExprNodeRecord::operation(*type, parent_index));
        }
        child_counts.push_back(0);
        break;
      }
      default:  // four or more fields: no line of this section has them
        return fail("Неожиданная строка '%s' в разделе GENCONS\n", lineText().c_str());
    }
  }
}

}  // namespace velorium

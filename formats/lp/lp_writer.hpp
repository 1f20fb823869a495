// Writes a flat model as an LP text file that the LP reader reads back.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include <memory>

#include "formats/export/model_file_writer.hpp"
#include "formats/export/name_slots.hpp"

namespace velorium {

class LpWriter : public ModelFileWriter {
 public:
  // An item that would reach this column starts a new line first.
  static constexpr int kLineLimit = 560;

 protected:
  ExportContent exportContent() const override { return ExportContent::names_only; }
  void writeFile(TextOutput& out, const ExportModel& copy) override;

 private:
  // Output is a sequence of items; a line break goes before an item that would reach the
  // line limit, so no name or number is ever split.
  void writeLpText(std::string_view item);
  void writeLpNumber(double value);        // the item " %.15g"
  void writeLpSignedNumber(double value);  // the item " %+.15g"
  void writeLpLineBreak();
  void writeLpCoefficient(double coefficient, int term_number);
  void writeLpExpression(const Expression& expression, bool objective);
  void writeLpRowSides(const Expression& expression, double lower, double upper);
  void writeLpRowLabel(std::size_t row);
  void writeLpConstraints();
  void writeLpBounds();
  template <typename Predicate>
  void writeLpVariableSection(std::string_view header, Predicate selects);
  void writeLpGeneralConstraints();
  // The expression's linear terms with repeated variables summed, in order of first
  // appearance; sums of 0 are left out.
  const std::vector<LinearTerm>& mergedLinearTerms(const Expression& expression);

  TextOutput* out_ = nullptr;
  const ExportModel* copy_ = nullptr;
  std::unique_ptr<NameSlots> column_names_;  // looked up at random, term by term
  int column_ = 0;  // characters on the current line, as the line-limit rule counts them
  std::vector<std::int32_t> merge_slot_;  // per variable: its place in merged_, or -1
  std::vector<LinearTerm> merged_;
  std::string item_;    // an item being composed
  std::string number_;  // a number item being composed
};

}  // namespace velorium

// Writes a flat model as an LP text file that the LP reader reads back.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include <memory>

#include "formats/export/model_file_writer.hpp"
#include "formats/export/name_slots.hpp"
#include "formats/lp/lp_item_writer.hpp"

namespace velorium {

class LpWriter : public ModelFileWriter, private LpItemWriter {
 public:
  using LpItemWriter::kLineLimit;

 protected:
  ExportContent exportContent() const override { return ExportContent::names_only; }
  void writeFile(TextOutput& out, const ExportModel& copy) override;

 private:
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

  const ExportModel* copy_ = nullptr;
  std::unique_ptr<NameSlots> column_names_;  // looked up at random, term by term
  std::vector<std::int32_t> merge_slot_;  // per variable: its place in merged_, or -1
  std::vector<LinearTerm> merged_;
  std::string item_;  // an item being composed
};

}  // namespace velorium

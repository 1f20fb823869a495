// Reads a free-format MPS file into a flat model record.
#pragma once

#include <array>
#include <cstring>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/log/log_options.hpp"
#include "core/records/model.hpp"
#include "formats/common/line_reader.hpp"
#include "formats/mps/mps_entry_buffer.hpp"
#include "formats/mps/mps_line.hpp"
#include "formats/mps/mps_line_name.hpp"
#include "formats/common/name_index.hpp"
#include "formats/mps/mps_pool_id_map.hpp"
#include "formats/mps/mps_row_set.hpp"
#include "formats/mps/mps_section.hpp"

namespace velorium {

namespace mps_detail {

// How the lines of a COLUMNS section are shared out among threads. Zero in a field means the
// reader's own choice; tests force the threaded path on small files with tiny batches.
struct ColumnsThreading {
  std::size_t workers = 0;          // parsing threads beside the reading one
  std::size_t batch_bytes = 0;      // text taken from the file at a time
  std::size_t piece_bytes = 0;      // text given to one thread at a time
  std::uint64_t minimum_bytes = 0;  // bytes left in the file for threads to be worth starting
  bool forced = false;              // use the fields as given, even on one processor
};
void setColumnsThreading(const ColumnsThreading& threading);
ColumnsThreading columnsThreading();

struct ColumnsPiece;

}  // namespace mps_detail

// The model read from `path`, or null when reading failed for any reason (the reason is
// logged to `log`, except for a file that cannot be opened). Never throws.
std::shared_ptr<Model> readMpsFile(const VeloriumLogOptions& log, const std::string& path);

// The state of one reading. Each section reader starts on the keyword line of its section
// (held in the current line) and returns the section whose keyword line ended it, or
// EndOfReading on a failure or at the end of the file.
class MpsReader {
 public:
  explicit MpsReader(const VeloriumLogOptions& log);

  // 0 when ENDATA was reached and the model is complete, non-zero otherwise.
  int readSections(const std::string& path);

  // Its tables get their room as the file shows how much it needs: rows at the end of each
  // ROWS section, columns from the size of the file (a small file costs little).
  Model model{Model::NoReservation{}};

 private:
  // What a ROWS line, RHS and RANGES say about a row; its bounds follow from them once the
  // whole file is read, so the order of RHS and RANGES does not matter.
  struct RowSpec {
    char type = 'N';
    bool has_range = false;
    double rhs = 0.0;
    double range = 0.0;
  };

  // A ROWS line waiting to be completed (mps_reader_rows.cpp).
  struct PendingRow {
    MpsLineName name;
    NameIndex::Key key{};
    std::uint64_t pool_hash = 0;
    char type = 'N';
    bool objective = false;
    std::size_t line_number = 0;
  };
  static constexpr std::size_t kPendingRows = 16;

  // A step of a COLUMNS line waiting to be completed (mps_reader_columns.cpp).
  struct PendingStep {
    enum class Kind : std::uint8_t { StartColumn, MarkInteger, Pair };
    Kind kind = Kind::Pair;
    bool integer = false;   // StartColumn: the line stands in a marker block
    MpsLineName name;  // StartColumn: the column's name; Pair: the row's name
    std::uint64_t name_hash = 0;  // StartColumn: the name's hash in the pool of names
    NameIndex::Key row_key{};
    std::int32_t row = 0;   // Pair: as the row index gives it, or kRowNotLookedUp
    std::size_t row_slot = 0;  // Pair: where the row index goes on when it gave kCompareRest
    double value = 0.0;
    std::size_t line_number = 0;
  };
  static constexpr std::size_t kPendingDepth = 64;
  static constexpr std::size_t kLookAhead = 48;  // pairs between asking for a slot and reading it
  static constexpr std::int32_t kRowNotLookedUp = INT32_MAX;

  // Bits of the bounds a BOUNDS line gave a column anywhere in the file.
  static constexpr std::uint8_t kLowerGiven = 1;
  static constexpr std::uint8_t kUpperGiven = 2;

  // Input: the next line that is neither empty nor a comment, cut into its fields.
  bool readLine() {
    std::string_view text;
    while (input_->nextLine(text)) {
      ++line_number_;
      if (line_number_ == 1) text = withoutByteOrderMark(text);
      splitReadableMpsLine(text, line_);
      if (line_.empty() || line_.isComment()) continue;
      return line_.has_nul ? failNulByte() : true;
    }
    return inputEnded();
  }
  static std::string_view withoutByteOrderMark(std::string_view text);
  bool failNulByte();
  bool inputEnded();
  MpsSection keywordOfLine() const;
  std::string lineText() const;

  // Messages. Failures return EndOfReading and name the line they stopped at.
  MpsSection fail(const char* format, ...) __attribute__((format(printf, 2, 3)));
  MpsSection failedAtLine();
  void warn(const char* format, ...) __attribute__((format(printf, 2, 3)));
  MpsSection failNumber(std::string_view field);
  // Reads a value field that enters the model: false, with the failure logged, when it is no
  // number or NaN, or infinite where only a finite value makes sense (`bound` false: a
  // coefficient or a constant). Infinite bounds of rows and columns are kept. `field` is a
  // field of the current line.
  bool readValue(std::string_view field, MpsSection section, bool bound, double& value);
  static const char* refusedValueMessage(double value, bool bound);
  MpsSection endOfFile();

  // Names.
  std::int32_t findRowIndex(std::string_view name) const;
  Constraint* findRow(std::string_view name);
  std::int32_t findColumnIndex(std::string_view name) const;
  std::int32_t addColumn(std::int32_t name_id);
  void reserveColumnTables();

  // Sections.
  MpsSection readOutsideSections();
  MpsSection readObjectiveSense();
  bool applySense(std::string_view field);
  MpsSection readRows();
  MpsSection readRowLines(std::vector<std::int32_t>& name_ids);
  bool completeOldestRow(std::vector<std::int32_t>& name_ids);
  bool flushPendingRows(std::vector<std::int32_t>& name_ids);
  MpsSection readColumns();
  // What the lines of a COLUMNS section read so far leave for the next line.
  struct ColumnLineState {
    bool column_open = false;    // a column line was read in this section
    bool column_marked = false;  // the open column has been made integer on one of its lines
    bool integer_block = false;
  };
  // Reads the section's lines with parsing threads from the current line on, as far as they
  // are sure of them; false when the reading failed. The lines left go to the caller.
  bool readColumnsInParallel(ColumnLineState& state);
  // 0: the piece was applied whole; -1: the reading failed; n > 0: the piece's n-th line is
  // left for the caller (the lines before it were applied).
  std::int64_t applyColumnsPiece(const mps_detail::ColumnsPiece& piece, ColumnLineState& state, std::size_t first_line);
  std::vector<std::int32_t> segment_columns_;  // the column of each run of a piece's lines
  bool addColumnEntry(std::string_view row_name, std::string_view value_field);
  bool queueStep(PendingStep*& step);
  void lookUpRow(PendingStep& step);
  bool completeOldestStep();
  bool startColumn(std::string_view name, std::uint64_t name_hash, bool integer, std::size_t line_number);
  void markColumnInteger();
  bool completePair(PendingStep& step);
  bool applyPair(std::int32_t row, double value, std::string_view row_name, std::size_t line_number);
  // The checks and messages of a pair of the current column: -1 when the reading fails, 1 when
  // the pair is an entry of a row still to be kept, 0 otherwise (an unknown row, or the
  // objective's term, kept here).
  int admitPair(std::int32_t row, double value, std::string_view row_name, std::size_t line_number);
  bool flushPendingSteps();
  MpsSection failInColumns(const char* format, ...) __attribute__((format(printf, 2, 3)));
  MpsSection readRowValues(MpsSection section, bool (MpsReader::*apply)(std::string_view, std::string_view, double));
  bool applyRhs(std::string_view row_name, std::string_view value_field, double value);
  bool applyRange(std::string_view row_name, std::string_view value_field, double value);
  static void rowBoundsOf(const RowSpec& spec, double& lower, double& upper);
  bool checkRowBounds(std::string_view row_name, const RowSpec& spec);
  MpsSection readBounds();
  MpsSection readQuadraticSection(MpsSection section);
  MpsSection readIndicators();
  MpsSection readGeneralConstraints();
  void finish();
  void applyRowBounds();
  void applyLoneColumnBounds();
  void dealOutRowTerms();

  const VeloriumLogOptions& log_;
  std::string path_;  // for messages
  LineReader* input_ = nullptr;
  MpsLine line_;
  std::size_t line_number_ = 0;
  bool input_failed_ = false;  // the input ended by a failure already reported

  NameIndex rows_by_name_;  // row index, or -2 for the objective row
  mutable std::size_t last_row_found_ = static_cast<std::size_t>(-1);  // none yet: the next is row 0
  mutable std::size_t last_column_found_ = 0;
  MpsPoolIdMap column_of_name_id_;
  std::vector<RowSpec> row_specs_;
  MpsEntryBuffer row_entries_;                       // the rows' COLUMNS entries, in file order
  std::vector<std::uint8_t> bounds_given_;           // per column
  std::vector<std::uint32_t> described_in_section_;  // per column: the COLUMNS section that described it
  std::uint32_t columns_sections_ = 0;

  // ROWS: the lines queued for completion.
  std::array<PendingRow, kPendingRows> pending_rows_;
  std::size_t pending_rows_first_ = 0;
  std::size_t pending_rows_count_ = 0;
  bool objective_declared_ = false;  // by a ROWS line read, completed or not

  // COLUMNS: the column that the lines name, and the steps queued for completion.
  MpsLineName current_column_name_;
  std::uint32_t columns_section_stamp_ = 0;
  std::uint64_t columns_section_offset_ = 0;  // where the section's lines start in the file
  std::uint64_t threaded_offset_ = 0;         // while threads read ahead: where the lines applied end
  std::size_t columns_at_section_start_ = 0;
  bool column_tables_reserved_ = false;       // in this section
  std::array<PendingStep, kPendingDepth> pending_;
  std::size_t pending_first_ = 0;
  std::size_t pending_count_ = 0;
  std::int32_t resolved_column_ = -1;  // the column of the last step completed
  MpsRowSet resolved_column_rows_;     // the rows (and -2, the objective) it has entries in
};

}  // namespace velorium

#include "formats/solution/solution_reader.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/text_utils.hpp"
#include "formats/common/decimal_number.hpp"
#include "formats/common/number_text.hpp"
#include "formats/common/text_lines.hpp"
#include "formats/common/word_bytes.hpp"

namespace velorium {

namespace {
constexpr std::size_t kFileBufferSize = 262144;
// Room reserved per map, so that large results parse without rehashing.
constexpr std::size_t kReservedEntries = 65536;

// `entries` is the room each map is given for what is read next (none when nothing will be).
void resetSections(SolutionData& data, std::size_t entries = kReservedEntries) {
  data.source.reset();
  for (SolutionValues* map : {&data.values, &data.duals, &data.reduced_costs}) {
    map->clear();
    if (entries > 0) map->reserve(entries);
  }
  data.has_duals = false;
  data.has_reduced_costs = false;
}

constexpr std::string_view kHeading = "# Velorium Solution File Version 1.1";
constexpr std::string_view kColumnsHeading = "# Columns ";
// How much of a text the checks quote (an HTML page's first bytes say whose page it is).
constexpr std::size_t kQuotedBytes = 60;

// `text` as a reason may quote it: at most kQuotedBytes, control bytes shown as "?".
std::string quoted(std::string_view text) {
  std::string shown(text.substr(0, kQuotedBytes));
  for (char& c : shown) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = '?';
  }
  return "\"" + shown + (text.size() > kQuotedBytes ? "...\"" : "\"");
}

// What a calculation's result text must be: the heading first, one "# Columns N" line whose N
// counts the value lines, and every line of data a name, a blank and a number that is not
// NaN. Checked while the text is read in order; the first failure stays and ends the reading.
class ResultTextCheck {
 public:
  bool failed() const { return !failure_.empty(); }
  std::string take_failure() { return std::move(failure_); }

  void line(std::size_t number, std::string_view line) {
    line_ = number;
    if (number == 1 && line != kHeading) fail("does not begin with " + quoted(kHeading) + " but with " + quoted(line));
  }
  void columns_line(std::string_view line) {
    if (columns_) {
      fail("holds a second \"# Columns\" line (line " + std::to_string(line_) + ")");
      return;
    }
    std::string_view count = line.substr(kColumnsHeading.size());
    while (!count.empty() && count.front() == ' ') count.remove_prefix(1);
    while (!count.empty() && count.back() == ' ') count.remove_suffix(1);
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), value);
    if (count.empty() || error != std::errc() || end != count.data() + count.size()) {
      fail("has no count in its line " + quoted(line));
      return;
    }
    columns_ = value;
  }
  void no_value(std::string_view line) {
    fail("holds a line without a name and a value (line " + std::to_string(line_) + ": " + quoted(line) + ")");
  }
  // A field that is no number, or NaN.
  void not_a_number(std::string_view name, std::string_view field, bool is_number) {
    if (!is_number) {
      fail("has no number for " + quoted(name) + " (line " + std::to_string(line_) + ": " + quoted(field) + ")");
    } else {
      fail("has NaN for " + quoted(name) + " (line " + std::to_string(line_) + ")");
    }
  }
  // After the last line: `values` value lines were read.
  void finish(std::size_t lines, std::size_t values) {
    if (lines == 0) fail("is empty");
    if (!columns_) fail("holds no \"# Columns\" line");
    if (*columns_ != values) {
      fail("counts " + std::to_string(*columns_) + " columns but holds " + std::to_string(values) + " values");
    }
  }

 private:
  void fail(std::string reason) {
    if (failure_.empty()) failure_ = "the calculation's result text " + std::move(reason);
  }

  std::size_t line_ = 0;
  std::optional<std::size_t> columns_;
  std::string failure_;
};

// Names are short as a rule: compared in words rather than by a call into the C library each.
bool sameNames(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].size() != b[i].size() || !sameBytes(a[i].data(), b[i].data(), a[i].size())) return false;
  }
  return true;
}

// Where parsed entries go: the three maps of a SolutionData.
class MapSections {
 public:
  explicit MapSections(SolutionData& data) : data_(data), section_(&data.values) { resetSections(data); }
  void values(std::size_t) { section_ = &data_.values; }
  void duals(std::size_t) {
    section_ = &data_.duals;
    data_.has_duals = true;
  }
  void reduced_costs(std::size_t) {
    section_ = &data_.reduced_costs;
    data_.has_reduced_costs = true;
  }
  // The first value of a name stays.
  void add(std::string_view name, std::string_view value) {
    if (section_->find(name) == section_->end()) section_->emplace(name, parseLeadingDouble(value));
  }

 private:
  SolutionData& data_;
  SolutionValues* section_;
};

// Or: the names and numbers of each section in the text's order. A section makes room for
// every line left when it begins, so its entries are never moved while it grows; room it does
// not use is never touched, so it takes address space, not memory. That room is not advised for
// huge pages: on a virtual machine a fresh 2 MiB page can be memory the host has not backed yet,
// and a result of 3 * 10^6 lines read three times as slowly with the advice as without. Names
// stay views into the text while it is read; only those the source keeps become strings, all at
// once at the end (the reduced costs' names never do: they only have to be the columns' own).
class OrderedSections {
 public:
  // With `check`, every number is checked as it is read.
  explicit OrderedSections(ResultTextCheck* check = nullptr) : check_(check) {}
  struct Section {
    std::vector<std::string_view> names;
    std::vector<double> numbers;
    void reserve(std::size_t lines) {
      names.reserve(lines);
      numbers.reserve(lines);
    }
  };
  void values(std::size_t lines_left) { begin(values_, lines_left); }
  void duals(std::size_t lines_left) {
    begin(duals_, lines_left);
    has_duals_ = true;
  }
  void reduced_costs(std::size_t lines_left) {
    begin(reduced_costs_, lines_left);
    has_reduced_costs_ = true;
  }
  // The service writes plain decimals; anything else is read as atof would.
  void add(std::string_view name, std::string_view value) {
    double number;
    const bool is_number = readDecimalNumber(value, number);
    if (!is_number) number = parseLeadingDouble(value);
    if (check_ && (!is_number || std::isnan(number))) check_->not_a_number(name, value, is_number);
    section_->names.push_back(name);
    section_->numbers.push_back(number);
  }
  std::size_t value_count() const { return values_.names.size(); }
  // Into `data` as its source, while the text is still there; false (and `data` unchanged)
  // when the reduced costs do not list the columns of the values in the same order, which a
  // source requires.
  bool move_into(SolutionData& data) {
    if (has_reduced_costs_ && !sameNames(reduced_costs_.names, values_.names)) return false;
    resetSections(data, 0);
    auto source = std::make_shared<SolutionSource>();
    copy_names(values_.names, source->column_names);
    source->values = std::move(values_.numbers);
    source->reduced_costs = std::move(reduced_costs_.numbers);
    copy_names(duals_.names, source->row_names);
    source->duals = std::move(duals_.numbers);
    data.source = std::move(source);
    data.has_duals = has_duals_;
    data.has_reduced_costs = has_reduced_costs_;
    return true;
  }

 private:
  static void copy_names(const std::vector<std::string_view>& names, std::vector<std::string>& strings) {
    strings.reserve(names.size());
    for (std::string_view name : names) strings.emplace_back(name);
  }
  void begin(Section& section, std::size_t lines_left) {
    section_ = &section;
    section.reserve(section.names.size() + lines_left);
  }

  Section values_;
  Section duals_;
  Section reduced_costs_;
  Section* section_ = &values_;
  bool has_duals_ = false;
  bool has_reduced_costs_ = false;
  ResultTextCheck* check_;
};

template <class Sections>
class SolutionParser {
 public:
  // `lines` is the number of lines of the text when it is known (0 otherwise); `check`, when
  // given, sees every line and ends the reading at the first failure.
  explicit SolutionParser(Sections& sections, std::size_t lines = 0, ResultTextCheck* check = nullptr)
      : sections_(sections), lines_(lines), check_(check) {}

  template <class Lines>
  void parseAll(Lines& lines) {
    std::string_view line;
    while (lines.nextLine(line)) {
      ++lines_read_;
      if (check_) {
        check_->line(lines_read_, line);
        if (check_->failed()) return;
      }
      parseLine(line);
    }
  }
  std::size_t linesRead() const { return lines_read_; }

 private:
  void parseLine(std::string_view line) {
    if (line.empty()) return;
    if (line.front() == '#') {
      parseComment(line);
      return;
    }
    // Blanks after the value would otherwise become the cut and turn the value into 0.
    while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
    const std::size_t cut = line.rfind(' ');
    if (cut == std::string_view::npos) {
      if (check_) check_->no_value(line);
      return;
    }
    sections_.add(trimSpaces(line.substr(0, cut)), line.substr(cut + 1));
  }

  void parseComment(std::string_view line) {
    const std::size_t left = lines_ > lines_read_ ? lines_ - lines_read_ : 0;
    if (line.starts_with("# Dual Solution")) {
      sections_.duals(left);
    } else if (line.starts_with("# Reduced Costs")) {
      sections_.reduced_costs(left);
    } else if (line.starts_with(kColumnsHeading)) {
      if (check_) check_->columns_line(line);
      sections_.values(left);
    }
  }

  Sections& sections_;
  std::size_t lines_;
  std::size_t lines_read_ = 0;
  ResultTextCheck* check_;
};
}  // namespace

void parseSolutionFile(SolutionData& data, LineReader& reader) {
  MapSections sections(data);
  SolutionParser parser(sections);
  parser.parseAll(reader);
}

void parseSolutionText(SolutionData& data, const char* text, std::size_t length) {
  MapSections sections(data);
  SolutionParser parser(sections);
  TextLines lines(text, length);
  parser.parseAll(lines);
}

bool readSolutionFile(SolutionData& data, const std::string& path) {
  LineReader reader(path, kFileBufferSize, true);
  parseSolutionFile(data, reader);
  if (!reader.isOpen() || reader.readFailed()) {
    // Half a file is no solution: hand back nothing rather than a part of it.
    resetSections(data);
    return false;
  }
  return true;
}

bool readSolutionText(SolutionData& data, const char* text, std::size_t length) {
  parseSolutionText(data, text, length);
  return true;
}

bool readSolutionTextInOrder(SolutionData& data, const char* text, std::size_t length) {
  OrderedSections sections;
  SolutionParser parser(sections, countLineFeeds(text, length) + 1);
  TextLines lines(text, length);
  parser.parseAll(lines);
  if (!sections.move_into(data)) parseSolutionText(data, text, length);
  return true;
}

std::string readResultText(SolutionData& data, const char* text, std::size_t length) {
  ResultTextCheck check;
  OrderedSections sections(&check);
  SolutionParser parser(sections, countLineFeeds(text, length) + 1, &check);
  TextLines lines(text, length);
  parser.parseAll(lines);
  if (!check.failed()) check.finish(parser.linesRead(), sections.value_count());
  if (check.failed()) {
    resetSections(data, 0);
    return check.take_failure();
  }
  if (!sections.move_into(data)) parseSolutionText(data, text, length);
  return std::string();
}

}  // namespace velorium

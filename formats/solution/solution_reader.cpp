#include "formats/solution/solution_reader.hpp"

#include "core/text/text_utils.hpp"
#include "formats/common/number_text.hpp"
#include "formats/common/text_lines.hpp"

namespace velorium {

namespace {
constexpr std::size_t kFileBufferSize = 262144;
// Room reserved per map, so that large results parse without rehashing.
constexpr std::size_t kReservedEntries = 65536;

void resetSections(SolutionData& data) {
  data.source.reset();
  for (SolutionValues* map : {&data.values, &data.duals, &data.reduced_costs}) {
    map->clear();
    map->reserve(kReservedEntries);
  }
  data.has_duals = false;
  data.has_reduced_costs = false;
}

class SolutionParser {
 public:
  explicit SolutionParser(SolutionData& data) : data_(data), section_(&data.values) { resetSections(data); }

  template <class Lines>
  void parseAll(Lines& lines) {
    std::string_view line;
    while (lines.nextLine(line)) parseLine(line);
  }

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
    if (cut == std::string_view::npos) return;
    const std::string_view name = trimSpaces(line.substr(0, cut));
    // The first value of a name stays.
    if (section_->find(name) == section_->end()) section_->emplace(name, parseLeadingDouble(line.substr(cut + 1)));
  }

  void parseComment(std::string_view line) {
    if (line.starts_with("# Dual Solution")) {
      section_ = &data_.duals;
      data_.has_duals = true;
    } else if (line.starts_with("# Reduced Costs")) {
      section_ = &data_.reduced_costs;
      data_.has_reduced_costs = true;
    } else if (line.starts_with("# Columns ")) {
      section_ = &data_.values;
    }
  }

  SolutionData& data_;
  SolutionValues* section_;
};
}  // namespace

void parseSolutionFile(SolutionData& data, LineReader& reader) {
  SolutionParser parser(data);
  parser.parseAll(reader);
}

void parseSolutionText(SolutionData& data, const char* text, std::size_t length) {
  SolutionParser parser(data);
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

}  // namespace velorium

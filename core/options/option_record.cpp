#include "core/options/option_record.hpp"

#include <algorithm>
#include <utility>

#include "core/text/number_text.hpp"
#include "core/text/text_utils.hpp"

namespace velorium {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return toLowerAscii(x) == toLowerAscii(y);
         });
}

// An option file would read "options_file" back as an instruction, so it is never written.
constexpr std::string_view kUnprintedOption = "options_file";

// Writes one option in either form. `type_line` is the type description without brackets
// or line feed; `value_text` the current value as the options file shows it.
void writeOption(std::FILE* stream, const OptionRecord& record, const std::string& type_line,
                 const std::string& value_text, bool html) {
  std::string text;
  if (html) {
    text += "<li><tt><font size=\"+2\"><strong>";
    text += record.name;
    text += "</strong></font></tt><br>\n";
    text += record.description;
    text += "<br>\n";
    text += type_line;
    text += "\n</li>\n";
  } else {
    text += "\n# ";
    text += record.description;
    text += "\n# [";
    text += type_line;
    text += "]\n";
    text += record.name;
    text += " = ";
    text += value_text;
    text += "\n";
  }
  std::fwrite(text.data(), 1, text.size(), stream);
}

std::string advancedPart(const OptionRecord& record) {
  return std::string("advanced: ") + boolToText(record.advanced);
}

// The type line of a numeric option: its type name, advanced flag, range and default.
std::string rangeTypeLine(const OptionRecord& record, const char* type_name, const char* open, const char* close,
                          const std::string& lower, const std::string& upper, const std::string& default_text) {
  return std::string("type: ") + type_name + ", " + advancedPart(record) + ", range: " + open + lower + ", " + upper +
         close + ", default: " + default_text;
}

}  // namespace

bool CaseInsensitiveLess::operator()(std::string_view a, std::string_view b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(toLowerAscii(x)) < static_cast<unsigned char>(toLowerAscii(y));
  });
}

OptionRecord::OptionRecord(std::uint8_t marker, OptionType type, std::string name, std::string description,
                           bool advanced)
    : marker(marker), type(type), name(std::move(name)), description(std::move(description)), advanced(advanced) {}

OptionRecord::~OptionRecord() = default;

OptionRecordBool::OptionRecordBool(std::uint8_t marker, std::string name, std::string description, bool* value,
                                   bool default_value, bool advanced)
    : OptionRecord(marker, OptionType::Bool, std::move(name), std::move(description), advanced),
      value(value),
      default_value(default_value) {
  *value = default_value;
}

void OptionRecordBool::printOption(std::FILE* stream, bool only_if_changed, bool html) const {
  if (only_if_changed && *value == default_value) return;
  std::string type_line = "type: bool, " + advancedPart(*this) + ", range: {false, true}, default: " +
                          boolToText(default_value);
  writeOption(stream, *this, type_line, boolToText(*value), html);
}

OptionRecordInt::OptionRecordInt(std::uint8_t marker, std::string name, std::string description, int* value,
                                 int lower_bound, int default_value, int upper_bound, bool advanced)
    : OptionRecord(marker, OptionType::Int, std::move(name), std::move(description), advanced),
      value(value),
      lower_bound(lower_bound),
      default_value(default_value),
      upper_bound(upper_bound) {
  *value = default_value;
}

void OptionRecordInt::printOption(std::FILE* stream, bool only_if_changed, bool html) const {
  if (only_if_changed && *value == default_value) return;
  writeOption(stream, *this,
              rangeTypeLine(*this, "VeloriumInt", "{", "}", std::to_string(lower_bound), std::to_string(upper_bound),
                            std::to_string(default_value)),
              std::to_string(*value), html);
}

OptionRecordDouble::OptionRecordDouble(std::uint8_t marker, std::string name, std::string description, double* value,
                                       double lower_bound, double default_value, double upper_bound, bool advanced)
    : OptionRecord(marker, OptionType::Double, std::move(name), std::move(description), advanced),
      value(value),
      lower_bound(lower_bound),
      upper_bound(upper_bound),
      default_value(default_value) {
  *value = default_value;
}

void OptionRecordDouble::printOption(std::FILE* stream, bool only_if_changed, bool html) const {
  if (only_if_changed && *value == default_value) return;
  writeOption(stream, *this,
              rangeTypeLine(*this, "double", "[", "]", formatDoubleGeneral(lower_bound),
                            formatDoubleGeneral(upper_bound), formatDoubleGeneral(default_value)),
              formatDoubleGeneral(*value), html);
}

OptionRecordString::OptionRecordString(std::uint8_t marker, std::string name, std::string description,
                                       std::string* value, std::string default_value,
                                       const std::vector<std::string>& allowed, bool advanced)
    : OptionRecord(marker, OptionType::String, std::move(name), std::move(description), advanced),
      allowed_values(allowed.begin(), allowed.end()),
      value(value),
      default_value(std::move(default_value)) {
  *value = this->default_value;
}

void OptionRecordString::printOption(std::FILE* stream, bool only_if_changed, bool html) const {
  if (name == kUnprintedOption) return;
  if (only_if_changed && *value == default_value) return;
  std::string type_line = "type: string, " + advancedPart(*this) + ", default: \"" + default_value + "\"";
  writeOption(stream, *this, type_line, *value, html);
}

bool isAllowedValue(const OptionRecordString& record, std::string_view text) {
  return record.allowed_values.empty() || record.allowed_values.find(text) != record.allowed_values.end();
}

bool parseBoolText(std::string_view text, bool& value) {
  static constexpr std::string_view kTrue[] = {"t", "true", "1", "on"};
  static constexpr std::string_view kFalse[] = {"f", "false", "0", "off"};
  for (std::string_view word : kTrue) {
    if (equalsIgnoringCase(text, word)) {
      value = true;
      return true;
    }
  }
  for (std::string_view word : kFalse) {
    if (equalsIgnoringCase(text, word)) {
      value = false;
      return true;
    }
  }
  return false;
}

const char* boolToText(bool value) { return value ? "true" : "false"; }

}  // namespace velorium

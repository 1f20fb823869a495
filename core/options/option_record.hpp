// The description of one named option: its type, default, range or allowed texts, and the
// field of an options structure that holds its value.
#pragma once

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace velorium {

enum class OptionType : std::uint32_t { Bool = 0, Int = 1, Double = 2, String = 3 };

// Orders texts by their ASCII letters without regard to case, so that texts differing only
// in case are one element of a set.
struct CaseInsensitiveLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

using AllowedTexts = std::set<std::string, CaseInsensitiveLess>;

// A record points into the structure that registered it and is owned by that structure's
// options object; it is never copied.
class OptionRecord {
 public:
  OptionRecord(std::uint8_t marker, OptionType type, std::string name, std::string description, bool advanced);
  OptionRecord(const OptionRecord&) = delete;
  OptionRecord& operator=(const OptionRecord&) = delete;

  // Address of the option's value field.
  virtual void* valuePointer() const = 0;
  // Writes the option as an HTML list item or as an options-file entry (description, type
  // line, value line); nothing when only_if_changed and the value is the default.
  virtual void printOption(std::FILE* stream, bool only_if_changed, bool html) const = 0;
  virtual void resetToDefault() = 0;
  virtual ~OptionRecord();

  // Kept with the record; its meaning is left to the record's users.
  std::uint8_t marker;
  OptionType type;
  std::string name;
  std::string description;
  bool advanced;
};

class OptionRecordBool final : public OptionRecord {
 public:
  OptionRecordBool(std::uint8_t marker, std::string name, std::string description, bool* value, bool default_value,
                   bool advanced = false);
  void* valuePointer() const override { return value; }
  void printOption(std::FILE* stream, bool only_if_changed, bool html) const override;
  void resetToDefault() override { *value = default_value; }

  bool* value;
  bool default_value;
};

class OptionRecordInt final : public OptionRecord {
 public:
  OptionRecordInt(std::uint8_t marker, std::string name, std::string description, int* value, int lower_bound,
                  int default_value, int upper_bound, bool advanced = false);
  void* valuePointer() const override { return value; }
  void printOption(std::FILE* stream, bool only_if_changed, bool html) const override;
  void resetToDefault() override { *value = default_value; }
  bool inRange(int candidate) const { return lower_bound <= candidate && candidate <= upper_bound; }

  int* value;
  int lower_bound;
  int default_value;
  int upper_bound;
};

class OptionRecordDouble final : public OptionRecord {
 public:
  OptionRecordDouble(std::uint8_t marker, std::string name, std::string description, double* value,
                     double lower_bound, double default_value, double upper_bound, bool advanced = false);
  void* valuePointer() const override { return value; }
  void printOption(std::FILE* stream, bool only_if_changed, bool html) const override;
  void resetToDefault() override { *value = default_value; }
  // Written so that NaN never passes.
  bool inRange(double candidate) const { return candidate >= lower_bound && upper_bound >= candidate; }

  double* value;
  double lower_bound;
  double upper_bound;
  double default_value;
};

class OptionRecordString final : public OptionRecord {
 public:
  // An empty list of allowed texts allows any text.
  OptionRecordString(std::uint8_t marker, std::string name, std::string description, std::string* value,
                     std::string default_value, const std::vector<std::string>& allowed = {},
                     bool advanced = false);
  void* valuePointer() const override { return value; }
  void printOption(std::FILE* stream, bool only_if_changed, bool html) const override;
  void resetToDefault() override { *value = default_value; }

  AllowedTexts allowed_values;
  std::string* value;
  std::string default_value;
};

// True when the record allows any text or its allowed set holds `text`, compared without
// regard to case.
bool isAllowedValue(const OptionRecordString& record, std::string_view text);

// "t", "true", "1", "on" and "f", "false", "0", "off" in any case; any other text returns
// false and leaves `value` unchanged.
bool parseBoolText(std::string_view text, bool& value);

const char* boolToText(bool value);

}  // namespace velorium

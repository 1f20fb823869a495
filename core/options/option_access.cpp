#include "core/options/option_access.hpp"

#include "core/log/logger.hpp"
#include "core/text/number_text.hpp"
#include "core/text/text_utils.hpp"

namespace velorium {

namespace {

// Catalogue messages of refused option values.
constexpr int kMessageNotBoolText = 99;
constexpr int kMessageBoolExpected = 100;
constexpr int kMessageDoubleExpected = 101;
constexpr int kMessageInvalidValue = 102;
constexpr int kMessageIntegerExpected = 103;
constexpr int kMessageStringExpected = 104;
constexpr int kMessageReadString = 105;
constexpr int kMessageReadBool = 106;
constexpr int kMessageReadInteger = 107;
constexpr int kMessageReadDouble = 108;

OptionRecord* findRecord(const VeloriumOptions& options, std::string_view name) {
  int index = find_option_index(options, name);
  return index < 0 ? nullptr : options.records[static_cast<std::size_t>(index)].get();
}

// Writes one error line of `message_id` with the option's name and returns result 2.
OptionStatus refuse(const VeloriumOptions& options, int message_id, const OptionRecord& record) {
  logCatalogueMessage(options.log_options, kLogLevelError, message_id, record.name.c_str());
  return OptionStatus::illegal_value;
}

OptionStatus refuseValue(const VeloriumOptions& options, const OptionRecord& record, const std::string& value_text) {
  logCatalogueMessage(options.log_options, kLogLevelError, kMessageInvalidValue, record.name.c_str(),
                      value_text.c_str());
  return OptionStatus::illegal_value;
}

// A read of the wrong type names the option's own type.
OptionStatus refuseRead(const VeloriumOptions& options, const OptionRecord& record) {
  switch (record.type) {
    case OptionType::Bool: return refuse(options, kMessageReadBool, record);
    case OptionType::Int: return refuse(options, kMessageReadInteger, record);
    case OptionType::Double: return refuse(options, kMessageReadDouble, record);
    case OptionType::String: break;
  }
  return refuse(options, kMessageReadString, record);
}

// A change of the wrong type names the option's own type.
OptionStatus refuseChange(const VeloriumOptions& options, const OptionRecord& record) {
  switch (record.type) {
    case OptionType::Bool: return refuse(options, kMessageBoolExpected, record);
    case OptionType::Int: return refuse(options, kMessageIntegerExpected, record);
    case OptionType::Double: return refuse(options, kMessageDoubleExpected, record);
    case OptionType::String: break;
  }
  return refuse(options, kMessageStringExpected, record);
}

// The record of `name` when it has type `type`; otherwise null, with the status (and the log
// line) of the failed read.
template <class Record>
Record* findOwnType(const VeloriumOptions& options, std::string_view name, OptionType type, OptionStatus& status) {
  OptionRecord* record = findRecord(options, name);
  if (record == nullptr) {
    status = OptionStatus::unknown_option;
    return nullptr;
  }
  if (record->type != type) {
    status = refuseRead(options, *record);
    return nullptr;
  }
  status = OptionStatus::ok;
  return static_cast<Record*>(record);
}

OptionStatus storeInt(const VeloriumOptions& options, OptionRecordInt& record, int value) {
  if (!record.inRange(value)) return refuseValue(options, record, std::to_string(value));
  *record.value = value;
  return OptionStatus::ok;
}

OptionStatus storeDouble(const VeloriumOptions& options, OptionRecordDouble& record, double value) {
  if (!record.inRange(value)) return refuseValue(options, record, formatDoubleFixed(value));
  *record.value = value;
  return OptionStatus::ok;
}

std::string_view stripWhitespace(std::string_view text) {
  std::string_view whitespace = kWhitespaceChars;
  std::size_t first = text.find_first_not_of(whitespace);
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(whitespace);
  return text.substr(first, last - first + 1);
}

}  // namespace

OptionStatus getBoolOption(const VeloriumOptions& options, std::string_view name, bool& value) {
  OptionStatus status = OptionStatus::unknown_option;
  if (auto* record = findOwnType<OptionRecordBool>(options, name, OptionType::Bool, status)) value = *record->value;
  return status;
}

OptionStatus getIntOption(const VeloriumOptions& options, std::string_view name, int& value) {
  OptionStatus status = OptionStatus::unknown_option;
  if (auto* record = findOwnType<OptionRecordInt>(options, name, OptionType::Int, status)) value = *record->value;
  return status;
}

OptionStatus getDoubleOption(const VeloriumOptions& options, std::string_view name, double& value) {
  OptionStatus status = OptionStatus::unknown_option;
  if (auto* record = findOwnType<OptionRecordDouble>(options, name, OptionType::Double, status)) {
    value = *record->value;
  }
  return status;
}

OptionStatus getStringOptionPointer(const VeloriumOptions& options, std::string_view name,
                                    const std::string*& value) {
  OptionStatus status = OptionStatus::unknown_option;
  if (auto* record = findOwnType<OptionRecordString>(options, name, OptionType::String, status)) {
    value = record->value;
  }
  return status;
}

OptionStatus getStringOption(const VeloriumOptions& options, std::string_view name, std::string& value) {
  const std::string* own = nullptr;
  OptionStatus status = getStringOptionPointer(options, name, own);
  if (status == OptionStatus::ok) value = *own;
  return status;
}

// A bool is the int 0 or 1 to every option type: a bool option stores it, an int option
// range-checks it, the others refuse it alike.
OptionStatus setBoolOption(VeloriumOptions& options, std::string_view name, bool value) {
  return setIntOption(options, name, value ? 1 : 0);
}

OptionStatus setIntOption(VeloriumOptions& options, std::string_view name, int value) {
  OptionRecord* record = findRecord(options, name);
  if (record == nullptr) return OptionStatus::unknown_option;
  switch (record->type) {
    case OptionType::Bool:
      *static_cast<OptionRecordBool*>(record)->value = value != 0;
      return OptionStatus::ok;
    case OptionType::Int:
      return storeInt(options, *static_cast<OptionRecordInt*>(record), value);
    default:
      return refuseChange(options, *record);
  }
}

OptionStatus setDoubleOption(VeloriumOptions& options, std::string_view name, double value) {
  OptionRecord* record = findRecord(options, name);
  if (record == nullptr) return OptionStatus::unknown_option;
  if (record->type != OptionType::Double) return refuseChange(options, *record);
  return storeDouble(options, *static_cast<OptionRecordDouble*>(record), value);
}

OptionStatus setOptionFromString(VeloriumOptions& options, std::string_view name, std::string_view text) {
  OptionRecord* record = findRecord(options, name);
  if (record == nullptr) return OptionStatus::unknown_option;
  switch (record->type) {
    case OptionType::Bool: {
      bool value = false;
      if (!parseBoolText(text, value)) {
        logCatalogueMessage(options.log_options, kLogLevelError, kMessageNotBoolText, std::string(text).c_str(),
                            record->name.c_str());
        return OptionStatus::illegal_value;
      }
      *static_cast<OptionRecordBool*>(record)->value = value;
      return OptionStatus::ok;
    }
    case OptionType::Int: {
      int value = 0;
      if (!parseInt32Text(stripWhitespace(text), value)) return refuse(options, kMessageIntegerExpected, *record);
      return storeInt(options, *static_cast<OptionRecordInt*>(record), value);
    }
    case OptionType::Double: {
      // The whole text must be the number: "abc" or "1.5x" is refused, not read as 0 or 1.5.
      std::string_view number = stripWhitespace(text);
      double value = 0.0;
      if (parseDoublePrefix(number, value) != number.size()) return refuse(options, kMessageDoubleExpected, *record);
      return storeDouble(options, *static_cast<OptionRecordDouble*>(record), value);
    }
    case OptionType::String: {
      auto& string_record = *static_cast<OptionRecordString*>(record);
      if (!isAllowedValue(string_record, text)) return refuseValue(options, string_record, std::string(text));
      string_record.value->assign(text);
      return OptionStatus::ok;
    }
  }
  return OptionStatus::unknown_option;
}

}  // namespace velorium

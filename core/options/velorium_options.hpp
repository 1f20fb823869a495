// A model's named options: the value structure, the records that describe each option, and
// the process-wide registry from option name to record index.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/options/option_record.hpp"
#include "core/options/options_struct.hpp"

namespace velorium {

inline constexpr int kOptionCount = 119;
inline constexpr std::size_t kOptionRecordCapacity = 128;

// Option name (case-sensitive) to record index; the same for every options object.
using OptionRegistry = std::map<std::string, int, std::less<>>;

// A complete option set. A new object holds every option at its default, registered and with
// its log settings linked to its own fields; `registerOptions` and `linkLogOptions` may be
// called again and do the same.
//
// The records point into this object, so a copy is made anew: it registers records of its
// own, takes the source's values and log hook, links its log settings to its own fields and
// logs to the source's log file through a stream of its own. An object closes its log file
// when it is destroyed, so a copy never closes the source's file. Copy assignment is not
// offered.
class VeloriumOptions : public VeloriumOptionsStruct {
 public:
  VeloriumOptions();
  VeloriumOptions(const VeloriumOptions& other);
  VeloriumOptions& operator=(const VeloriumOptions&) = delete;
  ~VeloriumOptions() override;

  // One record per option in registration order; a record's position is its index.
  std::vector<std::shared_ptr<OptionRecord>> records;
  const OptionRegistry* registry = nullptr;
};

// Replaces the records with the 119 options at their defaults, then attaches the registry.
void registerOptions(VeloriumOptions& options);

// Points the three flags of `log_options` at the object's own output_flag, log_to_console and
// log_display_systime. The log file and the hook are left as they are.
void linkLogOptions(VeloriumOptions& options);

// Builds the process-wide registry from the first options object that gets here (again on a
// later call when building failed), then stores its address in `options`.
void attachOptionRegistry(VeloriumOptions& options);

// The name-to-index map of the records. Throws std::invalid_argument ("Several options with
// the same address", "Several options with the same name") for two records on one field or
// of one name.
OptionRegistry buildOptionRegistry(const VeloriumOptions& options);

// Record index of `name`, or -1 when no option has that name.
int find_option_index(const VeloriumOptions& options, std::string_view name);

}  // namespace velorium

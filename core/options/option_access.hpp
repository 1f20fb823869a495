// Reading and changing an option by name and type, with range checks and the log line that
// tells why a value was refused.
#pragma once

#include <string>
#include <string_view>

#include "core/options/velorium_options.hpp"

namespace velorium {

// 0 success, 1 no option of that name, 2 wrong type or refused value. A result 2 has written
// one error line (level 5) through the options' own log settings; an unknown name writes
// nothing. Nothing here throws for these cases, and a refused value leaves the option as it
// was.
enum class OptionStatus : int { ok = 0, unknown_option = 1, illegal_value = 2 };

// Reading. Each reads only options of its own type: any other is refused with the message
// that names the option's own type (an int option is no bool, even though a bool can be set as
// an int).
OptionStatus getBoolOption(const VeloriumOptions& options, std::string_view name, bool& value);
OptionStatus getIntOption(const VeloriumOptions& options, std::string_view name, int& value);
OptionStatus getDoubleOption(const VeloriumOptions& options, std::string_view name, double& value);
OptionStatus getStringOption(const VeloriumOptions& options, std::string_view name, std::string& value);
// The option's own text, for callers that hand out a pointer valid until the option changes.
OptionStatus getStringOptionPointer(const VeloriumOptions& options, std::string_view name,
                                    const std::string*& value);

// Changing. A bool option takes an int as value != 0; an int option takes a bool as 0 or 1
// (range-checked). Ranges are inclusive; NaN never passes.
OptionStatus setBoolOption(VeloriumOptions& options, std::string_view name, bool value);
OptionStatus setIntOption(VeloriumOptions& options, std::string_view name, int value);
OptionStatus setDoubleOption(VeloriumOptions& options, std::string_view name, double value);

// Sets an option of any type from its text, independent of the process locale:
// - bool: "t", "true", "1", "on", "f", "false", "0", "off" in any case;
// - int: a decimal integer between optional white space, saturated at the 32-bit limits; an
//   empty text reads as 0;
// - double: a number as strtod reads it in the "C" locale, between optional white space; an
//   empty text reads as 0.0; any other text is refused;
// - string: any text the option allows (allowed texts compare without regard to case); the
//   text is stored as given.
OptionStatus setOptionFromString(VeloriumOptions& options, std::string_view name, std::string_view text);

}  // namespace velorium

// The one-time numeric-locale step of the first model of the process.
#pragma once

namespace velorium::cpp_impl {

// Numbers in model files and option texts are written and read with ".": when the decimal
// point of the runtime's numeric locale is something else, the numeric locale (LC_NUMERIC
// only) becomes "C". Runs once per process, under a one-time guard; later calls do nothing,
// so a host that sets a comma locale after its first model keeps it. CreateModel calls it
// before it constructs the model.
void use_point_as_decimal_separator_once();

}  // namespace velorium::cpp_impl

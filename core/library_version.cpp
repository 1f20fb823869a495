#include "velorium/velorium.hpp"

namespace velorium {
// Version of the library, for the launch banner.
VELORIUM_API const char* library_version() { return "1.0.0"; }
}  // namespace velorium

// Velorium object interface: interfaces, enumerations, the library's exception and factories.
#pragma once

#if defined(VELORIUM_BUILDING_LIBRARY)
#define VELORIUM_API __attribute__((visibility("default")))
#else
#define VELORIUM_API
#endif

namespace velorium {
}  // namespace velorium

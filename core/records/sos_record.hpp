// One SOS set read from a file (models with SOS sets are rejected after reading).
#pragma once

#include <cstdint>
#include <vector>

namespace velorium {

struct SosEntry {
  std::int32_t variable = -1;  // store index
  double weight = 0.0;
};

struct SosRecord {
  std::int32_t name_id = -1;  // pool id of the set's name
  std::uint16_t sos_type = 1;  // 1 or 2
  std::vector<SosEntry> entries;  // in file order
};

}  // namespace velorium

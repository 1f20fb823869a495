#include "core/records/model.hpp"

namespace velorium {

Model::Model() {
  rows.reserve(kReservedRows);
  variables.reserve(kReservedVariables);
  sos_sets.reserve(kReservedSosSets);
}

}  // namespace velorium

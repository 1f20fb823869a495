// The flat model record exchanged by the model store, the file readers and writers and the
// remote path.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/records/constraint.hpp"
#include "core/records/expression.hpp"
#include "core/records/general_constraint_record.hpp"
#include "core/records/sos_record.hpp"
#include "core/records/variable.hpp"

namespace velorium {

// Names are pool ids inside the records; the only texts are the model's name and source path
// and the names of general constraints. Copies are deep; a moved-from model is left empty.
struct Model {
  std::string name;         // printed on the MPS NAME line; set by the readers
  std::string source_path;  // the file the model was read from, as the caller gave it
  Expression objective;     // terms, offset (constant) and name id of the objective
  std::int32_t objective_sense = 0;  // 0 minimize, any other value maximize
  std::vector<GeneralConstraintRecord> general_constraints;
  std::vector<Constraint> rows;       // position = row store index
  std::vector<Variable> variables;    // position = variable store index
  std::vector<SosRecord> sos_sets;
  std::int32_t indicator_count = 0;   // counted by the LP reader; otherwise not kept up

  static constexpr std::size_t kReservedRows = 65536;
  static constexpr std::size_t kReservedVariables = 262144;
  static constexpr std::size_t kReservedSosSets = 1024;

  // Reserves room so that the first additions do not reallocate (capacity only).
  Model();
  // Without the reservations: for the working model of a model store, of which a process may
  // hold very many, each growing only as members are added.
  struct NoReservation {};
  explicit Model(NoReservation) {}
  Model(const Model&) = default;
  Model(Model&&) noexcept = default;
  Model& operator=(const Model&) = default;
  Model& operator=(Model&&) noexcept = default;
  ~Model() = default;
};

}  // namespace velorium

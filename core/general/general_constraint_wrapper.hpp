// The IGeneralConstraint objects handed to callers.
#pragma once

#include <memory>

#include "core/base/error_info_base.hpp"
#include "core/general/general_constraint.hpp"
#include "velorium/velorium.hpp"

namespace velorium::cpp_impl {

class ModelBuilder;

// A handle on a general constraint: the store whose variables it refers to (for a free one the
// store of its result variable) and the shared data. A wrapper from a model shares the data
// with the store, so changes made through one wrapper are seen by all of them and by the
// model. Releasing a wrapper never changes the model.
class GeneralConstraintWrapper final : public ErrorInfoBase<IGeneralConstraint> {
 public:
  GeneralConstraintWrapper(std::shared_ptr<ModelBuilder> model, std::shared_ptr<GeneralConstraint> data) noexcept;
  ~GeneralConstraintWrapper() override;

  // Takes the general constraint out of the store that holds it (its count, its look-ups and
  // its flat model); the wrapper keeps the data as a free general constraint. Nothing happens
  // to one that no store holds.
  void Remove() override;
  // A view of the stored tree: changes made through it change the general constraint.
  IGeneralExpression* GetExpression() override;
  // A new variable handle on the result variable (which may have been removed since).
  IVariable* GetVariable() override;
  // "" when it has none, never null.
  const char* GetName() override;
  // In a store the name must be free among the rows and the other general constraints, else a
  // unique name is made from it; a null or empty name gives a generated one; a name that
  // starts with a blank fails with 137. A free general constraint takes the name as given.
  void SetName(const char* name) override;

  const std::shared_ptr<ModelBuilder>& model() const noexcept { return model_; }
  const std::shared_ptr<GeneralConstraint>& data() const noexcept { return data_; }

 private:
  std::shared_ptr<ModelBuilder> model_;
  std::shared_ptr<GeneralConstraint> data_;
};

}  // namespace velorium::cpp_impl

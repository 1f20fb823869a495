// The variable handle handed out by models, expressions and general constraints.
#pragma once

#include <cstdint>
#include <memory>

#include "core/base/error_info_base.hpp"
#include "core/base/handle_memory.hpp"
#include "velorium/velorium.hpp"

namespace velorium::cpp_impl {

class ModelBuilder;

// The store's type code of a public variable_type value: 0 to 4 unchanged, anything else
// continuous (0).
std::uint32_t normalize_variable_type(int type) noexcept;

// Holds the store and the variable's store index (not its position, which changes when other
// variables are removed). Nothing is checked when a handle is made: a handle of an index out
// of range fails with 110 on every operation, one of a removed variable with 111.
// A model hands out one per variable added: 56 bytes, from the handles' own memory.
class VariableImpl : public ErrorInfoBase<IVariable> {
 public:
  VariableImpl(std::shared_ptr<ModelBuilder> model, std::int32_t store_index) noexcept;
  ~VariableImpl() override;

  static void* operator new(std::size_t size) { return allocate_handle(size); }
  static void operator delete(void* block, std::size_t size) noexcept { release_handle(block, size); }

  const char* GetName() override;
  void SetName(const char* name) override;
  void SetUpperBound(double upper) override;
  double GetUpperBound() override;
  void SetLowerBound(double lower) override;
  double GetLowerBound() override;
  void Remove() override;
  variable_type GetType() override;
  void SetType(variable_type type) override;

  const std::shared_ptr<ModelBuilder>& model() const noexcept { return model_; }
  std::int32_t index() const noexcept { return index_; }

 private:
  std::int32_t index_;  // first, where it fits beside the error code
  std::shared_ptr<ModelBuilder> model_;
};

}  // namespace velorium::cpp_impl

// The model's general constraints: adding, looking up, removing.
#include <memory>

#include "core/base/catalogue_error.hpp"
#include "core/general/general_constraint_wrapper.hpp"
#include "core/general/model_general_constraints.hpp"
#include "core/model/model_impl.hpp"
#include "core/model/variable_impl.hpp"
#include "core/store/model_builder.hpp"

namespace velorium::cpp_impl {

IGeneralConstraint* ModelImpl::GetGeneralConstraint(int idx) {
  return guarded<IGeneralConstraint*>(nullptr, [&] {
    return new GeneralConstraintWrapper(builder, builder->general_constraint_at(idx));
  });
}

IGeneralConstraint* ModelImpl::GetGeneralConstraintByName(const char* name) {
  return guarded<IGeneralConstraint*>(nullptr, [&] {
    return new GeneralConstraintWrapper(builder, builder->general_constraint_by_name(name ? name : ""));
  });
}

void ModelImpl::AddGeneralConstraintObject(IGeneralConstraint* gc) {
  guarded([&] { add_general_constraint_object_to(*builder, gc, &options.log_options); });
}

IGeneralConstraint* ModelImpl::AddGeneralConstraint(IGeneralExpression* expr, IVariable* var, const char* name) {
  return guarded<IGeneralConstraint*>(nullptr, [&] {
    if (const VariableImpl* variable = library_variable(var)) {
      // A variable of another model is another model's source (405); a handle that names no
      // variable of this one fails as every use of it does (110, 111).
      if (variable->model() != builder) throw_catalogue_error(405);
      builder->variable_record(variable->index());
    }
    std::shared_ptr<GeneralConstraint> added =
        add_general_constraint_to(*builder, expr, var, name, &options.log_options);
    return new GeneralConstraintWrapper(builder, std::move(added));
  });
}

void ModelImpl::RemoveGeneralConstraint(IGeneralConstraint* gc) {
  guarded([&] { remove_general_constraint_from(*builder, gc); });
}

}  // namespace velorium::cpp_impl

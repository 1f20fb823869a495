#include "core/capi/model_error.hpp"

#include "core/base/error_info_base.hpp"

namespace velorium::capi {

void store_model_error(IModel* model, const char* text, int code) noexcept {
  if (auto* library_model = dynamic_cast<cpp_impl::ErrorInfoBase<IMatrixModel>*>(model)) {
    library_model->SetError(text, code);
  }
}

}  // namespace velorium::capi

// Error information that a function of the function interface leaves in a model.
#pragma once

#include "velorium/velorium.hpp"

namespace velorium::capi {

// Stores a failure in the model's error information, when the model is one of the library's
// (a model of another kind has no way to take it). Never throws.
void store_model_error(IModel* model, const char* text, int code) noexcept;

}  // namespace velorium::capi

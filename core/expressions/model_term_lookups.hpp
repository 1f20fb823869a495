// The term look-ups of the places of terms inside a model (its objective and its rows), shared
// by every expression view of the same place, whichever handle or model call made the view.
#pragma once

#include <cstdint>
#include <memory>

#include "core/expressions/term_lookup.hpp"

namespace velorium::cpp_impl {

class ModelBuilder;

// The objective's place; rows are addressed by their store index.
inline constexpr std::int32_t kObjectivePlace = -1;

// The look-up of one place of `builder`: the same object for as long as any view of that place
// holds it. The caller must keep `builder` alive while it holds the result (an expression store
// holds both), so that no other model can come to live at the same address meanwhile.
std::shared_ptr<TermLookup> model_term_lookup(const ModelBuilder* builder, std::int32_t place);

// To be called by whatever replaces the terms of the objective or of rows of `builder`
// wholesale (a new objective, a model taken over from a file): the look-ups of that model
// forget what they knew. Appending terms at the end needs no call.
void note_model_terms_replaced(const ModelBuilder* builder) noexcept;

}  // namespace velorium::cpp_impl

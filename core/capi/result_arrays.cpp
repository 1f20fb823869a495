// The array getters of the function interface: they reach a result's array face by a run-time
// cast, so a result without that face gives no array instead of a wrong call.
#include "velorium/velorium.h"
#include "velorium/velorium.hpp"

namespace {

using ArrayGetter = const double* (velorium::ISolveResultEx::*)(std::uint64_t* count);

const double* result_array(VeloriumSolveResult* result, uint64_t* count, ArrayGetter getter) {
  auto* array_face = dynamic_cast<velorium::ISolveResultEx*>(result);
  if (array_face == nullptr) {
    if (count != nullptr) *count = 0;
    return nullptr;
  }
  return (array_face->*getter)(count);
}

}  // namespace

extern "C" {

const double* SolveResult_GetValuesArray(VeloriumSolveResult* result, uint64_t* count) {
  return result_array(result, count, &velorium::ISolveResultEx::GetValuesArray);
}

const double* SolveResult_GetDualValuesArray(VeloriumSolveResult* result, uint64_t* count) {
  return result_array(result, count, &velorium::ISolveResultEx::GetDualValuesArray);
}

const double* SolveResult_GetReducedCostsArray(VeloriumSolveResult* result, uint64_t* count) {
  return result_array(result, count, &velorium::ISolveResultEx::GetReducedCostsArray);
}

}  // extern "C"

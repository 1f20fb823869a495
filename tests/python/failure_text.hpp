// The failure of a piece of work as a test compares it.
#pragma once

#include <string>

#include "velorium/velorium.hpp"

namespace velorium::testing {

// The exception's code and text, or "no exception".
template <class Work>
std::string failure_of(Work&& work) {
  try {
    work();
  } catch (const velorium_exception& failure) {
    return std::to_string(failure.code()) + " " + failure.what();
  }
  return "no exception";
}

}  // namespace velorium::testing

// Test helpers for the library's failures: a check that an operation throws
// velorium_exception (-1) with a given catalogue text.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"
#include "velorium/velorium.hpp"

namespace velorium::testing {

// The catalogue text of `message_id` filled in with `args`.
template <class... Args>
std::string catalogue_text(int message_id, Args... args) {
  if constexpr (sizeof...(Args) == 0) {
    return get_message(message_id);
  } else {
    return formatString(get_message(message_id), args...);
  }
}

// The same without the line feeds it ends with, as it stands inside a longer text.
template <class... Args>
std::string catalogue_line(int message_id, Args... args) {
  std::string text = catalogue_text(message_id, args...);
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

template <class Operation, class... Args>
::testing::AssertionResult fails_with(Operation&& operation, int message_id, Args... args) {
  const std::string expected = catalogue_text(message_id, args...);
  try {
    operation();
  } catch (const velorium_exception& e) {
    if (e.code() != -1) return ::testing::AssertionFailure() << "code " << e.code() << " instead of -1";
    if (expected != e.what()) {
      return ::testing::AssertionFailure() << "text \"" << e.what() << "\" instead of \"" << expected << "\"";
    }
    return ::testing::AssertionSuccess();
  } catch (const std::exception& e) {
    return ::testing::AssertionFailure() << "another exception: " << e.what();
  }
  return ::testing::AssertionFailure() << "no failure; expected \"" << expected << "\"";
}

}  // namespace velorium::testing

// The implementation of IErrorInfo shared by every implementation class, and the error
// protocol of interface operations.
#pragma once

#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <utility>

#include "velorium/velorium.hpp"

namespace velorium::cpp_impl {

// The text of the last failure. Nothing is allocated while there is none, so an object that
// never fails (as most of the millions of handles a large model hands out) carries one
// pointer for it.
class ErrorText {
 public:
  const char* c_str() const noexcept { return text_ ? text_.get() : ""; }
  // Copies `text`; when that memory cannot be had the text is left empty.
  void assign(const char* text) noexcept {
    const std::size_t length = std::strlen(text);
    std::unique_ptr<char[]> copy(length == 0 ? nullptr : new (std::nothrow) char[length + 1]);
    if (copy) std::memcpy(copy.get(), text, length + 1);
    text_ = std::move(copy);
  }
  void clear() noexcept { text_.reset(); }

 private:
  std::unique_ptr<char[]> text_;
};

// Sits between a public interface and its implementation class:
//   class VariableImpl : public ErrorInfoBase<IVariable> { ... };
// A new object starts with code 0 and an empty text.
template <class Interface>
class ErrorInfoBase : public Interface {
 public:
  int GetErrorCode() const override { return error_code; }
  const char* GetErrorText() const override { return error_text.c_str(); }
  // No reference count: the object is gone after this call.
  void Release() override { delete this; }

  // Stores a failure; never throws (an unstorable text leaves the text empty).
  void SetError(const char* text, int code) noexcept {
    error_text.assign(text ? text : "");
    error_code = code;
  }

 protected:
  void clear_error() noexcept {
    error_text.clear();
    error_code = 0;
  }

  // The protocol of an interface operation: clear the error information, do the work, and
  // turn whatever it throws into error information, returning `neutral` instead of a result.
  template <class Result, class Work>
  Result guarded(Result neutral, Work&& work) noexcept {
    clear_error();
    try {
      return std::forward<Work>(work)();
    } catch (...) {
      store_current_exception();
    }
    return neutral;
  }

  template <class Work>
  void guarded(Work&& work) noexcept {
    clear_error();
    try {
      std::forward<Work>(work)();
    } catch (...) {
      store_current_exception();
    }
  }

  // Inside a catch block: stores the exception being handled. A velorium_exception keeps its
  // code; every other failure gets -1.
  void store_current_exception() noexcept {
    try {
      throw;
    } catch (const velorium_exception& e) {
      SetError(e.what(), e.code());
    } catch (const std::exception& e) {
      SetError(e.what(), -1);
    } catch (...) {
      SetError("Unknown error", -1);
    }
  }

  ErrorText error_text;
  int error_code = 0;
};

}  // namespace velorium::cpp_impl

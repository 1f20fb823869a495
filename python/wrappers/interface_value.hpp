// How the module holds library objects. Library objects keep no reference count: Release
// destroys them at once. So every value class holds exactly one shared pointer whose deleter
// releases the object, and copies of a value share one library object.
#pragma once

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

#include "velorium/velorium.hpp"

namespace velorium {

// Destroys a library object; null is ignored.
void release_interface(IReleasable* object) noexcept;

// Takes ownership of an object the library just returned. No check: a null pointer gives an
// empty holder, whose deleter does nothing.
template <class Interface>
std::shared_ptr<Interface> make_interface_ptr(Interface* raw) {
  return std::shared_ptr<Interface>(raw, [](Interface* object) { release_interface(object); });
}

// The error check: throws velorium_exception with the object's code and text when its last
// operation failed. A missing object counts as a failed operation.
void check_error(const IErrorInfo* object);

// Thrown where a value holds no library object.
[[noreturn]] void throw_missing_object();

// The one member of every value class, and the access its methods share.
template <class Interface>
class InterfaceValue {
 public:
  using interface_type = Interface;

  InterfaceValue() = default;
  explicit InterfaceValue(std::shared_ptr<Interface> held) noexcept : held_(std::move(held)) {}

  // The raw interface pointer, valid while this value lives; no reference is taken.
  Interface* get_interface() const noexcept { return held_.get(); }

  // The held object; an empty value refuses every operation.
  Interface& object() const {
    if (!held_) throw_missing_object();
    return *held_;
  }

  // The error check on the held object.
  void check() const { check_error(&object()); }

  // One library operation on the held object followed by the error check on it; gives the
  // operation's result.
  template <class Operation, class... Args>
  decltype(auto) call(Operation operation, Args&&... args) const {
    Interface& target = object();
    if constexpr (std::is_void_v<std::invoke_result_t<Operation, Interface&, Args...>>) {
      std::invoke(operation, target, std::forward<Args>(args)...);
      check_error(&target);
    } else {
      auto result = std::invoke(operation, target, std::forward<Args>(args)...);
      check_error(&target);
      return result;
    }
  }

  // The same for an operation that returns a new library object: it is adopted into a value
  // of class `Value` before the check, so a failure releases it.
  template <class Value, class Operation, class... Args>
  Value call_adopt(Operation operation, Args&&... args) const;

 protected:
  // For a value class whose operations replace the object it holds.
  void reset(std::shared_ptr<Interface> held) noexcept { held_ = std::move(held); }
  const std::shared_ptr<Interface>& held() const noexcept { return held_; }

 private:
  std::shared_ptr<Interface> held_;
};

// A value of class `Value` adopting an object that the library just returned; no check.
template <class Value>
Value adopt(typename Value::interface_type* raw) {
  return Value(make_interface_ptr(raw));
}

// The same, followed by the error check on the adopted object (an adopted null fails it).
template <class Value>
Value adopt_checked(typename Value::interface_type* raw) {
  Value value = adopt<Value>(raw);
  check_error(value.get_interface());
  return value;
}

template <class Interface>
template <class Value, class Operation, class... Args>
Value InterfaceValue<Interface>::call_adopt(Operation operation, Args&&... args) const {
  Interface& target = object();
  Value result = adopt<Value>(std::invoke(operation, target, std::forward<Args>(args)...));
  check_error(&target);
  return result;
}

}  // namespace velorium

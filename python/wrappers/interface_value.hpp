// How the module holds library objects. Library objects keep no reference count: Release
// destroys them at once. So every value class holds a SharedInterface (shared_interface.hpp),
// which releases the object with its last holder, and copies of a value share one library
// object. Beside it a value holds what the
// object can reach (model_use.hpp), so that a model busy in an operation on another thread is
// not reached through any of its objects.
#pragma once

#include <functional>
#include <type_traits>
#include <utility>

#include "python/wrappers/model_use.hpp"
#include "python/wrappers/shared_interface.hpp"
#include "velorium/velorium.hpp"

namespace velorium {

// Takes ownership of an object the library just returned. No check: a null pointer gives an
// empty holder, which releases nothing.
template <class Interface>
SharedInterface<Interface> make_interface_ptr(Interface* raw) {
  return SharedInterface<Interface>(raw);
}

// The error check: throws velorium_exception with the object's code and text when its last
// operation failed. A missing object counts as a failed operation.
void check_error(const IErrorInfo* object);

// Thrown where a value holds no library object.
[[noreturn]] void throw_missing_object();

// The members of every value class, and the access its methods share.
template <class Interface>
class InterfaceValue {
 public:
  using interface_type = Interface;

  InterfaceValue() = default;
  explicit InterfaceValue(SharedInterface<Interface> held, UseRef use = nullptr) noexcept
      : held_(std::move(held)), use_(std::move(use)) {}
  // A copy shares the object and what it reaches (a free use is made for both first when the
  // object reaches nothing yet, so that a model the one takes is seen through the other).
  InterfaceValue(const InterfaceValue& other) : held_(other.held_), use_(other.shared_use()) {}
  InterfaceValue& operator=(const InterfaceValue& other) {
    if (this != &other) {
      held_ = other.held_;
      use_ = other.shared_use();
    }
    return *this;
  }
  InterfaceValue(InterfaceValue&&) noexcept = default;
  InterfaceValue& operator=(InterfaceValue&&) noexcept = default;
  ~InterfaceValue() = default;

  // The raw interface pointer, to hand to another library operation; valid while this value
  // lives, no reference is taken. Refused while the model it reaches is busy (model_use.hpp).
  Interface* get_interface() const {
    check_use(use_);
    return held_.get();
  }
  // The same without the check, for what reads no model data (the release, a test).
  Interface* raw_interface() const noexcept { return held_.get(); }

  // The held object; an empty value refuses every operation, and so does a busy model.
  Interface& object() const {
    check_use(use_);
    if (!held_) throw_missing_object();
    return *held_;
  }

  // What the object can reach (may be null).
  const UseRef& use() const noexcept { return use_; }
  // The same for values that will share the object: a free use is made first when there is
  // none.
  const UseRef& shared_use() const {
    if (!use_) use_ = ModelUse::new_free_use();
    return use_;
  }
  // After an operation that gave this object terms or nodes of `source`: it reaches source's
  // model too, unless it reaches one already (the library keeps a store's first model).
  template <class Other>
  void take_model_of(const InterfaceValue<Other>& source) {
    const UseRef& model = reached_model(source.use());
    if (!model) return;
    if (!use_) {
      use_ = model;
    } else {
      use_->take_model(model);
    }
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

  // The same for an operation that returns a new library object that shares what this one
  // reaches (a member, a view, a term's variable): it is adopted into a value of class `Value`
  // before the check, so a failure releases it.
  template <class Value, class Operation, class... Args>
  Value call_adopt(Operation operation, Args&&... args) const;

 protected:
  // For a value class whose operations replace the object it holds.
  void reset(SharedInterface<Interface> held) noexcept { held_ = std::move(held); }
  const SharedInterface<Interface>& held() const noexcept { return held_; }
  void set_use(UseRef use) noexcept { use_ = std::move(use); }

 private:
  SharedInterface<Interface> held_;
  mutable UseRef use_;
};

// A value of class `Value` adopting an object that the library just returned, reaching what
// `use` stands for; no check.
template <class Value>
Value adopt(typename Value::interface_type* raw, UseRef use = nullptr) {
  return Value(make_interface_ptr(raw), std::move(use));
}

// The same, followed by the error check on the adopted object (an adopted null fails it).
template <class Value>
Value adopt_checked(typename Value::interface_type* raw, UseRef use = nullptr) {
  Value value = adopt<Value>(raw, std::move(use));
  check_error(value.get_interface());
  return value;
}

template <class Interface>
template <class Value, class Operation, class... Args>
Value InterfaceValue<Interface>::call_adopt(Operation operation, Args&&... args) const {
  Interface& target = object();
  Value result = adopt<Value>(std::invoke(operation, target, std::forward<Args>(args)...), shared_use());
  check_error(&target);
  return result;
}

}  // namespace velorium

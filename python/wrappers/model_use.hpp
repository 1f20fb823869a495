// Which model a value's library object can reach, and whether that model may be used now.
//
// The library lets one thread at a time use a model and every object made from it. Under
// Python the interpreter's lock keeps that rule, except where the module lets the lock go:
// reading, writing and solving a model run without it, and a log line handed to Python code
// (the log callable, sys.stdout) lets the interpreter run other threads in the middle of the
// operation that logs. So while a model is in such an operation, every call on it or on an
// object that can reach its data is refused at once (velorium_exception with a text that names
// the operation): from every thread while the operation runs without the lock (the thread
// that runs it reaches Python only through the log callable), from the other threads while a
// log line of an operation is in Python code. A refused call has changed nothing.
//
// Each value holds the ModelUse of what its object can reach:
// - a model's own, shared by the model and by every member, view, expression and result that
//   refers to its data;
// - a free one, shared by the values of one store that belongs to no model yet (an expression
//   without terms, a constraint object or tree made from one): the store takes the model of
//   the first operand that brings one, and so does its ModelUse, for every value that shares
//   it;
// - none, for an object that reaches no model and that no other value shares.
//
// The flags of a ModelUse are read and changed only while the interpreter's lock is held,
// which orders every access. A value refers to its ModelUse through a UseRef, a counted
// reference of one pointer, so that a value of the classes that programs keep by the million
// stays within two words and fits in its Python object; the count is atomic, since a result
// may be made while the lock is let go.
#pragma once

#include <atomic>
#include <cstddef>
#include <thread>
#include <utility>

namespace velorium {

class ModelUse;

// A counted reference to a ModelUse (may be null).
class UseRef {
 public:
  UseRef() noexcept = default;
  UseRef(std::nullptr_t) noexcept {}
  UseRef(const UseRef& other) noexcept : use_(other.use_) { add(); }
  UseRef(UseRef&& other) noexcept : use_(std::exchange(other.use_, nullptr)) {}
  UseRef& operator=(UseRef other) noexcept {
    std::swap(use_, other.use_);
    return *this;
  }
  ~UseRef() { drop(); }

  ModelUse* get() const noexcept { return use_; }
  ModelUse* operator->() const noexcept { return use_; }
  ModelUse& operator*() const noexcept { return *use_; }
  explicit operator bool() const noexcept { return use_ != nullptr; }
  friend bool operator==(const UseRef& a, const UseRef& b) noexcept { return a.use_ == b.use_; }

 private:
  friend class ModelUse;
  // Takes the reference that a new ModelUse starts with.
  explicit UseRef(ModelUse* adopted) noexcept : use_(adopted) {}
  void add() const noexcept;
  void drop() noexcept;

  ModelUse* use_ = nullptr;
};

class ModelUse {
 public:
  static UseRef new_model_use();
  static UseRef new_free_use();

  ModelUse(const ModelUse&) = delete;
  ModelUse& operator=(const ModelUse&) = delete;

  bool is_model() const noexcept { return own_; }
  // The model's use that a free one has taken, or null.
  const UseRef& taken_model() const noexcept { return model_; }
  // A free use without a model takes `model` (a model's use); any other keeps what it has.
  void take_model(const UseRef& model) noexcept {
    if (!own_ && !model_) model_ = model;
  }

  // Throws velorium_exception when the model may not be used from this thread now.
  void check() const {
    const ModelUse& model = model_ ? *model_ : *this;
    if (model.operation_ != nullptr || model.delivering_ != 0) model.refuse_busy();
  }

  // While it lives, the model runs `operation` without the interpreter's lock: every use is
  // refused. Made and destroyed with the lock held; operations do not nest.
  class Running {
   public:
    Running(ModelUse& model, const char* operation) noexcept;
    ~Running();
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

   private:
    ModelUse& model_;
  };

  // While it lives, this thread hands a log line of the model's operation to Python code: the
  // other threads' uses are refused. Made and destroyed with the lock held; nests.
  class Delivering {
   public:
    explicit Delivering(ModelUse& model) noexcept;
    ~Delivering();
    Delivering(const Delivering&) = delete;
    Delivering& operator=(const Delivering&) = delete;

   private:
    ModelUse& model_;
    bool counted_;
  };

 private:
  friend class UseRef;

  explicit ModelUse(bool own) noexcept : own_(own) {}
  // Throws unless only this thread's own log line holds the model.
  void refuse_busy() const;

  UseRef model_;                     // free ones: the model's use taken
  const char* operation_ = nullptr;  // the operation running without the lock
  int delivering_ = 0;               // nesting of log lines in Python code
  std::thread::id delivering_thread_;
  std::atomic<int> references_{1};
  bool own_;  // a model's own
};

inline void UseRef::add() const noexcept {
  if (use_) use_->references_.fetch_add(1, std::memory_order_relaxed);
}

inline void UseRef::drop() noexcept {
  if (use_ && use_->references_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete use_;
}

// The model's use that `use` stands for: itself for a model's, the model a free one has taken,
// else null.
inline const UseRef& reached_model(const UseRef& use) noexcept {
  return use && !use->is_model() ? use->taken_model() : use;
}

// Refuses, as check() does, when `use` (may be null) may not be used now.
inline void check_use(const UseRef& use) {
  if (use) use->check();
}

}  // namespace velorium

// Ownership of a library object shared by the values that hold it. Library objects keep no
// reference count: Release destroys them at once, so the last holder releases the object.
//
// Nearly every object has one holder all its life (values are moved, rarely copied), and a
// program keeps variables and rows by the million, so a single holder holds the object's
// pointer alone: one word, no allocation. The first copy moves the pointer into a counted block
// that the holders then share. The word's low bit tells the two apart (library objects are
// aligned to more than a byte). A copy changes the value it copies from, so the copies of one
// value are made by one thread at a time, as the module makes them: under the interpreter's
// lock, or by the one thread that runs an operation without it. The count itself is atomic,
// since holders made that way may go on other threads.
#pragma once

#include <atomic>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "velorium/velorium.hpp"

namespace velorium {

// Destroys a library object; null is ignored.
void release_interface(IReleasable* object) noexcept;

template <class Interface>
class SharedInterface {
 public:
  SharedInterface() noexcept = default;
  SharedInterface(std::nullptr_t) noexcept {}
  // Takes ownership of `adopted` (null gives an empty holder).
  explicit SharedInterface(Interface* adopted) noexcept : bits_(reinterpret_cast<std::uintptr_t>(adopted)) {
    assert((bits_ & kSharedBit) == 0);
  }
  SharedInterface(const SharedInterface& other) : bits_(other.share()) {}
  SharedInterface(SharedInterface&& other) noexcept : bits_(std::exchange(other.bits_, 0)) {}
  SharedInterface& operator=(SharedInterface other) noexcept {
    std::swap(bits_, other.bits_);
    return *this;
  }
  ~SharedInterface() { drop(); }

  Interface* get() const noexcept {
    return (bits_ & kSharedBit) ? block()->object : reinterpret_cast<Interface*>(bits_);
  }
  Interface& operator*() const noexcept { return *get(); }
  Interface* operator->() const noexcept { return get(); }
  explicit operator bool() const noexcept { return bits_ != 0; }

 private:
  struct Block {
    Interface* object;
    std::atomic<std::size_t> holders;
  };
  static constexpr std::uintptr_t kSharedBit = 1;

  Block* block() const noexcept { return reinterpret_cast<Block*>(bits_ & ~kSharedBit); }

  // The word of one more holder: the counted block, made first when this is the only holder.
  std::uintptr_t share() const {
    if (bits_ == 0) return 0;
    if (!(bits_ & kSharedBit)) {
      bits_ = reinterpret_cast<std::uintptr_t>(new Block{reinterpret_cast<Interface*>(bits_), 1}) | kSharedBit;
    }
    block()->holders.fetch_add(1, std::memory_order_relaxed);
    return bits_;
  }

  void drop() noexcept {
    if (!(bits_ & kSharedBit)) {
      release_interface(reinterpret_cast<Interface*>(bits_));
      return;
    }
    Block* shared = block();
    if (shared->holders.fetch_sub(1, std::memory_order_acq_rel) == 1) {
      release_interface(shared->object);
      delete shared;
    }
  }

  mutable std::uintptr_t bits_ = 0;
};

}  // namespace velorium

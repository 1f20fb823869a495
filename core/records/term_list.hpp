// The growable array of an expression's terms, which holds its first few terms inside itself.
// Most rows that programs add one at a time have very few terms: in a std::vector each row's
// terms were a block of their own, an allocation and fresh memory in small pages for every row.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <new>
#include <stdexcept>
#include <type_traits>

#include "core/names/table_memory.hpp"

namespace velorium {

// A sequence of trivially copyable terms with the std::vector operations that the library uses.
// Up to `kInline` terms live in the object (in the bytes of the block pointer); more live in a
// block of their own, which large sequences take in huge pages. Unlike a std::vector, moving a
// sequence of inline terms moves the terms too: pointers into it do not survive a move.
template <class Term, std::uint32_t kInline>
class TermList {
  static_assert(std::is_trivially_copyable_v<Term> && std::is_trivially_destructible_v<Term>);

 public:
  using value_type = Term;
  using size_type = std::size_t;
  using difference_type = std::ptrdiff_t;
  using reference = Term&;
  using const_reference = const Term&;
  using pointer = Term*;
  using const_pointer = const Term*;
  using iterator = Term*;
  using const_iterator = const Term*;

  TermList() noexcept = default;
  TermList(std::initializer_list<Term> terms) { assign(terms.begin(), terms.end()); }
  TermList(const TermList& other) { copy_from(other.data(), other.size()); }
  TermList(TermList&& other) noexcept { take(other); }
  TermList& operator=(const TermList& other) {
    if (this != &other) assign(other.begin(), other.end());
    return *this;
  }
  TermList& operator=(TermList&& other) noexcept {
    if (this != &other) {
      release();
      take(other);
    }
    return *this;
  }
  ~TermList() { release(); }

  Term* data() noexcept { return on_heap() ? storage_.block : inline_terms(); }
  const Term* data() const noexcept { return on_heap() ? storage_.block : inline_terms(); }
  std::size_t size() const noexcept { return size_; }
  std::size_t capacity() const noexcept { return on_heap() ? capacity_ : kInline; }
  bool empty() const noexcept { return size_ == 0; }
  static constexpr std::size_t inline_capacity = kInline;
  static constexpr std::size_t max_size() noexcept { return std::numeric_limits<std::uint32_t>::max(); }

  Term* begin() noexcept { return data(); }
  Term* end() noexcept { return data() + size_; }
  const Term* begin() const noexcept { return data(); }
  const Term* end() const noexcept { return data() + size_; }
  const Term* cbegin() const noexcept { return begin(); }
  const Term* cend() const noexcept { return end(); }

  Term& operator[](std::size_t i) noexcept { return data()[i]; }
  const Term& operator[](std::size_t i) const noexcept { return data()[i]; }
  Term& at(std::size_t i) { return data()[checked(i)]; }
  const Term& at(std::size_t i) const { return data()[checked(i)]; }
  Term& front() noexcept { return data()[0]; }
  const Term& front() const noexcept { return data()[0]; }
  Term& back() noexcept { return data()[size_ - 1]; }
  const Term& back() const noexcept { return data()[size_ - 1]; }

  // Room for `count` terms in all; a large sequence's block fills whole huge pages.
  void reserve(std::size_t count) {
    if (count > capacity()) move_to_block(count);
  }
  void push_back(const Term& term) {
    if (size_ == capacity()) {
      const Term copy = term;  // `term` may be one of this sequence's own terms
      move_to_block(grown_capacity(size_ + std::size_t{1}));
      data()[size_++] = copy;
      return;
    }
    data()[size_++] = term;
  }
  template <class... Arguments>
  Term& emplace_back(Arguments&&... arguments) {
    push_back(Term{std::forward<Arguments>(arguments)...});
    return back();
  }
  void pop_back() noexcept { --size_; }
  void clear() noexcept { size_ = 0; }
  // New terms are value-initialised; a smaller count drops the last terms.
  void resize(std::size_t count) {
    reserve(count);
    if (count > size_) std::fill(data() + size_, data() + count, Term());
    size_ = static_cast<std::uint32_t>(count);
  }
  template <class Iterator>
  void assign(Iterator first, Iterator last) {
    const auto count = static_cast<std::size_t>(std::distance(first, last));
    clear();
    reserve(count);
    std::copy(first, last, data());
    size_ = static_cast<std::uint32_t>(count);
  }
  // Back inside the object when the terms fit there, else into a block of their size.
  void shrink_to_fit() {
    if (!on_heap() || size_ == capacity_) return;
    Term* block = storage_.block;
    if (size_ <= kInline) {
      capacity_ = 0;
      std::memcpy(static_cast<void*>(inline_terms()), block, size_ * sizeof(Term));
      std::free(block);
      return;
    }
    move_to_block(size_);
  }
  void swap(TermList& other) noexcept {
    TermList held(std::move(other));
    other = std::move(*this);
    *this = std::move(held);
  }

 private:
  // While the terms live in the object, `capacity_` is 0 and `storage_` holds them.
  bool on_heap() const noexcept { return capacity_ != 0; }
  Term* inline_terms() noexcept { return reinterpret_cast<Term*>(storage_.inline_bytes); }
  const Term* inline_terms() const noexcept { return reinterpret_cast<const Term*>(storage_.inline_bytes); }

  std::size_t checked(std::size_t i) const {
    if (i >= size_) throw std::out_of_range("term position out of range");
    return i;
  }

  std::size_t grown_capacity(std::size_t wanted) const {
    if (wanted > max_size()) throw std::length_error("too many terms in one expression");
    return std::min<std::size_t>(std::max({wanted, capacity() * 2, std::size_t{4}}), max_size());
  }

  // Moves the terms into a block of at least `count` terms (count >= size_).
  void move_to_block(std::size_t count) {
    if (count > max_size()) throw std::length_error("too many terms in one expression");
    const bool large = count * sizeof(Term) >= kHugePageWorthBytes;
    if (large) count = std::min<std::size_t>(huge_page_capacity(count, sizeof(Term)), max_size());
    auto* block = static_cast<Term*>(std::malloc(count * sizeof(Term)));
    if (!block) throw std::bad_alloc();
    if (large) advise_huge_pages_of_buffer(block, count * sizeof(Term));
    if (size_ != 0) std::memcpy(static_cast<void*>(block), data(), size_ * sizeof(Term));
    release();
    storage_.block = block;
    capacity_ = static_cast<std::uint32_t>(count);
  }

  void copy_from(const Term* terms, std::size_t count) {
    if (count > kInline) move_to_block(count);
    if (count != 0) std::memcpy(static_cast<void*>(data()), terms, count * sizeof(Term));
    size_ = static_cast<std::uint32_t>(count);
  }

  void take(TermList& other) noexcept {
    storage_ = other.storage_;
    size_ = other.size_;
    capacity_ = other.capacity_;
    other.size_ = 0;
    other.capacity_ = 0;
  }

  void release() noexcept {
    if (on_heap()) std::free(storage_.block);
    capacity_ = 0;
  }

  union Storage {
    Term* block;
    alignas(Term) unsigned char inline_bytes[std::max(sizeof(Term*), kInline * sizeof(Term))];
  } storage_{};
  std::uint32_t size_ = 0;
  std::uint32_t capacity_ = 0;
};

// For the helpers that grow a model's arrays: a term list's block takes huge pages on its own.
template <class Term, std::uint32_t kInline>
void grow_capacity(TermList<Term, kInline>& sequence, std::size_t capacity) {
  sequence.reserve(capacity);
}

}  // namespace velorium

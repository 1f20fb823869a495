#include "formats/lp/lp_name_table.hpp"

#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace velorium {

namespace {
constexpr std::size_t kBlockSize = 1 << 16;
}  // namespace

std::string_view LpNameTable::store(std::string_view name) {
  // Never a null view: the index takes a null text for an empty slot.
  if (name.empty()) return std::string_view("", 0);
  if (blocks_.empty() || blockSize_ - blockUsed_ < name.size()) {
    // A name longer than a block gets a block of its own size.
    blockSize_ = name.size() > kBlockSize ? name.size() : kBlockSize;
    blocks_.push_back(std::make_unique<char[]>(blockSize_));
    blockUsed_ = 0;
  }
  char* place = blocks_.back().get() + blockUsed_;
  std::memcpy(place, name.data(), name.size());
  blockUsed_ += name.size();
  return std::string_view(place, name.size());
}

std::uint32_t LpNameTable::intern(std::string_view name, const NameIndex::Key& key) {
  if (!interning_) throw std::logic_error("LP names interned after the table was closed");
  const std::int32_t found = index_.find(name, key);
  if (found != NameIndex::kMissing) return static_cast<std::uint32_t>(found);
  if (names_.size() >= static_cast<std::size_t>(INT32_MAX)) throw std::length_error("too many names in one LP file");
  const auto id = static_cast<std::int32_t>(names_.size());
  const std::string_view stored = store(name);
  names_.push_back(stored);
  index_.insert(stored, id);
  return static_cast<std::uint32_t>(id);
}

}  // namespace velorium

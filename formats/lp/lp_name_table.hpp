// The names met while one LP file is read.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "formats/common/name_index.hpp"

namespace velorium {

// Gives each distinct name of one file a dense local id (0, 1, 2, ... in order of first
// appearance), so that the reader's per-name tables are sized by the file and not by the
// process-wide pool of names. The texts are packed into large blocks; a view returned by
// `text` stays valid for the life of the table.
class LpNameTable {
 public:
  std::uint32_t intern(std::string_view name) { return intern(name, NameIndex::keyOf(name)); }
  // The same with the name's key already made, after prefetch(key) some time before, so that
  // the wait for the index's memory overlaps other work.
  std::uint32_t intern(std::string_view name, const NameIndex::Key& key);
  void prefetch(const NameIndex::Key& key) const { index_.prefetch(key); }
  std::string_view text(std::uint32_t id) const { return names_[id]; }
  // Gives back the index once every name is in: the texts stay, further interning is refused.
  void stopInterning() {
    index_ = NameIndex();
    interning_ = false;
  }
  std::size_t size() const { return names_.size(); }

 private:
  std::string_view store(std::string_view name);

  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t blockUsed_ = 0;
  std::size_t blockSize_ = 0;
  std::vector<std::string_view> names_;
  bool interning_ = true;
  NameIndex index_;  // text -> id; a slot keeps the name's first bytes, so most look-ups read only the slot
};

}  // namespace velorium

// The names met while one LP file is read.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace velorium {

// Gives each distinct name of one file a dense local id (0, 1, 2, ... in order of first
// appearance), so that the reader's per-name tables are sized by the file and not by the
// process-wide pool of names. The texts are packed into large blocks; a view returned by
// `text` stays valid for the life of the table.
class LpNameTable {
 public:
  LpNameTable();

  std::uint32_t intern(std::string_view name);
  std::string_view text(std::uint32_t id) const { return names_[id]; }
  std::size_t size() const { return names_.size(); }

 private:
  std::string_view store(std::string_view name);
  void grow();

  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t blockUsed_ = 0;
  std::size_t blockSize_ = 0;
  std::vector<std::string_view> names_;
  // Open addressing, at most half full: each slot holds the upper half of the name's hash
  // (so that most mismatches need no look at the text) and id + 1 below it; 0 is empty.
  std::vector<std::uint64_t> slots_;
};

}  // namespace velorium

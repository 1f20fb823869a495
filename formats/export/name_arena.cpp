#include "formats/export/name_arena.hpp"

#include <cstring>

namespace velorium {

std::string_view NameArena::store(std::string_view text) {
  if (text.empty()) return {};
  if (text.size() > room_) {
    if (text.size() > kBlockSize / 4) {
      // A long text gets a block of its own, so the current block keeps its room.
      blocks_.push_back(std::make_unique_for_overwrite<char[]>(text.size()));
      std::memcpy(blocks_.back().get(), text.data(), text.size());
      return {blocks_.back().get(), text.size()};
    }
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
    free_ = blocks_.back().get();
    room_ = kBlockSize;
  }
  char* copy = free_;
  std::memcpy(copy, text.data(), text.size());
  free_ += text.size();
  room_ -= text.size();
  return {copy, text.size()};
}

}  // namespace velorium

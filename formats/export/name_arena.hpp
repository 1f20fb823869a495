// Stable storage for the texts of one export: a stored text keeps its address until the arena
// is dropped, so records and name sets can hold plain views of it.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace velorium {

class NameArena {
 public:
  NameArena() = default;
  NameArena(const NameArena&) = delete;
  NameArena& operator=(const NameArena&) = delete;
  NameArena(NameArena&&) noexcept = default;
  NameArena& operator=(NameArena&&) noexcept = default;

  // A copy of `text` that lives as long as the arena. A non-empty text never yields a view
  // with a null data pointer.
  std::string_view store(std::string_view text);

 private:
  static constexpr std::size_t kBlockSize = std::size_t{1} << 16;
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* free_ = nullptr;
  std::size_t room_ = 0;
};

}  // namespace velorium

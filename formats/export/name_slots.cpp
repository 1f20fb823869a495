#include "formats/export/name_slots.hpp"

#include <algorithm>

namespace velorium {

void NameSlots::set(std::size_t i, std::string_view name, std::size_t width) {
  Slot& slot = slots_[i];
  std::size_t padded = std::max(name.size(), width);
  longest_ = std::max(longest_, padded);
  if (padded <= kInline) {
    slot.fill(' ');
    slot[0] = static_cast<char>(padded);
    std::memcpy(slot.data() + 1, name.data(), name.size());
    return;
  }
  slot.fill(0);
  slot[0] = static_cast<char>(kLong);
  auto size = static_cast<std::uint32_t>(name.size());
  const char* data = name.data();
  std::memcpy(slot.data() + 4, &size, sizeof size);
  std::memcpy(slot.data() + 8, &data, sizeof data);
}

}  // namespace velorium

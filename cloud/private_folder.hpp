// A folder of one remote operation's own, readable by its owner only (mode 0700), so that no
// other user can read, replace or pre-plant the files written there. It goes with its owner.
#pragma once

#include <string>

namespace velorium::nimbrova {

class PrivateFolder {
 public:
  // Creates a new folder with a unique name beginning with `prefix` inside `parent` (the
  // system's temporary folder when empty); std::runtime_error naming the parent and the
  // reason when it cannot be made.
  explicit PrivateFolder(const std::string& parent, const std::string& prefix = "velorium-");
  // Deletes the regular files and symbolic links directly inside the folder (never what a
  // link points to), then the folder. Never throws.
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  const std::string& path() const noexcept { return path_; }

 private:
  std::string path_;
};

}  // namespace velorium::nimbrova

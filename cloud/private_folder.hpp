// A folder of one remote operation's own, readable by its owner only (mode 0700), so that no
// other user can read, replace or pre-plant the files written there. It goes with its owner.
// It is held open from its creation, and every deletion in it goes through that descriptor:
// where the parent folder lets another user swap the folder for a symbolic link, no deletion
// follows the link.
#pragma once

#include <memory>
#include <string>

#include "cloud/output_file.hpp"
#include "cloud/temporary_file.hpp"

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
  // A file of this folder: `name`, 32 random hexadecimal digits when `unique`, then `suffix`;
  // created by whoever writes it, deleted relative to the folder's descriptor when it goes.
  std::unique_ptr<TemporaryFile> file(const std::string& name, const std::string& suffix = "",
                                      bool unique = false) const;

 private:
  std::string path_;
  std::shared_ptr<const Descriptor> descriptor_;
};

}  // namespace velorium::nimbrova

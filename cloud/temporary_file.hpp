// Files a remote calculation writes for the service: each owned by a TemporaryFile, which
// deletes it when the owner goes, so they are gone when the operation ends, failure included.
#pragma once

#include <memory>
#include <string>

#include "cloud/output_file.hpp"

namespace velorium::nimbrova {

class TemporaryFile {
 public:
  // The path is `folder` (the system's temporary folder when empty) joined with `name`, then,
  // when `unique`, 32 upper-case hexadecimal digits of a random version-4 UUID, then `suffix`.
  // Nothing is created on disk; the folder is used as given.
  TemporaryFile(const std::string& name, const std::string& suffix, const std::string& folder,
                bool delete_on_destroy, bool unique);
  // A file of a folder held open as `folder` (at `folder_path`), always deleted, and deleted
  // relative to that descriptor, never through the path: so a folder swapped for a link
  // meanwhile never leads the deletion elsewhere. PrivateFolder::file makes these.
  TemporaryFile(std::shared_ptr<const Descriptor> folder, const std::string& folder_path, const std::string& name,
                const std::string& suffix, bool unique);
  // Deletes what stands at the path when asked to: a regular file or a symbolic link (never
  // what a link points to, never a folder). Never throws; a failed deletion is ignored.
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  const std::string& path() const noexcept { return path_; }
  bool delete_on_destroy() const noexcept { return delete_on_destroy_; }

 private:
  std::string path_;
  bool delete_on_destroy_;
  std::shared_ptr<const Descriptor> folder_;  // null: deleted through the path
  std::string name_;                          // within `folder_`
};

// 32 upper-case hexadecimal digits of a random version-4 UUID from the system's
// cryptographic random source.
std::string unique_hex_name();

}  // namespace velorium::nimbrova

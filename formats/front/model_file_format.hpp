// Which reader or writer a model file goes to: given by the caller's mode, or taken from the
// file's extension.
#pragma once

#include <cstdint>

namespace velorium {

// The caller's mode: by the file's extension, MPS, LP.
inline constexpr std::uint8_t kModelFileByExtension = 0;
inline constexpr std::uint8_t kModelFileMps = 1;
inline constexpr std::uint8_t kModelFileLp = 2;

enum class ModelFileFormat { none, mps, lp };

// The format of `path` in `mode`. None for a null or empty path, a mode other than 0, 1 and 2,
// or, in mode 0, an extension other than ".mps", ".lp" and ".ilp" (in any case). The extension
// is what a file-system path calls one: "model.mps.gz" has ".gz", ".lp" has none.
ModelFileFormat chooseModelFileFormat(const char* path, std::uint8_t mode);

}  // namespace velorium

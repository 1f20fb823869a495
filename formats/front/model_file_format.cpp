#include "formats/front/model_file_format.hpp"

#include <filesystem>
#include <string>

#include "core/text/text_utils.hpp"

namespace velorium {

ModelFileFormat chooseModelFileFormat(const char* path, std::uint8_t mode) {
  if (path == nullptr || *path == '\0') return ModelFileFormat::none;
  switch (mode) {
    case kModelFileMps:
      return ModelFileFormat::mps;
    case kModelFileLp:
      return ModelFileFormat::lp;
    case kModelFileByExtension:
      break;
    default:
      return ModelFileFormat::none;
  }
  const std::string extension = toUpperCopy(std::filesystem::path(path).extension().string());
  if (extension == ".MPS") return ModelFileFormat::mps;
  if (extension == ".LP" || extension == ".ILP") return ModelFileFormat::lp;
  return ModelFileFormat::none;
}

}  // namespace velorium

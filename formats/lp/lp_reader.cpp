#include "formats/lp/lp_reader.hpp"

#include <new>
#include <string>
#include <vector>

#include "core/log/logger.hpp"
#include "core/names/names_holder.hpp"
#include "formats/common/file_failures.hpp"
#include "formats/lp/lp_lexer.hpp"
#include "formats/lp/lp_line_reader.hpp"
#include "formats/lp/lp_column_index.hpp"
#include "formats/lp/lp_sections.hpp"
#include "formats/lp/lp_tokens.hpp"
#include "velorium/velorium.hpp"

namespace velorium {

namespace {
constexpr int kMessageErrorReadingFile = 67;
constexpr int kMessageSosNotSupported = 68;
constexpr int kMessageErrorReadingNamedFile = 385;

// Reads a text in one pass: tokens stream from the lexer into the section reader, and
// nothing of the text is kept but the model. A file whose Minimize section follows a
// Maximize section that was read is read a second time, passing over the Maximize section.
template <class OpenLines>
std::shared_ptr<Model> readLpText(OpenLines openLines) {
  for (bool skipMaximize = false;; skipMaximize = true) {
    // No room reserved up front: a small file costs little, and a large one's arrays grow in
    // huge pages as they are filled.
    auto model = std::make_shared<Model>(Model::NoReservation{});
    LpLineReader lines = openLines();
    LpLexer lexer(lines);
    LpColumnIndex columns;
    LpTokenStream tokens(lexer, columns);
    if (LpSectionReader(tokens, columns, names_pool(), *model, skipMaximize).readAll()) return model;
  }
}

std::string fileNamePart(const std::string& path) {
  std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void logReadError(const VeloriumLogOptions& options, const std::string& detail) {
  logCatalogueMessage(options, kLogLevelError, kMessageErrorReadingNamedFile, detail.c_str());
}
}  // namespace

std::shared_ptr<Model> parseLpFile(const std::string& path) {
  std::shared_ptr<Model> model = readLpText([&] { return LpLineReader::ofFile(path); });
  model->source_path = path;
  model->name = fileNamePart(path);
  return model;
}

std::shared_ptr<Model> parseLpText(std::string_view text) {
  return readLpText([&] { return LpLineReader::ofText(text); });
}

int readLpModelFile(const VeloriumLogOptions& options, const std::string& path, std::shared_ptr<Model>& model) {
  std::shared_ptr<Model> read;
  try {
    read = parseLpFile(path);
  } catch (const LpFileError& error) {
    if (error.reason() == LpFileError::kCannotOpen) {
      logUnopenedFile(options, path, error.systemError());
    } else {
      logReadError(options, path + ": " + error.reason());
    }
    return 1;
  } catch (const LpSyntaxError& error) {
    std::string where = error.line() > 0 ? path + ":" + std::to_string(error.line()) : path;
    logReadError(options, where + ": " + error.reason());
    return 2;
  } catch (const std::bad_alloc&) {
    logReadError(options, path + ": out of memory");
    return 2;
  } catch (const std::exception& error) {
    // Limits of the pool of names or of the per-file tables.
    logReadError(options, path + ": " + error.what());
    return 2;
  }
  if (!read) {
    logCatalogueMessage(options, kLogLevelError, kMessageErrorReadingFile);
    return 2;
  }
  model = std::move(read);
  if (!model->sos_sets.empty()) {
    logCatalogueMessage(options, kLogLevelError, kMessageSosNotSupported);
    return 2;
  }
  return 0;
}

}  // namespace velorium

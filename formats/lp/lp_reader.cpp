#include "formats/lp/lp_reader.hpp"

#include <algorithm>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "core/log/logger.hpp"
#include "core/names/names_holder.hpp"
#include "formats/lp/lp_lexer.hpp"
#include "formats/lp/lp_line_reader.hpp"
#include "formats/lp/lp_name_table.hpp"
#include "formats/lp/lp_sections.hpp"
#include "formats/lp/lp_tokens.hpp"
#include "velorium/velorium.hpp"

namespace velorium {

namespace {
constexpr int kMessageErrorReadingFile = 67;
constexpr int kMessageSosNotSupported = 68;
constexpr int kMessageUnableToOpen = 69;
constexpr int kMessageErrorReadingNamedFile = 385;

// The state of one reading: tokens, names and the model under construction.
class LpParser {
 public:
  LpParser(LpLineReader lines, std::size_t textBytes) : lines_(std::move(lines)), textBytes_(textBytes) {}

  std::shared_ptr<Model> read() {
    auto model = std::make_shared<Model>();
    // Room for a token per four bytes of text, more than files need: room that is never
    // written costs address space only, and the list is then never copied as it grows.
    // Where the system refuses that much, a smaller start that grows.
    try {
      tokens_.reserve(textBytes_ / 4 + 16);
    } catch (const std::bad_alloc&) {
      tokens_.reserve(std::min<std::size_t>(std::size_t{1} << 20, textBytes_ / 4 + 16));
    }
    LpLexer lexer(lines_);
    buildLpTokens(lexer, names_, tokens_);
    names_.stopInterning();  // its index is not needed while the model is built
    const auto sections = splitLpSections(tokens_);
    LpSectionReader(tokens_, names_, names_pool(), *model).processSections(sections);
    std::vector<LpToken>().swap(tokens_);
    return model;
  }

 private:
  LpLineReader lines_;
  std::size_t textBytes_;
  LpNameTable names_;
  std::vector<LpToken> tokens_;
};

std::string fileNamePart(const std::string& path) {
  std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void logReadError(const VeloriumLogOptions& options, const std::string& detail) {
  logCatalogueMessage(options, kLogLevelError, kMessageErrorReadingNamedFile, detail.c_str());
}
}  // namespace

std::shared_ptr<Model> parseLpFile(const std::string& path) {
  std::error_code ignored;
  const std::uintmax_t size = std::filesystem::file_size(path, ignored);
  LpParser parser(LpLineReader::ofFile(path), size == static_cast<std::uintmax_t>(-1) ? 0 : static_cast<std::size_t>(size));
  std::shared_ptr<Model> model = parser.read();
  model->source_path = path;
  model->name = fileNamePart(path);
  return model;
}

std::shared_ptr<Model> parseLpText(std::string_view text) {
  return LpParser(LpLineReader::ofText(text), text.size()).read();
}

int readLpModelFile(const VeloriumLogOptions& options, const std::string& path, std::shared_ptr<Model>& model) {
  std::shared_ptr<Model> read;
  try {
    read = parseLpFile(path);
  } catch (const LpFileError& error) {
    if (error.reason() == LpFileError::kCannotOpen) {
      logCatalogueMessage(options, kLogLevelError, kMessageUnableToOpen, path.c_str());
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

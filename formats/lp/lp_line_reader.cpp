#include "formats/lp/lp_line_reader.hpp"

#include <sys/stat.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cerrno>
#include <cstring>
#include <limits>
#include <new>

namespace velorium {

namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 18;
// Room behind the data: whole 16-byte pieces are read up to 15 bytes past its end.
constexpr std::size_t kRoomBehind = 64;
static_assert(kRoomBehind >= LpLineReader::kReadableAfterLine + 16);
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The position of the first "\n" or NUL byte in [data, data + size), and with `comments` also
// of the first ";" or "\\"; `size` when there is none. Up to 15 bytes behind the range are read.
std::size_t findLineBreak(const char* data, std::size_t size, bool comments) {
#if defined(__SSE2__)
  const __m128i newline = _mm_set1_epi8('\n');
  const __m128i nul = _mm_setzero_si128();
  const __m128i semicolon = _mm_set1_epi8(comments ? ';' : '\n');
  const __m128i backslash = _mm_set1_epi8(comments ? '\\' : '\n');
  for (std::size_t at = 0; at < size; at += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
    const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, newline), _mm_cmpeq_epi8(block, nul)),
                                      _mm_or_si128(_mm_cmpeq_epi8(block, semicolon), _mm_cmpeq_epi8(block, backslash)));
    auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
    if (size - at < 16) mask &= (1u << (size - at)) - 1;
    if (mask != 0) return at + static_cast<std::size_t>(__builtin_ctz(mask));
  }
  return size;
#else
  for (std::size_t at = 0; at < size; ++at) {
    const char c = data[at];
    if (c == '\n' || c == '\0' || (comments && (c == ';' || c == '\\'))) return at;
  }
  return size;
#endif
}

}  // namespace

LpLineReader::LpLineReader(std::size_t capacity)
    : buffer_(std::make_unique_for_overwrite<char[]>(capacity + kRoomBehind)), capacity_(capacity) {}

LpLineReader LpLineReader::ofFile(const std::string& path) {
  LpLineReader reader(kBufferSize);
  errno = 0;
  reader.file_.reset(std::fopen(path.c_str(), "rb"));
  if (!reader.file_) throw LpFileError(LpFileError::kCannotOpen, errno);
  // A directory opens for reading on some systems but never gives data.
  struct stat info {};
  if (::fstat(::fileno(reader.file_.get()), &info) == 0 && S_ISDIR(info.st_mode)) {
    throw LpFileError(LpFileError::kCannotOpen, EISDIR);
  }
  return reader;
}

LpLineReader LpLineReader::ofText(std::string_view text) {
  // A short text needs no more room than itself.
  LpLineReader reader(text.size() < kBufferSize ? text.size() + 1 : kBufferSize);
  reader.text_ = text;
  return reader;
}

void LpLineReader::makeRoom() {
  if (position_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + position_, end_ - position_);
    end_ -= position_;
    position_ = 0;
  }
  if (end_ == capacity_) {
    // The line in hand fills the buffer.
    if (capacity_ > std::numeric_limits<std::size_t>::max() / 4) throw std::bad_alloc();
    auto bigger = std::make_unique_for_overwrite<char[]>(capacity_ * 2 + kRoomBehind);
    std::memcpy(bigger.get(), buffer_.get(), end_);
    buffer_ = std::move(bigger);
    capacity_ *= 2;
  }
}

bool LpLineReader::readMore() {
  if (inputEnded_) return false;
  makeRoom();
  const std::size_t wanted = capacity_ - end_;
  std::size_t got;
  if (file_) {
    got = std::fread(buffer_.get() + end_, 1, wanted, file_.get());
    if (got < wanted) {
      if (std::ferror(file_.get())) throw LpFileError(LpFileError::kCannotRead);
      inputEnded_ = true;
    }
  } else {
    got = wanted < text_.size() ? wanted : text_.size();
    std::memcpy(buffer_.get() + end_, text_.data(), got);
    text_.remove_prefix(got);
    inputEnded_ = text_.empty();
  }
  end_ += got;
  // Defined bytes where the scanners read past the data's end.
  std::memset(buffer_.get() + end_, 0, kRoomBehind);
  return got > 0;
}

bool LpLineReader::nextLine(std::string_view& line) {
  std::size_t scanned = 0;  // bytes of the line searched so far
  std::size_t comment = std::string_view::npos;
  std::size_t length;  // of the whole line, without its "\n"
  for (;;) {
    const char* start = buffer_.get() + position_;
    const std::size_t held = end_ - position_;
    const std::size_t at = scanned + findLineBreak(start + scanned, held - scanned, comment == std::string_view::npos);
    if (at < held) {
      const char c = start[at];
      if (c == '\n') {
        length = at;
        break;
      }
      requireLpSyntax(c != '\0', lineNumber_ + 1, "NUL byte in the text");
      comment = at;  // ";" or "\\": from here on only the line's end and NUL bytes count
      scanned = at + 1;
      continue;
    }
    scanned = held;
    if (!readMore()) {
      if (held == 0) return false;
      length = held;  // the last line, without a "\n"
      break;
    }
  }
  const char* start = buffer_.get() + position_;
  position_ += length + (position_ + length < end_ ? 1 : 0);
  std::size_t kept = comment == std::string_view::npos ? length : comment;
  if (kept == length && kept > 0 && start[kept - 1] == '\r') --kept;
  line = std::string_view(start, kept);
  if (lineNumber_ == 0 && line.substr(0, kByteOrderMark.size()) == kByteOrderMark) line.remove_prefix(kByteOrderMark.size());
  if (lineNumber_ < std::numeric_limits<LpLineNumber>::max()) ++lineNumber_;
  return true;
}

}  // namespace velorium

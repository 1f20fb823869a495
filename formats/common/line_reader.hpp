// Buffered reader that hands out the lines of a file without copying them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "formats/common/word_bytes.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velorium {

class LineReader {
 public:
  static constexpr std::size_t kMinimumBufferSize = 4096;
  // Bytes behind the end of every line handed out that may be read (their values are
  // unspecified), so that a caller can scan a line in whole vector-register pieces.
  static constexpr std::size_t kReadableAfterLine = 64;

  // Opens `path` for reading ("rb" when `binary`, "r" otherwise) with a buffer of
  // `buffer_size` bytes, but never fewer than kMinimumBufferSize. A path that cannot be
  // opened, or that names a directory, gives a reader without lines (isOpen() is false).
  LineReader(const std::string& path, std::size_t buffer_size, bool binary);
  ~LineReader();

  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // Gives the next line without its "\n" and without one "\r" directly before it (a "\r"
  // that ends the last line is dropped too). The text stays valid until the next call.
  // Returns false when no line is left; a read error ends the lines as end of file does.
  bool nextLine(const char*& line, std::size_t& length);
  bool nextLine(std::string_view& line) {
    // Most lines are short: the line feed that ends one lies within the next few pieces of
    // 64 bytes. A piece that starts inside the data may be read whole (behind the data come
    // kReadableAfterLine more bytes).
    if (started_ && !finished_) {
      const char* at = buffer_.get() + position_;
      for (std::size_t piece = 0; piece < kShortLineBytes && position_ + piece < end_; piece += 64) {
        const std::uint64_t feeds = lineFeedsIn64(at + piece) & lowBitsMask(end_ - position_ - piece);
        if (feeds != 0) {
          std::size_t length = piece + static_cast<std::size_t>(__builtin_ctzll(feeds));
          position_ += length + 1;
          if (length > 0 && at[length - 1] == '\r') --length;
          line = std::string_view(at, length);
          return true;
        }
      }
    }
    const char* text = nullptr;
    std::size_t length = 0;
    if (!nextLine(text, length)) return false;
    line = std::string_view(text, length);
    return true;
  }

  // Hands out up to `size` unread bytes into `out` as they are, lines not cut: those in the
  // buffer first, then straight from the file. Returns how many; 0 once nothing is left.
  std::size_t readBytes(char* out, std::size_t size);
  // Goes on from `offset` in a regular file: the next line starts there. False when the file
  // cannot be positioned there (nothing changes then).
  bool seek(std::uint64_t offset);

  bool isOpen() const { return file_ != nullptr; }
  // Why the file did not open: the system's error number (EISDIR for a directory); 0 when open.
  int openError() const { return open_error_; }
  // The bytes of the file handed out so far, line ends included.
  std::uint64_t offset() const { return discarded_ + position_; }
  // The size of the file when it is a regular file, else 0.
  std::uint64_t fileSize() const { return file_size_; }
  // True when reading stopped because the operating system reported an error.
  bool readFailed() const { return read_failed_; }
  std::size_t bufferSize() const { return capacity_; }

 protected:
  // Lets tests pick a buffer below the usual minimum, so that every seam of the buffer can be
  // reached with short lines. `minimum_size` is at least 2 (one byte of data and the zero).
  LineReader(const std::string& path, std::size_t buffer_size, bool binary, std::size_t minimum_size);

 private:
  static constexpr std::size_t kShortLineBytes = 256;

  // Bit i set when byte i of the 64 at `bytes` is a line feed.
  static std::uint64_t lineFeedsIn64(const char* bytes) {
#if defined(__SSE2__)
    const __m128i feed = _mm_set1_epi8('\n');
    std::uint64_t bits = 0;
    for (int piece = 0; piece < 64; piece += 16) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + piece));
      bits |= std::uint64_t{static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, feed)))} << piece;
    }
    return bits;
#else
    (void)bytes;
    return 0;  // the general way finds the line
#endif
  }

  // Reads into the free part of the buffer; marks the end of the input on a short read.
  void fill();
  void grow();

  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;  // the buffer holds at most capacity_ - 1 bytes and a zero byte
  std::size_t position_ = 0;  // next unread byte
  std::size_t end_ = 0;       // end of the data read so far
  std::uint64_t discarded_ = 0;  // bytes of the file moved out of the buffer before position_
  std::uint64_t file_size_ = 0;
  bool started_ = false;
  bool input_ended_ = false;
  bool read_failed_ = false;
  bool finished_ = false;
  int open_error_ = 0;
};

}  // namespace velorium

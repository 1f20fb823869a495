// Buffered reader that hands out the lines of a file without copying them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

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
  bool nextLine(std::string_view& line);

  bool isOpen() const { return file_ != nullptr; }
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
};

}  // namespace velorium

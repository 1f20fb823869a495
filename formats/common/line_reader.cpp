#include "formats/common/line_reader.hpp"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <new>

namespace velorium {

LineReader::LineReader(const std::string& path, std::size_t buffer_size, bool binary)
    : LineReader(path, buffer_size, binary, kMinimumBufferSize) {}

LineReader::LineReader(const std::string& path, std::size_t buffer_size, bool binary, std::size_t minimum_size) {
  if (minimum_size < 2) minimum_size = 2;
  bool regular = false;
  errno = 0;
  file_ = std::fopen(path.c_str(), binary ? "rb" : "r");
  if (file_ == nullptr) open_error_ = errno;
  if (file_ != nullptr) {
    // A directory opens for reading on some systems but can never give data; treat it as a
    // file that cannot be opened rather than as an empty one.
    struct stat info {};
    if (::fstat(::fileno(file_), &info) == 0 && S_ISDIR(info.st_mode)) {
      std::fclose(file_);
      file_ = nullptr;
      open_error_ = EISDIR;
    } else if (S_ISREG(info.st_mode)) {
      regular = true;
      file_size_ = static_cast<std::uint64_t>(info.st_size > 0 ? info.st_size : 0);
    }
  }
  // A file smaller than the buffer gets a buffer of its size (the bytes and the zero).
  std::size_t wanted = buffer_size;
  if (regular && file_size_ < wanted) wanted = static_cast<std::size_t>(file_size_) + 1;
  capacity_ = wanted < minimum_size ? minimum_size : wanted;
  // Not zeroed: the data is read into it, and fill() zeroes what may be read behind the data.
  buffer_ = std::make_unique_for_overwrite<char[]>(capacity_ + kReadableAfterLine);
  std::memset(buffer_.get(), 0, kReadableAfterLine + 1);
}

LineReader::~LineReader() {
  if (file_ != nullptr) std::fclose(file_);
}

void LineReader::fill() {
  const std::size_t wanted = capacity_ - 1 - end_;
  const std::size_t got = std::fread(buffer_.get() + end_, 1, wanted, file_);
  end_ += got;
  // The zero behind the data, and defined bytes where scanners read past a line's end.
  std::memset(buffer_.get() + end_, 0, kReadableAfterLine);
  // fread only comes back short at the end of the file or on an error; either way nothing
  // more will come, and stopping here keeps an unreadable file from spinning.
  if (got < wanted) {
    input_ended_ = true;
    read_failed_ = std::ferror(file_) != 0;
  }
}

void LineReader::grow() {
  if (capacity_ > std::numeric_limits<std::size_t>::max() / 2) throw std::bad_alloc();
  const std::size_t new_capacity = capacity_ * 2;
  auto bigger = std::make_unique_for_overwrite<char[]>(new_capacity + kReadableAfterLine);
  std::memcpy(bigger.get(), buffer_.get(), end_);
  std::memset(bigger.get() + end_, 0, kReadableAfterLine);
  buffer_ = std::move(bigger);
  capacity_ = new_capacity;
}

bool LineReader::nextLine(const char*& line, std::size_t& length) {
  if (file_ == nullptr || finished_) return false;
  if (!started_) {
    started_ = true;
    fill();
  }
  std::size_t search_from = position_;
  for (;;) {
    char* data = buffer_.get();
    const void* found = search_from < end_ ? std::memchr(data + search_from, '\n', end_ - search_from) : nullptr;
    if (found != nullptr) {
      const std::size_t newline = static_cast<const char*>(found) - data;
      line = data + position_;
      length = newline - position_;
      if (length > 0 && line[length - 1] == '\r') --length;
      position_ = newline + 1;
      return true;
    }
    if (input_ended_) {
      finished_ = true;
      if (position_ >= end_) return false;
      line = data + position_;
      length = end_ - position_;
      if (line[length - 1] == '\r') --length;
      position_ = end_;
      return true;
    }
    if (position_ > 0) {
      discarded_ += position_;
      std::memmove(data, data + position_, end_ - position_);
      end_ -= position_;
      position_ = 0;
      data[end_] = '\0';
    } else if (end_ + 1 >= capacity_) {
      grow();  // the line in hand is longer than the whole buffer
    }
    search_from = end_;
    fill();
  }
}

std::size_t LineReader::readBytes(char* out, std::size_t size) {
  if (file_ == nullptr || finished_) return 0;
  started_ = true;
  std::size_t given = end_ - position_ < size ? end_ - position_ : size;
  std::memcpy(out, buffer_.get() + position_, given);
  position_ += given;
  if (given < size && !input_ended_) {
    // The buffer is empty: a large request goes past it, straight into `out`.
    const std::size_t wanted = size - given;
    const std::size_t got = std::fread(out + given, 1, wanted, file_);
    discarded_ += got;
    given += got;
    if (got < wanted) {
      input_ended_ = true;
      read_failed_ = std::ferror(file_) != 0;
    }
  }
  return given;
}

bool LineReader::seek(std::uint64_t offset) {
  if (file_ == nullptr || offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) return false;
  if (::fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
  std::clearerr(file_);
  started_ = true;  // the next line fills the buffer from `offset`
  finished_ = false;
  input_ended_ = false;
  read_failed_ = false;
  discarded_ = offset;
  position_ = 0;
  end_ = 0;
  buffer_[0] = '\0';
  return true;
}

}  // namespace velorium

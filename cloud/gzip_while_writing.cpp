#include "cloud/gzip_while_writing.hpp"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>
#include <utility>

#include "cloud/block_gzip.hpp"
#include "cloud/output_file.hpp"

namespace velorium::nimbrova {

namespace {

// Blocks queued per block compressor: enough for the writer to run ahead through a moment
// when the compressors fall behind, with memory bounded whatever the file's size.
constexpr std::size_t kQueuedBlocksPerWorker = 4;

}  // namespace

GzipWhileWriting::GzipWhileWriting(std::unique_ptr<TemporaryFile> member, unsigned workers)
    : member_(std::move(member)), queue_limit_(kQueuedBlocksPerWorker * std::max(workers, 1u) * kGzipBlockSize) {
  try {
    thread_ = std::thread([this, workers] { run(workers); });
  } catch (const std::system_error&) {
    stopped_ = true;  // the file is compressed when the body is built instead
  }
}

GzipWhileWriting::~GzipWhileWriting() {
  {
    std::lock_guard lock(mutex_);
    stopped_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void GzipWhileWriting::written(std::string& piece) noexcept {
  const std::size_t capacity = piece.capacity();
  {
    std::unique_lock lock(mutex_);
    // One piece always fits, however large.
    changed_.wait(lock, [this] { return stopped_ || queue_.empty() || queued_ < queue_limit_; });
    if (stopped_) return;
    const std::size_t size = piece.size();
    try {
      queue_.push_back(std::move(piece));
    } catch (const std::bad_alloc&) {
      stopped_ = true;  // a member without this piece would be wrong: none is made
    }
    if (stopped_) {
      lock.unlock();
      changed_.notify_all();
      return;
    }
    queued_ += size;
    total_ += size;
    piece.clear();
    if (!spare_.empty()) {
      piece.swap(spare_.back());
      spare_.pop_back();
    }
  }
  changed_.notify_all();
  // Until the first pieces come back, a new string saves the writer growing one step by step.
  try {
    piece.reserve(capacity);
  } catch (const std::bad_alloc&) {
  }
}

std::size_t GzipWhileWriting::read(char* buffer, std::size_t capacity) {
  if (current_offset_ == current_.size()) {
    std::unique_lock lock(mutex_);
    if (current_.capacity() > 0) spare_.push_back(std::move(current_));
    current_.clear();
    current_offset_ = 0;
    changed_.wait(lock, [this] { return stopped_ || ended_ || !queue_.empty(); });
    if (stopped_) throw Stopped{};
    if (queue_.empty()) return 0;
    current_ = std::move(queue_.front());
    queue_.pop_front();
    queued_ -= current_.size();
    lock.unlock();
    changed_.notify_all();
  }
  const std::size_t size = std::min(capacity, current_.size() - current_offset_);
  std::memcpy(buffer, current_.data() + current_offset_, size);
  current_offset_ += size;
  return size;
}

void GzipWhileWriting::run(unsigned workers) {
  std::exception_ptr failure;
  bool whole = false;
  try {
    OutputFile member(member_->path(), "the compressed model file");
    write_gzip_member([this](char* buffer, std::size_t capacity) { return read(buffer, capacity); },
                      [&member](const unsigned char* data, std::size_t size) { member.write(data, size); }, workers);
    member.finish();
    whole = true;
  } catch (const Stopped&) {
  } catch (...) {
    failure = std::current_exception();
  }
  std::lock_guard lock(mutex_);
  stopped_ = true;
  member_whole_ = whole;
  failure_ = failure;
  changed_.notify_all();
}

std::unique_ptr<TemporaryFile> GzipWhileWriting::finish(const std::string& file_path) {
  {
    std::lock_guard lock(mutex_);
    ended_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
  if (failure_) {
    member_.reset();
    std::rethrow_exception(failure_);
  }
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file_path, error);
  // A writer that opened the path more than once, or whose pieces the tap did not see, leaves
  // a member that is not the file's.
  if (!member_whole_ || error || size != total_) {
    member_.reset();
    return nullptr;
  }
  return std::move(member_);
}

}  // namespace velorium::nimbrova

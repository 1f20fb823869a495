#include "cloud/block_gzip.hpp"

#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

#include "core/base/allowed_processors.hpp"

namespace velorium::nimbrova {

namespace {

constexpr std::size_t kWindow = 32 * 1024;
constexpr unsigned kMaxWorkers = 8;
// Magic, deflate, no flags, modification time 0, no extra flags, Unix: what zlib's own gzip
// wrapper writes at the default level.
constexpr unsigned char kHeader[10] = {0x1f, 0x8b, 8, 0, 0, 0, 0, 0, 0, 3};

struct Block {
  std::vector<unsigned char> input;  // the dictionary (the previous block's tail), then the block
  std::size_t dictionary = 0;
  std::size_t size = 0;  // the block's own bytes, behind the dictionary
  bool last = false;
  std::vector<unsigned char> output;
  uLong crc = 0;
  bool done = false;
  std::exception_ptr failure;
};

// One raw deflate stream, reset for every block.
class Deflater {
 public:
  Deflater() {
    if (deflateInit2(&stream_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
      throw std::runtime_error("cannot start the gzip compressor");
    }
  }
  ~Deflater() { deflateEnd(&stream_); }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  void compress(Block& block) {
    if (deflateReset(&stream_) != Z_OK) fail();
    if (block.dictionary > 0 &&
        deflateSetDictionary(&stream_, block.input.data(), static_cast<uInt>(block.dictionary)) != Z_OK) {
      fail();
    }
    unsigned char* data = block.input.data() + block.dictionary;
    block.crc = crc32_z(0, data, block.size);
    // The bound covers a whole stream; the flush marker and the end need a few bytes more.
    block.output.resize(deflateBound(&stream_, block.size) + 64);
    stream_.next_in = data;
    stream_.avail_in = static_cast<uInt>(block.size);
    std::size_t produced = 0;
    const int flush = block.last ? Z_FINISH : Z_SYNC_FLUSH;
    for (;;) {
      stream_.next_out = block.output.data() + produced;
      stream_.avail_out = static_cast<uInt>(block.output.size() - produced);
      const int status = deflate(&stream_, flush);
      if (status == Z_STREAM_ERROR) fail();
      produced = block.output.size() - stream_.avail_out;
      const bool finished = block.last ? status == Z_STREAM_END : stream_.avail_out != 0;
      if (finished) break;
      block.output.resize(block.output.size() * 2);
    }
    block.output.resize(produced);
  }

 private:
  [[noreturn]] static void fail() { throw std::runtime_error("gzip compression failed"); }
  z_stream stream_{};
};

// Threads that compress the blocks handed to them; joined when the pool goes.
class WorkerPool {
 public:
  explicit WorkerPool(unsigned workers) {
    try {
      for (unsigned i = 0; i < workers; ++i) threads_.emplace_back([this] { run(); });
    } catch (const std::system_error&) {
      // Fewer threads than asked for still compress everything; none means the caller's own.
    }
  }
  ~WorkerPool() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    work_ready_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  bool empty() const { return threads_.empty(); }

  void submit(Block& block) {
    {
      std::lock_guard lock(mutex_);
      block.done = false;
      queue_.push_back(&block);
    }
    work_ready_.notify_one();
  }

  void wait(Block& block) {
    std::unique_lock lock(mutex_);
    block_done_.wait(lock, [&block] { return block.done; });
  }

 private:
  void run() {
    std::unique_ptr<Deflater> deflater;
    std::exception_ptr start_failure;
    try {
      deflater = std::make_unique<Deflater>();
    } catch (...) {
      start_failure = std::current_exception();
    }
    std::unique_lock lock(mutex_);
    for (;;) {
      work_ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) return;
      Block& block = *queue_.front();
      queue_.pop_front();
      lock.unlock();
      std::exception_ptr failure = start_failure;
      if (!failure) {
        try {
          deflater->compress(block);
        } catch (...) {
          failure = std::current_exception();
        }
      }
      lock.lock();
      block.failure = failure;
      block.done = true;
      block_done_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable work_ready_;
  std::condition_variable block_done_;
  std::deque<Block*> queue_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

// Reads each block behind a copy of the tail of the one before; a block that is not full is
// the last.
class BlockReader {
 public:
  explicit BlockReader(const GzipSource& read) : read_(read) {}

  void fill(Block& block) {
    block.input.resize(kWindow + kGzipBlockSize);
    block.dictionary = window_size_;
    std::memcpy(block.input.data(), window_.data(), window_size_);
    unsigned char* data = block.input.data() + block.dictionary;
    std::size_t size = 0;
    while (size < kGzipBlockSize) {
      const std::size_t got = read_(reinterpret_cast<char*>(data + size), kGzipBlockSize - size);
      if (got == 0) break;
      size += std::min(got, kGzipBlockSize - size);
    }
    block.size = size;
    block.last = size < kGzipBlockSize;
    block.failure = nullptr;
    total_ += size;
    // A block that is not the last is full, so its tail is a whole window.
    if (!block.last) {
      std::memcpy(window_.data(), data + size - kWindow, kWindow);
      window_size_ = kWindow;
    }
  }

  std::uint64_t total() const { return total_; }

 private:
  const GzipSource& read_;
  std::vector<unsigned char> window_ = std::vector<unsigned char>(kWindow);
  std::size_t window_size_ = 0;
  std::uint64_t total_ = 0;
};

// Hands the finished blocks to the sink in order, keeping the CRC of the whole input.
class MemberWriter {
 public:
  explicit MemberWriter(const GzipSink& write) : write_(write) { write_(kHeader, sizeof kHeader); }

  void put(const Block& block) {
    if (block.failure) std::rethrow_exception(block.failure);
    write_(block.output.data(), block.output.size());
    crc_ = crc32_combine(crc_, block.crc, static_cast<z_off_t>(block.size));
  }

  void finish(std::uint64_t total) {
    unsigned char trailer[8];
    const auto size = static_cast<std::uint32_t>(total);  // ISIZE is the length modulo 2^32
    for (int i = 0; i < 4; ++i) {
      trailer[i] = static_cast<unsigned char>(crc_ >> (8 * i));
      trailer[4 + i] = static_cast<unsigned char>(size >> (8 * i));
    }
    write_(trailer, sizeof trailer);
  }

 private:
  const GzipSink& write_;
  uLong crc_ = crc32(0, nullptr, 0);
};

// Every block on the caller's thread, starting with `first` (already read).
void compress_on_this_thread(Block& first, BlockReader& reader, MemberWriter& member) {
  Deflater deflater;
  Block second;
  Block* block = &first;
  for (;;) {
    deflater.compress(*block);
    member.put(*block);
    if (block->last) return;
    Block* next = block == &first ? &second : &first;
    reader.fill(*next);
    block = next;
  }
}

}  // namespace

unsigned gzip_workers_for_this_machine() {
  return static_cast<unsigned>(std::min<std::size_t>(allowedProcessors(), kMaxWorkers));
}

void write_gzip_member(const GzipSource& read, const GzipSink& write, unsigned workers) {
  MemberWriter member(write);
  BlockReader reader(read);
  // Twice as many blocks as workers keep every worker busy while the caller reads and writes.
  std::vector<Block> ring(2 * static_cast<std::size_t>(std::max(workers, 1u)));
  reader.fill(ring[0]);
  // Threads only for more than one block; the pool comes after the ring, so it is joined
  // before the blocks go.
  std::optional<WorkerPool> pool;
  if (!ring[0].last && workers > 1) pool.emplace(workers);
  if (!pool || pool->empty()) {
    compress_on_this_thread(ring[0], reader, member);
    member.finish(reader.total());
    return;
  }
  std::deque<Block*> in_flight;
  pool->submit(ring[0]);
  in_flight.push_back(&ring[0]);
  bool ended = false;
  std::size_t next = 1;
  while (!in_flight.empty()) {
    if (!ended && in_flight.size() < ring.size()) {
      // The slot after the newest is the oldest one already written out.
      Block& block = ring[next++ % ring.size()];
      reader.fill(block);
      ended = block.last;
      pool->submit(block);
      in_flight.push_back(&block);
    } else {
      Block& block = *in_flight.front();
      pool->wait(block);
      member.put(block);
      in_flight.pop_front();
    }
  }
  member.finish(reader.total());
}

}  // namespace velorium::nimbrova

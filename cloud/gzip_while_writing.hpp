// A file's gzip member made while the file is written: the writer's pieces (seen through a
// TextOutputTap) go through a short queue to a thread that compresses them with
// write_gzip_member into a file of their own, so that when the writer is done only the last
// blocks remain. The member is byte for byte the one that compressing the finished file gives.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cloud/temporary_file.hpp"
#include "formats/common/text_output.hpp"

namespace velorium::nimbrova {

class GzipWhileWriting final : public TextOutputTap {
 public:
  // Starts the compressing thread, which writes the member into `member` (created new, the
  // file deleted with its owner unless handed over) with `workers` block compressors. When no
  // thread can start, nothing is compressed and finish gives no member.
  GzipWhileWriting(std::unique_ptr<TemporaryFile> member, unsigned workers);
  // Stops the thread (whatever it was doing), waits for it and deletes the member unless
  // finish handed it over.
  ~GzipWhileWriting() override;
  GzipWhileWriting(const GzipWhileWriting&) = delete;
  GzipWhileWriting& operator=(const GzipWhileWriting&) = delete;

  // Queues the piece (swapped for an emptied one, so the writer copies nothing); waits while
  // the queue is full. Dropped once the thread has stopped.
  void written(std::string& piece) noexcept override;

  // The input is complete: waits for the member and hands it over when it holds exactly the
  // bytes now in `file_path` (null otherwise, the member deleted). Rethrows the compressing
  // thread's failure.
  std::unique_ptr<TemporaryFile> finish(const std::string& file_path);

 private:
  struct Stopped {};
  void run(unsigned workers);
  std::size_t read(char* buffer, std::size_t capacity);

  std::unique_ptr<TemporaryFile> member_;
  std::mutex mutex_;
  std::condition_variable changed_;
  const std::size_t queue_limit_;  // bytes
  std::deque<std::string> queue_;
  std::size_t queued_ = 0;            // bytes in the queue
  std::vector<std::string> spare_;    // emptied pieces, handed back to the writer to fill again
  std::string current_;               // the piece being read
  std::size_t current_offset_ = 0;
  std::uint64_t total_ = 0;  // bytes queued in all
  bool ended_ = false;       // no more pieces come
  bool stopped_ = false;     // the thread takes no more pieces
  bool member_whole_ = false;
  std::exception_ptr failure_;
  std::thread thread_;
};

}  // namespace velorium::nimbrova

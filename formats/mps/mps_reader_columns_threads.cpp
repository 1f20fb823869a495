// MPS reader: the lines of a large COLUMNS section parsed by several threads.
//
// The section is taken from the file in batches of whole lines, each cut into pieces that
// parsing threads read side by side: the fields, the values, each pair's row in the row index
// (which nothing changes any more while COLUMNS is read) and the hash of each new column
// name. A thread records what its lines ask for as compact steps; the reading thread applies
// the steps in file order just as the single-threaded code completes its own (columns,
// repeated descriptions, entries, warnings) while the threads parse the next batches. A
// thread stops its piece at the first line it is not sure of: a line that fails, a marker it
// cannot place, a section keyword, a byte the format refuses. The reading thread applies the
// steps before that line, gives the rest of the text back to the input and reads on line by
// line as before, so every message, and the line it names, is the same either way.

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/base/allowed_processors.hpp"
#include "core/names/names_holder.hpp"
#include "formats/mps/mps_reader.hpp"

namespace velorium {

namespace mps_detail {

namespace {

std::mutex threading_lock;
ColumnsThreading threading_setting;

}  // namespace

void setColumnsThreading(const ColumnsThreading& threading) {
  std::lock_guard guard(threading_lock);
  threading_setting = threading;
}

ColumnsThreading columnsThreading() {
  std::lock_guard guard(threading_lock);
  return threading_setting;
}

// What one line of a piece asks for, or one pair of it. The pairs of a run of lines that
// name one column are entries the thread keeps itself, unless the reading thread must see
// them: the runs at the piece's ends (which may continue a column of the piece before or be
// continued by the one after), pairs of unknown rows, and the objective's.
struct ParsedStep {
  enum class Kind : std::uint8_t { NamedLine, UnnamedLine, Pair, MarkerOpen, MarkerClose };
  static constexpr std::uint8_t kSameUnknown = 2;

  const char* name = nullptr;  // NamedLine: the column's name; Pair: the row's name
  std::uint32_t name_length = 0;
  std::uint32_t line = 0;      // within the piece, from 1
  std::uint64_t payload = 0;   // NamedLine: the name's hash in the pool; Pair: the value's bits
  std::int32_t row = 0;        // Pair: as the row index gives it
  Kind kind = Kind::Pair;
  std::uint8_t same = kSameUnknown;  // NamedLine: 1 when the piece's named line before it names the same column, 0 when another

  std::string_view nameView() const { return {name, name_length}; }
};
static_assert(sizeof(ParsedStep) == 32);

// An entry of a row kept by a parsing thread; its column is known by its run of lines.
struct PieceEntry {
  double value;
  std::uint32_t run;
  std::int32_t row;
};

struct ColumnsPiece {
  const char* text = nullptr;
  std::size_t begin = 0;  // text[begin, end) is whole lines
  std::size_t end = 0;
  std::vector<ParsedStep> steps;
  std::vector<PieceEntry> entries;  // by block of rows of the entry buffer, in file order within one
  std::vector<PieceEntry> unsorted;
  std::size_t lines = 0;      // lines parsed
  std::size_t stop_line = 0;  // 0: all lines parsed; else the first line (from 1) left to the reading thread
  std::atomic<bool> done{false};  // set under the workers' lock
};

namespace {

// Parses one piece. The row index is only read; names are looked up some pairs after their
// slot was asked for, so that the waits for memory of many pairs overlap. A row named twice
// in one run is left to the reading thread, as any line the thread is not sure of.
class PieceParser {
 public:
  PieceParser(const NameIndex& rows, unsigned block_shift, ColumnsPiece& piece)
      : rows_(rows), block_shift_(block_shift), piece_(piece) {}

  void run() {
    std::vector<ParsedStep>& steps = piece_.steps;
    steps.clear();
    piece_.unsorted.clear();
    piece_.lines = 0;
    piece_.stop_line = 0;
    const char* text = piece_.text;
    std::size_t at = piece_.begin;
    std::uint32_t line_number = 0;
    MpsLine line;
    while (at < piece_.end && line_number + 1 < limit_line_) {
      const char* start = text + at;
      const char* feed = static_cast<const char*>(std::memchr(start, '\n', piece_.end - at));
      std::size_t length = static_cast<std::size_t>(feed - start);
      at += length + 1;
      ++line_number;
      if (length > 0 && start[length - 1] == '\r') --length;
      splitReadableMpsLine(std::string_view(start, length), line);
      if (line.empty() || line.isComment()) continue;
      if (!parseLine(line, line_number)) {
        limit_line_ = std::min(limit_line_, line_number);
        break;
      }
    }
    flushLookUps();
    if (limit_line_ != kNoLimit) {
      piece_.stop_line = limit_line_;
      std::size_t kept = steps.size();
      while (kept > 0 && steps[kept - 1].line >= limit_line_) --kept;
      steps.resize(kept);
    } else {
      piece_.lines = line_number;
    }
    keepBoundaryPairs();
    sortEntries();
  }

 private:
  static constexpr std::size_t kLookUps = 64;
  static constexpr std::size_t kLookAhead = 32;  // pairs between asking for a slot and reading it
  static constexpr std::uint32_t kNoLimit = UINT32_MAX;

  struct LookUp {
    std::size_t step = 0;
    std::uint32_t run = 0;  // the run of lines the pair stands in (0: before the piece's first named line)
    NameIndex::Key key{};
    std::size_t slot = 0;
    bool headed = false;
  };

  bool parseLine(const MpsLine& line, std::uint32_t line_number) {
    if (line.has_nul) return false;
    if (!line.indented && findMpsSection(line.field(0)) != MpsSection::None) return false;
    const std::size_t count = line.field_count;
    if (count < 2 || count > 5) return false;
    const std::size_t first_pair = count % 2 == 1 ? 1 : 0;
    std::vector<ParsedStep>& steps = piece_.steps;
    if (line.field(first_pair) == "'MARKER'") {
      const std::string_view marker = line.field(first_pair + 1);
      ParsedStep& step = steps.emplace_back();
      step.line = line_number;
      if (marker == "'INTORG'") {
        step.kind = ParsedStep::Kind::MarkerOpen;
      } else if (marker == "'INTEND'") {
        step.kind = ParsedStep::Kind::MarkerClose;
      } else {
        return false;
      }
      marker_since_name_ = true;
      return true;
    }
    if (first_pair == 0) {
      ParsedStep& start = steps.emplace_back();
      start.line = line_number;
      start.kind = ParsedStep::Kind::UnnamedLine;
    } else {
      const std::string_view name = line.field(0);
      const std::uint8_t same = !have_column_ ? ParsedStep::kSameUnknown : name == column_ ? 1 : 0;
      // A line that goes on with the column of the line before it changes nothing, unless a
      // marker came between them.
      if (same != 1 || marker_since_name_) {
        ParsedStep& start = steps.emplace_back();
        start.line = line_number;
        start.kind = ParsedStep::Kind::NamedLine;
        start.name = name.data();
        start.name_length = static_cast<std::uint32_t>(name.size());
        start.same = same;
        if (same != 1) start.payload = VeloriumNamesHolder::hash_name(name).spread_hash;
      }
      if (same != 1) ++run_;
      column_ = name;
      have_column_ = true;
      marker_since_name_ = false;
    }
    for (std::size_t pair = first_pair; pair + 1 < count; pair += 2) {
      double value = 0.0;
      if (!parseMpsLineNumber(line.field(pair + 1), value) || !std::isfinite(value)) return false;
      if (value == 0.0) continue;
      const std::string_view row_name = line.field(pair);
      const NameIndex::Key key = NameIndex::keyOfReadable(row_name);
      rows_.prefetch(key);
      ParsedStep& step = steps.emplace_back();
      step.kind = ParsedStep::Kind::Pair;
      step.name = row_name.data();
      step.name_length = static_cast<std::uint32_t>(row_name.size());
      step.line = line_number;
      step.payload = std::bit_cast<std::uint64_t>(value);
      queueLookUp(steps.size() - 1, key);
    }
    return true;
  }

  void queueLookUp(std::size_t step, const NameIndex::Key& key) {
    if (count_ == kLookUps) completeOldest();
    look_ups_[(first_ + count_) % kLookUps] = LookUp{step, run_, key, 0, false};
    ++count_;
    if (count_ > kLookAhead) head(look_ups_[(first_ + count_ - 1 - kLookAhead) % kLookUps]);
  }

  void head(LookUp& look_up) {
    if (look_up.headed) return;
    look_up.headed = true;
    ParsedStep& step = piece_.steps[look_up.step];
    step.row = rows_.findByHead(step.nameView(), look_up.key, look_up.slot);
  }

  // Pairs complete in file order: each run's rows are checked for repeats here.
  void completeOldest() {
    LookUp& look_up = look_ups_[first_];
    first_ = (first_ + 1) % kLookUps;
    --count_;
    head(look_up);
    ParsedStep& step = piece_.steps[look_up.step];
    if (step.row == NameIndex::kCompareRest) step.row = rows_.findFrom(step.nameView(), look_up.key, look_up.slot);
    if (step.line >= limit_line_) return;
    std::vector<PieceEntry>& entries = piece_.unsorted;
    if (step.line != entries_line_) {
      entries_line_ = step.line;
      entries_at_line_ = entries.size();
    }
    if (step.row == NameIndex::kMissing) return;
    if (look_up.run != checked_run_) {
      run_rows_.clear();
      checked_run_ = look_up.run;
    }
    if (!run_rows_.insert(step.row)) {
      limit_line_ = step.line;
      entries.resize(entries_at_line_);
      return;
    }
    if (step.row >= 0) entries.push_back(PieceEntry{std::bit_cast<double>(step.payload), look_up.run, step.row});
  }

  void flushLookUps() {
    while (count_ > 0) completeOldest();
  }

  // Drops the pairs the reading thread need not see: entries of known rows in the runs
  // inside the piece. The first two runs may go on with the column of the piece before, the
  // last may go on in the next piece (or in the lines left to the reading thread).
  void keepBoundaryPairs() {
    std::vector<ParsedStep>& steps = piece_.steps;
    std::uint32_t last_run = 0;
    for (const ParsedStep& step : steps) {
      if (step.kind == ParsedStep::Kind::NamedLine && step.same != 1) ++last_run;
    }
    std::size_t kept = 0;
    std::uint32_t run = 0;
    for (const ParsedStep& step : steps) {
      if (step.kind == ParsedStep::Kind::NamedLine && step.same != 1) ++run;
      if (step.kind == ParsedStep::Kind::Pair && run > 1 && run < last_run && step.row >= 0) continue;
      steps[kept++] = step;
    }
    steps.resize(kept);
  }

  // Stable counting sort by block of rows.
  void sortEntries() {
    const std::vector<PieceEntry>& unsorted = piece_.unsorted;
    std::vector<PieceEntry>& sorted = piece_.entries;
    sorted.resize(unsorted.size());
    if (unsorted.empty()) return;
    std::vector<std::size_t>& starts = block_starts_;
    starts.assign((rows_.size() >> block_shift_) + 2, 0);
    for (const PieceEntry& entry : unsorted) ++starts[(static_cast<std::size_t>(entry.row) >> block_shift_) + 1];
    for (std::size_t b = 1; b < starts.size(); ++b) starts[b] += starts[b - 1];
    for (const PieceEntry& entry : unsorted) sorted[starts[static_cast<std::size_t>(entry.row) >> block_shift_]++] = entry;
  }

  const NameIndex& rows_;
  const unsigned block_shift_;
  ColumnsPiece& piece_;
  std::string_view column_;  // the name of the piece's last named line
  bool have_column_ = false;
  bool marker_since_name_ = false;
  std::uint32_t run_ = 0;
  std::uint32_t limit_line_ = kNoLimit;  // lines from here on are left to the reading thread
  std::array<LookUp, kLookUps> look_ups_{};
  std::size_t first_ = 0;
  std::size_t count_ = 0;
  std::uint32_t checked_run_ = UINT32_MAX;
  MpsRowSet run_rows_;
  std::uint32_t entries_line_ = 0;
  std::size_t entries_at_line_ = 0;
  std::vector<std::size_t> block_starts_;
};

}  // namespace

// Threads that parse the pieces handed to them, in the order handed; they live for one
// section and are joined on every way out of it.
class ColumnsWorkers {
 public:
  // `spin`: whether a waiting thread may spin for a while (a processor to spare).
  ColumnsWorkers(const NameIndex& rows, unsigned block_shift, std::size_t count, bool spin)
      : rows_(rows), block_shift_(block_shift), spins_(spin ? kSpins : 0) {
    try {
      for (std::size_t i = 0; i < count; ++i) threads_.emplace_back([this] { run(); });
    } catch (const std::system_error&) {
      // Fewer threads than asked for; none at all leaves the section to the reading thread.
    }
  }
  ~ColumnsWorkers() { stop(); }
  ColumnsWorkers(const ColumnsWorkers&) = delete;
  ColumnsWorkers& operator=(const ColumnsWorkers&) = delete;

  std::size_t size() const { return threads_.size(); }

  void submit(ColumnsPiece& piece) {
    {
      std::lock_guard guard(lock_);
      piece.done.store(false, std::memory_order_relaxed);
      queue_.push_back(&piece);
    }
    work_ready_.notify_one();
  }

  void wait(const ColumnsPiece& piece) {
    // A piece is parsed in a fraction of a millisecond: a short spin saves the reading
    // thread a sleep and a wake-up.
    for (int spin = 0; spin < spins_; ++spin) {
      if (piece.done.load(std::memory_order_acquire)) return;
      pause();
    }
    std::unique_lock guard(lock_);
    piece_done_.wait(guard, [&] { return piece.done.load(std::memory_order_relaxed); });
  }

  // Pieces not begun are dropped.
  void stop() {
    {
      std::lock_guard guard(lock_);
      stopping_ = true;
      queue_.clear();
    }
    work_ready_.notify_all();
    for (std::thread& thread : threads_) thread.join();
    threads_.clear();
  }

 private:
  void run() {
    for (;;) {
      ColumnsPiece* piece = nullptr;
      {
        std::unique_lock guard(lock_);
        work_ready_.wait(guard, [&] { return stopping_ || !queue_.empty(); });
        if (stopping_) return;
        piece = queue_.front();
        queue_.pop_front();
      }
      try {
        PieceParser(rows_, block_shift_, *piece).run();
      } catch (...) {
        // Out of memory for the steps: the reading thread reads the piece itself.
        piece->steps.clear();
        piece->entries.clear();
        piece->stop_line = 1;
      }
      {
        std::lock_guard guard(lock_);
        piece->done.store(true, std::memory_order_release);
      }
      piece_done_.notify_all();
    }
  }

  static constexpr int kSpins = 4000;

  static void pause() {
#if defined(__SSE2__)
    _mm_pause();
#endif
  }

  const NameIndex& rows_;
  const unsigned block_shift_;
  const int spins_;
  std::vector<std::thread> threads_;
  std::mutex lock_;
  std::condition_variable work_ready_;
  std::condition_variable piece_done_;
  std::deque<ColumnsPiece*> queue_;
  bool stopping_ = false;
};

}  // namespace mps_detail

namespace {

using mps_detail::ColumnsPiece;
using mps_detail::ParsedStep;
using mps_detail::PieceEntry;

constexpr std::size_t kPieceBytes = std::size_t{1} << 15;
constexpr std::uint64_t kMinimumBytes = std::uint64_t{1} << 22;
constexpr std::size_t kFewestProcessors = 3;
constexpr std::size_t kMaximumWorkers = 7;   // with the reading thread, 8 processors
constexpr std::size_t kBatches = 3;  // one applied, the next ones read and parsed
constexpr std::size_t kLongestBatch = std::size_t{1} << 26;  // a longer line is left to the line reader
constexpr std::size_t kNamesAhead = 16;      // steps between asking for a column name's pool slot and using it

// Whole lines of the section's text, behind which LineReader::kReadableAfterLine bytes may be read.
struct Batch {
  std::unique_ptr<char[]> bytes;
  std::size_t capacity = 0;  // bytes of text it can take
  std::size_t length = 0;    // bytes of whole lines
  std::size_t filled = 0;    // bytes read, a part of a line after the whole ones included
  std::uint64_t offset = 0;  // where its text starts in the file
  std::deque<ColumnsPiece> pieces;  // the first `piece_count` are the batch's (a deque: they never move)
  std::size_t piece_count = 0;

  void reserve(std::size_t size) {
    if (size <= capacity) return;
    const std::size_t new_capacity = std::max(size, capacity * 2);
    auto bigger = std::make_unique_for_overwrite<char[]>(new_capacity + LineReader::kReadableAfterLine);
    if (filled > 0) std::memcpy(bigger.get(), bytes.get(), filled);
    bytes = std::move(bigger);
    capacity = new_capacity;
  }
};

}  // namespace

namespace {

// Reads the section's text into batches of whole lines, cuts them into pieces and hands the
// pieces to the parsing threads, on a thread of its own, a few batches ahead of the reading
// thread. While it runs, the input is its alone.
class BatchFeeder {
 public:
  BatchFeeder(LineReader& input, mps_detail::ColumnsWorkers& workers, std::size_t batch_bytes, std::size_t piece_bytes,
              std::uint64_t start)
      : input_(input), workers_(workers), batch_bytes_(batch_bytes), piece_bytes_(piece_bytes), next_offset_(start) {}
  ~BatchFeeder() { stop(); }
  BatchFeeder(const BatchFeeder&) = delete;
  BatchFeeder& operator=(const BatchFeeder&) = delete;

  // Throws std::system_error when the thread cannot start.
  void start(std::vector<std::unique_ptr<Batch>>& batches) {
    for (auto& batch : batches) free_.push_back(batch.get());
    thread_ = std::thread([this] { run(); });
  }

  // The next batch in file order, its pieces handed out; null once no whole line is left.
  // Rethrows what stopped the feeding thread.
  Batch* next() {
    std::unique_lock guard(lock_);
    changed_.wait(guard, [&] { return !ready_.empty() || finished_; });
    if (ready_.empty()) {
      if (failure_) std::rethrow_exception(failure_);
      return nullptr;
    }
    Batch* batch = ready_.front();
    ready_.pop_front();
    return batch;
  }

  void recycle(Batch* batch) {
    {
      std::lock_guard guard(lock_);
      free_.push_back(batch);
    }
    changed_.notify_all();
  }

  void stop() {
    {
      std::lock_guard guard(lock_);
      stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  // Where the text of the batches ends: once the last batch is given out, the start of what
  // no batch holds.
  std::uint64_t endOffset() const { return next_offset_; }

 private:
  void run() {
    try {
      for (;;) {
        Batch* batch = nullptr;
        {
          std::unique_lock guard(lock_);
          changed_.wait(guard, [&] { return stopping_ || !free_.empty(); });
          if (stopping_) return;
          batch = free_.back();
          free_.pop_back();
        }
        const bool filled = fill(*batch);
        {
          std::lock_guard guard(lock_);
          if (filled) {
            ready_.push_back(batch);
          } else {
            free_.push_back(batch);
            finished_ = true;
          }
        }
        changed_.notify_all();
        if (!filled) return;
      }
    } catch (...) {
      {
        std::lock_guard guard(lock_);
        failure_ = std::current_exception();
        finished_ = true;
      }
      changed_.notify_all();
    }
  }

  // Reads the next batch and hands out its pieces; false when no whole line is left (what
  // is left stays in `carry_`).
  bool fill(Batch& batch) {
    batch.offset = next_offset_;
    batch.length = 0;
    batch.filled = 0;
    batch.reserve(carry_.size() + batch_bytes_);
    std::memcpy(batch.bytes.get(), carry_.data(), carry_.size());
    batch.filled = carry_.size();
    carry_.clear();
    std::size_t wanted = batch_bytes_;
    for (;;) {
      while (batch.filled < wanted && !input_over_) {
        batch.reserve(wanted);
        const std::size_t got = input_.readBytes(batch.bytes.get() + batch.filled, wanted - batch.filled);
        if (got == 0) input_over_ = true;
        batch.filled += got;
      }
      const void* feed = batch.filled > 0 ? memrchr(batch.bytes.get(), '\n', batch.filled) : nullptr;
      if (feed != nullptr) {
        batch.length = static_cast<std::size_t>(static_cast<const char*>(feed) - batch.bytes.get()) + 1;
        break;
      }
      if (input_over_ || wanted >= kLongestBatch) {
        carry_.assign(batch.bytes.get(), batch.filled);
        return false;
      }
      wanted *= 2;  // a line longer than the batch
    }
    carry_.assign(batch.bytes.get() + batch.length, batch.filled - batch.length);
    std::memset(batch.bytes.get() + batch.filled, 0, LineReader::kReadableAfterLine);
    next_offset_ = batch.offset + batch.length;
    std::size_t pieces = 0;
    for (std::size_t begin = 0; begin < batch.length; ++pieces) {
      if (pieces == batch.pieces.size()) batch.pieces.emplace_back();
      ColumnsPiece& piece = batch.pieces[pieces];
      piece.text = batch.bytes.get();
      piece.begin = begin;
      const std::size_t from = begin + piece_bytes_ - 1;
      const void* feed = from < batch.length ? std::memchr(batch.bytes.get() + from, '\n', batch.length - from) : nullptr;
      piece.end = feed != nullptr ? static_cast<std::size_t>(static_cast<const char*>(feed) - batch.bytes.get()) + 1 : batch.length;
      begin = piece.end;
    }
    batch.piece_count = pieces;
    for (std::size_t k = 0; k < pieces; ++k) workers_.submit(batch.pieces[k]);
    return true;
  }

  LineReader& input_;
  mps_detail::ColumnsWorkers& workers_;
  const std::size_t batch_bytes_;
  const std::size_t piece_bytes_;
  std::uint64_t next_offset_;
  std::string carry_;  // the start of a line not yet in a batch
  bool input_over_ = false;

  std::thread thread_;
  std::mutex lock_;
  std::condition_variable changed_;
  std::vector<Batch*> free_;
  std::deque<Batch*> ready_;  // in file order
  bool stopping_ = false;
  bool finished_ = false;
  std::exception_ptr failure_;
};

}  // namespace

bool MpsReader::readColumnsInParallel(ColumnLineState& state) {
  const mps_detail::ColumnsThreading setting = mps_detail::columnsThreading();
  std::size_t workers = setting.workers;
  const std::size_t processors = allowedProcessors();
  if (!setting.forced) {
    // Two processors read no faster than one (the reading thread's own work bounds it) and
    // spend half as much work again: three are the fewest that gain.
    if (processors < kFewestProcessors) return true;
    if (workers == 0) workers = std::min(processors - 1, kMaximumWorkers);
  }
  if (workers == 0) workers = 1;
  const std::size_t piece_bytes = setting.piece_bytes != 0 ? setting.piece_bytes : kPieceBytes;
  const std::size_t batch_bytes = setting.batch_bytes != 0 ? setting.batch_bytes : piece_bytes * workers;
  const std::uint64_t minimum_bytes = setting.forced || setting.minimum_bytes != 0 ? setting.minimum_bytes : kMinimumBytes;
  const std::uint64_t size = input_->fileSize();
  const std::uint64_t start = input_->offset();
  if (size <= start || size - start < minimum_bytes) return true;

  // Destroyed in the reverse order: the threads are joined before the batches go.
  std::vector<std::unique_ptr<Batch>> batches;
  for (std::size_t b = 0; b < kBatches; ++b) {
    // Room taken here, from the reading thread's heap, comes back to it when the section is
    // read, for the rows' term lists; room the other threads took would stay with them.
    auto batch = std::make_unique<Batch>();
    batch->reserve(2 * batch_bytes);
    for (std::size_t k = 0; k < batch_bytes / piece_bytes + 1; ++k) {
      ColumnsPiece& piece = batch->pieces.emplace_back();
      piece.steps.reserve(piece_bytes / 12);
      piece.unsorted.reserve(piece_bytes / 16);
      piece.entries.reserve(piece_bytes / 16);
    }
    batches.push_back(std::move(batch));
  }
  mps_detail::ColumnsWorkers threads(rows_by_name_, row_entries_.blockShift(), workers, processors > 2);
  if (threads.size() == 0) return true;
  BatchFeeder feeder(*input_, threads, batch_bytes, piece_bytes, start);
  try {
    feeder.start(batches);
  } catch (const std::system_error&) {
    return true;  // nothing read yet: the lines are read one by one
  }

  // Ends the threaded reading: the input goes on from `offset`, the start of line
  // `lines_before` + 1 (read again from the file: the text read ahead may be long).
  auto handBack = [&](std::uint64_t offset, std::size_t lines_before) {
    feeder.stop();
    threads.stop();
    if (!input_->seek(offset)) throw std::runtime_error("the file cannot be read again from a position it was read at");
    line_number_ = lines_before;
    threaded_offset_ = 0;
  };
  std::size_t first_line = line_number_;  // the lines before the next piece
  while (Batch* batch = feeder.next()) {
    for (std::size_t k = 0; k < batch->piece_count; ++k) {
      const ColumnsPiece& piece = batch->pieces[k];
      threads.wait(piece);
      threaded_offset_ = batch->offset + piece.begin;
      const std::int64_t left = applyColumnsPiece(piece, state, first_line);
      if (left < 0) {
        threaded_offset_ = 0;
        return false;
      }
      if (left > 0) {
        std::size_t at = piece.begin;
        for (std::int64_t line = 1; line < left; ++line) {
          at = static_cast<std::size_t>(static_cast<const char*>(std::memchr(batch->bytes.get() + at, '\n', piece.end - at)) -
                                        batch->bytes.get()) + 1;
        }
        handBack(batch->offset + at, first_line + static_cast<std::size_t>(left) - 1);
        return true;
      }
      first_line += piece.lines;
    }
    feeder.recycle(batch);
  }
  handBack(feeder.endOffset(), first_line);
  return true;
}

std::int64_t MpsReader::applyColumnsPiece(const ColumnsPiece& piece, ColumnLineState& state, std::size_t first_line) {
  const std::vector<ParsedStep>& steps = piece.steps;
  const VeloriumNamesHolder& pool = names_pool();
  segment_columns_.assign(1, resolved_column_);  // the lines before the piece's first named line
  for (std::size_t i = 0; i < steps.size(); ++i) {
    if (i + kNamesAhead < steps.size()) {
      const ParsedStep& ahead = steps[i + kNamesAhead];
      if (ahead.kind == ParsedStep::Kind::NamedLine && ahead.same != 1) pool.prefetch_name({ahead.nameView(), ahead.payload});
    }
    const ParsedStep& step = steps[i];
    switch (step.kind) {
      case ParsedStep::Kind::MarkerOpen:
      case ParsedStep::Kind::MarkerClose:
        if ((step.kind == ParsedStep::Kind::MarkerOpen) == state.integer_block) return step.line;
        state.integer_block = !state.integer_block;
        continue;
      case ParsedStep::Kind::UnnamedLine:
        if (!state.column_open) return step.line;
        break;
      case ParsedStep::Kind::NamedLine: {
        if (step.same == 1) break;
        const std::string_view name = step.nameView();
        if (step.same == 0 || !state.column_open || !current_column_name_.equals(name)) {
          if (!startColumn(name, step.payload, state.integer_block, first_line + step.line)) return -1;
          current_column_name_.assign(name);
          state.column_open = true;
          state.column_marked = state.integer_block;
        }
        segment_columns_.push_back(resolved_column_);
        break;
      }
      case ParsedStep::Kind::Pair: {
        const int admitted = admitPair(step.row, std::bit_cast<double>(step.payload), step.nameView(), first_line + step.line);
        if (admitted < 0) return -1;
        continue;
      }
    }
    // Inside a marker block every line makes its column integer with bounds [0, 1].
    if (state.integer_block && !state.column_marked) {
      markColumnInteger();
      state.column_marked = true;
    }
  }
  // The entries the thread kept, block by block: a few streams of writes.
  for (const PieceEntry& entry : piece.entries) row_entries_.push(entry.row, segment_columns_[entry.run], entry.value);
  return static_cast<std::int64_t>(piece.stop_line);
}

}  // namespace velorium

// The gzip member of an upload, compressed in blocks on worker threads.
#include "cloud/block_gzip.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "cloud/support/gunzip.hpp"

namespace velorium::nimbrova {
namespace {

// Lines such as a model file holds, with varied numbers.
std::string model_like_text(std::size_t size) {
  std::mt19937 random(7);
  std::string text;
  while (text.size() < size) {
    text += "    x" + std::to_string(random() % 100000) + "  C" + std::to_string(random() % 5000) + "  " +
            std::to_string(static_cast<double>(random() % 100000) / 997.0) + "\n";
  }
  text.resize(size);
  return text;
}

// Compresses `input`, handing it over in pieces of at most `piece` bytes.
std::string compress(const std::string& input, unsigned workers, std::size_t piece = 1 << 16) {
  std::size_t at = 0;
  std::string member;
  write_gzip_member(
      [&](char* buffer, std::size_t capacity) {
        const std::size_t n = std::min({capacity, piece, input.size() - at});
        std::memcpy(buffer, input.data() + at, n);
        at += n;
        return n;
      },
      [&](const unsigned char* data, std::size_t size) { member.append(reinterpret_cast<const char*>(data), size); },
      workers);
  return member;
}

TEST(BlockGzip, EveryInputSizeGivesOneMemberOfTheSameBytesWhateverTheWorkers) {
  const std::size_t B = kGzipBlockSize;
  const std::string header("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03", 10);
  for (const std::size_t size : {std::size_t{0}, std::size_t{1}, B - 1, B, B + 1, 3 * B + 12345}) {
    const std::string input = model_like_text(size);
    const std::string alone = compress(input, 1);
    EXPECT_EQ(alone.substr(0, 10), header) << size;
    EXPECT_EQ(test::gunzip_one_member(alone), input) << size;
    for (const unsigned workers : {2u, 8u}) {
      EXPECT_EQ(compress(input, workers), alone) << size << " bytes, " << workers << " workers";
    }
    // A source that gives a few bytes at a time makes the same blocks.
    EXPECT_EQ(compress(input, 3, 1000), alone) << size;
  }
}

TEST(BlockGzip, ABlockFindsMatchesInTheTailOfTheOneBefore) {
  // Random bytes do not compress; the second block opens with a copy of the first one's last
  // 16 KiB, which only a block primed with that tail can send as a match.
  const std::size_t B = kGzipBlockSize;
  std::mt19937 random(11);
  std::string input(B, '\0');
  for (char& c : input) c = static_cast<char>(random());
  input += input.substr(B - 16 * 1024);
  const std::string member = compress(input, 4);
  EXPECT_EQ(test::gunzip_one_member(member), input);
  EXPECT_LT(member.size(), B + 8 * 1024);
}

TEST(BlockGzip, AFailingSourceOrSinkEndsTheCallAfterTheWorkersStop) {
  const std::string input = model_like_text(20 * kGzipBlockSize);
  for (const unsigned workers : {1u, 4u}) {
    std::size_t at = 0;
    const auto failing_source = [&](char* buffer, std::size_t capacity) -> std::size_t {
      if (at >= 7 * kGzipBlockSize) throw std::runtime_error("cannot read the model file");
      const std::size_t n = std::min(capacity, input.size() - at);
      std::memcpy(buffer, input.data() + at, n);
      at += n;
      return n;
    };
    EXPECT_THROW(write_gzip_member(failing_source, [](const unsigned char*, std::size_t) {}, workers),
                 std::runtime_error)
        << workers;

    at = 0;
    std::size_t written = 0;
    const auto source = [&](char* buffer, std::size_t capacity) {
      const std::size_t n = std::min(capacity, input.size() - at);
      std::memcpy(buffer, input.data() + at, n);
      at += n;
      return n;
    };
    const auto failing_sink = [&](const unsigned char*, std::size_t size) {
      written += size;
      if (written > 100000) throw std::runtime_error("disk full");
    };
    EXPECT_THROW(write_gzip_member(source, failing_sink, workers), std::runtime_error) << workers;
  }
}

TEST(BlockGzip, WorkersAreBoundedByTheMachine) {
  const unsigned workers = gzip_workers_for_this_machine();
  EXPECT_GE(workers, 1u);
  EXPECT_LE(workers, 8u);
}

}  // namespace
}  // namespace velorium::nimbrova

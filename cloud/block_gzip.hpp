// One gzip member (RFC 1952) made of independently compressed blocks, so that a large model
// file is compressed on several processors at once while the member stays one ordinary gzip
// stream: zlib's default level, a 32 KiB window, memory level 8, the default strategy, no
// name, no comment and modification time 0.
//
// Each block is a raw deflate stream primed with the last 32 KiB of the block before it (so
// matches reach back as far as a single stream's would) and ends on a byte boundary without
// the final bit; the last block ends the member. The CRC-32 of the whole input is combined
// from the blocks' own. Small inputs, and machines with one processor, compress on the
// caller's thread alone; worker threads live only for one call.
#pragma once

#include <cstddef>
#include <functional>

namespace velorium::nimbrova {

// Fills up to `capacity` bytes of `buffer`; 0 only at the end of the input.
using GzipSource = std::function<std::size_t(char* buffer, std::size_t capacity)>;
// Takes the next piece of the gzip member.
using GzipSink = std::function<void(const unsigned char* data, std::size_t size)>;

// Input bytes per block.
inline constexpr std::size_t kGzipBlockSize = 256 * 1024;

// The number of worker threads the machine's processors allow (at least 1, at most 8).
unsigned gzip_workers_for_this_machine();

// Compresses everything `read` gives into one gzip member handed to `write` in order. With
// `workers` 1 no thread is started. An exception from `read` or `write`, or a failure of the
// compressor, ends the call after the workers have stopped.
void write_gzip_member(const GzipSource& read, const GzipSink& write, unsigned workers);

}  // namespace velorium::nimbrova

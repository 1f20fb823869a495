// Inflates a gzip member for tests that check what an upload sends.
#pragma once

#include <zlib.h>

#include <string>
#include <vector>

namespace velorium::test {

// The text of exactly one gzip member that fills all of `member`; "<bad>" for anything else
// (a damaged stream, a second member, bytes behind the first).
inline std::string gunzip_one_member(const std::string& member) {
  z_stream stream{};
  inflateInit2(&stream, 15 + 16);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(member.data()));
  stream.avail_in = static_cast<uInt>(member.size());
  std::string out;
  std::vector<char> buffer(1 << 16);
  int status = Z_OK;
  while (status == Z_OK) {
    stream.next_out = reinterpret_cast<Bytef*>(buffer.data());
    stream.avail_out = static_cast<uInt>(buffer.size());
    status = inflate(&stream, Z_NO_FLUSH);
    out.append(buffer.data(), buffer.size() - stream.avail_out);
  }
  const bool whole = status == Z_STREAM_END && stream.avail_in == 0;
  inflateEnd(&stream);
  return whole ? out : "<bad>";
}

}  // namespace velorium::test

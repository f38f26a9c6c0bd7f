// The chunk walk shared by the stream measures and the copy.
#pragma once

#include <cstdint>
#include <cstdio>

#include "fileutil/file_measure.h"

namespace fwpack {

// Reads the stream in chunks of up to 1024 bytes and hands each chunk to
// process(bytes, n) until the total reaches length or the stream yields no
// more. whole_stream never stops short of the end of the stream. Returns the
// number of bytes read.
template <typename Process>
std::int64_t walk_chunks(std::FILE* stream, std::int32_t length,
                         Process&& process) {
  std::int64_t total = 0;
  if (length <= 0) return total;
  unsigned char chunk[chunk_size];
  for (;;) {
    std::size_t n = std::fread(chunk, 1, sizeof chunk, stream);
    if (n == 0) break;
    process(chunk, n);
    total += static_cast<std::int64_t>(n);
    if (length != whole_stream && total >= length) break;
  }
  return total;
}

}  // namespace fwpack

#include "fileutil/crc32.h"

#include "fileutil/chunk_walk.h"

namespace fwpack {

std::uint32_t crc32_table[256];

void init_crc32_table() {
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t v = i;
    for (int round = 0; round < 8; ++round)
      v = (v & 1u) ? (v >> 1) ^ crc32_polynomial_reflected : v >> 1;
    crc32_table[i] = v;
  }
}

std::uint32_t crc32_update(std::uint32_t reg, const unsigned char* bytes,
                           std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    reg = (reg >> 8) ^ crc32_table[(reg ^ bytes[i]) & 0xFFu];
  return reg;
}

std::int32_t get_file_crc32(std::FILE* stream, std::uint32_t* crc,
                            std::int32_t length) {
  if (stream == nullptr) return -1;
  std::fseek(stream, 0, SEEK_SET);
  std::uint32_t reg = 0xFFFFFFFFu;
  walk_chunks(stream, length, [&reg](const unsigned char* bytes, std::size_t n) {
    reg = crc32_update(reg, bytes, n);
  });
  *crc = reg;
  return 0;
}

}  // namespace fwpack

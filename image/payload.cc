#include "image/payload.h"

#include <cstring>

#include "fileutil/file_measure.h"
#include "image/pack_header.h"

namespace fwpack {

void put_block_trailer(std::uint8_t block[block_size], const block_trailer& t) {
  put_u32_le(block + block_trailer_offset, t.word0);
  put_u32_le(block + block_trailer_offset + 4, t.file_size);
  put_u32_le(block + block_trailer_offset + 8, t.byte_sum);
}

block_trailer get_block_trailer(const std::uint8_t block[block_size]) {
  return {get_u32_le(block + block_trailer_offset),
          get_u32_le(block + block_trailer_offset + 4),
          get_u32_le(block + block_trailer_offset + 8)};
}

bool is_block_framed(std::uint8_t protocol_version) {
  return protocol_version == 1 || protocol_version == 2;
}

std::int64_t payload_length(std::uint8_t protocol_version,
                            std::int64_t file_size) {
  if (!is_block_framed(protocol_version)) return file_size;
  std::int64_t tail = file_size % block_size;
  std::int64_t whole = file_size - tail;
  return whole + (tail > block_trailer_offset ? 2 : 1) * block_size;
}

int write_payload(std::FILE* input, std::FILE* scratch,
                  std::uint8_t protocol_version, std::int32_t file_size,
                  std::uint32_t byte_sum, std::uint32_t trailer_word0,
                  std::uint8_t fill) {
  if (!is_block_framed(protocol_version)) {
    std::int32_t copied = copy_file_data(input, scratch, file_size);
    return copied == file_size ? 0 : payload_read_short;
  }

  std::int32_t tail = file_size % block_size;
  std::int32_t whole = file_size - tail;
  // The whole blocks go over unchanged and leave the input at the tail; for a
  // file shorter than one block this still rewinds both streams.
  std::int32_t copied = copy_file_data(input, scratch, whole);

  std::uint8_t block[block_size];
  std::size_t got = std::fread(block, 1, static_cast<std::size_t>(tail), input);
  std::memset(block + got, fill, block_size - got);
  if (tail > block_trailer_offset) {
    std::fwrite(block, 1, block_size, scratch);
    std::memset(block, fill, block_size);
  }
  put_block_trailer(block, {trailer_word0, static_cast<std::uint32_t>(file_size),
                            byte_sum});
  std::fwrite(block, 1, block_size, scratch);

  bool complete = copied == whole && got == static_cast<std::size_t>(tail);
  return complete ? 0 : payload_read_short;
}

}  // namespace fwpack

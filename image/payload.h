// The payload: what an image holds in front of its header block.
//
// Protocol versions 0 and 3 carry the raw firmware whole; the header block
// follows at offset file_size. Versions 1 and 2 frame it in 1024-byte blocks:
// the whole blocks unchanged, then the tail in a block padded with the fill
// byte whose last 12 bytes are the block trailer, three little-endian words:
//
//   offset in last block  word
//                   1012  chip role (main image) or 4 (safety image)
//                   1016  size of the raw firmware in bytes
//                   1020  byte sum of the raw firmware
//
// A tail of 1013 to 1023 bytes leaves no room for the trailer, so its block
// is written padded and one more block of fill carries the trailer. The
// framed payload is always a whole number of blocks.
#pragma once

#include <cstdint>
#include <cstdio>

namespace fwpack {

inline constexpr int block_size = 1024;
inline constexpr int block_trailer_size = 12;
inline constexpr int block_trailer_offset = block_size - block_trailer_size;

// The trailer word that marks a safety image.
inline constexpr std::uint32_t safety_trailer_word0 = 4;

struct block_trailer {
  std::uint32_t word0;      // chip role, or 4 in the safety image
  std::uint32_t file_size;  // bytes of raw firmware
  std::uint32_t byte_sum;   // byte sum of the raw firmware
};

// Writes the trailer's three words into the last 12 bytes of a block.
void put_block_trailer(std::uint8_t block[block_size], const block_trailer& t);
block_trailer get_block_trailer(const std::uint8_t block[block_size]);

// True when the protocol version frames the payload in blocks (1 and 2).
bool is_block_framed(std::uint8_t protocol_version);

// The length of the payload for a raw firmware of file_size bytes.
std::int64_t payload_length(std::uint8_t protocol_version,
                            std::int64_t file_size);

// What write_payload() gives when the input held fewer bytes than file_size:
// the missing bytes were written as fill, the payload is not to be used.
inline constexpr int payload_read_short = -1;

// Writes the payload for protocol_version from input into scratch, from the
// start of both, and leaves scratch at the end of the payload. Returns 0, or
// payload_read_short. Write failures show in scratch's error indicator.
int write_payload(std::FILE* input, std::FILE* scratch,
                  std::uint8_t protocol_version, std::int32_t file_size,
                  std::uint32_t byte_sum, std::uint32_t trailer_word0,
                  std::uint8_t fill);

}  // namespace fwpack

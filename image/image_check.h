// Reading an image back: its header block, its payload layout, and the
// checks that tell whether it is sound. Damaged input is measured, never
// trusted: every offset is checked against the image's size before it is
// read.
#pragma once

#include <cstdint>
#include <cstdio>

#include "image/pack_header.h"
#include "image/payload.h"

namespace fwpack {

enum class image_kind { unknown, main, safety };

enum class check_id {
  header_block,      // the image holds at least one header block
  fill,              // header bytes 129..1023 are all 0xFF or all 0x00
  protocol_version,  // 0..3
  layout,            // the payload's length fits its version's layout
  padding,           // framed: fill bytes between the data and the trailer
  trailer_word0,     // framed: chip role (main) or 4 (safety)
  trailer_byte_sum,  // framed: the trailer's sum matches the data
  checksum_or_size,  // framed: byte sum (version 1) or size (version 2)
  crc32,             // the data's CRC-32/JAMCRC equals file_crc32
  safety_fields,     // safety: fields other than its six are zero
  safety_file_type,  // safety: file_type is 4
};

inline constexpr int max_checks = 11;

struct image_check_result {
  check_id id;
  bool passed;
  char detail[160];
};

struct image_inspection {
  std::int64_t image_size;
  bool has_header;
  pack_header record;
  image_kind kind;
  bool framed;
  std::int64_t payload_length;
  // Where the raw firmware lies, once the layout is known.
  bool data_known;
  std::int64_t data_length;
  std::uint32_t data_crc32;
  std::uint32_t data_byte_sum;
  bool has_trailer;
  block_trailer trailer;
  int check_count;
  image_check_result checks[max_checks];
};

// The name of a check, as reports show it.
const char* check_name(check_id id);

// Reads and checks the image in stream. Returns 0, or -1 when the stream
// cannot be read at all.
int inspect_image(std::FILE* stream, image_inspection& result);

// True when every check passed.
bool inspection_passed(const image_inspection& result);

// Copies the raw firmware of an inspected image to out. Returns 0, or -1
// when its place in the image is not known or the copy fails.
int extract_firmware(std::FILE* image, const image_inspection& result,
                     std::FILE* out);

}  // namespace fwpack

// The image header record and the header block.
//
// Every image ends in one 1024-byte header block: the 129-byte record below,
// then 895 fill bytes (0xFF in the main image, 0x00 in the safety image).
// The record has no gaps, so its 32-bit fields stand at odd offsets; every
// integer is little-endian and is written byte by byte, whatever the host.
//
//   offset  width  field             content
//        0      1  protocol_version  0..3
//        1      4  checksum_or_size  byte sum (version 1) or size in bytes
//        5      4  file_crc32        CRC-32/JAMCRC of the whole raw firmware
//        9     30  chip_name         text
//       39     20  sw_version        text
//       59     20  hw_version        text
//       79     30  project_name      text
//      109     12  build_time        YYMMDDhhmmss, UTC+8, ASCII digits
//      121      4  start_addr        load address
//      125      1  chip_role         low 8 bits of the chip-role argument
//      126      2  chip_code         first two bytes of the chip-code argument
//      128      1  file_type         low 8 bits (4 in the safety image)
//      129    895  fill
//
// A text field holds its text from the first byte with no terminating zero;
// the rest of the field is zero, and a text that fills the field has no zero
// byte at all.
//
// The safety image's record carries only protocol_version, checksum_or_size,
// file_crc32 (of the safety input), the main record's project_name and
// build_time, and file_type 4; its other fields are zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace fwpack {

inline constexpr std::size_t chip_name_width = 30;
inline constexpr std::size_t version_width = 20;
inline constexpr std::size_t project_name_width = 30;
inline constexpr std::size_t build_time_width = 12;

struct pack_header {
  std::uint8_t protocol_version;
  std::uint32_t checksum_or_size;
  std::uint32_t file_crc32;
  std::uint8_t chip_name[chip_name_width];
  std::uint8_t sw_version[version_width];
  std::uint8_t hw_version[version_width];
  std::uint8_t project_name[project_name_width];
  std::uint8_t build_time[build_time_width];
  std::uint32_t start_addr;
  std::uint8_t chip_role;
  std::uint8_t chip_code[2];
  std::uint8_t file_type;
};

// Offsets of the fields in the serialized record.
inline constexpr std::size_t protocol_version_offset = 0;
inline constexpr std::size_t checksum_or_size_offset = 1;
inline constexpr std::size_t file_crc32_offset = 5;
inline constexpr std::size_t chip_name_offset = 9;
inline constexpr std::size_t sw_version_offset = 39;
inline constexpr std::size_t hw_version_offset = 59;
inline constexpr std::size_t project_name_offset = 79;
inline constexpr std::size_t build_time_offset = 109;
inline constexpr std::size_t start_addr_offset = 121;
inline constexpr std::size_t chip_role_offset = 125;
inline constexpr std::size_t chip_code_offset = 126;
inline constexpr std::size_t file_type_offset = 128;
inline constexpr std::size_t pack_header_size = 129;

inline constexpr std::size_t header_block_size = 1024;

inline constexpr std::uint8_t main_fill = 0xFF;
inline constexpr std::uint8_t safety_fill = 0x00;
inline constexpr std::uint8_t safety_file_type = 4;

static_assert(file_type_offset + 1 == pack_header_size);
static_assert(pack_header_size == 129);
static_assert(header_block_size == 1024);

// Little-endian 32-bit words at any offset of a byte buffer.
void put_u32_le(std::uint8_t* bytes, std::uint32_t value);
std::uint32_t get_u32_le(const std::uint8_t* bytes);

// Copies the text's bytes, without its terminating zero, to the start of a
// field of the given width. At most width bytes are copied; the bytes behind
// them are left as they are (zero in a freshly cleared record).
void store_text_field(std::uint8_t* field, std::size_t width, const char* text);

// The field's text: its bytes up to the first zero byte, or the whole field
// when it holds none. Returns the length.
std::size_t text_field_length(const std::uint8_t* field, std::size_t width);

// Takes the first two bytes of text; a one-character text gives that
// character and a zero byte, an empty text two zero bytes.
void store_chip_code(std::uint8_t chip_code[2], const char* text);

// Serializes the record into its 129 bytes.
void serialize_pack_header(const pack_header& record,
                           std::uint8_t bytes[pack_header_size]);

// Reads a record back from its 129 bytes.
pack_header parse_pack_header(const std::uint8_t bytes[pack_header_size]);

// The 1024-byte header block: the record, then 895 bytes of fill.
void build_header_block(const pack_header& record, std::uint8_t fill,
                        std::uint8_t block[header_block_size]);

// Appends the header block at the stream's current position with one write
// of 1024 bytes. A failed write shows in the stream's error indicator.
void write_header_block(const pack_header& record, std::uint8_t fill,
                        std::FILE* stream);

// Completes the safety record once the main record is complete: the main
// record's project_name (all 30 bytes) and build_time, and file_type 4.
void complete_safety_record(pack_header& safety, const pack_header& main);

}  // namespace fwpack

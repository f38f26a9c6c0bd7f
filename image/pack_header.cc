#include "image/pack_header.h"

#include <cstring>

namespace fwpack {

void put_u32_le(std::uint8_t* bytes, std::uint32_t value) {
  bytes[0] = static_cast<std::uint8_t>(value);
  bytes[1] = static_cast<std::uint8_t>(value >> 8);
  bytes[2] = static_cast<std::uint8_t>(value >> 16);
  bytes[3] = static_cast<std::uint8_t>(value >> 24);
}

std::uint32_t get_u32_le(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) |
         static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 |
         static_cast<std::uint32_t>(bytes[3]) << 24;
}

void store_text_field(std::uint8_t* field, std::size_t width, const char* text) {
  std::size_t n = 0;
  while (n < width && text[n] != '\0') ++n;
  std::memcpy(field, text, n);
}

std::size_t text_field_length(const std::uint8_t* field, std::size_t width) {
  std::size_t n = 0;
  while (n < width && field[n] != 0) ++n;
  return n;
}

void store_chip_code(std::uint8_t chip_code[2], const char* text) {
  chip_code[0] = static_cast<std::uint8_t>(text[0]);
  chip_code[1] = text[0] != '\0' ? static_cast<std::uint8_t>(text[1]) : 0;
}

void serialize_pack_header(const pack_header& record,
                           std::uint8_t bytes[pack_header_size]) {
  bytes[protocol_version_offset] = record.protocol_version;
  put_u32_le(bytes + checksum_or_size_offset, record.checksum_or_size);
  put_u32_le(bytes + file_crc32_offset, record.file_crc32);
  std::memcpy(bytes + chip_name_offset, record.chip_name, chip_name_width);
  std::memcpy(bytes + sw_version_offset, record.sw_version, version_width);
  std::memcpy(bytes + hw_version_offset, record.hw_version, version_width);
  std::memcpy(bytes + project_name_offset, record.project_name,
              project_name_width);
  std::memcpy(bytes + build_time_offset, record.build_time, build_time_width);
  put_u32_le(bytes + start_addr_offset, record.start_addr);
  bytes[chip_role_offset] = record.chip_role;
  bytes[chip_code_offset] = record.chip_code[0];
  bytes[chip_code_offset + 1] = record.chip_code[1];
  bytes[file_type_offset] = record.file_type;
}

pack_header parse_pack_header(const std::uint8_t bytes[pack_header_size]) {
  pack_header record = {};
  record.protocol_version = bytes[protocol_version_offset];
  record.checksum_or_size = get_u32_le(bytes + checksum_or_size_offset);
  record.file_crc32 = get_u32_le(bytes + file_crc32_offset);
  std::memcpy(record.chip_name, bytes + chip_name_offset, chip_name_width);
  std::memcpy(record.sw_version, bytes + sw_version_offset, version_width);
  std::memcpy(record.hw_version, bytes + hw_version_offset, version_width);
  std::memcpy(record.project_name, bytes + project_name_offset,
              project_name_width);
  std::memcpy(record.build_time, bytes + build_time_offset, build_time_width);
  record.start_addr = get_u32_le(bytes + start_addr_offset);
  record.chip_role = bytes[chip_role_offset];
  record.chip_code[0] = bytes[chip_code_offset];
  record.chip_code[1] = bytes[chip_code_offset + 1];
  record.file_type = bytes[file_type_offset];
  return record;
}

void build_header_block(const pack_header& record, std::uint8_t fill,
                        std::uint8_t block[header_block_size]) {
  serialize_pack_header(record, block);
  std::memset(block + pack_header_size, fill,
              header_block_size - pack_header_size);
}

void write_header_block(const pack_header& record, std::uint8_t fill,
                        std::FILE* stream) {
  std::uint8_t block[header_block_size];
  build_header_block(record, fill, block);
  std::fwrite(block, 1, sizeof block, stream);
}

void complete_safety_record(pack_header& safety, const pack_header& main) {
  std::memcpy(safety.project_name, main.project_name, project_name_width);
  std::memcpy(safety.build_time, main.build_time, build_time_width);
  safety.file_type = safety_file_type;
}

}  // namespace fwpack

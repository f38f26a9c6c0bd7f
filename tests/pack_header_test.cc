#include "image/pack_header.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace fwpack {
namespace {

std::string as_string(const std::uint8_t* bytes, std::size_t n) {
  return std::string(reinterpret_cast<const char*>(bytes), n);
}

TEST(PackHeader, SerializesEveryFieldAtItsOffsetLittleEndian) {
  pack_header r = {};
  r.protocol_version = 2;
  r.checksum_or_size = 0x11223344u;
  r.file_crc32 = 0xA1B2C3D4u;
  store_text_field(r.chip_name, chip_name_width, "CHIP");
  store_text_field(r.sw_version, version_width, "SW1");
  store_text_field(r.hw_version, version_width, "HW2");
  store_text_field(r.project_name, project_name_width, "BOARD");
  std::memcpy(r.build_time, "240301170507", 12);
  r.start_addr = 0x08004000u;
  r.chip_role = 0xA5;
  store_chip_code(r.chip_code, "XY");
  r.file_type = 0x80;

  std::uint8_t b[pack_header_size];
  std::memset(b, 0xEE, sizeof b);
  serialize_pack_header(r, b);

  std::string expected;
  expected += '\x02';                              // 0: protocol_version
  expected += std::string("\x44\x33\x22\x11", 4);  // 1: checksum_or_size
  expected += std::string("\xD4\xC3\xB2\xA1", 4);  // 5: file_crc32
  expected += std::string("CHIP") + std::string(26, '\0');   // 9: chip_name
  expected += std::string("SW1") + std::string(17, '\0');    // 39: sw_version
  expected += std::string("HW2") + std::string(17, '\0');    // 59: hw_version
  expected += std::string("BOARD") + std::string(25, '\0');  // 79: project_name
  expected += "240301170507";                      // 109: build_time
  expected += std::string("\x00\x40\x00\x08", 4);  // 121: start_addr
  expected += '\xA5';                              // 125: chip_role
  expected += "XY";                                // 126: chip_code
  expected += '\x80';                              // 128: file_type
  ASSERT_EQ(expected.size(), pack_header_size);
  EXPECT_EQ(as_string(b, sizeof b), expected);

  pack_header back = parse_pack_header(b);
  std::uint8_t again[pack_header_size];
  serialize_pack_header(back, again);
  EXPECT_EQ(as_string(again, sizeof again), expected);
}

TEST(StoreTextField, FillsFromTheStartWithoutTerminator) {
  struct {
    const char* text;
    std::string field;
    const char* reason;
  } cases[] = {
      {"", std::string(20, '\0'), "empty text leaves the field zero"},
      {"V1", "V1" + std::string(18, '\0'), "zeros after a short text"},
      {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOPQRST", "full width, no zero"},
      {"ABCDEFGHIJKLMNOPQRSTUV", "ABCDEFGHIJKLMNOPQRST", "never past the field"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    std::uint8_t field[22] = {};
    store_text_field(field, 20, c.text);
    EXPECT_EQ(as_string(field, 20), c.field);
    EXPECT_EQ(field[20], 0) << "byte behind the field written";
    EXPECT_EQ(text_field_length(field, 20), std::strlen(c.field.c_str()) > 20
                                                ? 20
                                                : std::strlen(c.field.c_str()));
  }
}

TEST(StoreChipCode, TakesTheFirstTwoBytes) {
  struct {
    const char* text;
    std::string code;
  } cases[] = {{"AB", "AB"}, {"ABC", "AB"}, {"A", std::string("A\0", 2)},
               {"", std::string(2, '\0')}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::uint8_t code[2] = {0xEE, 0xEE};
    store_chip_code(code, c.text);
    EXPECT_EQ(as_string(code, 2), c.code);
  }
}

TEST(HeaderBlock, RecordThenFill) {
  pack_header r = {};
  r.protocol_version = 3;
  for (std::uint8_t fill : {main_fill, safety_fill}) {
    std::uint8_t block[header_block_size];
    std::memset(block, 0x5A, sizeof block);
    build_header_block(r, fill, block);
    EXPECT_EQ(block[0], 3);
    EXPECT_EQ(as_string(block + pack_header_size, 895),
              std::string(895, static_cast<char>(fill)));
  }
}

TEST(CompleteSafetyRecord, TakesOnlyProjectNameBuildTimeAndFileType) {
  pack_header main = {};
  std::memset(&main, 0, sizeof main);
  main.protocol_version = 1;
  main.checksum_or_size = 77;
  main.file_crc32 = 88;
  std::memset(main.chip_name, 'c', chip_name_width);
  std::memset(main.sw_version, 's', version_width);
  std::memset(main.hw_version, 'h', version_width);
  std::memset(main.project_name, 'P', project_name_width);
  std::memcpy(main.build_time, "240301170507", 12);
  main.start_addr = 0xFFFFFFFFu;
  main.chip_role = 0xFF;
  store_chip_code(main.chip_code, "ZZ");
  main.file_type = 9;

  pack_header safety = {};
  safety.protocol_version = 1;
  safety.checksum_or_size = 5;
  safety.file_crc32 = 6;
  complete_safety_record(safety, main);

  std::uint8_t b[pack_header_size];
  serialize_pack_header(safety, b);
  std::string expected = std::string("\x01\x05\0\0\0\x06\0\0\0", 9) +
                         std::string(70, '\0') +      // chip_name, versions
                         std::string(30, 'P') +       // project_name
                         "240301170507" +             // build_time
                         std::string(7, '\0') +       // start_addr..chip_code
                         '\x04';                      // file_type
  EXPECT_EQ(as_string(b, sizeof b), expected);
}

}  // namespace
}  // namespace fwpack

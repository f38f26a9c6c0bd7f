#include "fileutil/crc32.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/test_support.h"

namespace fwpack {
namespace {

using fwpack_test::scratch_dir;
using fwpack_test::write_file;

TEST(Crc32Table, HoldsTheReflectedPolynomialTable) {
  init_crc32_table();
  EXPECT_EQ(crc32_table[0], 0x00000000u);
  EXPECT_EQ(crc32_table[1], 0x77073096u);
  EXPECT_EQ(crc32_table[128], 0xEDB88320u);
  EXPECT_EQ(crc32_table[255], 0x2D02EF8Du);
}

TEST(GetFileCrc32, CheckValuesWithoutFinalInversion) {
  init_crc32_table();
  scratch_dir dir;
  struct {
    const char* content;
    std::int32_t length;
    std::uint32_t crc;
    const char* reason;
  } cases[] = {
      {"abc", 3, 0xCADBBE3Du, "complement of the common CRC-32 0x352441C2"},
      {"123456789", 9, 0x340BC6D9u, "the catalogue check value"},
      {"", 0, 0xFFFFFFFFu, "empty stream: the preset register"},
      {"abc", 0, 0xFFFFFFFFu, "length 0 reads nothing"},
      {"abc", -4, 0xFFFFFFFFu, "a negative length reads nothing"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    write_file(dir / "f", c.content);
    std::FILE* f = std::fopen((dir / "f").string().c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::fseek(f, 0, SEEK_END);  // measured from the start all the same
    std::uint32_t crc = 0;
    EXPECT_EQ(get_file_crc32(f, &crc, c.length), 0);
    EXPECT_EQ(crc, c.crc);
    std::fclose(f);
  }
}

TEST(GetFileCrc32, NullStreamLeavesOutputAlone) {
  init_crc32_table();
  std::uint32_t crc = 0x12345678u;
  EXPECT_EQ(get_file_crc32(nullptr, &crc, 10), -1);
  EXPECT_EQ(crc, 0x12345678u);
}

}  // namespace
}  // namespace fwpack

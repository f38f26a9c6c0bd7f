// Protocol versions 1 and 2 end to end: the framed payload, the header on a
// block boundary, and what tells the two versions apart.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e_support.h"
#include "tests/test_support.h"

namespace fwpack_test {
namespace {

TEST(BlockFramedRun, PayloadTrailerAndHeaderOnABlockBoundary) {
  struct {
    int protocol;
    std::size_t size;
    const char* reason;
  } cases[] = {
      {1, 5000, "version 1 stores the byte sum"},
      {2, 5000, "version 2 stores the size, the trailer still the sum"},
      {1, 1013, "an extra block for the trailer"},
      {2, 2048, "a whole number of blocks"},
      {2, 1, "a single byte"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    scratch_dir dir;
    std::string data = sample_bytes(c.size, 7);
    write_file(dir / "in.bin", data);
    run_result r = run_fwpack(
        dir.path(), mode4_args(std::to_string(c.protocol), "in.bin", "out.bin"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, mode4_output(c.protocol, data));
    std::string image = read_file(dir / "out.bin");
    std::string payload = framed(data, 0xA5, '\xFF');
    ASSERT_EQ(image.size(), payload.size() + 1024);
    EXPECT_EQ(payload.size() % 1024, 0u);
    EXPECT_EQ(image.substr(0, payload.size()), payload);
    EXPECT_EQ(image.substr(payload.size()),
              main_record(c.protocol, data, stamp_of(image)) +
                  std::string(895, '\xFF'));
    EXPECT_EQ(list_dir(dir.path()), (std::vector<std::string>{"in.bin", "out.bin"}));
  }
}

TEST(BlockFramedRun, CrcCoversTheWholeInputWhenTheSumIsSmall) {
  // Mostly zero bytes: the byte sum is far below the size, and the CRC must
  // still cover every byte, not as many as the sum.
  std::string data(4000, '\0');
  data[3999] = '\x01';
  scratch_dir dir;
  write_file(dir / "in.bin", data);
  run_result r = run_fwpack(dir.path(), mode4_args("1", "in.bin", "out.bin"));
  EXPECT_EQ(r.status, 0);
  std::string image = read_file(dir / "out.bin");
  std::string header = image.substr(image.size() - 1024);
  EXPECT_EQ(u32_at(header, 1), 1u);
  EXPECT_EQ(u32_at(header, 5), jamcrc(data));
}

}  // namespace
}  // namespace fwpack_test

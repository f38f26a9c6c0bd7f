#include "image/payload.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/test_support.h"

namespace fwpack {
namespace {

using fwpack_test::read_file;
using fwpack_test::sample_bytes;
using fwpack_test::scratch_dir;
using fwpack_test::u32_at;
using fwpack_test::write_file;

// Writes the payload of data through real streams, as the packing run does:
// the input has been read to its end by the measures before.
struct payload_run {
  int result;
  std::string payload;
};

payload_run frame(const scratch_dir& dir, const std::string& data,
                  std::uint8_t version, std::int32_t size, std::uint32_t word0,
                  std::uint8_t fill) {
  write_file(dir / "in", data);
  std::FILE* in = std::fopen((dir / "in").string().c_str(), "rb");
  std::FILE* out = std::fopen((dir / "out").string().c_str(), "wb+");
  std::fseek(in, 0, SEEK_END);
  int result = write_payload(in, out, version, size, 0x0009C3F1u, word0, fill);
  long end = std::ftell(out);
  std::fclose(in);
  std::fclose(out);
  payload_run run = {result, read_file(dir / "out")};
  EXPECT_EQ(end, static_cast<long>(run.payload.size()))
      << "the scratch stream stands at the end of the payload";
  return run;
}

TEST(WritePayload, BlockFramingByTail) {
  scratch_dir dir;
  struct {
    std::int32_t size;
    std::size_t length;
    const char* reason;
  } cases[] = {
      {0, 1024, "empty: one block of fill and the trailer"},
      {300, 1024, "no whole block: tail, fill, trailer"},
      {1012, 1024, "the trailer just fits behind the tail"},
      {1013, 2048, "no room for the trailer: an extra block"},
      {1023, 2048, "the largest tail"},
      {1024, 2048, "a whole block, then fill and trailer"},
      {3072, 4096, "several whole blocks"},
      {5000, 5120, "four whole blocks and a tail of 904"},
  };
  for (std::uint8_t version : {1, 2})
    for (std::uint8_t fill : {std::uint8_t{0xFF}, std::uint8_t{0x00}})
      for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        SCOPED_TRACE("version " + std::to_string(version) + " fill " +
                     std::to_string(fill) + " size " + std::to_string(c.size));
        std::string data = sample_bytes(static_cast<std::size_t>(c.size));
        std::uint32_t word0 = fill == 0 ? safety_trailer_word0 : 0xA5;
        payload_run run = frame(dir, data, version, c.size, word0, fill);
        EXPECT_EQ(run.result, 0);
        ASSERT_EQ(run.payload.size(), c.length);
        EXPECT_EQ(payload_length(version, c.size),
                  static_cast<std::int64_t>(c.length));
        EXPECT_EQ(run.payload.substr(0, data.size()), data);
        std::size_t trailer = c.length - block_trailer_size;
        EXPECT_EQ(run.payload.substr(data.size(), trailer - data.size()),
                  std::string(trailer - data.size(), static_cast<char>(fill)));
        EXPECT_EQ(u32_at(run.payload, trailer), word0);
        EXPECT_EQ(u32_at(run.payload, trailer + 4),
                  static_cast<std::uint32_t>(c.size));
        EXPECT_EQ(u32_at(run.payload, trailer + 8), 0x0009C3F1u);
      }
}

TEST(WritePayload, TrailerBytesOfA5000ByteMainImage) {
  scratch_dir dir;
  payload_run run = frame(dir, sample_bytes(5000), 1, 5000, 0xA5, 0xFF);
  ASSERT_EQ(run.payload.size(), 5120u);
  EXPECT_EQ(run.payload.substr(5120 - 12),
            std::string("\xA5\x00\x00\x00\x88\x13\x00\x00\xF1\xC3\x09\x00", 12));
  EXPECT_EQ(run.payload.substr(5000, 108), std::string(108, '\xFF'));
}

TEST(WritePayload, VersionsZeroAndThreeCopyWhole) {
  scratch_dir dir;
  for (std::uint8_t version : {0, 3})
    for (std::int32_t size : {0, 1, 1500, 2048}) {
      SCOPED_TRACE(size);
      std::string data = sample_bytes(static_cast<std::size_t>(size));
      payload_run run = frame(dir, data, version, size, 0xA5, 0xFF);
      EXPECT_EQ(run.result, 0);
      EXPECT_EQ(run.payload, data);
      EXPECT_EQ(payload_length(version, size), size);
    }
}

TEST(WritePayload, ShortInputIsReportedAndPaddedWithFill) {
  scratch_dir dir;
  struct {
    std::uint8_t version;
    std::size_t real;
    std::int32_t measured;
  } cases[] = {{1, 700, 900}, {2, 1500, 2500}, {1, 0, 100}, {0, 700, 900},
               {3, 1024, 2048}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.real) + " of " + std::to_string(c.measured));
    std::string data = sample_bytes(c.real);
    payload_run run = frame(dir, data, c.version, c.measured, 0xA5, 0xFF);
    EXPECT_EQ(run.result, payload_read_short);
    if (is_block_framed(c.version)) {
      // Whatever was missing became fill, never stale buffer contents.
      std::size_t trailer = run.payload.size() - block_trailer_size;
      EXPECT_EQ(run.payload.substr(0, c.real), data);
      EXPECT_EQ(run.payload.substr(c.real, trailer - c.real),
                std::string(trailer - c.real, '\xFF'));
    }
  }
}

}  // namespace
}  // namespace fwpack

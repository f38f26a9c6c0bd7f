#include "fileutil/file_measure.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <numeric>
#include <string>

#include "tests/test_support.h"

namespace fwpack {
namespace {

using fwpack_test::read_file;
using fwpack_test::sample_bytes;
using fwpack_test::scratch_dir;
using fwpack_test::write_file;

std::FILE* open_rb(const fwpack_test::fs::path& p) {
  return std::fopen(p.string().c_str(), "rb");
}

std::uint32_t byte_sum(const std::string& bytes, std::size_t n) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < n; ++i) sum += static_cast<unsigned char>(bytes[i]);
  return sum;
}

TEST(GetFileSize, MeasuresAndReleasesTheFile) {
  scratch_dir dir;
  write_file(dir / "empty", "");
  write_file(dir / "f1500", sample_bytes(1500));
  EXPECT_EQ(get_file_size((dir / "empty").string().c_str()), 0);
  EXPECT_EQ(get_file_size((dir / "f1500").string().c_str()), 1500);
  // Closed again: it can be removed at once.
  EXPECT_TRUE(fwpack_test::fs::remove(dir / "f1500"));
}

TEST(GetFileSize, FailuresGiveMinusOne) {
  scratch_dir dir;
  fwpack_test::fs::create_directory(dir / "sub");
  EXPECT_EQ(get_file_size(nullptr), -1);
  EXPECT_EQ(get_file_size((dir / "missing").string().c_str()), -1);
  EXPECT_EQ(get_file_size((dir / "sub").string().c_str()), -1)
      << "a directory cannot be read as a file";
}

TEST(GetFileSize, TwoGibibytesAreTooLarge) {
  scratch_dir dir;
  for (std::uintmax_t size : {std::uintmax_t{0x7FFFFFFF}, std::uintmax_t{0x80000000}}) {
    SCOPED_TRACE(size);
    write_file(dir / "big", "");
    fwpack_test::fs::resize_file(dir / "big", size);  // sparse: costs no disk
    std::int32_t expected =
        size == 0x7FFFFFFF ? 0x7FFFFFFF : file_size_too_large;
    EXPECT_EQ(get_file_size((dir / "big").string().c_str()), expected);
  }
}

TEST(GetFileChecksum, SumsWholeChunksFromWhereTheStreamStands) {
  scratch_dir dir;
  write_file(dir / "abc", "abc");
  std::string big = sample_bytes(3000);
  write_file(dir / "big", big);
  struct {
    const char* file;
    long start;
    std::int32_t length;
    std::uint32_t sum;
    long position_after;
    const char* reason;
  } cases[] = {
      {"abc", 0, 3, 294, 3, "a+b+c"},
      {"abc", 2, 1, 99, 3, "from offset 2: only c"},
      {"abc", 1, 0, 0, 1, "length 0 reads nothing and does not move"},
      {"abc", 1, -5, 0, 1, "negative length reads nothing and does not move"},
      {"big", 0, 1500, byte_sum(big, 2048), 2048, "a lower bound: two chunks"},
      {"big", 0, 3000, byte_sum(big, 3000), 3000, "the whole file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    std::FILE* f = open_rb(dir / c.file);
    ASSERT_NE(f, nullptr);
    std::fseek(f, c.start, SEEK_SET);
    EXPECT_EQ(get_file_checksum(f, c.length), c.sum);
    EXPECT_EQ(std::ftell(f), c.position_after);
    std::fclose(f);
  }
}

TEST(CopyFileData, NullStreamsAreRefusedUntouched) {
  scratch_dir dir;
  write_file(dir / "src", "abcdef");
  std::FILE* src = open_rb(dir / "src");
  std::fseek(src, 3, SEEK_SET);
  EXPECT_EQ(copy_file_data(src, nullptr, 6), -1);
  EXPECT_EQ(copy_file_data(nullptr, src, 6), -1);
  EXPECT_EQ(std::ftell(src), 3);
  std::fclose(src);
}

TEST(CopyFileData, CopiesWholeChunksFromTheStart) {
  scratch_dir dir;
  std::string data = sample_bytes(5000);
  write_file(dir / "src", data);
  struct {
    std::int32_t length;
    std::int32_t copied;
    const char* reason;
  } cases[] = {
      {whole_stream, 5000, "the whole stream"},
      {1024, 1024, "a multiple of 1024 copies exactly that"},
      {1025, 2048, "the length is a lower bound in whole chunks"},
      {5000, 5000, "the file's own size"},
      {0, 0, "nothing, but both streams rewound"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    std::FILE* src = open_rb(dir / "src");
    std::FILE* dst = std::fopen((dir / "dst").string().c_str(), "wb+");
    ASSERT_NE(src, nullptr);
    ASSERT_NE(dst, nullptr);
    std::fseek(src, 0, SEEK_END);  // left at its end by earlier measures
    std::fputs("stale", dst);
    EXPECT_EQ(copy_file_data(src, dst, c.length), c.copied);
    EXPECT_EQ(std::ftell(src), c.copied);
    EXPECT_EQ(std::ftell(dst), c.copied);
    std::fclose(src);
    std::fclose(dst);
    std::string copied = read_file(dir / "dst");
    if (c.copied == 0)
      EXPECT_EQ(copied, "stale");
    else
      EXPECT_EQ(copied, data.substr(0, static_cast<std::size_t>(c.copied)));
  }
}

TEST(CopyFileData, ReadsBackAStreamJustWritten) {
  scratch_dir dir;
  std::string data = sample_bytes(3333);
  std::FILE* scratch = std::fopen((dir / "scratch").string().c_str(), "wb+");
  std::FILE* out = std::fopen((dir / "out").string().c_str(), "wb+");
  std::fwrite(data.data(), 1, data.size(), scratch);
  EXPECT_EQ(copy_file_data(scratch, out, whole_stream), 3333);
  std::fclose(scratch);
  std::fclose(out);
  EXPECT_EQ(read_file(dir / "out"), data);
}

TEST(CopyFileData, WholeStreamGoesPastOneGibibyte) {
  scratch_dir dir;
  // A sparse source one byte longer than 1 GiB, copied into a private null
  // device, so the test costs no disk.
  write_file(dir / "src", "");
  fwpack_test::fs::resize_file(dir / "src", (std::uintmax_t{1} << 30) + 1);
  if (!fwpack_test::make_null_device(dir / "null"))
    GTEST_SKIP() << "no device nodes here";
  std::FILE* src = open_rb(dir / "src");
  std::FILE* dst = std::fopen((dir / "null").string().c_str(), "wb");
  ASSERT_NE(src, nullptr);
  ASSERT_NE(dst, nullptr);
  EXPECT_EQ(copy_file_data(src, dst, whole_stream), (1 << 30) + 1);
  std::fclose(src);
  std::fclose(dst);
}

}  // namespace
}  // namespace fwpack

// The packing run end to end: command line, main image, failures.
#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "tests/e2e_support.h"
#include "tests/test_support.h"

namespace fwpack_test {
namespace {

const std::string header_fill(895, '\xFF');

std::vector<std::string> entries(std::size_t n, const std::string& mode) {
  std::vector<std::string> args(n - 1, "x");
  if (!args.empty()) args[0] = mode;
  if (args.size() > 1) args[1] = "0";
  return args;
}

TEST(CommandLine, RefusalsPrintTheirLineAndStopWithMinusOne) {
  struct {
    std::vector<std::string> args;
    std::string line;
    const char* reason;
  } cases[] = {
      {{}, gbk_mode_wrong, "no arguments: the mode is never read"},
      {entries(9, "3"), gbk_mode_wrong, "9 entries: the mode is not read"},
      {entries(10, "3"), gbk_argument_count, "mode 3 needs 12 entries"},
      {entries(11, "3"), gbk_argument_count, "mode 3 needs 12 entries"},
      {entries(12, "4"), gbk_argument_count, "mode 4 needs 13 entries"},
      {entries(10, "1"), gbk_mode_unsupported, "mode 1 is known and refused"},
      {entries(13, "2"), gbk_mode_unsupported, "mode 2 is known and refused"},
      {entries(13, "0"), gbk_mode_wrong, "mode 0"},
      {entries(13, "5"), gbk_mode_wrong, "mode 5"},
      {entries(11, "0x103"), gbk_argument_count, "0x103 is 259, mode 3"},
      {{"7", "9", "a", "b", "c", "d", "e", "f", "g"}, gbk_protocol_refused,
       "the protocol version is judged before the mode"},
      {{"4", "-1", "a", "b", "c", "d", "e", "f", "g", "h", "i", "j"},
       gbk_protocol_refused, "-1 is 255"},
      {{"4", "4", "a", "b", "c", "d", "e", "f", "g", "h", "i", "j"},
       gbk_protocol_refused, "4 is above 3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    scratch_dir dir;
    run_result r = run_fwpack(dir.path(), c.args);
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.output, version_line + c.line);
    EXPECT_EQ(r.errors.rfind("usage: fwpack", 0), 0u) << r.errors;
    EXPECT_TRUE(list_dir(dir.path()).empty());
  }
}

TEST(CommandLine, OverlongTextsAndEmptyOutputAreRefusedFirst) {
  run_values ok;
  std::string s30(30, 'c'), s31(31, 'c'), s20(20, 'v'), s21(21, 'v');
  struct {
    run_values v;
    std::string output;
    std::string line;
    const char* reason;
  } cases[] = {
      {{s31}, "out.bin", "chip name too long error\r\n", "chip name of 31"},
      {{ok.chip_name, s21}, "out.bin", "sw version too long error\r\n", "sw of 21"},
      {{ok.chip_name, ok.sw_version, s21}, "out.bin",
       "hw version too long error\r\n", "hw of 21"},
      {{ok.chip_name, ok.sw_version, ok.hw_version, s31}, "out.bin",
       "project name too long error\r\n", "project of 31"},
      {{s31, s21, s21, s31}, "out.bin", "chip name too long error\r\n",
       "the chip name is checked first"},
      {{ok.chip_name, ok.sw_version, s21, s31}, "out.bin",
       "hw version too long error\r\n", "versions before the project name"},
      {{s30, s20, s20, s30}, "", "output file path is empty\r\n",
       "full-width texts pass; then the empty output"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    scratch_dir dir;
    // The input is missing on purpose: these checks come before its test.
    run_result r = run_fwpack(dir.path(), mode4_args("0", "in.bin", c.output, c.v));
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.output, version_line + c.line);
    EXPECT_TRUE(list_dir(dir.path()).empty());
  }
}

TEST(PackMainImage, WholeCopyVersionsGiveInputThenHeaderBlock) {
  struct {
    std::vector<std::string> head;  // tool mode and protocol version texts
    int protocol;
    std::size_t size;
    const char* reason;
  } cases[] = {
      {{"4", "0"}, 0, 5000, "version 0"},
      {{"4", "3"}, 3, 1024, "version 3, a whole block"},
      {{"0x104", "256"}, 0, 1, "mode 0x104 is 4, version 256 is 0"},
      {{"4", "0x3"}, 3, 777, "0x3 is version 3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    scratch_dir dir;
    std::string data = sample_bytes(c.size, static_cast<unsigned>(c.size));
    write_file(dir / "in.bin", data);
    std::vector<std::string> args = mode4_args("", "in.bin", "out.bin");
    args[0] = c.head[0];
    args[1] = c.head[1];
    std::int64_t before = now_seconds();
    run_result r = run_fwpack(dir.path(), args);
    std::int64_t after = now_seconds();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, mode4_output(c.protocol, data));
    EXPECT_EQ(r.errors, "");
    std::string image = read_file(dir / "out.bin");
    ASSERT_EQ(image.size(), c.size + 1024);
    std::string stamp = stamp_of(image);
    EXPECT_TRUE(stamp_between(stamp, before, after)) << stamp;
    EXPECT_EQ(image, data + main_record(c.protocol, data, stamp) + header_fill);
    EXPECT_EQ(list_dir(dir.path()), (std::vector<std::string>{"in.bin", "out.bin"}));
  }
}

TEST(PackMainImage, FullWidthTextsLeaveNoZeroByte) {
  scratch_dir dir;
  std::string data = sample_bytes(100);
  write_file(dir / "in.bin", data);
  run_values v;
  v.chip_name = std::string(30, 'C');
  v.sw_version = std::string(20, 'S');
  v.hw_version = std::string(20, 'H');
  v.project_name = std::string(30, 'P');
  run_result r = run_fwpack(dir.path(), mode4_args("3", "in.bin", "out.bin", v));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.output, mode4_output(3, data, v));
  std::string image = read_file(dir / "out.bin");
  EXPECT_EQ(image.substr(100 + 9, 100), v.chip_name + v.sw_version +
                                            v.hw_version + v.project_name);
}

TEST(PackMainImage, ChipCodeTakesTwoBytesOrZeros) {
  struct {
    std::string arg;
    std::string code;
  } cases[] = {{"A", std::string("A\0", 2)}, {"", std::string(2, '\0')},
               {"XYZ", "XY"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arg);
    scratch_dir dir;
    write_file(dir / "in.bin", "firmware");
    run_values v;
    v.chip_code = c.arg;
    run_result r = run_fwpack(dir.path(), mode4_args("0", "in.bin", "out.bin", v));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.output.find("*** chip code = " + c.code + " ***\r\n"),
              std::string::npos);
    std::string image = read_file(dir / "out.bin");
    EXPECT_EQ(image.substr(8 + 126, 2), c.code);
  }
}

TEST(PackMainImage, SmallCrcIsPaddedWithBlanks) {
  // A small input whose CRC register has at least two leading zero digits.
  std::string data;
  for (unsigned seed = 0; seed < 100000 && jamcrc(data) >= 0x01000000u; ++seed)
    data = sample_bytes(16, seed);
  ASSERT_LT(jamcrc(data), 0x01000000u);
  scratch_dir dir;
  write_file(dir / "in.bin", data);
  run_result r = run_fwpack(dir.path(), mode4_args("0", "in.bin", "out.bin"));
  std::string line = "*** file crc32 = 0x" + hex_blank8(jamcrc(data)) + " ***\r\n";
  EXPECT_EQ(line.substr(19, 2), "  ");
  EXPECT_NE(r.output.find(line), std::string::npos) << r.output;
}

TEST(PackMainImage, OutputMayReplaceTheInput) {
  scratch_dir dir;
  std::string data = sample_bytes(3000);
  write_file(dir / "fw.bin", data);
  run_result r = run_fwpack(dir.path(), mode4_args("0", "fw.bin", "fw.bin"));
  EXPECT_EQ(r.status, 0);
  std::string image = read_file(dir / "fw.bin");
  EXPECT_EQ(image.substr(0, 3000), data);
  EXPECT_EQ(image.size(), 4024u);
}

TEST(PackMainImage, StaleScratchFileIsEmptiedAndRemoved) {
  scratch_dir dir;
  std::string data = sample_bytes(500);
  write_file(dir / "in.bin", data);
  write_file(dir / "bin_temp.bin", std::string(9000, 'z'));
  run_result r = run_fwpack(dir.path(), mode4_args("0", "in.bin", "out.bin"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(read_file(dir / "out.bin").size(), 1524u);
  EXPECT_EQ(list_dir(dir.path()), (std::vector<std::string>{"in.bin", "out.bin"}));
}

// Failures of the run: each prints its line, stops with -1 and leaves only
// what was there before (a directory or device in the way stays).
TEST(PackMainImage, FailuresStopWithMinusOneAndLeaveNothing) {
  std::string data = sample_bytes(2000);
  std::string all_lines = mode4_output(0, data);
  std::string up_to_file_type = version_line + measure_lines(0);
  struct {
    const char* reason;
    const char* setup;  // "dir:NAME", "full:NAME", "empty:NAME", "none"
    std::string input, output, expected;
    std::vector<std::string> left;
  } cases[] = {
      {"missing input", "none", "nothing.bin", "out.bin",
       version_line + "nothing.bin input bin file is no exist!!!\r\n", {"in.bin"}},
      {"empty input", "empty:empty.bin", "empty.bin", "out.bin",
       version_line + "*** protocol version = 0 ***\r\n" +
           "input file size fail. file_size = 0\r\n",
       {"empty.bin", "in.bin"}},
      {"a directory as input", "dir:fwdir", "fwdir", "out.bin",
       up_to_file_type + "fwdir open is fail\r\n", {"fwdir", "in.bin"}},
      {"scratch file cannot be created", "dir:bin_temp.bin", "in.bin", "out.bin",
       up_to_file_type + "./bin_temp.bin open is fail\r\n",
       {"bin_temp.bin", "in.bin"}},
      {"output in a missing directory", "none", "in.bin", "nodir/out.bin",
       all_lines + "nodir/out.bin open is fail\r\n", {"in.bin"}},
      {"output is a directory", "dir:outdir", "in.bin", "outdir",
       all_lines + "outdir open is fail\r\n", {"in.bin", "outdir"}},
      {"scratch writes fail", "full:bin_temp.bin", "in.bin", "out.bin",
       up_to_file_type + "*** file size = 2000 ***\r\n" +
           "./bin_temp.bin write is fail\r\n",
       {"bin_temp.bin", "in.bin"}},
      {"output writes fail", "full:full", "in.bin", "full",
       all_lines + "full write is fail\r\n", {"full", "in.bin"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    scratch_dir dir;
    write_file(dir / "in.bin", data);
    std::string setup = c.setup;
    std::string name = setup.substr(setup.find(':') + 1);
    if (setup.rfind("dir:", 0) == 0) fs::create_directory(dir / name);
    if (setup.rfind("empty:", 0) == 0) write_file(dir / name, "");
    if (setup.rfind("full:", 0) == 0 && !make_full_device(dir / name)) {
      std::cout << "no device nodes here: " << c.reason << " skipped\n";
      continue;
    }
    run_result r = run_fwpack(dir.path(), mode4_args("0", c.input, c.output));
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.output, c.expected);
    EXPECT_EQ(list_dir(dir.path()), c.left);
  }
}

TEST(PackMainImage, InputOfTwoGibibytesIsRefused) {
  scratch_dir dir;
  write_file(dir / "huge.bin", "");
  fs::resize_file(dir / "huge.bin", std::uintmax_t{1} << 31);  // sparse
  run_result r = run_fwpack(dir.path(), mode4_args("0", "huge.bin", "out.bin"));
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.output, version_line + "*** protocol version = 0 ***\r\n" +
                          "huge.bin too large error\r\n");
  EXPECT_EQ(list_dir(dir.path()), std::vector<std::string>{"huge.bin"});
}

}  // namespace
}  // namespace fwpack_test

namespace fwpack_test {
namespace {

TEST(PackMainImage, ScratchFilesNeverOverwriteTheRunsOwnFiles) {
  std::string data = sample_bytes(2000);
  std::string before_scratch = version_line + measure_lines(0);
  struct {
    const char* reason;
    std::string input, output;
    std::vector<std::string> extra;  // a safety input
    std::string expected;
  } cases[] = {
      {"the input is named like the main scratch file", "bin_temp.bin", "out.bin",
       {}, before_scratch + "./bin_temp.bin open is fail\r\n"},
      {"the output is named like the main scratch file", "in.bin", "./bin_temp.bin",
       {}, before_scratch + "./bin_temp.bin open is fail\r\n"},
      {"the safety input is named like its scratch file", "in.bin", "out.bin",
       {"safety_temp.bin"}, version_line + "./safety_temp.bin open is fail\r\n"},
      {"the input is named like the safety scratch file", "safety_temp.bin",
       "out.bin", {"in.bin"}, version_line + "./safety_temp.bin open is fail\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    scratch_dir dir;
    write_file(dir / "in.bin", data);
    write_file(dir / "bin_temp.bin", data);
    write_file(dir / "safety_temp.bin", data);
    std::vector<std::string> args = mode4_args("0", c.input, c.output);
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    run_result r = run_fwpack(dir.path(), args);
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.output, c.expected);
    for (const char* name : {"in.bin", "bin_temp.bin", "safety_temp.bin"})
      EXPECT_EQ(read_file(dir / name), data) << name << " was touched";
    EXPECT_FALSE(fs::exists(dir / "out.bin"));
  }
}

TEST(PackMainImage, InputThatGivesFewerBytesThanMeasured) {
  // Kernel attribute files claim a size of a page and hold a few bytes.
  const char* candidates[] = {"/sys/kernel/mm/transparent_hugepage/enabled",
                              "/sys/kernel/profiling", "/sys/power/state"};
  std::string input;
  for (const char* path : candidates) {
    std::error_code ec;
    if (!on_windows() && fs::is_regular_file(path, ec) &&
        fs::file_size(path, ec) == 4096 && read_file(path).size() < 1000) {
      input = path;
      break;
    }
  }
  if (input.empty()) GTEST_SKIP() << "no file here gives fewer bytes than its size";
  for (int protocol : {0, 1}) {
    SCOPED_TRACE(protocol);
    scratch_dir dir;
    run_result r = run_fwpack(dir.path(),
                              mode4_args(std::to_string(protocol), input, "out.bin"));
    EXPECT_EQ(r.status, 255);
    std::string measured = protocol == 1
        ? "*** file checksum = 0x" + hex_zero8(byte_sum(read_file(input))) + " ***\r\n"
        : "*** file size = 4096 ***\r\n";
    EXPECT_EQ(r.output, version_line + measure_lines(protocol) + measured + input +
                            " read is fail\r\n");
    EXPECT_TRUE(list_dir(dir.path()).empty());
  }
}

}  // namespace
}  // namespace fwpack_test

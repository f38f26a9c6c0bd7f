// The safety image end to end.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "tests/e2e_support.h"
#include "tests/test_support.h"

namespace fwpack_test {
namespace {

const std::string main_data = sample_bytes(3000, 11);

std::vector<std::string> with_safety(std::vector<std::string> args,
                                     const std::string& safety) {
  args.push_back(safety);
  return args;
}

// The lines of packing the safety input.
std::string safety_lines(int protocol, const std::string& data) {
  std::uint32_t value =
      protocol == 1 ? byte_sum(data) : static_cast<std::uint32_t>(data.size());
  return "*** safety file_size = 0x" + hex_zero8(value) + " ***\r\n" +
         "*** safety file crc32 = 0x" + hex_zero8(jamcrc(data)) + " ***\r\n";
}

// The whole safety image for data, under the main record's stamp.
std::string safety_image(int protocol, const std::string& data,
                         const std::string& stamp,
                         const std::string& project = "BOARD") {
  bool framed_version = protocol == 1 || protocol == 2;
  std::string payload = framed_version ? framed(data, 4, '\0') : data;
  std::uint32_t value =
      protocol == 1 ? byte_sum(data) : static_cast<std::uint32_t>(data.size());
  std::string record = std::string(1, static_cast<char>(protocol)) + le32(value) +
                       le32(jamcrc(data)) + std::string(70, '\0') +
                       text_field(project, 30) + stamp + std::string(7, '\0') +
                       "\x04";
  return payload + record + std::string(895, '\0');
}

std::string safety_path_line(const std::string& path) {
  return "*** safety file path = " + path + " ***\r\n";
}

TEST(SafetyRun, PacksTheSafetyImageInEveryProtocolVersion) {
  struct {
    int protocol;
    std::size_t safety_size;
  } cases[] = {{0, 2500}, {1, 2500}, {2, 1013}, {3, 2500}, {1, 0}, {3, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE("version " + std::to_string(c.protocol) + ", safety size " +
                 std::to_string(c.safety_size));
    scratch_dir dir;
    std::string safety = sample_bytes(c.safety_size, 5);
    write_file(dir / "in.bin", main_data);
    write_file(dir / "safe.bin", safety);
    fs::create_directory(dir / "out");
    run_result r = run_fwpack(
        dir.path(), with_safety(mode4_args(std::to_string(c.protocol), "in.bin",
                                           "out/main.bin"),
                                "safe.bin"));
    EXPECT_EQ(r.status, 0);
    std::string path = std::string("out") + (on_windows() ? "\\" : "/") +
                       "BOARD_SAFETY.bin";
    EXPECT_EQ(r.output, version_line + safety_lines(c.protocol, safety) +
                            mode4_output(c.protocol, main_data).substr(version_line.size()) +
                            safety_path_line(path));
    std::string image = read_file(dir / "out" / "main.bin");
    std::string stamp = stamp_of(image);
    EXPECT_EQ(read_file(dir / "out" / "BOARD_SAFETY.bin"),
              safety_image(c.protocol, safety, stamp));
    EXPECT_EQ(list_dir(dir.path()),
              (std::vector<std::string>{"in.bin", "out", "safe.bin"}));
  }
}

TEST(SafetyRun, EmptySafetyInputShowsZeroSizeAndPresetCrc) {
  scratch_dir dir;
  write_file(dir / "in.bin", main_data);
  write_file(dir / "safe.bin", "");
  run_result r = run_fwpack(
      dir.path(), with_safety(mode4_args("2", "in.bin", "main.bin"), "safe.bin"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.output.rfind(version_line +
                               "*** safety file_size = 0x00000000 ***\r\n"
                               "*** safety file crc32 = 0xFFFFFFFF ***\r\n",
                           0),
            0u)
      << r.output;
}

TEST(SafetyRun, AcceptedByEntryCount) {
  struct {
    std::vector<std::string> args;
    bool packed;
    const char* reason;
  } cases[] = {
      {mode4_args("3", "in.bin", "main.bin"), false, "mode 4, 13 entries"},
      {with_safety(mode4_args("3", "in.bin", "main.bin"), "safe.bin"), true,
       "mode 4, 14 entries"},
      {with_safety(with_safety(mode4_args("3", "in.bin", "main.bin"), "safe.bin"),
                   "ignored"),
       true, "entries behind the safety input are ignored"},
      {with_safety(mode3_args("3", "in.bin", "ver.txt", "main.bin"), "safe.bin"),
       true, "mode 3, 13 entries"},
      {mode3_args("3", "in.bin", "ver.txt", "main.bin"), false,
       "mode 3, 12 entries"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    scratch_dir dir;
    write_file(dir / "in.bin", main_data);
    write_file(dir / "safe.bin", sample_bytes(100));
    write_file(dir / "ver.txt", "SoftVersion \"1\"\nHardVersion \"2\"\n");
    run_result r = run_fwpack(dir.path(), c.args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(fs::exists(dir / "BOARD_SAFETY.bin"), c.packed);
    EXPECT_EQ(r.output.find("BOARD_SAFETY.bin") != std::string::npos, c.packed);
    EXPECT_TRUE(fs::exists(dir / "main.bin"));
    EXPECT_FALSE(fs::exists(dir / "safety_temp.bin"));
  }
}

TEST(SafetyRun, MissingSafetyInput) {
  scratch_dir dir;
  write_file(dir / "in.bin", main_data);
  run_result r = run_fwpack(
      dir.path(), with_safety(mode4_args("0", "in.bin", "main.bin"), "gone.bin"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.output, version_line + "gone.bin; safety file is not exist!!!\r\n" +
                          mode4_output(0, main_data).substr(version_line.size()));
  EXPECT_EQ(list_dir(dir.path()), (std::vector<std::string>{"in.bin", "main.bin"}));

  r = run_fwpack(dir.path(),
                 with_safety(mode4_args("0", "nothing.bin", "x.bin"), "gone.bin"));
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.output, version_line + "gone.bin; safety file is not exist!!!\r\n" +
                          "nothing.bin input bin file is no exist!!!\r\n");
}

TEST(SafetyRun, PathFormingAndOrder) {
  std::string sep = on_windows() ? "\\" : "/";
  run_values full;
  full.project_name = std::string(30, 'Q');
  struct {
    std::string output;
    run_values v;
    std::string safety_path;  // as shown, and where the image lands
    const char* reason;
  } cases[] = {
      {"main.bin", {}, "BOARD_SAFETY.bin", "no separator: the working directory"},
      {"sub/main.bin", full, "sub" + sep + std::string(30, 'Q') + "_SAFETY.bin",
       "a project name of exactly 30 characters"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    scratch_dir dir;
    fs::create_directory(dir / "sub");
    write_file(dir / "in.bin", main_data);
    write_file(dir / "safe.bin", sample_bytes(10));
    run_result r = run_fwpack(
        dir.path(), with_safety(mode4_args("3", "in.bin", c.output, c.v), "safe.bin"));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.output.find(safety_path_line(c.safety_path)), std::string::npos)
        << r.output;
    EXPECT_EQ(read_file(dir / c.safety_path).size(), 10u + 1024u);
  }
}

TEST(SafetyRun, SafetyImageIsWrittenBeforeTheMainImage) {
  scratch_dir dir;
  write_file(dir / "in.bin", main_data);
  write_file(dir / "safe.bin", sample_bytes(10));
  // The formed path names the output path itself: the main image, written
  // last, is what remains.
  run_result r = run_fwpack(
      dir.path(),
      with_safety(mode4_args("0", "in.bin", "BOARD_SAFETY.bin"), "safe.bin"));
  EXPECT_EQ(r.status, 0);
  std::string image = read_file(dir / "BOARD_SAFETY.bin");
  EXPECT_EQ(image.substr(0, main_data.size()), main_data);
  EXPECT_EQ(image.size(), main_data.size() + 1024);
}

// Failures with a safety input: the line, -1, and neither image nor scratch
// file left behind (a directory or device in the way stays).
TEST(SafetyRun, FailuresLeaveNoImageAndNoScratchFile) {
  std::string safety = sample_bytes(700, 9);
  std::string safety_packed = safety_lines(0, safety);
  std::string main_lines = mode4_output(0, main_data).substr(version_line.size());
  std::string long_dir(490, 'd');
  struct {
    const char* reason;
    std::string setup;  // "dir:NAME", "full:NAME", "empty:NAME", "big:NAME"
    std::string input, output, safety;
    std::string expected;  // after the version line
    std::vector<std::string> left;
  } cases[] = {
      {"the safety image path does not fit", "", "in.bin", long_dir + "/main.bin",
       "safe.bin", "safety file path too long error\r\n", {}},
      {"the safety scratch file cannot be created", "dir:safety_temp.bin", "in.bin",
       "main.bin", "safe.bin", "./safety_temp.bin open is fail\r\n",
       {"safety_temp.bin"}},
      {"the safety scratch file cannot be written", "full:safety_temp.bin", "in.bin",
       "main.bin", "safe.bin",
       safety_packed + "./safety_temp.bin write is fail\r\n", {"safety_temp.bin"}},
      {"the safety input is 2 GiB", "big:huge.bin", "in.bin", "main.bin",
       "huge.bin", "huge.bin too large error\r\n", {"huge.bin"}},
      {"an empty input image", "empty:empty.bin", "empty.bin", "main.bin",
       "safe.bin",
       safety_packed + "*** protocol version = 0 ***\r\n" +
           "input file size fail. file_size = 0\r\n",
       {"empty.bin"}},
      {"the input image cannot be opened", "dir:fwdir", "fwdir", "main.bin",
       "safe.bin", safety_packed + measure_lines(0) + "fwdir open is fail\r\n",
       {"fwdir"}},
      {"the safety image path cannot be opened", "dir:BOARD_SAFETY.bin", "in.bin",
       "main.bin", "safe.bin",
       safety_packed + main_lines + safety_path_line("BOARD_SAFETY.bin") +
           "BOARD_SAFETY.bin open is fail\r\n",
       {"BOARD_SAFETY.bin"}},
      {"the safety image cannot be written", "full:BOARD_SAFETY.bin", "in.bin",
       "main.bin", "safe.bin",
       safety_packed + main_lines + safety_path_line("BOARD_SAFETY.bin") +
           "BOARD_SAFETY.bin write is fail\r\n",
       {"BOARD_SAFETY.bin"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    scratch_dir dir;
    write_file(dir / "in.bin", main_data);
    write_file(dir / "safe.bin", safety);
    std::string name = c.setup.substr(c.setup.find(':') + 1);
    if (c.setup.rfind("dir:", 0) == 0) fs::create_directory(dir / name);
    if (c.setup.rfind("empty:", 0) == 0) write_file(dir / name, "");
    if (c.setup.rfind("big:", 0) == 0) {
      write_file(dir / name, "");
      fs::resize_file(dir / name, std::uintmax_t{1} << 31);
    }
    if (c.setup.rfind("full:", 0) == 0 && !make_full_device(dir / name)) {
      std::cout << "no device nodes here: " << c.reason << " skipped\n";
      continue;
    }
    run_result r = run_fwpack(
        dir.path(), with_safety(mode4_args("0", c.input, c.output), c.safety));
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.output, version_line + c.expected);
    std::vector<std::string> left = c.left;
    left.push_back("in.bin");
    left.push_back("safe.bin");
    std::sort(left.begin(), left.end());
    EXPECT_EQ(list_dir(dir.path()), left);
  }
}

TEST(SafetyRun, UnreadableSafetyInputIsDropped) {
  scratch_dir dir;
  write_file(dir / "in.bin", main_data);
  fs::create_directory(dir / "safedir");
  run_result r = run_fwpack(
      dir.path(), with_safety(mode4_args("0", "in.bin", "main.bin"), "safedir"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.output, version_line + "safedir open is fail\r\n" +
                          mode4_output(0, main_data).substr(version_line.size()));
  EXPECT_EQ(list_dir(dir.path()),
            (std::vector<std::string>{"in.bin", "main.bin", "safedir"}));
}

}  // namespace
}  // namespace fwpack_test

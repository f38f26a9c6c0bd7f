// Tool mode 3 end to end: the versions come from the version file.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e_support.h"
#include "tests/test_support.h"

namespace fwpack_test {
namespace {

TEST(Mode3Run, VersionsFromTheVersionFile) {
  const std::string data = sample_bytes(1500, 3);
  struct {
    const char* reason;
    const char* setup;  // "file", "dir" or "none"
    std::string content;
    std::string version_lines;
    std::string sw, hw;  // the 20-byte fields
  } cases[] = {
      {"both found", "file", "SoftVersion = \"V2.0.1\"\r\nHARDWARE_VERSION \"0B3\"\r\n",
       "softversion = V2.0.1\r\nHardwareVersion = B3\r\n",
       text_field("V2.0.1", 20), text_field("B3", 20)},
      {"neither found", "file", "nothing here\n",
       "softversion = nuknow\r\nHardwareVersion = nuknow\r\n",
       text_field("nuknow", 20), text_field("nuknow", 20)},
      {"a too-long software version", "file",
       "SOFTWARE_VERSION \"ABCDEFGHIJKLMNOPQRSTU\"\nhardversion \"h\"\n",
       "softversion too long error\r\nsoftversion = nuknow\r\nHardwareVersion = h\r\n",
       text_field("nuknow", 20), text_field("h", 20)},
      {"a missing version file", "none", "",
       "ver.txt version file is no exist!!!\r\n", text_field("", 20),
       text_field("", 20)},
      {"a directory: exists, cannot be opened", "dir", "", "",
       text_field("", 20), text_field("", 20)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    scratch_dir dir;
    write_file(dir / "in.bin", data);
    std::string setup = c.setup;
    if (setup == "file") write_file(dir / "ver.txt", c.content);
    if (setup == "dir") fs::create_directory(dir / "ver.txt");
    // Tool mode 259 is mode 3.
    std::vector<std::string> args = mode3_args("0", "in.bin", "ver.txt", "out.bin");
    args[0] = "259";
    run_result r = run_fwpack(dir.path(), args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output,
              version_line + measure_lines(0) + packing_lines(0, data) + c.version_lines);
    std::string image = read_file(dir / "out.bin");
    std::string header = image.substr(image.size() - 1024);
    EXPECT_EQ(header.substr(39, 20), c.sw);
    EXPECT_EQ(header.substr(59, 20), c.hw);
  }
}

TEST(Mode3Run, SampleVersionFileShipsWithTheTool) {
  scratch_dir dir;
  fs::path examples = fs::path(FWPACK_SOURCE_DIR) / "examples";
  fs::copy_file(examples / "sample_firmware.bin", dir / "fw.bin");
  fs::copy_file(examples / "version.txt", dir / "version.txt");
  run_result r = run_fwpack(
      dir.path(), mode3_args("2", "fw.bin", "version.txt", "out.bin"));
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.output.find("softversion = V2.0.1\r\nHardwareVersion = B3\r\n"),
            std::string::npos)
      << r.output;
}

}  // namespace
}  // namespace fwpack_test

#include "driver/safety.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fileutil/platform.h"

namespace fwpack {
namespace {

TEST(MakeSafetyPath, FormsThePathInTheOutputDirectory) {
  struct {
    const char* output;
    const char* posix;    // what the POSIX build forms
    const char* windows;  // what the Windows build forms
    const char* reason;
  } cases[] = {
      {"out/fw/main.bin", "out/fw/BOARD_SAFETY.bin", "out/fw\\BOARD_SAFETY.bin",
       "the last separator ends the directory part"},
      {"C:\\fw\\main.bin", "BOARD_SAFETY.bin", "C:\\fw\\BOARD_SAFETY.bin",
       "backslashes separate on Windows only"},
      {"a/b\\c.bin", "a/BOARD_SAFETY.bin", "a/b\\BOARD_SAFETY.bin",
       "the last separator of either kind"},
      {"main.bin", "BOARD_SAFETY.bin", "BOARD_SAFETY.bin",
       "no separator: the working directory"},
      {"m", "BOARD_SAFETY.bin", "BOARD_SAFETY.bin", "one character"},
      {"/main.bin", "/BOARD_SAFETY.bin", "\\BOARD_SAFETY.bin",
       "a separator only at the start: the root"},
      {"out/", "out/BOARD_SAFETY.bin", "out\\BOARD_SAFETY.bin",
       "an output path ending in a separator"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    char buffer[safety_path_buffer_size];
    EXPECT_EQ(make_safety_path(buffer, c.output, "BOARD", 5),
              safety_path_outcome::formed);
    EXPECT_STREQ(buffer, platform_is_windows ? c.windows : c.posix);
  }
}

TEST(MakeSafetyPath, EmptyProjectNameAndFullWidthProjectName) {
  char buffer[safety_path_buffer_size];
  make_safety_path(buffer, "d/x.bin", "", 0);
  EXPECT_EQ(std::string(buffer), std::string("d") + path_join_separator + "_SAFETY.bin");
  // A project name field of 30 bytes has no zero byte: the length counts.
  const char full[30 + 1] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
  make_safety_path(buffer, "x.bin", full, 30);
  EXPECT_STREQ(buffer, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123_SAFETY.bin");
}

TEST(MakeSafetyPath, RefusesWhatDoesNotFitAndEmptyOutput) {
  char buffer[safety_path_buffer_size];
  // directory + separator + name + "_SAFETY.bin" (11) must stay within 499.
  std::string fits = std::string(499 - 1 - 5 - 11, 'd') + "/x.bin";
  std::string over = std::string(499 - 5 - 11, 'd') + "/x.bin";
  EXPECT_EQ(make_safety_path(buffer, fits.c_str(), "BOARD", 5),
            safety_path_outcome::formed);
  EXPECT_EQ(std::strlen(buffer), 499u);
  EXPECT_EQ(make_safety_path(buffer, over.c_str(), "BOARD", 5),
            safety_path_outcome::too_long);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(make_safety_path(buffer, "", "BOARD", 5), safety_path_outcome::empty);
}

}  // namespace
}  // namespace fwpack

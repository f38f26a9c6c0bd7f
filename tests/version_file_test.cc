#include "fileutil/version_file.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/test_support.h"

namespace fwpack {
namespace {

using fwpack_test::scratch_dir;
using fwpack_test::write_file;

// What one reader should make of a file: the value it stores, or nullptr for
// the "nuknow" fallback, and whether the too-long line comes first.
struct expectation {
  const char* value;
  bool too_long = false;
};

struct outcome {
  std::int32_t result;
  std::string field;
  std::string output;
};

using reader_fn = std::int32_t (*)(std::uint8_t*, const char*);

outcome read_with(reader_fn reader, const std::string& path) {
  std::uint8_t field[20] = {};
  testing::internal::CaptureStdout();
  std::int32_t result = reader(field, path.c_str());
  std::string output = testing::internal::GetCapturedStdout();
  return {result, std::string(reinterpret_cast<char*>(field), 20), output};
}

void expect_outcome(const outcome& got, const expectation& want,
                    const std::string& label) {
  if (want.value != nullptr) {
    std::string value = want.value;
    EXPECT_EQ(got.result, 0);
    EXPECT_EQ(got.field, value + std::string(20 - value.size(), '\0'));
    EXPECT_EQ(got.output, label + " = " + value + "\r\n");
  } else {
    EXPECT_EQ(got.result, -1);
    EXPECT_EQ(got.field, "nuknow" + std::string(14, '\0'));
    EXPECT_EQ(got.output, std::string(want.too_long ? label + " too long error\r\n" : "") +
                              label + " = nuknow\r\n");
  }
}

std::string padding(std::size_t n) { return std::string(n, '.'); }

TEST(VersionFileReader, Outcomes) {
  struct {
    const char* reason;
    std::string content;
    expectation soft;
    expectation hard;
  } cases[] = {
      {"the plain form", "SoftVersion = \"V2.0.1\"\nHARDWARE_VERSION \"0B3\"\n",
       {"V2.0.1"}, {"B3"}},
      {"order in the list beats position in the line",
       "SoftVersion \"A\" SOFTWARE_VERSION \"B\"\n", {"B"}, {nullptr}},
      {"the first keyword of the list is taken even without a value",
       "SoftVersion \"A\" SOFTWARE_VERSION\n", {nullptr}, {nullptr}},
      {"a keyword without a value in an earlier line decides",
       "# HardVersion is set below\nHardwareVersion = \"H1\"\n", {nullptr},
       {nullptr}},
      {"two quoted strings: the first", "softversion \"1.0\" \"2.0\"\n", {"1.0"},
       {nullptr}},
      {"only a 0: empty value", "SoftwareVersion \"0\"\nhardversion \"\"\n", {""},
       {""}},
      {"only the first 0 is dropped", "SoftVersion \"00.1\"\n", {"0.1"}, {nullptr}},
      {"20 bytes fill the field", "SoftVersion \"ABCDEFGHIJKLMNOPQRST\"\n",
       {"ABCDEFGHIJKLMNOPQRST"}, {nullptr}},
      {"21 bytes after a 0: 20 stored", "HardVersion \"0ABCDEFGHIJKLMNOPQRST\"\n",
       {nullptr}, {"ABCDEFGHIJKLMNOPQRST"}},
      {"21 bytes are too long", "SoftVersion \"ABCDEFGHIJKLMNOPQRSTU\"\n",
       {nullptr, true}, {nullptr}},
      {"blanks inside the quotes are kept", "SoftVersion \" V1 \"\n", {" V1 "},
       {nullptr}},
      {"keywords are case-sensitive", "SOFTVERSION \"1\"\nHardversion \"2\"\n",
       {nullptr}, {nullptr}},
      {"no closing quote", "SoftVersion \"abc\nHardVersion \"h\"\n", {nullptr},
       {"h"}},
      {"both keywords in one line", "SoftVersion \"S\" HardVersion \"H\"\n", {"S"},
       {"H"}},
      {"CR LF line ends change nothing",
       "SoftVersion = \"S\"\r\nHardVersion = \"H\"\r\n", {"S"}, {"H"}},
      {"the last line without a line feed", "x\nHardwareVersion \"H9\"", {nullptr},
       {"H9"}},
      {"Ctrl-Z ends the file in text mode only",
       "\x1A\nSoftVersion \"S1\"\nHardVersion \"H1\"\n", {"S1"}, {nullptr}},
      {"an empty file", "", {nullptr}, {nullptr}},
      {"UTF-16: zero bytes end every search",
       std::string("S\0o\0f\0t\0V\0e\0r\0s\0i\0o\0n\0 \0\"\0" "1\0\"\0\n\0", 32),
       {nullptr}, {nullptr}},
      {"a keyword at byte 260 is in the second piece",
       padding(260) + "SoftVersion \"L1\"\n", {"L1"}, {nullptr}},
      {"a keyword across the 255-byte boundary is in neither piece",
       padding(250) + "SoftVersion \"L1\"\n", {nullptr}, {nullptr}},
      {"a closing quote in the next piece",
       padding(240) + "SoftVersion \"" + padding(10) + "\"\n", {nullptr},
       {nullptr}},
  };
  scratch_dir dir;
  std::string path = (dir / "version.txt").string();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    write_file(path, c.content);
    expect_outcome(read_with(read_soft_version, path), c.soft, "softversion");
    expect_outcome(read_with(read_hard_version, path), c.hard, "HardwareVersion");
  }
}

TEST(VersionFileReader, UnreadablePathsPrintNothing) {
  scratch_dir dir;
  fwpack_test::fs::create_directory(dir / "sub");
  for (reader_fn reader : {read_soft_version, read_hard_version}) {
    for (const char* path : {"sub", "missing"}) {
      SCOPED_TRACE(path);
      outcome got = read_with(reader, (dir / path).string());
      EXPECT_EQ(got.result, -1);
      EXPECT_EQ(got.field, std::string(20, '\0'));
      EXPECT_EQ(got.output, "");
    }
    std::uint8_t field[20] = {};
    EXPECT_EQ(reader(field, nullptr), -1);
  }
}

}  // namespace
}  // namespace fwpack

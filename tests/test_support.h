// Helpers for the tests: a private temporary folder, whole-file reads and
// writes, and running the real fwpack executable inside a folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace fwpack_test {

namespace fs = std::filesystem;

// A fresh empty folder, removed with everything in it at the end of the test.
class scratch_dir {
 public:
  scratch_dir();
  ~scratch_dir();
  scratch_dir(const scratch_dir&) = delete;
  scratch_dir& operator=(const scratch_dir&) = delete;

  const fs::path& path() const { return path_; }
  fs::path operator/(const std::string& name) const { return path_ / name; }

 private:
  fs::path path_;
};

void write_file(const fs::path& path, const std::string& bytes);
std::string read_file(const fs::path& path);

// Deterministic bytes of the given length, varied enough that a shifted or
// dropped byte shows.
std::string sample_bytes(std::size_t length, unsigned seed = 1);

// Names of the entries of a folder, sorted.
std::vector<std::string> list_dir(const fs::path& dir);

struct run_result {
  int status;          // the exit status as a shell shows it: 0..255
  std::string output;  // every byte written to standard output
  std::string errors;  // every byte written to standard error
};

// Runs fwpack with the given arguments (argv[0] is supplied) in dir.
run_result run_fwpack(const fs::path& dir, const std::vector<std::string>& args);

// Runs any executable that sits beside the test executable.
run_result run_tool(const std::string& tool, const fs::path& dir,
                    const std::vector<std::string>& args);

// True on the Windows build.
bool on_windows();

// Little-endian word at an offset of a byte string.
std::uint32_t u32_at(const std::string& bytes, std::size_t offset);

}  // namespace fwpack_test

namespace fwpack_test {

// Makes a private device node at path that behaves like a full disk: opens
// fine, every write fails. False where the platform has no such node (then
// the test is skipped).
bool make_full_device(const fs::path& path);

// The same for a node that swallows every write, like a null device.
bool make_null_device(const fs::path& path);

// The CRC register of the image format (CRC-32/JAMCRC) and the byte sum of
// a byte string, computed here independently of the tool.
std::uint32_t jamcrc(const std::string& bytes);
std::uint32_t byte_sum(const std::string& bytes);

// The text "%X" gives, then padded with blanks to eight characters.
std::string hex_upper(std::uint32_t value);
std::string hex_blank8(std::uint32_t value);
std::string hex_zero8(std::uint32_t value);

// The twelve-digit build stamp is one of these for a run between the two
// times (seconds since 1970 UTC).
bool stamp_between(const std::string& stamp, std::int64_t before,
                   std::int64_t after);

// The current time in seconds since 1970 UTC.
std::int64_t now_seconds();

}  // namespace fwpack_test

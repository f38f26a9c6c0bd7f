#include "fileutil/version_file.h"

#include <cstdio>
#include <cstring>

#include "fileutil/platform.h"

namespace fwpack {

namespace {

struct version_reader {
  bool text_mode;
  const char* keywords[4];
  const char* too_long_line;
  const char* success_format;
  const char* failure_line;
};

constexpr version_reader soft_reader = {
    false,
    {"SOFTWARE_VERSION", "SoftVersion", "softversion", "SoftwareVersion"},
    "softversion too long error\r\n",
    "softversion = %.*s\r\n",
    "softversion = nuknow\r\n"};

constexpr version_reader hard_reader = {
    true,
    {"HARDWARE_VERSION", "HardwareVersion", "HardVersion", "hardversion"},
    "HardwareVersion too long error\r\n",
    "HardwareVersion = %.*s\r\n",
    "HardwareVersion = nuknow\r\n"};

constexpr int ctrl_z = 0x1A;

// A stream read piece by piece like fgets() into the 256-byte line buffer.
// With translate set it applies the text-mode rules that the C library does
// not apply on this platform.
struct piece_stream {
  std::FILE* file;
  bool translate;
  bool ended;
};

// Reads at most 255 bytes, stopping after a line feed, and ends them with a
// zero byte. Returns false when nothing could be read.
bool read_piece(piece_stream& in, char buffer[version_line_buffer_size]) {
  int n = 0;
  while (!in.ended && n < version_line_buffer_size - 1) {
    int c = std::getc(in.file);
    if (c == EOF || (in.translate && c == ctrl_z)) {
      in.ended = true;
      break;
    }
    if (in.translate && c == '\r') {
      int next = std::getc(in.file);
      if (next == '\n')
        c = '\n';
      else if (next != EOF)
        std::ungetc(next, in.file);
    }
    buffer[n++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  buffer[n] = '\0';
  return n > 0;
}

// Finds the value in the first piece that names a keyword and copies it to
// the start of field. Returns its length, or -1 when the search fails.
int find_value(const version_reader& reader, piece_stream& in,
               std::uint8_t* field) {
  char piece[version_line_buffer_size];
  while (read_piece(in, piece)) {
    const char* keyword = nullptr;
    for (const char* candidate : reader.keywords) {
      keyword = std::strstr(piece, candidate);
      if (keyword != nullptr) break;
    }
    if (keyword == nullptr) continue;

    const char* open = std::strchr(keyword, '"');
    if (open == nullptr) return -1;
    const char* start = open + 1;
    if (*start == '0') ++start;
    const char* close = std::strchr(start, '"');
    if (close == nullptr) return -1;
    int length = static_cast<int>(close - start);
    if (length > version_value_max) {
      std::fputs(reader.too_long_line, stdout);
      return -1;
    }
    std::memcpy(field, start, static_cast<std::size_t>(length));
    return length;
  }
  return -1;
}

std::int32_t read_version(const version_reader& reader, std::uint8_t* field,
                          const char* path) {
  if (path == nullptr) return -1;
  std::FILE* file = reader.text_mode ? open_text_file(path)
                                     : open_file(path, "rb");
  if (file == nullptr) return -1;

  piece_stream in = {file, reader.text_mode && text_mode_emulated, false};
  int length = find_value(reader, in, field);
  std::fclose(file);

  if (length < 0) {
    std::fputs(reader.failure_line, stdout);
    std::memcpy(field, "nuknow", 7);
    return -1;
  }
  std::printf(reader.success_format, length, reinterpret_cast<char*>(field));
  return 0;
}

}  // namespace

std::int32_t read_soft_version(std::uint8_t* field, const char* path) {
  return read_version(soft_reader, field, path);
}

std::int32_t read_hard_version(std::uint8_t* field, const char* path) {
  return read_version(hard_reader, field, path);
}

}  // namespace fwpack

#include "driver/inspect_report.h"

#include <cinttypes>
#include <cstring>

namespace fwpack {

namespace {

const char* kind_name(image_kind kind) {
  switch (kind) {
    case image_kind::main: return "main";
    case image_kind::safety: return "safety";
    case image_kind::unknown: break;
  }
  return "unknown";
}

// Writes text as a JSON string. Shown texts are plain ASCII already.
void json_string(std::FILE* out, const char* text) {
  std::fputc('"', out);
  for (const char* p = text; *p != '\0'; ++p) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (c == '"' || c == '\\')
      std::fprintf(out, "\\%c", c);
    else if (c < 0x20 || c >= 0x7F)
      std::fprintf(out, "\\u%04x", c);
    else
      std::fputc(c, out);
  }
  std::fputc('"', out);
}

struct shown_fields {
  char chip_name[4 * chip_name_width + 1];
  char sw_version[4 * version_width + 1];
  char hw_version[4 * version_width + 1];
  char project_name[4 * project_name_width + 1];
  char build_time[4 * build_time_width + 1];
  char build_date[48];
  char chip_code[4 * 2 + 1];
};

shown_fields show_fields(const pack_header& h) {
  shown_fields s = {};
  show_text_field(h.chip_name, chip_name_width, s.chip_name);
  show_text_field(h.sw_version, version_width, s.sw_version);
  show_text_field(h.hw_version, version_width, s.hw_version);
  show_text_field(h.project_name, project_name_width, s.project_name);
  show_text_field(h.build_time, build_time_width, s.build_time);
  show_build_time(h.build_time, s.build_date);
  show_text_field(h.chip_code, 2, s.chip_code);
  return s;
}

}  // namespace

void show_text_field(const std::uint8_t* field, std::size_t width, char* out) {
  static const char hex[] = "0123456789ABCDEF";
  std::size_t n = text_field_length(field, width);
  char* p = out;
  for (std::size_t i = 0; i < n; ++i) {
    std::uint8_t c = field[i];
    if (c == '"' || c == '\\') {
      *p++ = '\\';
      *p++ = static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      *p++ = static_cast<char>(c);
    } else {
      *p++ = '\\';
      *p++ = 'x';
      *p++ = hex[c >> 4];
      *p++ = hex[c & 0xF];
    }
  }
  *p = '\0';
}

void show_build_time(const std::uint8_t stamp[build_time_width], char out[48]) {
  out[0] = '\0';
  unsigned char v[6];
  for (int i = 0; i < 6; ++i) {
    std::uint8_t hi = stamp[2 * i], lo = stamp[2 * i + 1];
    if (hi < '0' || hi > '9' || lo < '0' || lo > '9') return;
    v[i] = static_cast<unsigned char>((hi - '0') * 10 + (lo - '0'));
  }
  if (v[1] < 1 || v[1] > 12 || v[2] < 1 || v[2] > 31 || v[3] > 23 || v[4] > 59 ||
      v[5] > 59)
    return;
  std::snprintf(out, 48, "20%02u-%02u-%02u %02u:%02u:%02u UTC+8", v[0], v[1],
                v[2], v[3], v[4], v[5]);
}

void print_text_report(std::FILE* out, const char* path,
                       const image_inspection& r) {
  std::fprintf(out, "%s: %" PRId64 " bytes\n", path, r.image_size);
  if (r.has_header) {
    const pack_header& h = r.record;
    shown_fields s = show_fields(h);
    std::fprintf(out, "  protocol_version  %u\n", h.protocol_version);
    std::fprintf(out, "  image             %s\n", kind_name(r.kind));
    std::fprintf(out, "  checksum_or_size  %" PRIu32 " (0x%08" PRIX32 ", %s)\n",
                 h.checksum_or_size, h.checksum_or_size,
                 h.protocol_version == 1 ? "byte sum" : "size");
    std::fprintf(out, "  file_crc32        0x%08" PRIX32 "\n", h.file_crc32);
    std::fprintf(out, "  chip_name         \"%s\"\n", s.chip_name);
    std::fprintf(out, "  sw_version        \"%s\"\n", s.sw_version);
    std::fprintf(out, "  hw_version        \"%s\"\n", s.hw_version);
    std::fprintf(out, "  project_name      \"%s\"\n", s.project_name);
    std::fprintf(out, "  build_time        \"%s\" %s\n", s.build_time,
                 s.build_date[0] != '\0' ? s.build_date : "(not a date)");
    std::fprintf(out, "  start_addr        0x%08" PRIX32 "\n", h.start_addr);
    std::fprintf(out, "  chip_role         0x%02X\n", h.chip_role);
    std::fprintf(out, "  chip_code         \"%s\"\n", s.chip_code);
    std::fprintf(out, "  file_type         0x%02X\n", h.file_type);
    if (h.protocol_version <= 3)
      std::fprintf(out, "  payload           %s, %" PRId64 " bytes\n",
                   r.framed ? "block framed" : "whole", r.payload_length);
    if (r.has_trailer)
      std::fprintf(out,
                   "  trailer           word0 0x%08" PRIX32 ", size %" PRIu32
                   ", byte sum 0x%08" PRIX32 "\n",
                   r.trailer.word0, r.trailer.file_size, r.trailer.byte_sum);
    if (r.data_known)
      std::fprintf(out, "  firmware          %" PRId64 " bytes, crc32 0x%08" PRIX32
                   ", byte sum 0x%08" PRIX32 "\n",
                   r.data_length, r.data_crc32, r.data_byte_sum);
  }
  for (int i = 0; i < r.check_count; ++i) {
    const image_check_result& c = r.checks[i];
    std::fprintf(out, "  check %-17s %-4s %s\n", check_name(c.id),
                 c.passed ? "ok" : "FAIL", c.detail);
  }
  std::fprintf(out, "  result            %s\n",
               inspection_passed(r) ? "ok" : "FAIL");
}

void print_json_report(std::FILE* out, const char* path,
                       const image_inspection& r) {
  std::fputs("{\"image\": ", out);
  json_string(out, path);
  std::fprintf(out, ", \"size\": %" PRId64 ", \"header\": ", r.image_size);
  if (!r.has_header) {
    std::fputs("null", out);
  } else {
    const pack_header& h = r.record;
    shown_fields s = show_fields(h);
    std::fprintf(out, "{\"protocol_version\": %u, \"kind\": \"%s\", "
                      "\"checksum_or_size\": %" PRIu32 ", \"file_crc32\": %" PRIu32,
                 h.protocol_version, kind_name(r.kind), h.checksum_or_size,
                 h.file_crc32);
    const struct {
      const char* key;
      const char* value;
    } texts[] = {{"chip_name", s.chip_name},       {"sw_version", s.sw_version},
                 {"hw_version", s.hw_version},     {"project_name", s.project_name},
                 {"build_time", s.build_time},     {"chip_code", s.chip_code}};
    for (const auto& t : texts) {
      std::fprintf(out, ", \"%s\": ", t.key);
      json_string(out, t.value);
    }
    std::fputs(", \"build_time_utc8\": ", out);
    if (s.build_date[0] != '\0')
      json_string(out, s.build_date);
    else
      std::fputs("null", out);
    std::fprintf(out, ", \"start_addr\": %" PRIu32 ", \"chip_role\": %u, "
                      "\"file_type\": %u}",
                 h.start_addr, h.chip_role, h.file_type);
  }
  std::fputs(", \"payload\": ", out);
  if (!r.has_header || r.record.protocol_version > 3) {
    std::fputs("null", out);
  } else {
    std::fprintf(out, "{\"layout\": \"%s\", \"length\": %" PRId64,
                 r.framed ? "framed" : "whole", r.payload_length);
    if (r.has_trailer)
      std::fprintf(out, ", \"trailer\": {\"word0\": %" PRIu32
                        ", \"file_size\": %" PRIu32 ", \"byte_sum\": %" PRIu32 "}",
                   r.trailer.word0, r.trailer.file_size, r.trailer.byte_sum);
    else
      std::fputs(", \"trailer\": null", out);
    if (r.data_known)
      std::fprintf(out, ", \"firmware\": {\"length\": %" PRId64
                        ", \"crc32\": %" PRIu32 ", \"byte_sum\": %" PRIu32 "}}",
                   r.data_length, r.data_crc32, r.data_byte_sum);
    else
      std::fputs(", \"firmware\": null}", out);
  }
  std::fputs(", \"checks\": [", out);
  for (int i = 0; i < r.check_count; ++i) {
    const image_check_result& c = r.checks[i];
    std::fprintf(out, "%s{\"name\": \"%s\", \"passed\": %s, \"detail\": ",
                 i == 0 ? "" : ", ", check_name(c.id), c.passed ? "true" : "false");
    json_string(out, c.detail);
    std::fputc('}', out);
  }
  std::fprintf(out, "], \"passed\": %s}", inspection_passed(r) ? "true" : "false");
}

void print_json_unreadable(std::FILE* out, const char* path) {
  std::fputs("{\"image\": ", out);
  json_string(out, path);
  std::fputs(", \"error\": \"cannot be read\", \"passed\": false}", out);
}

}  // namespace fwpack

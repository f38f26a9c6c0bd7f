#include "image/image_check.h"

#include <cinttypes>
#include <cstdarg>
#include <cstring>

#include "fileutil/crc32.h"
#include "fileutil/platform.h"

namespace fwpack {

namespace {

void add_check(image_inspection& r, check_id id, bool passed, const char* format,
               ...) __attribute__((format(printf, 4, 5)));

void add_check(image_inspection& r, check_id id, bool passed, const char* format,
               ...) {
  if (r.check_count >= max_checks) return;
  image_check_result& c = r.checks[r.check_count++];
  c.id = id;
  c.passed = passed;
  va_list args;
  va_start(args, format);
  std::vsnprintf(c.detail, sizeof c.detail, format, args);
  va_end(args);
}

bool seek_to(std::FILE* stream, std::int64_t offset) {
  return stream_seek(stream, offset) == 0;
}

// Reads exactly n bytes at offset.
bool read_at(std::FILE* stream, std::int64_t offset, std::uint8_t* bytes,
             std::size_t n) {
  return seek_to(stream, offset) && std::fread(bytes, 1, n, stream) == n;
}

// Runs the CRC register and the byte sum over length bytes from the start.
bool measure_data(std::FILE* stream, std::int64_t length, std::uint32_t& crc,
                  std::uint32_t& sum) {
  crc = 0xFFFFFFFFu;
  sum = 0;
  if (!seek_to(stream, 0)) return false;
  std::uint8_t chunk[block_size];
  while (length > 0) {
    std::size_t want = length < block_size ? static_cast<std::size_t>(length)
                                           : sizeof chunk;
    if (std::fread(chunk, 1, want, stream) != want) return false;
    crc = crc32_update(crc, chunk, want);
    for (std::size_t i = 0; i < want; ++i) sum += chunk[i];
    length -= static_cast<std::int64_t>(want);
  }
  return true;
}

// Counts the bytes in [from, to) that are not the fill byte.
bool count_foreign(std::FILE* stream, std::int64_t from, std::int64_t to,
                   std::uint8_t fill, std::int64_t& foreign) {
  foreign = 0;
  if (!seek_to(stream, from)) return false;
  std::uint8_t chunk[block_size];
  for (std::int64_t left = to - from; left > 0;) {
    std::size_t want = left < block_size ? static_cast<std::size_t>(left)
                                         : sizeof chunk;
    if (std::fread(chunk, 1, want, stream) != want) return false;
    for (std::size_t i = 0; i < want; ++i) foreign += chunk[i] != fill;
    left -= static_cast<std::int64_t>(want);
  }
  return true;
}

bool all_zero(const std::uint8_t* bytes, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (bytes[i] != 0) return false;
  return true;
}

void check_fill(image_inspection& r, const std::uint8_t* block) {
  std::size_t ff = 0, zero = 0;
  for (std::size_t i = pack_header_size; i < header_block_size; ++i) {
    ff += block[i] == 0xFF;
    zero += block[i] == 0x00;
  }
  const std::size_t n = header_block_size - pack_header_size;
  if (ff == n) r.kind = image_kind::main;
  if (zero == n) r.kind = image_kind::safety;
  if (r.kind != image_kind::unknown)
    add_check(r, check_id::fill, true, "bytes 129..1023 are all 0x%02X",
              r.kind == image_kind::main ? 0xFF : 0x00);
  else
    add_check(r, check_id::fill, false,
              "bytes 129..1023 hold %u x 0xFF, %u x 0x00 and %u others",
              static_cast<unsigned>(ff), static_cast<unsigned>(zero),
              static_cast<unsigned>(n - ff - zero));
}

// Versions 0 and 3: the payload is the firmware itself.
void check_whole_layout(image_inspection& r) {
  r.data_length = r.payload_length;
  bool fits = r.payload_length == r.record.checksum_or_size;
  r.data_known = true;
  add_check(r, check_id::layout, fits,
            "payload of %" PRId64 " bytes, checksum_or_size %" PRIu32,
            r.payload_length, r.record.checksum_or_size);
}

// Versions 1 and 2: whole blocks, the last one ending in the trailer.
void check_framed_layout(image_inspection& r, std::FILE* stream) {
  if (r.payload_length < block_size || r.payload_length % block_size != 0) {
    add_check(r, check_id::layout, false,
              "payload of %" PRId64 " bytes is not a whole number of blocks",
              r.payload_length);
    return;
  }
  std::uint8_t last[block_size];
  if (!read_at(stream, r.payload_length - block_size, last, sizeof last)) {
    add_check(r, check_id::layout, false, "the last payload block cannot be read");
    return;
  }
  r.trailer = get_block_trailer(last);
  r.has_trailer = true;
  std::int64_t expected =
      payload_length(r.record.protocol_version, r.trailer.file_size);
  if (expected != r.payload_length) {
    add_check(r, check_id::layout, false,
              "trailer size %" PRIu32 " frames to %" PRId64
              " bytes, the payload has %" PRId64,
              r.trailer.file_size, expected, r.payload_length);
    return;
  }
  add_check(r, check_id::layout, true,
            "%" PRId64 " blocks framing %" PRIu32 " bytes",
            r.payload_length / block_size, r.trailer.file_size);
  r.data_known = true;
  r.data_length = r.trailer.file_size;
}

void check_framing(image_inspection& r, std::FILE* stream) {
  std::uint8_t fill = r.kind == image_kind::safety ? safety_fill : main_fill;
  std::int64_t foreign = 0;
  std::int64_t trailer_at = r.payload_length - block_trailer_size;
  if (!count_foreign(stream, r.data_length, trailer_at, fill, foreign))
    add_check(r, check_id::padding, false, "the padding cannot be read");
  else
    add_check(r, check_id::padding, foreign == 0,
              "%" PRId64 " bytes of padding, %" PRId64 " not 0x%02X",
              trailer_at - r.data_length, foreign, fill);

  std::uint32_t word0 = r.kind == image_kind::safety
                            ? safety_trailer_word0
                            : static_cast<std::uint32_t>(r.record.chip_role);
  add_check(r, check_id::trailer_word0, r.trailer.word0 == word0,
            "0x%08" PRIX32 ", expected 0x%08" PRIX32 " (%s)", r.trailer.word0,
            word0, r.kind == image_kind::safety ? "safety" : "chip_role");
  add_check(r, check_id::trailer_byte_sum, r.trailer.byte_sum == r.data_byte_sum,
            "0x%08" PRIX32 ", data sums to 0x%08" PRIX32, r.trailer.byte_sum,
            r.data_byte_sum);

  bool by_sum = r.record.protocol_version == 1;
  std::uint32_t want = by_sum ? r.data_byte_sum : r.trailer.file_size;
  add_check(r, check_id::checksum_or_size, r.record.checksum_or_size == want,
            "%" PRIu32 ", expected the %s %" PRIu32, r.record.checksum_or_size,
            by_sum ? "byte sum" : "size", want);
}

void check_safety_record(image_inspection& r) {
  std::uint8_t bytes[pack_header_size];
  serialize_pack_header(r.record, bytes);
  // Everything but protocol_version, checksum_or_size, file_crc32,
  // project_name, build_time and file_type.
  bool zero = all_zero(bytes + chip_name_offset,
                       project_name_offset - chip_name_offset) &&
              all_zero(bytes + start_addr_offset,
                       file_type_offset - start_addr_offset);
  add_check(r, check_id::safety_fields, zero,
            zero ? "chip name, versions, address, role and code are zero"
                 : "a field the safety record does not carry is set");
  add_check(r, check_id::safety_file_type, r.record.file_type == safety_file_type,
            "file_type %u", r.record.file_type);
}

}  // namespace

const char* check_name(check_id id) {
  switch (id) {
    case check_id::header_block: return "header_block";
    case check_id::fill: return "fill";
    case check_id::protocol_version: return "protocol_version";
    case check_id::layout: return "layout";
    case check_id::padding: return "padding";
    case check_id::trailer_word0: return "trailer_word0";
    case check_id::trailer_byte_sum: return "trailer_byte_sum";
    case check_id::checksum_or_size: return "checksum_or_size";
    case check_id::crc32: return "crc32";
    case check_id::safety_fields: return "safety_fields";
    case check_id::safety_file_type: return "safety_file_type";
  }
  return "unknown";
}

int inspect_image(std::FILE* stream, image_inspection& r) {
  r = image_inspection{};
  r.image_size = stream_size(stream);
  if (r.image_size < 0) return -1;

  if (r.image_size < static_cast<std::int64_t>(header_block_size)) {
    add_check(r, check_id::header_block, false,
              "%" PRId64 " bytes, shorter than one header block", r.image_size);
    return 0;
  }
  std::uint8_t block[header_block_size];
  if (!read_at(stream, r.image_size - header_block_size, block, sizeof block))
    return -1;
  r.has_header = true;
  r.record = parse_pack_header(block);
  r.payload_length = r.image_size - header_block_size;
  add_check(r, check_id::header_block, true, "the last 1024 of %" PRId64 " bytes",
            r.image_size);
  check_fill(r, block);

  std::uint8_t version = r.record.protocol_version;
  add_check(r, check_id::protocol_version, version <= 3, "%u", version);
  if (version > 3) return 0;

  r.framed = is_block_framed(version);
  if (r.framed)
    check_framed_layout(r, stream);
  else
    check_whole_layout(r);
  if (!r.data_known) return 0;

  if (!measure_data(stream, r.data_length, r.data_crc32, r.data_byte_sum)) {
    add_check(r, check_id::crc32, false, "the data cannot be read");
    return 0;
  }
  if (r.framed) check_framing(r, stream);
  add_check(r, check_id::crc32, r.data_crc32 == r.record.file_crc32,
            "file_crc32 0x%08" PRIX32 ", data 0x%08" PRIX32, r.record.file_crc32,
            r.data_crc32);
  if (r.kind == image_kind::safety) check_safety_record(r);
  return 0;
}

bool inspection_passed(const image_inspection& r) {
  for (int i = 0; i < r.check_count; ++i)
    if (!r.checks[i].passed) return false;
  return r.check_count > 0;
}

int extract_firmware(std::FILE* image, const image_inspection& r,
                     std::FILE* out) {
  if (!r.data_known || !seek_to(image, 0)) return -1;
  std::uint8_t chunk[block_size];
  for (std::int64_t left = r.data_length; left > 0;) {
    std::size_t want = left < block_size ? static_cast<std::size_t>(left)
                                         : sizeof chunk;
    if (std::fread(chunk, 1, want, image) != want) return -1;
    if (std::fwrite(chunk, 1, want, out) != want) return -1;
    left -= static_cast<std::int64_t>(want);
  }
  return std::fflush(out) == 0 && !std::ferror(out) ? 0 : -1;
}

}  // namespace fwpack

#include "driver/safety.h"

#include <cstdio>
#include <cstring>

#include "fileutil/crc32.h"
#include "fileutil/file_measure.h"
#include "fileutil/platform.h"
#include "image/pack_header.h"
#include "image/payload.h"

namespace fwpack {

namespace {

constexpr char safety_name_suffix[] = "_SAFETY.bin";

}  // namespace

safety_path_outcome make_safety_path(char buffer[safety_path_buffer_size],
                                     const char* output_path,
                                     const char* project_name,
                                     std::size_t project_name_length) {
  std::memset(buffer, 0, safety_path_buffer_size);
  std::size_t n = std::strlen(output_path);
  if (n == 0) return safety_path_outcome::empty;

  // The directory part ends at the last separator; with none, the image goes
  // into the working directory under its bare name.
  std::size_t directory_length = 0;
  bool has_directory = false;
  for (std::size_t i = n; i-- > 0;) {
    if (is_path_separator(output_path[i])) {
      directory_length = i;
      has_directory = true;
      break;
    }
  }

  std::size_t length = (has_directory ? directory_length + 1 : 0) +
                       project_name_length + (sizeof safety_name_suffix - 1);
  if (length >= safety_path_buffer_size) return safety_path_outcome::too_long;

  char* p = buffer;
  if (has_directory) {
    std::memcpy(p, output_path, directory_length);
    p += directory_length;
    *p++ = path_join_separator;
  }
  std::memcpy(p, project_name, project_name_length);
  p += project_name_length;
  std::memcpy(p, safety_name_suffix, sizeof safety_name_suffix - 1);
  return safety_path_outcome::formed;
}

void accept_safety_input(pack_state& state, int argc, char** argv) {
  int entry = state.tool_mode == 3 ? 12 : 13;
  if (argc <= entry) return;
  const char* path = argv[entry];
  if (!path_exists(path)) {
    std::printf("%s; safety file is not exist!!!\r\n", path);
    return;
  }
  state.safety_input_path = path;
}

int check_safety_path(const pack_state& state) {
  if (state.safety_input_path == nullptr) return 0;
  char buffer[safety_path_buffer_size];
  const char* project = state.args.project_name;
  if (make_safety_path(buffer, state.args.output_path, project,
                       std::strlen(project)) == safety_path_outcome::too_long) {
    std::fputs("safety file path too long error\r\n", stdout);
    return -1;
  }
  return 0;
}

int pack_safety_input(pack_state& state) {
  const char* path = state.safety_input_path;
  pack_header& record = state.safety_record;

  std::int32_t size = get_file_size(path);
  if (size == file_size_too_large) {
    std::printf("%s too large error\r\n", path);
    return -1;
  }

  state.safety_scratch = open_scratch(state, safety_scratch_path);
  if (state.safety_scratch == nullptr) return -1;

  std::FILE* input = open_file(path, "rb");
  if (input == nullptr || size < 0) {
    // An unreadable safety input is dropped; the run goes on without it.
    if (input != nullptr) std::fclose(input);
    std::printf("%s open is fail\r\n", path);
    state.safety_input_path = nullptr;
    discard_scratch(state.safety_scratch, safety_scratch_path);
    return 0;
  }

  std::uint32_t byte_sum = get_file_checksum(input, size);
  record.protocol_version = state.protocol_version;
  record.checksum_or_size = state.protocol_version == 1
                                ? byte_sum
                                : static_cast<std::uint32_t>(size);
  std::printf("*** safety file_size = 0x%08X ***\r\n", record.checksum_or_size);

  get_file_crc32(input, &record.file_crc32, size);
  std::printf("*** safety file crc32 = 0x%08X ***\r\n", record.file_crc32);

  int payload = write_payload(input, state.safety_scratch,
                              state.protocol_version, size, byte_sum,
                              safety_trailer_word0, safety_fill);
  std::fclose(input);
  return check_payload(payload, path, state.safety_scratch, safety_scratch_path);
}

int finish_safety_image(pack_state& state) {
  complete_safety_record(state.safety_record, state.main_record);
  write_header_block(state.safety_record, safety_fill, state.safety_scratch);
  if (!stream_ok(state.safety_scratch)) {
    std::printf("%s write is fail\r\n", safety_scratch_path);
    return -1;
  }
  return 0;
}

int write_safety_image(pack_state& state) {
  char path[safety_path_buffer_size];
  const pack_header& main = state.main_record;
  std::size_t project_length =
      text_field_length(main.project_name, project_name_width);
  // The output path was checked not to be empty and the path to fit before
  // anything was packed, so the path is formed here.
  if (make_safety_path(path, state.args.output_path,
                       reinterpret_cast<const char*>(main.project_name),
                       project_length) != safety_path_outcome::formed)
    return -1;

  std::printf("*** safety file path = %s ***\r\n", path);
  if (copy_scratch_to(state.safety_scratch, path) < 0) return -1;
  discard_scratch(state.safety_scratch, safety_scratch_path);
  return 0;
}

}  // namespace fwpack

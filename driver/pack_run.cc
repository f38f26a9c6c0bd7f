#include "driver/pack_run.h"

#include <cstdio>
#include <cstring>

#include "driver/number.h"
#include "driver/pack_state.h"
#include "driver/safety.h"
#include "fileutil/crc32.h"
#include "fileutil/file_measure.h"
#include "fileutil/platform.h"
#include "fileutil/version_file.h"
#include "image/build_time.h"
#include "image/pack_header.h"
#include "image/payload.h"

namespace fwpack {

namespace {

// The four command-line refusals are printed in Chinese, as GBK bytes
// (code page 936), which is what the consoles of the tool's users show.

// "This version suffix information is not supported yet."
constexpr char line_protocol_refused[] =
    "\xD4\xDD\xB2\xBB\xD6\xA7\xB3\xD6\xB8\xC3\xB0\xE6\xB1\xBE\xBA\xF3\xD7\xBA"
    "\xD0\xC5\xCF\xA2\r\n";
// "The tool does not support this mode yet."
constexpr char line_mode_unsupported[] =
    "\xB9\xA4\xBE\xDF\xD4\xDD\xB2\xBB\xD6\xA7\xB3\xD6\xB8\xC3\xC4\xA3\xCA\xBD"
    "\xCA\xB9\xD3\xC3\r\n";
// "The parameter configuration does not match."
constexpr char line_argument_count[] =
    "\xB2\xCE\xCA\xFD\xC5\xE4\xD6\xC3\xB2\xBB\xC6\xA5\xC5\xE4\r\n";
// "The tool mode entered is not correct."
constexpr char line_mode_wrong[] =
    "\xB9\xA4\xBE\xDF\xCA\xB9\xD3\xC3\xC4\xA3\xCA\xBD\xCA\xE4\xC8\xEB\xB2\xBB"
    "\xD5\xFD\xC8\xB7\r\n";

constexpr char usage_text[] =
    "usage: fwpack 3 PROTOCOL INPUT CHIP_NAME VERSION_FILE PROJECT START_ADDR "
    "CHIP_ROLE CHIP_CODE FILE_TYPE OUTPUT [SAFETY_INPUT]\n"
    "       fwpack 4 PROTOCOL INPUT CHIP_NAME SW_VERSION HW_VERSION PROJECT "
    "START_ADDR CHIP_ROLE CHIP_CODE FILE_TYPE OUTPUT [SAFETY_INPUT]\n"
    "PROTOCOL is 0 to 3. Numbers are decimal, 0x hexadecimal or 0-prefixed "
    "octal.\n";

// The fewest entries of each tool mode, the program's own path counted.
constexpr int mode3_entries = 12;
constexpr int mode4_entries = 13;
constexpr int entries_to_read_mode = 10;

pack_state state;

std::uint8_t low_byte(const char* text) {
  return static_cast<std::uint8_t>(to_u32_number(text));
}

int refuse_command_line(const char* line) {
  std::fputs(line, stdout);
  std::fputs(usage_text, stderr);
  return -1;
}

// Ends a run with -1: whatever this run opened is closed, and the scratch
// files it created are removed.
int stop_run() {
  if (state.input != nullptr) {
    std::fclose(state.input);
    state.input = nullptr;
  }
  discard_scratch(state.main_scratch, main_scratch_path);
  discard_scratch(state.safety_scratch, safety_scratch_path);
  return -1;
}

// Takes the argument texts of tool mode 3 or 4 by their positions.
void take_arguments(char** argv) {
  pack_arguments& a = state.args;
  a.input_path = argv[3];
  a.chip_name = argv[4];
  int next = 5;
  if (state.tool_mode == 3) {
    a.version_file = argv[next++];
  } else {
    a.sw_version = argv[next++];
    a.hw_version = argv[next++];
  }
  a.project_name = argv[next++];
  a.start_addr = argv[next++];
  a.chip_role = argv[next++];
  a.chip_code = argv[next++];
  a.file_type = argv[next++];
  a.output_path = argv[next];
}

// Reads the tool mode and protocol version and takes the arguments. Returns
// -1 after the refusal's line.
int parse_command_line(int argc, char** argv) {
  if (argc >= entries_to_read_mode) {
    state.tool_mode = low_byte(argv[1]);
    state.protocol_version = low_byte(argv[2]);
    if (state.protocol_version > 3)
      return refuse_command_line(line_protocol_refused);
  }
  switch (state.tool_mode) {
    case 1:
    case 2:
      return refuse_command_line(line_mode_unsupported);
    case 3:
      if (argc < mode3_entries) return refuse_command_line(line_argument_count);
      break;
    case 4:
      if (argc < mode4_entries) return refuse_command_line(line_argument_count);
      break;
    default:
      return refuse_command_line(line_mode_wrong);
  }
  take_arguments(argv);
  return 0;
}

// Texts that do not fit their header field are refused before anything is
// written, as is an empty output path.
int check_arguments() {
  const pack_arguments& a = state.args;
  if (std::strlen(a.chip_name) > chip_name_width) {
    std::fputs("chip name too long error\r\n", stdout);
    return -1;
  }
  if (state.tool_mode == 4) {
    if (std::strlen(a.sw_version) > version_width) {
      std::fputs("sw version too long error\r\n", stdout);
      return -1;
    }
    if (std::strlen(a.hw_version) > version_width) {
      std::fputs("hw version too long error\r\n", stdout);
      return -1;
    }
  }
  if (std::strlen(a.project_name) > project_name_width) {
    std::fputs("project name too long error\r\n", stdout);
    return -1;
  }
  if (a.output_path[0] == '\0') {
    std::fputs("output file path is empty\r\n", stdout);
    return -1;
  }
  return 0;
}

// Measures the input image and stores the numeric arguments. Returns -1
// when the run must stop.
int measure_input() {
  pack_header& record = state.main_record;
  const pack_arguments& a = state.args;

  record.protocol_version = state.protocol_version;
  std::printf("*** protocol version = %d ***\r\n", state.protocol_version);

  state.file_size = get_file_size(a.input_path);
  if (state.file_size == 0) {
    std::printf("input file size fail. file_size = %d\r\n", state.file_size);
    return -1;
  }
  if (state.file_size == file_size_too_large) {
    std::printf("%s too large error\r\n", a.input_path);
    return -1;
  }

  record.start_addr = to_u32_number(a.start_addr);
  std::printf("*** start_addr = 0x%X ***\r\n", record.start_addr);

  record.chip_role = low_byte(a.chip_role);
  state.chip_role_word = record.chip_role;
  std::printf("*** chip role = 0x%X ***\r\n", record.chip_role);

  record.file_type = low_byte(a.file_type);
  std::printf("*** file type = 0x%X ***\r\n", record.file_type);
  return 0;
}

// Opens the input and the main scratch file, writes the payload and takes
// the CRC. Returns -1 when the run must stop.
int pack_main_payload() {
  pack_header& record = state.main_record;
  const char* input_path = state.args.input_path;

  state.input = open_file(input_path, "rb");
  // A size that could not be taken means the file could not be read either.
  if (state.input == nullptr || state.file_size < 0) {
    std::printf("%s open is fail\r\n", input_path);
    return -1;
  }
  state.main_scratch = open_scratch(state, main_scratch_path);
  if (state.main_scratch == nullptr) return -1;

  state.input_byte_sum = get_file_checksum(state.input, state.file_size);
  if (state.protocol_version == 1) {
    record.checksum_or_size = state.input_byte_sum;
    std::printf("*** file checksum = 0x%08X ***\r\n", record.checksum_or_size);
  } else {
    record.checksum_or_size = static_cast<std::uint32_t>(state.file_size);
    std::printf("*** file size = %d ***\r\n", state.file_size);
  }

  int payload = write_payload(state.input, state.main_scratch,
                              state.protocol_version, state.file_size,
                              state.input_byte_sum, state.chip_role_word,
                              main_fill);
  if (check_payload(payload, input_path, state.main_scratch,
                    main_scratch_path) < 0)
    return -1;

  if (get_file_crc32(state.input, &record.file_crc32, state.file_size) < 0) {
    std::fputs("get_file_crc32 fail\r\n", stdout);
    return -1;
  }
  std::printf("*** file crc32 = 0x%8X ***\r\n", record.file_crc32);
  return 0;
}

// Stores the names, the chip code and the versions, and stamps the record.
void describe_main_image() {
  pack_header& record = state.main_record;
  const pack_arguments& a = state.args;

  store_text_field(record.chip_name, chip_name_width, a.chip_name);
  std::printf("*** chip name = %.*s ***\r\n",
              static_cast<int>(text_field_length(record.chip_name,
                                                 chip_name_width)),
              reinterpret_cast<const char*>(record.chip_name));

  store_chip_code(record.chip_code, a.chip_code);
  std::printf("*** chip code = %c%c ***\r\n", record.chip_code[0],
              record.chip_code[1]);

  store_text_field(record.project_name, project_name_width, a.project_name);
  std::printf("*** project name = %.*s ***\r\n",
              static_cast<int>(text_field_length(record.project_name,
                                                 project_name_width)),
              reinterpret_cast<const char*>(record.project_name));

  if (state.tool_mode == 3) {
    if (!path_exists(a.version_file)) {
      std::printf("%s version file is no exist!!!\r\n", a.version_file);
    } else {
      read_soft_version(record.sw_version, a.version_file);
      read_hard_version(record.hw_version, a.version_file);
    }
  } else {
    store_text_field(record.sw_version, version_width, a.sw_version);
    std::printf("*** sw version = %.*s ***\r\n",
                static_cast<int>(text_field_length(record.sw_version,
                                                   version_width)),
                reinterpret_cast<const char*>(record.sw_version));
    store_text_field(record.hw_version, version_width, a.hw_version);
    std::printf("*** hw version = %.*s ***\r\n",
                static_cast<int>(text_field_length(record.hw_version,
                                                   version_width)),
                reinterpret_cast<const char*>(record.hw_version));
  }

  make_build_time(record.build_time);
}

// Appends the main header block and closes the input.
int finish_main_image() {
  write_header_block(state.main_record, main_fill, state.main_scratch);
  if (!stream_ok(state.main_scratch)) {
    std::printf("%s write is fail\r\n", main_scratch_path);
    return -1;
  }
  std::fclose(state.input);
  state.input = nullptr;
  return 0;
}

int write_main_image() {
  if (copy_scratch_to(state.main_scratch, state.args.output_path) < 0)
    return -1;
  discard_scratch(state.main_scratch, main_scratch_path);
  return 0;
}

}  // namespace

int run_fwpack(int argc, char** argv) {
  std::printf("APP VERSION:%s\n", fwpack_version);
  state = pack_state{};
  init_crc32_table();

  if (parse_command_line(argc, argv) < 0) return -1;
  if (check_arguments() < 0) return -1;
  accept_safety_input(state, argc, argv);
  if (!path_exists(state.args.input_path)) {
    std::printf("%s input bin file is no exist!!!\r\n", state.args.input_path);
    return -1;
  }
  if (check_safety_path(state) < 0) return -1;

  if (state.safety_input_path != nullptr && pack_safety_input(state) < 0)
    return stop_run();
  if (measure_input() < 0) return stop_run();
  if (pack_main_payload() < 0) return stop_run();
  describe_main_image();
  if (state.safety_input_path != nullptr && finish_safety_image(state) < 0)
    return stop_run();
  if (finish_main_image() < 0) return stop_run();

  if (state.safety_input_path != nullptr && write_safety_image(state) < 0)
    return stop_run();
  if (write_main_image() < 0) return stop_run();
  return 0;
}

}  // namespace fwpack

// The values of one packing run, shared by the run and its safety steps.
#pragma once

#include <cstdint>
#include <cstdio>

#include "image/pack_header.h"

namespace fwpack {

inline constexpr const char main_scratch_path[] = "./bin_temp.bin";
inline constexpr const char safety_scratch_path[] = "./safety_temp.bin";

// The argument texts by role, used in place.
struct pack_arguments {
  const char* input_path;
  const char* chip_name;
  const char* version_file;  // tool mode 3
  const char* sw_version;    // tool mode 4
  const char* hw_version;    // tool mode 4
  const char* project_name;
  const char* start_addr;
  const char* chip_role;
  const char* chip_code;
  const char* file_type;
  const char* output_path;
};

// Everything a run keeps; all zero at its start.
struct pack_state {
  pack_header main_record;
  pack_header safety_record;
  std::uint32_t chip_role_word;
  std::int32_t file_size;
  std::uint32_t input_byte_sum;
  std::uint8_t tool_mode;
  std::uint8_t protocol_version;
  pack_arguments args;

  // Null unless a safety input was given and exists.
  const char* safety_input_path;

  // Open streams; each is null until its open succeeds and again once it is
  // closed. A scratch stream that is open was created by this run.
  std::FILE* input;
  std::FILE* main_scratch;
  std::FILE* safety_scratch;
};

// Creates (or empties) a scratch file. Refuses a path that names one of
// the run's own files, which emptying would destroy. Prints the line for a
// failure and returns null.
std::FILE* open_scratch(const pack_state& state, const char* scratch_path);

// Reports what went wrong in writing a payload (write_payload's result and
// the scratch stream's state). Returns -1 after the line for it.
int check_payload(int payload, const char* input_path, std::FILE* scratch,
                  const char* scratch_path);

// Flushes the stream and tells whether every write into it has landed.
bool stream_ok(std::FILE* stream);

// Copies a finished scratch stream to path. On failure prints the line for
// it, leaves no partly written regular file at path, and returns -1.
int copy_scratch_to(std::FILE* scratch, const char* path);

// Closes a scratch stream and removes its file.
void discard_scratch(std::FILE*& stream, const char* path);

}  // namespace fwpack

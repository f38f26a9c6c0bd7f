// The safety image: a second raw firmware packed beside the main image, with
// fill 0x00, trailer word 4 and file type 4, written into the output path's
// directory as PROJECT_SAFETY.bin before the main image.
#pragma once

#include <cstddef>
#include <cstdint>

#include "driver/pack_state.h"

namespace fwpack {

// The buffer that holds a formed safety image path and its zero byte.
inline constexpr std::size_t safety_path_buffer_size = 500;

enum class safety_path_outcome { formed, empty, too_long };

// Forms the safety image path: the output path's directory part (up to its
// last separator), one separator, the project name and "_SAFETY.bin"; with
// no separator in the output path, the name alone (the working directory).
// An empty output path gives empty, a path that does not fit the buffer
// too_long; in both cases the buffer holds an empty text.
safety_path_outcome make_safety_path(char buffer[safety_path_buffer_size],
                                     const char* output_path,
                                     const char* project_name,
                                     std::size_t project_name_length);

// Takes the safety input argument when the command line has one and tests
// that it exists. Prints a line for a missing one.
void accept_safety_input(pack_state& state, int argc, char** argv);

// Refuses a safety image path that would not fit its buffer. Returns -1
// after the line for it.
int check_safety_path(const pack_state& state);

// Measures the safety input and writes its payload into the safety scratch
// file. A safety input that cannot be opened is dropped with its line.
// Returns -1 when the run must stop.
int pack_safety_input(pack_state& state);

// Completes the safety record from the main record and appends its header
// block. Returns -1 when the run must stop.
int finish_safety_image(pack_state& state);

// Writes the safety image from its scratch file and removes the scratch
// file. Returns -1 when the run must stop.
int write_safety_image(pack_state& state);

}  // namespace fwpack

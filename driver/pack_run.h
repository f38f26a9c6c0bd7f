// One packing run: from the command line to the written images.
#pragma once

namespace fwpack {

inline constexpr const char fwpack_version[] = "5.0.0";

// Runs the packer on the command line (argv[0] is the program) and returns
// the exit status, 0 or -1. Prints its progress and failure lines on
// standard output; a run that stops with -1 leaves none of its scratch
// files and no partly written image behind.
int run_fwpack(int argc, char** argv);

}  // namespace fwpack

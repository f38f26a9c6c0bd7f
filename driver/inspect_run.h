// fwpack-inspect: reads images back, checks them and unpacks the firmware.
#pragma once

namespace fwpack {

// Exit statuses of fwpack-inspect.
inline constexpr int inspect_passed = 0;
inline constexpr int inspect_failed = 1;    // a check failed
inline constexpr int inspect_unusable = 2;  // usage error, unreadable input

// fwpack-inspect [--json] [--extract FILE] IMAGE...
int run_inspect(int argc, char** argv);

}  // namespace fwpack

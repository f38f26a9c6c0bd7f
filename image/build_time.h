// The build time stamp of the header: twelve ASCII digits YYMMDDhhmmss, the
// date and time of the packing run in UTC+8 (the date rolls over with the
// hour). Years 2000 to 2099 give two digits each; the fields are formatted
// as 8-bit values and the first 12 characters kept, as the format has always
// been.
#pragma once

#include <cstdint>
#include <ctime>

#include "image/pack_header.h"

namespace fwpack {

// Offset of the stamp's time zone from UTC, in seconds.
inline constexpr std::int64_t build_time_zone_offset = 8 * 3600;

// Writes the stamp for the given count of seconds since 1970-01-01 UTC.
void format_build_time(std::uint8_t field[build_time_width],
                       std::int64_t utc_seconds);

// Writes the stamp for a reading of the clock; twelve '0' characters when
// the clock could not be read (a reading of -1).
void stamp_build_time(std::uint8_t field[build_time_width], std::time_t now);

// Writes the stamp for the current time.
void make_build_time(std::uint8_t field[build_time_width]);

}  // namespace fwpack

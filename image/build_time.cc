#include "image/build_time.h"

#include <cstdio>
#include <cstring>
#include <ctime>

namespace fwpack {

namespace {

// Calendar fields of a UTC time, as gmtime() gives them.
struct calendar_time {
  std::int64_t year;  // full year, 1970 = 1970
  int month;          // 1..12
  int day;            // 1..31
  int hour, minute, second;
};

// Days since 1970-01-01 to a proleptic Gregorian date (H. Hinnant's
// days-to-civil algorithm); exact for every 64-bit second count used here.
calendar_time break_down(std::int64_t seconds) {
  std::int64_t days = seconds / 86400;
  std::int64_t rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  calendar_time t{};
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest / 60 % 60);
  t.second = static_cast<int>(rest % 60);

  std::int64_t z = days + 719468;
  std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  std::int64_t doe = z - era * 146097;
  std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  std::int64_t mp = (5 * doy + 2) / 153;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = yoe + era * 400 + (t.month <= 2 ? 1 : 0);
  return t;
}

}  // namespace

void format_build_time(std::uint8_t field[build_time_width],
                       std::int64_t utc_seconds) {
  calendar_time t = break_down(utc_seconds + build_time_zone_offset);
  // Each value is taken as an unsigned byte: the year counts from 2000.
  auto byte = [](std::int64_t v) { return static_cast<unsigned>(v & 0xFF); };
  char text[20];
  std::snprintf(text, sizeof text, "%02u%02u%02u%02u%02u%02u",
                byte(t.year - 1900 - 100), byte(t.month), byte(t.day),
                byte(t.hour), byte(t.minute), byte(t.second));
  std::memcpy(field, text, build_time_width);
}

void stamp_build_time(std::uint8_t field[build_time_width], std::time_t now) {
  if (now == static_cast<std::time_t>(-1)) {
    std::memset(field, '0', build_time_width);
    return;
  }
  format_build_time(field, static_cast<std::int64_t>(now));
}

void make_build_time(std::uint8_t field[build_time_width]) {
  stamp_build_time(field, std::time(nullptr));
}

}  // namespace fwpack

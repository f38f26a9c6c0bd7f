#include "image/build_time.h"

#include <gtest/gtest.h>

#include <string>

namespace fwpack {
namespace {

// Seconds since 1970-01-01 UTC of a UTC date and time.
std::int64_t utc(int y, int mo, int d, int h, int mi, int s) {
  // Days from civil (proleptic Gregorian), computed independently of the
  // code under test by counting days year by year.
  auto leap = [](int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  };
  static const int month_days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  std::int64_t days = 0;
  for (int year = 1970; year < y; ++year) days += leap(year) ? 366 : 365;
  for (int m = 1; m < mo; ++m) days += month_days[m - 1] + (m == 2 && leap(y));
  days += d - 1;
  return days * 86400 + h * 3600 + mi * 60 + s;
}

TEST(FormatBuildTime, FullDateAndTimeInUtcPlusEight) {
  struct {
    std::int64_t at;
    const char* stamp;
    const char* reason;
  } cases[] = {
      {utc(2024, 3, 1, 9, 5, 7), "240301170507", "same day"},
      {utc(2024, 3, 1, 20, 5, 7), "240302040507", "the date rolls over"},
      {utc(2024, 2, 28, 16, 0, 0), "240229000000", "into a leap day"},
      {utc(2023, 12, 31, 23, 59, 59), "240101075959", "into a new year"},
      {utc(2099, 12, 31, 15, 59, 59), "991231235959", "the last two-digit year"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    std::uint8_t field[build_time_width + 1] = {};
    field[build_time_width] = 0xEE;
    format_build_time(field, c.at);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(field), build_time_width),
              c.stamp);
    EXPECT_EQ(field[build_time_width], 0xEE) << "written past the field";
  }
}

TEST(StampBuildTime, AClockThatCannotBeReadGivesZeros) {
  std::uint8_t field[build_time_width] = {};
  stamp_build_time(field, static_cast<std::time_t>(-1));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(field), build_time_width),
            "000000000000");
  stamp_build_time(field, static_cast<std::time_t>(utc(2024, 3, 1, 9, 5, 7)));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(field), build_time_width),
            "240301170507");
}

TEST(MakeBuildTime, WritesTwelveDigits) {
  std::uint8_t field[build_time_width] = {};
  make_build_time(field);
  for (std::uint8_t c : field) EXPECT_TRUE(c >= '0' && c <= '9') << int(c);
}

}  // namespace
}  // namespace fwpack

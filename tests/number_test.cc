#include "driver/number.h"

#include <gtest/gtest.h>

namespace fwpack {
namespace {

TEST(ToU32Number, FollowsStrtoulBaseZeroIn32Bits) {
  struct {
    const char* text;
    std::uint32_t value;
    const char* reason;
  } cases[] = {
      {"300", 300, "decimal"},
      {"0x08004000", 0x08004000u, "hexadecimal"},
      {"0X1A5", 0x1A5u, "upper-case prefix"},
      {"010", 8, "leading 0 is octal"},
      {"08", 0, "octal stops at 8"},
      {"0", 0, "zero"},
      {"0x", 0, "a prefix without digits reads the 0"},
      {"", 0, "no digits"},
      {"abc", 0, "no digits"},
      {"12abc", 12, "stops at the first non-digit"},
      {"  \t+42", 42, "white space and a plus sign"},
      {"-1", 0xFFFFFFFFu, "minus negates modulo 2^32"},
      {"-0x10", 0xFFFFFFF0u, "minus with hexadecimal"},
      {"4294967295", 0xFFFFFFFFu, "the largest value"},
      {"4294967296", 0xFFFFFFFFu, "beyond 32 bits saturates"},
      {"0x123456789", 0xFFFFFFFFu, "beyond 32 bits in hexadecimal"},
      {"-4294967296", 0xFFFFFFFFu, "overflow wins over the sign"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    EXPECT_EQ(to_u32_number(c.text), c.value) << c.text;
  }
}

}  // namespace
}  // namespace fwpack

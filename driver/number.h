// Numbers on the command line.
#pragma once

#include <cstdint>

namespace fwpack {

// Converts text by the rule of strtoul() with base 0, to an unsigned 32-bit
// value on every platform: leading white space and one sign are skipped, "0x"
// or "0X" reads hexadecimal, a leading "0" octal, anything else decimal, and
// conversion stops at the first character that is not a digit of the base.
// No digits give 0; a minus sign negates modulo 2^32; a value that does not
// fit in 32 bits gives 0xFFFFFFFF, with or without a sign.
std::uint32_t to_u32_number(const char* text);

}  // namespace fwpack

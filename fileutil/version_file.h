// The version file reader of tool mode 3.
//
// A version file is any text file that names the software and hardware
// versions after a keyword, between double quotes, as in
//
//   SoftVersion = "V2.0.1"
//   HARDWARE_VERSION "0B3"
//
// Each reader opens the file on its own, reads it in pieces of at most 255
// bytes (a longer line arrives in several pieces, each searched alone, and a
// zero byte ends what a search sees of a piece), and stops at the first piece
// that holds one of its four keywords; the first keyword of its list that
// occurs there is taken, wherever it stands. The value runs from the byte
// after the first quote behind that keyword (one leading '0' dropped) to the
// next quote; it holds at most 20 bytes and is stored without a terminator.
// When the search fails the field gets "nuknow" and its zero byte.
//
// read_soft_version() reads the bytes as stored; read_hard_version() reads in
// text mode, where CR LF reads as LF and the first Ctrl-Z byte ends the file.
// Each prints its own outcome line on standard output.
#pragma once

#include <cstdint>

namespace fwpack {

inline constexpr int version_line_buffer_size = 256;
inline constexpr int version_value_max = 20;

// Fill field (20 bytes, zero on entry) from the version file at path.
// Return 0 when a value was found and stored, -1 otherwise. A null path or a
// file that cannot be opened (a directory, for example) prints nothing and
// leaves the field untouched.
std::int32_t read_soft_version(std::uint8_t* field, const char* path);
std::int32_t read_hard_version(std::uint8_t* field, const char* path);

}  // namespace fwpack

// Measures of files and open streams, and the chunked copy between streams.
//
// All of them walk a stream in chunks of 1024 bytes through a fixed buffer of
// their own. A length counts in whole chunks and is a lower bound, not a cap:
// the walk stops after the first chunk that brings the total to the length or
// past it, or at the end of the stream. A length equal to the bytes left in a
// stream therefore covers exactly those bytes, and a multiple of 1024 on a
// longer stream covers exactly that many.
//
// Streams are the caller's: nothing here closes one. Nothing here prints.
#pragma once

#include <cstdint>
#include <cstdio>

namespace fwpack {

// The size of one chunk, and of every block of an image.
inline constexpr int chunk_size = 1024;

// The length that stands for "the whole rest of the stream".
inline constexpr std::int32_t whole_stream = 0x40000000;

// What get_file_size() gives for a file of 2 GiB or more, whose size does not
// fit the signed 32-bit sizes of an image.
inline constexpr std::int32_t file_size_too_large = -2;

// The size of the file at path in bytes: 0 for an empty file, -1 when path is
// null or the file cannot be opened for reading (a directory, for example),
// file_size_too_large for a file of 2 GiB or more. The file is closed again
// before the function returns.
std::int32_t get_file_size(const char* path);

// The byte sum, modulo 2^32, of the bytes read from where the stream stands
// on, by the chunk walk. 0 when length <= 0; then the stream does not move.
// A read error ends the walk like the end of the stream.
std::uint32_t get_file_checksum(std::FILE* stream, std::int32_t length);

// Puts both streams at their start, then copies the source to the destination
// chunk by chunk, each chunk written as it was read. Returns the number of
// bytes read from the source (at most INT32_MAX), or -1 when either stream is
// null, in which case neither is touched. whole_stream copies everything up
// to the end of the source, however long it is.
//
// A failed write is not reported here: the destination's error indicator
// (ferror, or the result of a later fflush) tells the caller.
std::int32_t copy_file_data(std::FILE* source, std::FILE* destination,
                            std::int32_t length);

}  // namespace fwpack

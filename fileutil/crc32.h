// CRC-32 of whole files, as stored in every image header.
//
// The parameters are those of CRC-32/JAMCRC: width 32, polynomial 0x04C11DB7
// processed reflected (0xEDB88320), register preset to 0xFFFFFFFF, input and
// output reflected, and no final inversion. The register is stored exactly as
// it ends, so the value is the bitwise complement of the common CRC-32 of the
// same bytes: "123456789" gives 0x340BC6D9 (the common CRC-32 is 0xCBF43926),
// "abc" gives 0xCADBBE3D. Device bootloaders compare against this form, which
// is why no final inversion is applied.
#pragma once

#include <cstdint>
#include <cstdio>

namespace fwpack {

// p(x) reflected, with x^32 implied.
inline constexpr std::uint32_t crc32_polynomial_reflected = 0xEDB88320u;

// The byte-wise lookup table, all zero until init_crc32_table() fills it.
extern std::uint32_t crc32_table[256];

// Fills crc32_table: entry i is the register after shifting the byte i
// through eight rounds of the reflected polynomial. Entry 1 is 0x77073096,
// entry 128 the polynomial itself, entry 255 is 0x2D02EF8D.
void init_crc32_table();

// Puts the stream at its start, runs the register over the stream by the
// chunk walk for length (see file_measure.h) and stores the register in
// *crc. Returns 0, or -1 for a null stream, leaving *crc unchanged. A length
// of 0 or less, or an empty stream, stores 0xFFFFFFFF.
std::int32_t get_file_crc32(std::FILE* stream, std::uint32_t* crc,
                            std::int32_t length);

// One table step per byte, for callers that hold the bytes in memory.
std::uint32_t crc32_update(std::uint32_t reg, const unsigned char* bytes,
                           std::size_t n);

}  // namespace fwpack

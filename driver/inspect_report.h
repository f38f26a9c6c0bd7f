// How fwpack-inspect shows an inspected image: a readable report, or JSON
// with stable keys for scripts. Both show the same values: text fields up
// to their first zero byte (the whole field when it holds none), with
// bytes outside printable ASCII written as \xNN and '"' and '\' escaped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "image/image_check.h"

namespace fwpack {

// The shown form of a text field; out needs 4 * width + 1 bytes.
void show_text_field(const std::uint8_t* field, std::size_t width, char* out);

// The stamp as a date and time ("2024-03-01 17:05:07 UTC+8"), or an empty
// text when its twelve characters are not digits of a valid date.
void show_build_time(const std::uint8_t stamp[build_time_width], char out[48]);

void print_text_report(std::FILE* out, const char* path,
                       const image_inspection& r);

// One JSON object for the image, without a line end.
void print_json_report(std::FILE* out, const char* path,
                       const image_inspection& r);

// The JSON object for an image that could not be read.
void print_json_unreadable(std::FILE* out, const char* path);

}  // namespace fwpack

// What the end-to-end tests expect of a standard packing run: its command
// line, its console lines and its header record, spelled out byte by byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace fwpack_test {

// The four refusals of the command line, as GBK bytes.
inline const std::string gbk_protocol_refused =  // version suffix not supported
    "\xD4\xDD\xB2\xBB\xD6\xA7\xB3\xD6\xB8\xC3\xB0\xE6\xB1\xBE\xBA\xF3\xD7\xBA"
    "\xD0\xC5\xCF\xA2\r\n";
inline const std::string gbk_mode_unsupported =  // mode not supported yet
    "\xB9\xA4\xBE\xDF\xD4\xDD\xB2\xBB\xD6\xA7\xB3\xD6\xB8\xC3\xC4\xA3\xCA\xBD"
    "\xCA\xB9\xD3\xC3\r\n";
inline const std::string gbk_argument_count =  // parameters do not match
    "\xB2\xCE\xCA\xFD\xC5\xE4\xD6\xC3\xB2\xBB\xC6\xA5\xC5\xE4\r\n";
inline const std::string gbk_mode_wrong =  // tool mode not correct
    "\xB9\xA4\xBE\xDF\xCA\xB9\xD3\xC3\xC4\xA3\xCA\xBD\xCA\xE4\xC8\xEB\xB2\xBB"
    "\xD5\xFD\xC8\xB7\r\n";

inline const std::string version_line = "APP VERSION:5.0.0\n";

// The descriptive arguments of a standard run.
struct run_values {
  std::string chip_name = "CHIP";
  std::string sw_version = "SW1";
  std::string hw_version = "HW2";
  std::string project_name = "BOARD";
  std::string start_addr = "0x08004000";  // stored 0x08004000
  std::string chip_role = "0x1A5";        // stored 0xA5
  std::string chip_code = "AB";
  std::string file_type = "0x104";        // stored 4
};

// The command line of tool mode 4 (argv[0] left out).
std::vector<std::string> mode4_args(const std::string& protocol,
                                    const std::string& input,
                                    const std::string& output,
                                    const run_values& v = {});

// The command line of tool mode 3.
std::vector<std::string> mode3_args(const std::string& protocol,
                                    const std::string& input,
                                    const std::string& version_file,
                                    const std::string& output,
                                    const run_values& v = {});

// The lines from the protocol version to the file type (run_values' numbers).
std::string measure_lines(int protocol);

// The lines from the size or checksum line to the project name line.
std::string packing_lines(int protocol, const std::string& data,
                          const run_values& v = {});

// The version lines of tool mode 4.
std::string mode4_version_lines(const run_values& v = {});

// Everything a successful standard mode 4 run prints without a safety input.
std::string mode4_output(int protocol, const std::string& data,
                         const run_values& v = {});

std::string le32(std::uint32_t value);

// A text field of the given width.
std::string text_field(const std::string& text, std::size_t width);

// The 129-byte main record a standard run writes, with its stamp.
std::string main_record(int protocol, const std::string& data,
                        const std::string& stamp, const run_values& v = {});

// The payload the framing gives for data (versions 1 and 2).
std::string framed(const std::string& data, std::uint32_t word0, char fill);

// The image's stamp, from its last header block.
std::string stamp_of(const std::string& image);

}  // namespace fwpack_test

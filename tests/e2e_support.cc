#include "tests/e2e_support.h"

namespace fwpack_test {

std::vector<std::string> mode4_args(const std::string& protocol,
                                    const std::string& input,
                                    const std::string& output,
                                    const run_values& v) {
  return {"4",          protocol,    input,       v.chip_name,
          v.sw_version, v.hw_version, v.project_name, v.start_addr,
          v.chip_role,  v.chip_code,  v.file_type,    output};
}

std::vector<std::string> mode3_args(const std::string& protocol,
                                    const std::string& input,
                                    const std::string& version_file,
                                    const std::string& output,
                                    const run_values& v) {
  return {"3",          protocol,    input,       v.chip_name,
          version_file, v.project_name, v.start_addr, v.chip_role,
          v.chip_code,  v.file_type,    output};
}

std::string measure_lines(int protocol) {
  return "*** protocol version = " + std::to_string(protocol) + " ***\r\n" +
         "*** start_addr = 0x8004000 ***\r\n"
         "*** chip role = 0xA5 ***\r\n"
         "*** file type = 0x4 ***\r\n";
}

std::string packing_lines(int protocol, const std::string& data,
                          const run_values& v) {
  std::string lines;
  if (protocol == 1)
    lines += "*** file checksum = 0x" + hex_zero8(byte_sum(data)) + " ***\r\n";
  else
    lines += "*** file size = " + std::to_string(data.size()) + " ***\r\n";
  lines += "*** file crc32 = 0x" + hex_blank8(jamcrc(data)) + " ***\r\n";
  lines += "*** chip name = " + v.chip_name + " ***\r\n";
  lines += "*** chip code = " + v.chip_code.substr(0, 2) + " ***\r\n";
  lines += "*** project name = " + v.project_name + " ***\r\n";
  return lines;
}

std::string mode4_version_lines(const run_values& v) {
  return "*** sw version = " + v.sw_version + " ***\r\n" +
         "*** hw version = " + v.hw_version + " ***\r\n";
}

std::string mode4_output(int protocol, const std::string& data,
                         const run_values& v) {
  return version_line + measure_lines(protocol) + packing_lines(protocol, data, v) +
         mode4_version_lines(v);
}

std::string le32(std::uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(value >> (8 * i));
  return bytes;
}

std::string text_field(const std::string& text, std::size_t width) {
  return text + std::string(width - text.size(), '\0');
}

std::string main_record(int protocol, const std::string& data,
                        const std::string& stamp, const run_values& v) {
  std::uint32_t size_or_sum =
      protocol == 1 ? byte_sum(data) : static_cast<std::uint32_t>(data.size());
  return std::string(1, static_cast<char>(protocol)) + le32(size_or_sum) +
         le32(jamcrc(data)) + text_field(v.chip_name, 30) +
         text_field(v.sw_version, 20) + text_field(v.hw_version, 20) +
         text_field(v.project_name, 30) + stamp + le32(0x08004000u) + "\xA5" +
         v.chip_code.substr(0, 2) + "\x04";
}

std::string framed(const std::string& data, std::uint32_t word0, char fill) {
  std::size_t tail = data.size() % 1024;
  std::string payload = data + std::string(1024 - tail, fill);
  if (tail > 1012) payload += std::string(1024, fill);
  payload.resize(payload.size() - 12);
  return payload + le32(word0) + le32(static_cast<std::uint32_t>(data.size())) +
         le32(byte_sum(data));
}

std::string stamp_of(const std::string& image) {
  return image.substr(image.size() - 1024 + 109, 12);
}

}  // namespace fwpack_test

// fwpack-inspect end to end: round trips through the packer, damaged
// images, the JSON document and the command line.
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e_support.h"
#include "tests/test_support.h"

namespace fwpack_test {
namespace {

using json = nlohmann::json;

run_result inspect(const fs::path& dir, const std::vector<std::string>& args) {
  return run_tool("fwpack-inspect", dir, args);
}

// The checks of one image's JSON document, by name.
std::map<std::string, bool> checks_of(const json& doc) {
  std::map<std::string, bool> checks;
  for (const auto& c : doc.at("checks"))
    checks[c.at("name").get<std::string>()] = c.at("passed").get<bool>();
  return checks;
}

// Packs main.bin and, with a safety input, BOARD_SAFETY.bin in dir.
void pack(const fs::path& dir, int mode, int protocol, const std::string& data,
          const std::string& safety) {
  write_file(dir / "in.bin", data);
  write_file(dir / "safe.bin", safety);
  write_file(dir / "ver.txt", "SoftVersion \"S1\"\nHardVersion \"H1\"\n");
  std::vector<std::string> args =
      mode == 3 ? mode3_args(std::to_string(protocol), "in.bin", "ver.txt", "main.bin")
                : mode4_args(std::to_string(protocol), "in.bin", "main.bin");
  args.push_back("safe.bin");
  run_result r = run_fwpack(dir, args);
  ASSERT_EQ(r.status, 0) << r.output;
}

TEST(InspectRun, EveryPackedImagePassesAndExtractsItsInput) {
  for (int mode : {3, 4})
    for (int protocol : {0, 1, 2, 3})
      for (std::size_t size : {std::size_t{1}, std::size_t{1013}, std::size_t{5000}}) {
        SCOPED_TRACE("mode " + std::to_string(mode) + " version " +
                     std::to_string(protocol) + " size " + std::to_string(size));
        scratch_dir dir;
        std::string data = sample_bytes(size, 21);
        std::string safety = sample_bytes(size / 2, 22);
        pack(dir.path(), mode, protocol, data, safety);
        struct {
          const char* image;
          const std::string& firmware;
          const char* kind;
        } images[] = {{"main.bin", data, "main"},
                      {"BOARD_SAFETY.bin", safety, "safety"}};
        for (const auto& image : images) {
          SCOPED_TRACE(image.image);
          scratch_dir out;
          run_result r = inspect(dir.path(), {"--json", "--extract",
                                              (out / "fw.bin").string(), image.image});
          EXPECT_EQ(r.status, 0) << r.output;
          json doc = json::parse(r.output);
          EXPECT_TRUE(doc.at("passed").get<bool>());
          EXPECT_EQ(doc.at("header").at("kind"), image.kind);
          EXPECT_EQ(doc.at("header").at("protocol_version"), protocol);
          EXPECT_EQ(doc.at("payload").at("layout"),
                    protocol == 1 || protocol == 2 ? "framed" : "whole");
          EXPECT_EQ(read_file(out / "fw.bin"), image.firmware);
        }
      }
}

TEST(InspectRun, DamageFailsTheRightCheck) {
  struct {
    const char* reason;
    int protocol;
    bool safety;
    // Mutates the image; offsets from the end count back from the image's end.
    void (*damage)(std::string&);
    const char* failed_check;
  } cases[] = {
      {"a flipped payload byte", 0, false, [](std::string& b) { b[100] ^= 0x01; },
       "crc32"},
      {"a flipped payload byte, framed", 1, false,
       [](std::string& b) { b[100] ^= 0x01; }, "trailer_byte_sum"},
      {"a flipped CRC byte in the header", 3, false,
       [](std::string& b) { b[b.size() - 1024 + 5] ^= 0x80; }, "crc32"},
      {"a flipped size byte in the header", 0, false,
       [](std::string& b) { b[b.size() - 1024 + 1] ^= 0x01; }, "layout"},
      {"a flipped sum byte in the header", 1, false,
       [](std::string& b) { b[b.size() - 1024 + 1] ^= 0x01; }, "checksum_or_size"},
      {"a truncated image", 2, false, [](std::string& b) { b.resize(b.size() - 1); },
       "fill"},
      {"a truncated framed image keeps a header", 2, false,
       [](std::string& b) { b.erase(0, 512); }, "layout"},
      {"shorter than a header block", 0, false,
       [](std::string& b) { b.resize(1000); }, "header_block"},
      {"a wrong fill byte", 0, false,
       [](std::string& b) { b[b.size() - 10] = 0x12; }, "fill"},
      {"a wrong trailer word", 2, false,
       [](std::string& b) { b[b.size() - 1024 - 12] ^= 0x01; }, "trailer_word0"},
      {"a wrong safety trailer word", 1, true,
       [](std::string& b) { b[b.size() - 1024 - 12] = 5; }, "trailer_word0"},
      {"padding that is not fill", 1, false,
       [](std::string& b) { b[b.size() - 1024 - 20] = 0x00; }, "padding"},
      {"a set field in a safety record", 3, true,
       [](std::string& b) { b[b.size() - 1024 + 9] = 'X'; }, "safety_fields"},
      {"a protocol version above 3", 0, false,
       [](std::string& b) { b[b.size() - 1024] = 7; }, "protocol_version"},
      {"a framing that points past the end", 2, false,
       [](std::string& b) { b[b.size() - 1024 - 8 + 3] = 0x7F; }, "layout"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    scratch_dir dir;
    pack(dir.path(), 4, c.protocol, sample_bytes(3000, 31), sample_bytes(2000, 32));
    const char* name = c.safety ? "BOARD_SAFETY.bin" : "main.bin";
    std::string image = read_file(dir / name);
    c.damage(image);
    write_file(dir / "damaged.bin", image);
    run_result r = inspect(dir.path(), {"--json", "damaged.bin"});
    EXPECT_EQ(r.status, 1) << r.output;
    json doc = json::parse(r.output);
    EXPECT_FALSE(doc.at("passed").get<bool>());
    auto checks = checks_of(doc);
    ASSERT_EQ(checks.count(c.failed_check), 1u) << r.output;
    EXPECT_FALSE(checks[c.failed_check]) << r.output;
    // The text report agrees.
    run_result text = inspect(dir.path(), {"damaged.bin"});
    EXPECT_EQ(text.status, 1);
    EXPECT_NE(text.output.find("result            FAIL"), std::string::npos);
  }
}

// The value a text report line shows for a key, after the key's column.
std::string text_value(const std::string& report, const std::string& key) {
  std::istringstream lines(report);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("  " + key + " ", 0) == 0) {
      std::size_t at = line.find_first_not_of(' ', key.size() + 2);
      return line.substr(at);
    }
  }
  return "<missing " + key + ">";
}

TEST(InspectRun, JsonCarriesTheValuesOfTheTextReport) {
  scratch_dir dir;
  run_values v;
  v.chip_name = "CHIP\x01\"q\"\\";
  v.project_name = std::string(30, 'P');
  write_file(dir / "in.bin", sample_bytes(1234, 41));
  std::vector<std::string> args = mode4_args("2", "in.bin", "main.bin", v);
  ASSERT_EQ(run_fwpack(dir.path(), args).status, 0);

  run_result text = inspect(dir.path(), {"main.bin"});
  run_result js = inspect(dir.path(), {"--json", "main.bin"});
  ASSERT_EQ(text.status, 0);
  ASSERT_EQ(js.status, 0);
  json doc = json::parse(js.output);
  const json& h = doc.at("header");

  EXPECT_EQ(doc.at("size"), 1234 / 1024 * 1024 + 1024 + 1024);
  EXPECT_EQ(text_value(text.output, "chip_name"),
            "\"" + h.at("chip_name").get<std::string>() + "\"");
  EXPECT_EQ(h.at("chip_name"), "CHIP\\x01\\\"q\\\"\\\\");
  EXPECT_EQ(h.at("project_name"), std::string(30, 'P'));
  EXPECT_EQ(text_value(text.output, "project_name"), "\"" + std::string(30, 'P') + "\"");
  EXPECT_EQ(text_value(text.output, "file_crc32"),
            "0x" + hex_zero8(h.at("file_crc32").get<std::uint32_t>()));
  EXPECT_EQ(h.at("file_crc32"), jamcrc(sample_bytes(1234, 41)));
  EXPECT_EQ(h.at("checksum_or_size"), 1234);
  EXPECT_EQ(h.at("start_addr"), 0x08004000u);
  EXPECT_EQ(h.at("chip_role"), 0xA5);
  EXPECT_EQ(h.at("file_type"), 4);
  EXPECT_EQ(h.at("chip_code"), "AB");
  std::string stamp = h.at("build_time").get<std::string>();
  EXPECT_EQ(text_value(text.output, "build_time"),
            "\"" + stamp + "\" " + h.at("build_time_utc8").get<std::string>());
  EXPECT_EQ(h.at("build_time_utc8").get<std::string>(),
            "20" + stamp.substr(0, 2) + "-" + stamp.substr(2, 2) + "-" +
                stamp.substr(4, 2) + " " + stamp.substr(6, 2) + ":" +
                stamp.substr(8, 2) + ":" + stamp.substr(10, 2) + " UTC+8");
  const json& trailer = doc.at("payload").at("trailer");
  EXPECT_EQ(trailer.at("word0"), 0xA5);
  EXPECT_EQ(trailer.at("file_size"), 1234);
  for (const auto& [name, passed] : checks_of(doc)) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(passed);
    EXPECT_EQ(text_value(text.output, "check " + name).substr(0, 2), "ok");
  }
}

TEST(InspectRun, SeveralImagesMakeAnArray) {
  scratch_dir dir;
  pack(dir.path(), 4, 1, sample_bytes(100), sample_bytes(50));
  write_file(dir / "short.bin", "tiny");
  run_result r = inspect(dir.path(), {"--json", "main.bin", "BOARD_SAFETY.bin", "short.bin"});
  EXPECT_EQ(r.status, 1);
  json doc = json::parse(r.output);
  ASSERT_TRUE(doc.is_array());
  ASSERT_EQ(doc.size(), 3u);
  EXPECT_TRUE(doc[0].at("passed").get<bool>());
  EXPECT_EQ(doc[1].at("header").at("kind"), "safety");
  EXPECT_TRUE(doc[2].at("header").is_null());
}

TEST(InspectRun, CommandLineAndUnreadableImages) {
  struct {
    std::vector<std::string> args;
    int status;
    bool usage_on_stderr;
    const char* reason;
  } cases[] = {
      {{}, 2, true, "no image"},
      {{"--json"}, 2, true, "options but no image"},
      {{"--frobnicate", "main.bin"}, 2, true, "an unknown option"},
      {{"--extract"}, 2, true, "--extract without a file"},
      {{"--extract", "x.bin", "main.bin", "main.bin"}, 2, true,
       "--extract with two images"},
      {{"missing.bin"}, 2, false, "an image that does not exist"},
      {{"sub"}, 2, false, "a directory"},
      {{"main.bin", "missing.bin"}, 2, false, "unreadable beats passed"},
      {{"--extract", "nodir/x.bin", "main.bin"}, 2, false,
       "an extract file that cannot be written"},
      {{"--", "main.bin"}, 0, false, "-- ends the options"},
  };
  scratch_dir dir;
  pack(dir.path(), 4, 0, sample_bytes(100), sample_bytes(50));
  fs::create_directory(dir / "sub");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    run_result r = inspect(dir.path(), c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.errors.find("usage: fwpack-inspect") != std::string::npos,
              c.usage_on_stderr)
        << r.errors;
  }
  run_result help = inspect(dir.path(), {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.output.rfind("usage: fwpack-inspect", 0), 0u);
  EXPECT_FALSE(fs::exists(dir / "x.bin"));
}

}  // namespace
}  // namespace fwpack_test

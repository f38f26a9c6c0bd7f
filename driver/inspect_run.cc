#include "driver/inspect_run.h"

#include <cstdio>
#include <cstring>

#include "driver/inspect_report.h"
#include "fileutil/crc32.h"
#include "fileutil/platform.h"
#include "image/image_check.h"

namespace fwpack {

namespace {

constexpr char inspect_usage[] =
    "usage: fwpack-inspect [--json] [--extract FILE] IMAGE...\n"
    "  Shows the header of each image, its payload layout and the checks that\n"
    "  tell whether it is sound.\n"
    "  --json          one JSON document per image (an array for several)\n"
    "  --extract FILE  write the raw firmware of the image (one image) to FILE\n"
    "  -h, --help      this text\n"
    "Exit status: 0 every check passed, 1 a check failed, 2 usage error or an\n"
    "image that cannot be read.\n";

struct inspect_options {
  bool json;
  const char* extract_path;
  int first_image;
  int image_count;
};

int usage_error(const char* message) {
  if (message != nullptr) std::fprintf(stderr, "fwpack-inspect: %s\n", message);
  std::fputs(inspect_usage, stderr);
  return inspect_unusable;
}

// Returns -1 for help, inspect_unusable for a usage error, 0 otherwise.
int parse_options(int argc, char** argv, inspect_options& o) {
  o = inspect_options{};
  int i = 1;
  for (; i < argc; ++i) {
    const char* a = argv[i];
    if (std::strcmp(a, "--") == 0) {
      ++i;
      break;
    }
    if (a[0] != '-' || a[1] == '\0') break;
    if (std::strcmp(a, "-h") == 0 || std::strcmp(a, "--help") == 0) return -1;
    if (std::strcmp(a, "--json") == 0) {
      o.json = true;
    } else if (std::strcmp(a, "--extract") == 0) {
      if (i + 1 >= argc) return usage_error("--extract needs a file name");
      o.extract_path = argv[++i];
    } else if (std::strncmp(a, "--extract=", 10) == 0) {
      o.extract_path = a + 10;
    } else {
      std::fprintf(stderr, "fwpack-inspect: unknown option %s\n", a);
      return usage_error(nullptr);
    }
  }
  o.first_image = i;
  o.image_count = argc - i;
  if (o.image_count == 0) return usage_error("no image given");
  if (o.extract_path != nullptr && o.image_count != 1)
    return usage_error("--extract takes exactly one image");
  if (o.extract_path != nullptr && o.extract_path[0] == '\0')
    return usage_error("--extract needs a file name");
  return 0;
}

int extract_to(std::FILE* image, const image_inspection& r, const char* path) {
  if (!r.data_known) {
    std::fprintf(stderr,
                 "fwpack-inspect: the firmware's place in the image is not "
                 "known; nothing extracted\n");
    return inspect_failed;
  }
  std::FILE* out = open_file(path, "wb");
  if (out == nullptr) {
    std::fprintf(stderr, "fwpack-inspect: %s cannot be written\n", path);
    return inspect_unusable;
  }
  int copied = extract_firmware(image, r, out);
  if (std::fclose(out) != 0) copied = -1;
  if (copied < 0) {
    std::fprintf(stderr, "fwpack-inspect: writing %s failed\n", path);
    remove_regular_file(path);
    return inspect_unusable;
  }
  return inspect_passed;
}

int worse(int a, int b) { return a > b ? a : b; }

}  // namespace

int run_inspect(int argc, char** argv) {
  inspect_options o;
  int parsed = parse_options(argc, argv, o);
  if (parsed < 0) {
    std::fputs(inspect_usage, stdout);
    return inspect_passed;
  }
  if (parsed != 0) return parsed;

  init_crc32_table();
  bool array = o.json && o.image_count > 1;
  if (array) std::fputs("[", stdout);
  int status = inspect_passed;
  static image_inspection r;  // large: kept off the stack
  for (int n = 0; n < o.image_count; ++n) {
    const char* path = argv[o.first_image + n];
    if (o.json && n > 0) std::fputs(",\n", stdout);
    if (!o.json && n > 0) std::fputs("\n", stdout);

    std::FILE* image = open_file(path, "rb");
    if (image == nullptr || inspect_image(image, r) < 0) {
      if (image != nullptr) std::fclose(image);
      std::fprintf(stderr, "fwpack-inspect: %s cannot be read\n", path);
      if (o.json) print_json_unreadable(stdout, path);
      status = inspect_unusable;
      continue;
    }
    if (o.json)
      print_json_report(stdout, path, r);
    else
      print_text_report(stdout, path, r);
    if (!inspection_passed(r)) status = worse(status, inspect_failed);
    if (o.extract_path != nullptr)
      status = worse(status, extract_to(image, r, o.extract_path));
    std::fclose(image);
  }
  if (array) std::fputs("]", stdout);
  if (o.json) std::fputs("\n", stdout);
  return status;
}

}  // namespace fwpack

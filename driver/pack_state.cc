#include "driver/pack_state.h"

#include "fileutil/file_measure.h"
#include "fileutil/platform.h"
#include "image/payload.h"

namespace fwpack {

std::FILE* open_scratch(const pack_state& state, const char* scratch_path) {
  const char* own[] = {state.args.input_path, state.args.output_path,
                       state.safety_input_path};
  bool clash = false;
  for (const char* path : own)
    if (path != nullptr && same_file(scratch_path, path)) clash = true;
  std::FILE* scratch = clash ? nullptr : open_file(scratch_path, "wb+");
  if (scratch == nullptr) std::printf("%s open is fail\r\n", scratch_path);
  return scratch;
}

int check_payload(int payload, const char* input_path, std::FILE* scratch,
                  const char* scratch_path) {
  if (payload == payload_read_short) {
    std::printf("%s read is fail\r\n", input_path);
    return -1;
  }
  if (!stream_ok(scratch)) {
    std::printf("%s write is fail\r\n", scratch_path);
    return -1;
  }
  return 0;
}

bool stream_ok(std::FILE* stream) {
  return std::fflush(stream) == 0 && !std::ferror(stream);
}

int copy_scratch_to(std::FILE* scratch, const char* path) {
  std::FILE* out = open_file(path, "wb+");
  if (out == nullptr) {
    std::printf("%s open is fail\r\n", path);
    return -1;
  }
  copy_file_data(scratch, out, whole_stream);
  bool ok = !std::ferror(scratch) && stream_ok(out);
  if (std::fclose(out) != 0) ok = false;
  if (!ok) {
    std::printf("%s write is fail\r\n", path);
    remove_regular_file(path);
    return -1;
  }
  return 0;
}

void discard_scratch(std::FILE*& stream, const char* path) {
  if (stream == nullptr) return;
  std::fclose(stream);
  stream = nullptr;
  remove_regular_file(path);
}

}  // namespace fwpack

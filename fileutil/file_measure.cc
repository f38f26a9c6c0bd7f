#include "fileutil/file_measure.h"

#include <cstdint>

#include "fileutil/chunk_walk.h"
#include "fileutil/platform.h"

namespace fwpack {

std::int32_t get_file_size(const char* path) {
  if (path == nullptr) return -1;
  std::FILE* stream = open_file(path, "rb");
  if (stream == nullptr) return -1;
  std::int64_t size = stream_size(stream);
  std::fclose(stream);
  if (size < 0) return -1;
  if (size > INT32_MAX) return file_size_too_large;
  return static_cast<std::int32_t>(size);
}

std::uint32_t get_file_checksum(std::FILE* stream, std::int32_t length) {
  std::uint32_t sum = 0;
  walk_chunks(stream, length, [&sum](const unsigned char* bytes, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) sum += bytes[i];
  });
  return sum;
}

std::int32_t copy_file_data(std::FILE* source, std::FILE* destination,
                            std::int32_t length) {
  if (source == nullptr || destination == nullptr) return -1;
  std::fseek(destination, 0, SEEK_SET);
  std::fseek(source, 0, SEEK_SET);
  std::int64_t total = walk_chunks(
      source, length, [destination](const unsigned char* bytes, std::size_t n) {
        std::fwrite(bytes, 1, n, destination);
      });
  return total > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(total);
}

}  // namespace fwpack

#include "fileutil/platform.h"

#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fwpack {

bool is_path_separator(char c) {
  if (platform_is_windows) return c == '\\' || c == '/';
  return c == '/';
}

#ifdef _WIN32

bool path_exists(const char* path) { return _access(path, 0) == 0; }

bool is_regular_file(const char* path) {
  struct _stati64 st;
  return _stati64(path, &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFREG;
}

std::FILE* open_file(const char* path, const char* mode) {
  return std::fopen(path, mode);
}

namespace {

bool file_identity(const char* path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE h = CreateFileA(path, 0,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = GetFileInformationByHandle(h, &info) != 0;
  CloseHandle(h);
  return ok;
}

}  // namespace

bool same_file(const char* a, const char* b) {
  BY_HANDLE_FILE_INFORMATION x, y;
  return file_identity(a, x) && file_identity(b, y) &&
         x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
         x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
}

std::FILE* open_text_file(const char* path) { return std::fopen(path, "r"); }

std::int64_t stream_size(std::FILE* stream) {
  _fseeki64(stream, 0, SEEK_END);
  return _ftelli64(stream);
}

int stream_seek(std::FILE* stream, std::int64_t offset) {
  return _fseeki64(stream, offset, SEEK_SET);
}

void set_stdout_binary() {
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
}

#else

bool path_exists(const char* path) { return access(path, F_OK) == 0; }

bool is_regular_file(const char* path) {
  struct stat st;
  return stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

std::FILE* open_file(const char* path, const char* mode) {
  std::FILE* stream = std::fopen(path, mode);
  if (stream == nullptr) return nullptr;
  struct stat st;
  if (fstat(fileno(stream), &st) == 0 && S_ISDIR(st.st_mode)) {
    std::fclose(stream);
    return nullptr;
  }
  return stream;
}

std::FILE* open_text_file(const char* path) { return open_file(path, "rb"); }

bool same_file(const char* a, const char* b) {
  struct stat x, y;
  return stat(a, &x) == 0 && stat(b, &y) == 0 && x.st_dev == y.st_dev &&
         x.st_ino == y.st_ino;
}

std::int64_t stream_size(std::FILE* stream) {
  fseeko(stream, 0, SEEK_END);
  return static_cast<std::int64_t>(ftello(stream));
}

int stream_seek(std::FILE* stream, std::int64_t offset) {
  return fseeko(stream, static_cast<off_t>(offset), SEEK_SET);
}

void set_stdout_binary() {}

#endif

void remove_regular_file(const char* path) {
  if (is_regular_file(path)) std::remove(path);
}

}  // namespace fwpack

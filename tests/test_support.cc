#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#include <ctime>

#include "image/build_time.h"

namespace fwpack_test {

scratch_dir::scratch_dir() {
  static std::atomic<unsigned> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate =
        fs::temp_directory_path() /
        ("fwpack-test-" + std::to_string(stamp) + "-" +
         std::to_string(rd() % 1000000) + "-" + std::to_string(counter++));
    if (fs::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

scratch_dir::~scratch_dir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

void write_file(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return std::string(std::istreambuf_iterator<char>(in),
                     std::istreambuf_iterator<char>());
}

std::string sample_bytes(std::size_t length, unsigned seed) {
  std::string bytes(length, '\0');
  std::uint32_t x = 0x9E3779B9u * (seed + 1);
  for (auto& b : bytes) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<char>(x);
  }
  return bytes;
}

std::vector<std::string> list_dir(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::uint32_t u32_at(const std::string& bytes, std::size_t offset) {
  auto b = [&](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes.at(offset + i)));
  };
  return b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
}

namespace {

#ifdef _WIN32
fs::path own_directory() {
  char buffer[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  return fs::path(std::string(buffer, n)).parent_path();
}

// Quotes one argument so that the C run time of the child splits the
// command line back into exactly this text.
std::string quote_argument(const std::string& arg) {
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') quoted.append(backslashes * 2 + 1, '\\');
    else quoted.append(backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  quoted += '"';
  return quoted;
}

HANDLE open_capture(const fs::path& path) {
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  return CreateFileA(path.string().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa,
                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

int spawn(const fs::path& exe, const fs::path& dir,
          const std::vector<std::string>& args, const fs::path& out_path,
          const fs::path& err_path) {
  std::string command = quote_argument(exe.string());
  for (const auto& a : args) {
    command += ' ';
    command += quote_argument(a);
  }
  HANDLE out = open_capture(out_path);
  HANDLE err = open_capture(err_path);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = out;
  si.hStdError = err;
  PROCESS_INFORMATION pi = {};
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  std::string cwd = dir.string();
  if (!CreateProcessA(exe.string().c_str(), line.data(), nullptr, nullptr, TRUE,
                      0, nullptr, cwd.c_str(), &si, &pi))
    throw std::runtime_error("cannot start " + exe.string());
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  CloseHandle(out);
  CloseHandle(err);
  return static_cast<int>(code & 0xFF);
}
#else
fs::path own_directory() { return fs::read_symlink("/proc/self/exe").parent_path(); }

int spawn(const fs::path& exe, const fs::path& dir,
          const std::vector<std::string>& args, const fs::path& out_path,
          const fs::path& err_path) {
  std::vector<std::string> owned = {exe.string()};
  owned.insert(owned.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : owned) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || chdir(dir.c_str()) != 0) _exit(127);
    dup2(out, 1);
    dup2(err, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + WTERMSIG(status);
}
#endif

}  // namespace

bool on_windows() {
#ifdef _WIN32
  return true;
#else
  return false;
#endif
}

run_result run_tool(const std::string& tool, const fs::path& dir,
                    const std::vector<std::string>& args) {
  fs::path exe = own_directory() / (on_windows() ? tool + ".exe" : tool);
  // The captures live beside the folder, so that the folder holds only what
  // the tool itself wrote.
  scratch_dir capture;
  fs::path out_path = capture / "stdout";
  fs::path err_path = capture / "stderr";
  run_result result;
  result.status = spawn(exe, dir, args, out_path, err_path);
  result.output = read_file(out_path);
  result.errors = read_file(err_path);
  return result;
}

namespace {

// The bytes of an input of the run, taken before the run (which may
// replace it), or nothing when it is not a readable file.
struct input_snapshot {
  bool present = false;
  std::string bytes;
};

input_snapshot snapshot(const fs::path& dir, const std::vector<std::string>& args,
                        std::size_t index) {
  input_snapshot s;
  std::error_code ec;
  // Inputs the run refuses for their size are not worth reading.
  if (index < args.size() && fs::is_regular_file(dir / args[index], ec) &&
      fs::file_size(dir / args[index], ec) < (std::uintmax_t{1} << 26)) {
    s.present = true;
    s.bytes = read_file(dir / args[index]);
  }
  return s;
}

// Reads an image back with fwpack-inspect: every check must pass and the
// extracted firmware must be the packed input, byte for byte.
void expect_reads_back(const fs::path& dir, const std::string& image,
                       const input_snapshot& packed) {
  SCOPED_TRACE("read back " + image);
  scratch_dir capture;
  fs::path extracted = capture / "firmware.bin";
  run_result r = run_tool("fwpack-inspect", dir,
                          {"--extract", extracted.string(), image});
  EXPECT_EQ(r.status, 0) << r.output << r.errors;
  if (packed.present) {
    EXPECT_EQ(read_file(extracted), packed.bytes);
  }
}

}  // namespace

run_result run_fwpack(const fs::path& dir, const std::vector<std::string>& args) {
  // Positions after argv[0]: the input, the output and the safety input.
  unsigned long mode = args.empty() ? 0 : std::strtoul(args[0].c_str(), nullptr, 0) & 0xFF;
  std::size_t output = mode == 3 ? 10 : 11;
  input_snapshot input = snapshot(dir, args, 2);
  input_snapshot safety = snapshot(dir, args, output + 1);

  run_result r = run_tool("fwpack", dir, args);

  // Every image a successful run writes must read back whole.
  if (r.status == 0 && output < args.size()) {
    expect_reads_back(dir, args[output], input);
    const std::string tag = "*** safety file path = ";
    std::size_t at = r.output.find(tag);
    if (at != std::string::npos) {
      std::size_t from = at + tag.size();
      std::string path = r.output.substr(from, r.output.find(" ***\r\n", from) - from);
      if (path != args[output]) expect_reads_back(dir, path, safety);
    }
  }
  return r;
}

}  // namespace fwpack_test


namespace fwpack_test {

namespace {

// A character device of the kernel's memory driver (1, minor) at path.
bool make_memory_device(const fs::path& path, unsigned minor) {
#ifdef _WIN32
  (void)path;
  (void)minor;
  return false;
#else
  return mknod(path.c_str(), S_IFCHR | 0666, makedev(1, minor)) == 0;
#endif
}

}  // namespace

bool make_full_device(const fs::path& path) { return make_memory_device(path, 7); }

bool make_null_device(const fs::path& path) { return make_memory_device(path, 3); }

std::uint32_t jamcrc(const std::string& bytes) {
  std::uint32_t reg = 0xFFFFFFFFu;
  for (unsigned char b : bytes) {
    reg ^= b;
    for (int k = 0; k < 8; ++k) reg = (reg & 1u) ? (reg >> 1) ^ 0xEDB88320u : reg >> 1;
  }
  return reg;
}

std::uint32_t byte_sum(const std::string& bytes) {
  std::uint32_t sum = 0;
  for (unsigned char b : bytes) sum += b;
  return sum;
}

std::string hex_upper(std::uint32_t value) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  do {
    text.insert(text.begin(), digits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  return text;
}

std::string hex_blank8(std::uint32_t value) {
  std::string text = hex_upper(value);
  return std::string(8 - text.size(), ' ') + text;
}

std::string hex_zero8(std::uint32_t value) {
  std::string text = hex_upper(value);
  return std::string(8 - text.size(), '0') + text;
}

bool stamp_between(const std::string& stamp, std::int64_t before,
                   std::int64_t after) {
  for (std::int64_t t = before; t <= after; ++t) {
    std::uint8_t field[12];
    fwpack::format_build_time(field, t);
    if (stamp == std::string(reinterpret_cast<char*>(field), 12)) return true;
  }
  return false;
}

std::int64_t now_seconds() { return static_cast<std::int64_t>(std::time(nullptr)); }

}  // namespace fwpack_test

// Everything that differs between the platforms fwpack runs on lives here:
// how files are opened and measured, what separates path components, and how
// standard output is put into binary mode. The rest of the program is the
// same source on 32-bit Windows and on POSIX systems.
#pragma once

#include <cstdint>
#include <cstdio>

namespace fwpack {

// True on Windows, where both '\' and '/' separate path components and the
// C library has a real text mode.
#ifdef _WIN32
inline constexpr bool platform_is_windows = true;
#else
inline constexpr bool platform_is_windows = false;
#endif

// The separator put between a directory part and a file name.
inline constexpr char path_join_separator = platform_is_windows ? '\\' : '/';

// True when c separates path components on this platform.
bool is_path_separator(char c);

// The existence test: true when path names an existing file or directory.
bool path_exists(const char* path);

// True when path names an existing regular file. Only such files are ever
// removed by the program; devices, FIFOs and directories are left alone.
bool is_regular_file(const char* path);

// True when both paths name one existing file (through links or different
// spellings too).
bool same_file(const char* a, const char* b);

// Removes path when it is a regular file; anything else is left in place.
void remove_regular_file(const char* path);

// fopen() that fails for a directory on every platform. Windows refuses to
// open a directory as a stream; POSIX opens it and fails on the first read,
// so the POSIX build refuses it here to behave the same.
std::FILE* open_file(const char* path, const char* mode);

// Opens a text file for line reading in the platform's text mode ("r").
// Where the C library has no text mode (POSIX), the caller applies the
// text-mode rules itself while reading: see text_mode_emulated.
std::FILE* open_text_file(const char* path);

// True when open_text_file() returns a binary stream and the reader must
// turn CR LF into LF and stop at the first Ctrl-Z byte on its own.
inline constexpr bool text_mode_emulated = !platform_is_windows;

// The size of an open stream in bytes, by a seek to its end, as a 64-bit
// value so that files of 2 GiB and more are measured right on 32-bit hosts.
// Returns -1 when the stream cannot be positioned. Leaves the stream at its
// end.
std::int64_t stream_size(std::FILE* stream);

// Puts the stream at a 64-bit offset from its start. Returns 0 on success.
int stream_seek(std::FILE* stream, std::int64_t offset);

// Puts standard output into binary mode, so that every byte the program
// prints reaches the console or pipe unchanged ("\r\n" stays "\r\n").
void set_stdout_binary();

}  // namespace fwpack

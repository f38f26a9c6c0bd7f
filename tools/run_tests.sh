#!/usr/bin/env bash
# Builds fwpack and runs every test: the native build with warnings as
# errors, the same under AddressSanitizer and UndefinedBehaviorSanitizer,
# and the 32-bit Windows build under Wine. Without the MinGW-w64 compiler or
# Wine the Windows part is skipped, except in CI (CI=true), where it must run.
set -euo pipefail
cd "$(dirname "$0")/.."

run_preset() {
  echo "=== $1"
  cmake --preset "$1"
  cmake --build --preset "$1"
  ctest --preset "$1"
}

run_preset ci
run_preset sanitize

if command -v i686-w64-mingw32-g++-posix >/dev/null && command -v wine >/dev/null &&
   [ -f /usr/src/googletest/CMakeLists.txt ]; then
  export WINEDEBUG=-all
  run_preset windows
elif [ "${CI:-}" = true ]; then
  echo "the Windows build needs i686-w64-mingw32-g++-posix, wine and googletest" >&2
  exit 1
else
  echo "=== windows: skipped (no MinGW-w64 compiler, Wine or GoogleTest source)"
fi

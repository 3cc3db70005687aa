#!/bin/bash
# Builds everything and runs every test: native, native under ASan+UBSan,
# the worker and varnek-send tests under TSan, and the Windows build under Wine.
# Usage: scripts/test.sh   (build folders under ./build unless VARNEK_BUILD is set)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARNEK_BUILD:-$root/build}
jobs=${VARNEK_JOBS:-$(nproc)}

"$root/scripts/install-deps.sh"

configure() {  # folder, extra cmake arguments...
  local dir=$1; shift
  cmake -S "$root" -B "$build/$dir" -DCMAKE_BUILD_TYPE=Debug "$@" >"$build/$dir.configure.log" 2>&1 ||
    { cat "$build/$dir.configure.log"; return 1; }
}

run_tests() {  # folder, extra ctest arguments...
  local dir=$1; shift
  echo "== tests: $dir"
  # Test programs that share the simulator, real windows or the Wine
  # registry lock one resource; the others run beside them.
  ctest --test-dir "$build/$dir" --output-on-failure --timeout 900 -j "$jobs" "$@"
}

mkdir -p "$build"
configure native
cmake --build "$build/native" -j "$jobs"
run_tests native

configure asan -DVARNEK_ASAN=ON
cmake --build "$build/asan" -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_tests asan

configure tsan -DVARNEK_TSAN=ON
# The worker and the pool of modems, and varnek-send driving a pool.
cmake --build "$build/tsan" -j "$jobs" --target test_engine test_send varnek-send varnek-modem-sim
TSAN_OPTIONS=halt_on_error=1 run_tests tsan -R '^(engine|send)$'

configure windows -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DVARNEK_NATIVE_TOOLS="$build/native"
cmake --build "$build/windows" -j "$jobs"
run_tests windows
echo "== all tests passed"

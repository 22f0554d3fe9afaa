#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test:
#   1. the native build (GCC),
#   2. the same build with AddressSanitizer and UndefinedBehaviorSanitizer,
#   3. the fuzzers (clang, libFuzzer) for a bounded time each,
#   4. the Windows build (MinGW-w64), its tests run under Wine,
#   5. the Debian package: lintian, then installed into this machine with apt-get,
#      started as a user who is not root, and purged (run as root).
# Usage: scripts/test.sh [stage ...]
#   stages: native sanitize fuzz windows package (default: all)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-$(nproc)}
stages=("$@")
[ "${#stages[@]}" -eq 0 ] && stages=(native sanitize fuzz windows package)

bash scripts/install-deps.sh test

summary=()
passed=0
failed=0

# run_ctest <name> <build dir> [ctest args...]
run_ctest() {
  local name=$1 dir=$2
  shift 2
  local log="$dir/ctest.log" status=0
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" "$@" 2>&1 | tee "$log" || status=$?
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
  local total ok
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  ok=$(sed -E 's/.*, ([0-9]+) tests? failed.*/\1/' <<<"$line")
  if [ -z "$line" ]; then
    summary+=("$name: no tests ran")
    failed=$((failed + 1))
    return
  fi
  passed=$((passed + total - ok))
  failed=$((failed + ok))
  summary+=("$name: $line")
  [ "$status" -eq 0 ] || [ "$ok" -gt 0 ] || failed=$((failed + 1))
}

configure_and_build() {
  local dir=$1
  shift
  cmake -S "$root" -B "$dir" -G Ninja "$@"
  cmake --build "$dir" -j "$jobs"
}

for stage in "${stages[@]}"; do
  case "$stage" in
    native)
      # Installed into a prefix of its own by the install test.
      configure_and_build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_INSTALL_PREFIX="$root/build/release/prefix"
      run_ctest native build/release
      ;;
    sanitize)
      configure_and_build build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTESSALDO_SANITIZE=ON -DTESSALDO_BENCHMARKS=OFF
      ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1} \
      UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
        run_ctest sanitize build/sanitize
      ;;
    fuzz)
      CC=clang CXX=clang++ configure_and_build build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTESSALDO_FUZZERS=ON -DTESSALDO_TESTS=OFF -DTESSALDO_GUI=OFF -DTESSALDO_BENCHMARKS=OFF \
        -DTESSALDO_FUZZ_SECONDS="${FUZZ_SECONDS:-60}"
      run_ctest fuzz build/fuzz -L fuzz -V
      grep -E '^[0-9]+: stat::number_of_executed_units' build/fuzz/ctest.log || true
      ;;
    windows)
      configure_and_build build/windows -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DTESSALDO_GUI=OFF -DTESSALDO_BENCHMARKS=OFF
      export WINEPREFIX="$root/build/windows/wineprefix"
      # One prefix for the whole run, created before the tests start in parallel.
      "$root/cmake/wine-run.sh" wineboot --init >/dev/null 2>&1 || true
      # Wine's null graphics driver lets the tests create windows without a display; it
      # takes effect once the prefix's server has ended.
      "$root/cmake/wine-run.sh" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f \
        >/dev/null 2>&1 || true
      wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
      "$wineserver" -w || true
      # One server for the whole run: tests starting while an idle server shuts down lose their
      # connection to it.
      "$wineserver" -p
      run_ctest windows build/windows
      "$wineserver" -k || true
      unset WINEPREFIX
      ;;
    package)
      configure_and_build build/package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
        -DTESSALDO_TESTS=OFF -DTESSALDO_BENCHMARKS=OFF -DTESSALDO_PACKAGE_TEST=ON
      run_ctest package build/package
      ;;
    *)
      echo "unknown stage: $stage" >&2
      exit 2
      ;;
  esac
done

echo
printf '%s\n' "${summary[@]}"
echo "total: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

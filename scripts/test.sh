#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test:
#   1. the native build (GCC),
#   2. the same build with AddressSanitizer and UndefinedBehaviorSanitizer,
#   3. the fuzzers (clang, libFuzzer) for a bounded time each,
#   4. the Windows build (MinGW-w64), its tests run under Wine,
#   5. the Debian package: lintian, then installed into this machine with apt-get,
#      started as a user who is not root, and purged (as root, or with sudo for the
#      steps that need root; skipped when neither is at hand).
# Every stage is counted on its own: one whose configure or build fails counts as
# failed and the others still run. Ends with "total: N passed, N failed, N skipped"
# and a non-zero status on any failure.
# Usage: scripts/test.sh [stage ...]
#   stages: native sanitize fuzz windows package (default: all)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-$(nproc)}
all_stages=(native sanitize fuzz windows package)
stages=("$@")
[ "${#stages[@]}" -eq 0 ] && stages=("${all_stages[@]}")
for stage in "${stages[@]}"; do
  [[ " ${all_stages[*]} " == *" $stage "* ]] || { echo "unknown stage: $stage" >&2; exit 2; }
done

# What could not be installed fails the stages that need it, each naming the package.
bash scripts/install-deps.sh test || echo "some packages could not be installed" >&2

summary=()
passed=0
failed=0
skipped=0
build_failed=""

# skip_reason <stage>: prints why the stage cannot run here, if it cannot.
skip_reason() {
  [ "$1" = package ] && [ "$(id -u)" -ne 0 ] || return 1
  if ! command -v sudo >/dev/null; then
    echo "not root and sudo is not installed: installing the package, adding a user and the setuid pkexec stand-in need root"
  elif ! sudo -v; then
    echo "not root and sudo refused: installing the package, adding a user and the setuid pkexec stand-in need root"
  else
    return 1
  fi
}

# run_ctest <name> <build dir> [ctest args...]
run_ctest() {
  local name=$1 dir=$2
  shift 2
  if [ -n "$build_failed" ]; then
    summary+=("$name: $build_failed failed, no tests ran")
    failed=$((failed + 1))
    return
  fi
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
  # ctest counts a skipped test as passed and lists it as "(Skipped)".
  local skips
  skips=$(sed -n '/did not run:/,/^$/p' "$log" | grep -c '(Skipped)' || true)
  passed=$((passed + total - ok - skips))
  failed=$((failed + ok))
  skipped=$((skipped + skips))
  summary+=("$name: $line$([ "$skips" -eq 0 ] || echo ", $skips skipped")")
  [ "$status" -eq 0 ] || [ "$ok" -gt 0 ] || failed=$((failed + 1))
}

# configure_and_build <build dir> [cmake args...]: every stage asks for the tests and
# benchmarks (a missing tool is then an error) and turns off what it does not run. A
# failure is recorded for run_ctest, which counts it.
configure_and_build() {
  local dir=$1
  shift
  if ! cmake -S "$root" -B "$dir" -G Ninja -DTESSALDO_TESTS=ON -DTESSALDO_BENCHMARKS=ON "$@"; then
    build_failed=configure
  elif ! cmake --build "$dir" -j "$jobs"; then
    build_failed=build
  fi
}

for stage in "${stages[@]}"; do
  build_failed=""
  if reason=$(skip_reason "$stage"); then
    summary+=("$stage: skipped: $reason")
    skipped=$((skipped + 1))
    continue
  fi
  case "$stage" in
    native)
      # The launcher's system directory follows the prefix: kept inside the build tree.
      configure_and_build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_INSTALL_PREFIX="$root/build/release/prefix"
      run_ctest native build/release
      ;;
    sanitize)
      configure_and_build build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTESSALDO_SANITIZE=ON -DTESSALDO_BENCHMARKS=OFF
      ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1} \
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
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DTESSALDO_BENCHMARKS=OFF
      # The tests make their Wine prefix themselves when it is missing; made here first, it is
      # ready before they start side by side.
      timeout 300 "$root/cmake/wine-run.sh" --tests-prefix "$root/build/windows/wineprefix" \
        cmd /c exit >/dev/null 2>&1 || true
      run_ctest windows build/windows
      setup=$(find build/windows -maxdepth 1 -name 'tessaldo-*-setup.exe' | head -n 1)
      if [ -n "$setup" ]; then
        summary+=("windows: setup program $setup, $(stat -c %s "$setup") bytes")
      else
        summary+=("windows: no setup program was built")
        failed=$((failed + 1))
      fi
      ;;
    package)
      configure_and_build build/package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
        -DTESSALDO_TESTS=OFF -DTESSALDO_BENCHMARKS=OFF -DTESSALDO_PACKAGE_TEST=ON
      run_ctest package build/package
      ;;
  esac
done

echo
printf '%s\n' "${summary[@]}"
echo "total: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]

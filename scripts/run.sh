#!/usr/bin/env bash
# Installs what building and running needs, builds the converter and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSALDO_TESTS=OFF -DTESSALDO_BENCHMARKS=OFF
cmake --build build/run -j "$(nproc)" --target bin
exec build/run/program/bin

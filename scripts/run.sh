#!/usr/bin/env bash
# Installs what is missing, builds the programs and starts the converter.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j "$(nproc)" --target bin
exec build/release/program/bin

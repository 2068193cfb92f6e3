#!/usr/bin/env bash
# Installs what is missing, builds, checks the formatting and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh --test
tools/build.sh
tools/format.sh --check
cd build
ctest --output-on-failure -j"$(nproc)" --timeout 600

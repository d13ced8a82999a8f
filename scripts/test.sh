#!/usr/bin/env bash
# Installs the dependencies, builds the debug configuration and runs every test through ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset dev
cmake --build --preset dev
ctest --preset dev

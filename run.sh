#!/usr/bin/env bash
# Builds the plug-in module.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
ensure_packages
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win -j"$(nproc)" --target TK42R_x64
echo "built build/win/bin/TK42R_x64.dll"

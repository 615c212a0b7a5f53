#!/usr/bin/env bash
# Installs what is needed, builds the demonstration program and runs it. Arguments are
# passed on (e.g. --backend headless --script FILE).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build >/dev/null
cmake --build build -j "$(nproc)" --target demo
exec build/app/demo "$@"

#!/usr/bin/env bash
# Configures and builds one build tree: build.sh <dir> [extra cmake args...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@"
cmake --build "$dir" -j "$(nproc)"

#!/usr/bin/env bash
# Builds and runs the unit tests under the sanitizers.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
"$root/scripts/build.sh" "$root/build/asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVORA_SANITIZE=address -DTAVORA_BENCH=OFF
ctest --test-dir "$root/build/asan" --output-on-failure -j "$(nproc)" -LE nosan
"$root/scripts/build.sh" "$root/build/tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVORA_SANITIZE=thread -DTAVORA_GUI=OFF -DTAVORA_BENCH=OFF
# The widget-free build under ThreadSanitizer also proves the core stands without Qt Widgets.
ctest --test-dir "$root/build/tsan" --output-on-failure -j "$(nproc)"

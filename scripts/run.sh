#!/usr/bin/env bash
# Installs what is missing, builds in Release mode and starts Tavora.
# With a display it starts the GUI; without one, the command-line converter
# (arguments are passed on to it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build/release"
bin="$root/build/release/bin"
if [ -x "$bin/tavora" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$bin/tavora" "$@"
fi
if [ -x "$bin/tavora-convert" ]; then
    [ $# -eq 0 ] && exec "$bin/tavora-convert" --help
    exec "$bin/tavora-convert" "$@"
fi
echo "Built into $bin:"
ls "$bin"

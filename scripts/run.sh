#!/usr/bin/env bash
# Installs what is missing, builds GorseED (optimised build in build/) and starts
# it in the bundled default working directory data/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build" -j2 --target GorseED

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run: no DISPLAY is set; the editor needs a desktop session (or e.g. xvfb-run bash scripts/run.sh)" >&2
fi
cd "$root/data"
exec "$root/build/GorseED"

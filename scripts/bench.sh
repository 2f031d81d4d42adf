#!/usr/bin/env bash
# Builds the benchmarks (Release) and times the editor's heavy operations on
# levels of 4,096 to 65,536 objects, offscreen; writes docs/bench/results.csv,
# docs/bench/results.json, docs/bench/table.md and the chart
# docs/bench/timings.png. Extra arguments go to gorseedbench (for example
# --sizes 4096,16384 --reps 3).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$root/docs/bench

bash "$root/scripts/install-deps.sh"
if ! command -v gnuplot >/dev/null; then
    apt-get install -y --no-install-recommends gnuplot-nox >/dev/null ||
        { apt-get update >/dev/null && apt-get install -y --no-install-recommends gnuplot-nox >/dev/null; }
fi

cmake -S "$root" -B "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$root/build-bench" -j2 --target gorseedbench

mkdir -p "$out"
XDG_RUNTIME_DIR=$(mktemp -d) QT_QPA_PLATFORM=offscreen \
    "$root/build-bench/bench/gorseedbench" --out "$out" "$@"
python3 "$root/bench/report.py" "$out"

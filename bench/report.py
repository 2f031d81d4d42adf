#!/usr/bin/env python3
"""Turns gorseedbench's results.csv into a Markdown table of medians with the
ratios the performance targets speak of, and a gnuplot chart of time against
the number of objects for each operation."""
import csv
import subprocess
import sys
from collections import defaultdict
from pathlib import Path

out = Path(sys.argv[1])
rows = list(csv.DictReader(open(out / "results.csv")))
median = defaultdict(dict)  # operation -> objects -> ms
for row in rows:
    median[row["operation"]][int(row["objects"])] = float(row["median_ms"])

sizes = sorted({n for op in median.values() for n in op if n > 0})
timed = [op for op in median if "peak" not in op and not op.endswith("(empty)")]

def cell(op, n):
    value = median.get(op, {}).get(n)
    return "" if value is None else f"{value:.1f}"

lines = ["| operation (median ms) | " + " | ".join(f"N = {n:,}" for n in sizes) + " |",
         "|---|" + "---|" * len(sizes)]
for op in timed:
    lines.append(f"| {op} | " + " | ".join(cell(op, n) for n in sizes) + " |")
for op in ("pencil stroke 100 (empty)", "flood fill 999 (empty)"):
    if op in median:
        lines.append(f"| {op} | {median[op][0]:.1f} (empty level) |" + " |" * (len(sizes) - 1))
for op in ("load peak bytes/object", "floor: peak bytes/button"):
    if op in median:
        lines.append(f"| {op} | " + " | ".join(cell(op, n) for n in sizes) + " |")

def ratio(a, na, b, nb):
    try:
        return median[a][na] / median[b][nb]
    except (KeyError, ZeroDivisionError):
        return float("nan")

# Each operation against its floor, at every size; the goal applies at 32,768.
targets = [
    ("zoom change / floor resize+move all", "zoom change", "floor: resize+move all", False, 2),
    ("pan step / floor move all", "pan step", "floor: move all", False, 2),
    ("layer switch / floor hide+show half", "layer switch", "floor: hide+show half", False, 1.5),
    ("load / floor destroy+create+paint", "load", "floor: destroy+create+paint", False, 1.5),
    ("load peak bytes per object / floor's per button", "load peak bytes/object", "floor: peak bytes/button", False, 1.5),
    ("undo of clear layer / the clear", "undo of clear layer", "clear layer", False, 1.5),
    ("pencil stroke 100 / same on empty level", "pencil stroke 100", "pencil stroke 100 (empty)", True, 1.5),
    ("flood fill 999 / same on empty level", "flood fill 999", "flood fill 999 (empty)", True, 2),
]
lines += ["", "| ratio to the floor | " + " | ".join(f"N = {n:,}" for n in sizes) + " | goal at 32,768 |",
          "|---|" + "---|" * (len(sizes) + 1)]
ratios = {}
for label, a, b, empty, goal in targets:
    ratios[label] = {n: ratio(a, n, b, 0 if empty else n) for n in sizes}
    at = ratios[label].get(32768, float("nan"))
    verdict = "" if at != at else (" (met)" if at <= goal else " (missed)")
    lines.append(f"| {label} | " + " | ".join(f"{ratios[label][n]:.2f}" for n in sizes) + f" | ≤ {goal}{verdict} |")
lines += ["", "| growth t(2N) / t(N), goal ≤ 2.3 | 16,384 → 32,768 | 32,768 → 65,536 |", "|---|---|---|"]
for op in timed:
    late = ratio(op, 65536, op, 32768)
    verdict = "" if late != late else (" (met)" if late <= 2.3 else " (missed)")
    early = ratio(op, 32768, op, 16384)
    shown = lambda value: "" if value != value else f"{value:.2f}"  # nan: not timed at that size
    lines.append(f"| {op} | {shown(early)} | {shown(late)}{verdict} |")
(out / "table.md").write_text("\n".join(lines) + "\n")

data = Path("/tmp") / "gorseed-timings.dat"
with open(data, "w") as f:
    for op in timed:
        f.write(f'"{op}"\n')
        for n in sizes:
            if n in median[op]:
                f.write(f"{n} {median[op][n]}\n")
        f.write("\n\n")
script = f"""
set terminal pngcairo size 1000,650 noenhanced
set output '{out / "timings.png"}'
set logscale xy
set xlabel 'objects in the level'
set ylabel 'median time (ms)'
set key outside right
set grid
set xtics ({", ".join(str(n) for n in sizes)})
plot for [i=0:{len(timed) - 1}] '{data}' index i using 1:2 with linespoints title columnheader(1)
"""
subprocess.run(["gnuplot"], input=script.encode(), check=True)

# The ratios to the floor against the number of objects.
with open(data, "w") as f:
    for label, values in ratios.items():
        f.write(f'"{label}"\n')
        for n in sizes:
            if values[n] == values[n]:
                f.write(f"{n} {values[n]}\n")
        f.write("\n\n")
script = f"""
set terminal pngcairo size 1000,650 noenhanced
set output '{out / "ratios.png"}'
set logscale x
set xlabel 'objects in the level'
set ylabel 'time (or bytes) / the floor'
set key outside right
set grid
set yrange [0:*]
set xtics ({", ".join(str(n) for n in sizes)})
plot for [i=0:{len(ratios) - 1}] '{data}' index i using 1:2 with linespoints title columnheader(1), 1.5 with lines dashtype 2 title 'goal 1.5'
"""
subprocess.run(["gnuplot"], input=script.encode(), check=True)
print((out / "table.md").read_text())

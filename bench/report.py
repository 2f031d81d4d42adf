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

n = 32768
lines += ["", "| target (at N = 32,768) | ratio | goal |", "|---|---|---|"]
targets = [
    ("zoom change / floor resize+move all", "zoom change", n, "floor: resize+move all", n, 2),
    ("pan step / floor move all", "pan step", n, "floor: move all", n, 2),
    ("layer switch / floor hide+show half", "layer switch", n, "floor: hide+show half", n, 1.5),
    ("load / floor destroy+create+paint", "load", n, "floor: destroy+create+paint", n, 2),
    ("load peak bytes per object / floor's per button", "load peak bytes/object", n, "floor: peak bytes/button", n, 2),
    ("pencil stroke 100 / same on empty level", "pencil stroke 100", n, "pencil stroke 100 (empty)", 0, 1.5),
    ("flood fill 999 / same on empty level", "flood fill 999", n, "flood fill 999 (empty)", 0, 2),
]
for label, a, na, b, nb, goal in targets:
    value = ratio(a, na, b, nb)
    lines.append(f"| {label} | {value:.2f} | ≤ {goal} {'(met)' if value <= goal else '(missed)'} |")
lines += ["", "| growth t(2N) / t(N), goal ≤ 2.3 | 16,384 → 32,768 | 32,768 → 65,536 |", "|---|---|---|"]
for op in timed:
    lines.append(f"| {op} | {ratio(op, 32768, op, 16384):.2f} | {ratio(op, 65536, op, 32768):.2f} |")
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
print((out / "table.md").read_text())

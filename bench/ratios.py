#!/usr/bin/env python3
"""Runs the core benchmarks several times and prints each one's CPU time as a
ratio to the plain line scan of the same configuration size, with the spread
(min/median/max over the repetitions), and how each grows from 1,000 to
10,000 sections (10 means linear).

usage: bench/ratios.py [path/to/core_bench] [repetitions]
"""
import json
import statistics
import subprocess
import sys
from collections import defaultdict

exe = sys.argv[1] if len(sys.argv) > 1 else "build/native/bench/core_bench"
reps = int(sys.argv[2]) if len(sys.argv) > 2 else 7

out = subprocess.run(
    [exe, "--benchmark_format=json", f"--benchmark_repetitions={reps}",
     "--benchmark_min_time=0.1"],
    check=True, capture_output=True, text=True).stdout
runs = defaultdict(list)
probes = {}
for b in json.loads(out)["benchmarks"]:
    if b.get("run_type") != "iteration":
        continue
    scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b.get("time_unit", "ns")]
    runs[b["run_name"]].append(b["cpu_time"] * scale)
    if "probes" in b:
        probes[b["run_name"]] = b["probes"]


def spread(name):
    t = sorted(runs[name])
    return t[0], statistics.median(t), t[-1]


print(f"{'benchmark':34} {'median us':>10} {'x line scan (min/med/max)':>28} {'probes':>7}")
for name in runs:
    lo, med, hi = spread(name)
    base = name.split("/")
    ratio = ""
    same_text = not name.startswith("BM_SelectRunOnSections")
    if same_text and len(base) == 2 and f"BM_PlainLineScan/{base[1]}" in runs:
        blo, bmed, bhi = spread(f"BM_PlainLineScan/{base[1]}")
        ratio = f"{lo / bhi:6.2f} {med / bmed:6.2f} {hi / blo:6.2f}"
    p = probes.get(name)
    print(f"{name:34} {med / 1000:10.1f} {ratio:>28} {'' if p is None else f'{p:7.0f}'}")

print("\ngrowth from 1,000 to 10,000 sections (10 is linear):")
for name in runs:
    if name.endswith("/1000"):
        stem = name[:-len("/1000")]
        if f"{stem}/10000" in runs:
            print(f"  {stem:32} {spread(stem + '/10000')[1] / spread(name)[1]:6.1f}")

#!/usr/bin/env bash
# Builds the benchmarks in release mode, runs every scene each way and prints
# one table: the median CPU time of each way (of all the process's threads;
# the machine is shared, so wall time measures the neighbours too), the ratios
# of the library to the others, and the peak extra heap memory of the first
# pass, with the machine and commit noted.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-bench"
bash "$root/scripts/setup.sh" bench
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVUDADIVE2R_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target vudadive2r_bench
json="$build/bench.json"
"$build/bench/vudadive2r_bench" --benchmark_repetitions="${REPETITIONS:-5}" \
  --benchmark_min_time="${MIN_TIME:-0.2}" --benchmark_filter="${FILTER:-.}" \
  --benchmark_report_aggregates_only=true --benchmark_format=json --benchmark_out="$json" \
  --benchmark_out_format=json >/dev/null
commit="$(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)"
if ! git -C "$root" diff --quiet HEAD 2>/dev/null; then commit="$commit (with uncommitted changes)"; fi
python3 - "$json" "$commit" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
context = data["context"]
print(f"Commit {sys.argv[2]}; machine: {context.get('host_name', '?')}, {context['num_cpus']} CPUs at "
      f"{context['mhz_per_cpu']} MHz")
ways = ["Library", "AGG", "Cairo", "Qt"]
times, peaks, rows = {}, {}, []
for b in data["benchmarks"]:
    if b.get("aggregate_name") != "median":
        continue
    scene, way, alpha = b["run_name"].split("/")[:3]  # then "process_time"
    key = (scene, "0.5" if alpha == "1" else "1.0")
    if key not in rows:
        rows.append(key)
    times[key + (way,)] = b["cpu_time"]
    if "peak_bytes" in b:
        peaks[key + (way,)] = b["peak_bytes"]
present = [w for w in ways if any(k[2] == w for k in times)]
others = [w for w in present if w != "Library"]
fmt = lambda v: f"{v:.3f}" if v is not None else "n/a"
ratio = lambda a, b: f"{a / b:.2f}" if a and b else "n/a"
def size(v):
    if v is None:
        return "n/a"
    return f"{v / 1048576:.1f} MB" if v >= 1048576 else f"{v / 1024:.1f} KB"
print()
print("| scene | alpha | " + " | ".join(f"{w} (ms)" for w in present) + " | "
      + " | ".join(f"lib / {w}" for w in others) + " | " + " | ".join(f"peak {w}" for w in present) + " |")
print("|---|---|" + "---:|" * (2 * len(present) + len(others)))
for key in rows:
    lib = times.get(key + ("Library",))
    cells = [fmt(times.get(key + (w,))) for w in present]
    cells += [ratio(lib, times.get(key + (w,))) for w in others]
    cells += [size(peaks.get(key + (w,))) for w in present]
    print(f"| {key[0]} | {key[1]} | " + " | ".join(cells) + " |")
PY

#!/usr/bin/env bash
# Builds the benchmarks in release mode, runs every scene three ways and
# prints one table: the median time of each and the ratios library / AGG and
# library / Cairo, with the machine noted.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh" bench
cmake -S "$root" -B "$root/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVUDADIVE2R_BUILD_TESTS=OFF
cmake --build "$root/build-bench" -j "$(nproc)" --target vudadive2r_bench
json="$root/build-bench/bench.json"
"$root/build-bench/bench/vudadive2r_bench" --benchmark_repetitions="${REPETITIONS:-5}" \
  --benchmark_report_aggregates_only=true --benchmark_format=json --benchmark_out="$json" \
  --benchmark_out_format=json >/dev/null
python3 - "$json" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
context = data["context"]
print(f"Machine: {context.get('host_name', '?')}, {context['num_cpus']} CPUs at {context['mhz_per_cpu']} MHz, "
      f"library build {context.get('library_build_type', '?')}")
medians = {}
for b in data["benchmarks"]:
    if b.get("aggregate_name") != "median":
        continue
    scene, way, alpha = b["run_name"].split("/")
    medians[(scene, alpha, way)] = b["real_time"]
scenes = []
for scene, alpha, _ in medians:
    if (scene, alpha) not in scenes:
        scenes.append((scene, alpha))
print()
print("| scene | alpha | library (ms) | AGG (ms) | Cairo (ms) | library / AGG | library / Cairo |")
print("|---|---|---:|---:|---:|---:|---:|")
for scene, alpha in scenes:
    lib = medians.get((scene, alpha, "Library"))
    agg = medians.get((scene, alpha, "AGG"))
    cairo = medians.get((scene, alpha, "Cairo"))
    fmt = lambda v: f"{v:.3f}" if v is not None else "n/a"
    ratio = lambda a, b: f"{a / b:.2f}" if a and b else "n/a"
    print(f"| {scene} | {'0.5' if alpha == '1' else '1.0'} | {fmt(lib)} | {fmt(agg)} | {fmt(cairo)} | "
          f"{ratio(lib, agg)} | {ratio(lib, cairo)} |")
PY

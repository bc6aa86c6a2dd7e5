#!/usr/bin/env bash
# The main job: installs what is missing, builds, and renders the gallery
# into gallery/ (one PNG file per theme).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh" gallery
# The gallery needs neither the tests nor the benchmarks (nor their packages).
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DVUDADIVE2R_BUILD_TESTS=OFF -DVUDADIVE2R_BUILD_BENCHMARKS=OFF
cmake --build "$root/build" -j "$(nproc)" --target gallery
"$root/build/examples/gallery" "$root/gallery"
echo "Gallery written to $root/gallery/"

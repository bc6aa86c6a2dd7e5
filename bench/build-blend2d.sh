#!/usr/bin/env bash
# Builds Blend2D (static, release) from the third-party source tarball into a
# build tree, for the benchmark binary only. Prints the install prefix on
# success; exits non-zero (and the caller benchmarks without it) when the
# tarball is absent or the build fails.
# Usage: build-blend2d.sh BUILD_ROOT
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:?build root}"
# The shared folder sits beside the checkout, or beside the folder of
# worktrees; BLEND2D_TARBALL names the file directly.
tarball="${BLEND2D_TARBALL:-}"
for candidate in "$root/../shared" "$root/../../shared"; do
  [ -n "$tarball" ] && break
  [ -f "$candidate/third_party/blend2d-src.tar.gz" ] && tarball="$candidate/third_party/blend2d-src.tar.gz"
done
if [ ! -f "$tarball" ]; then
  echo "blend2d: no source tarball, skipping" >&2
  exit 1
fi
src="$out/blend2d-src"
bld="$out/blend2d-build"
prefix="$out/blend2d-install"
if [ -f "$prefix/lib/libblend2d.a" ] && [ "$prefix/.stamp" -nt "$tarball" ]; then  # built already
  echo "$prefix"
  exit 0
fi
mkdir -p "$src"
tar xzf "$tarball" -C "$src" || { echo "blend2d: cannot unpack" >&2; exit 1; }
if ! cmake -S "$src/blend2d" -B "$bld" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DBLEND2D_STATIC=ON -DBLEND2D_TEST=OFF -DBLEND2D_DEMOS=OFF \
    -DASMJIT_DIR="$src/asmjit" -DCMAKE_INSTALL_PREFIX="$prefix" >&2 ||
   ! cmake --build "$bld" -j "${BLEND2D_JOBS:-2}" >&2 ||
   ! cmake --install "$bld" >&2; then
  echo "blend2d: build failed, skipping" >&2
  exit 1
fi
touch "$prefix/.stamp"
echo "$prefix"

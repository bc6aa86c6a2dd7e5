#!/usr/bin/env bash
# Cross-builds the library, the gallery and the tests for another Debian
# architecture with Debian's cross compiler, and runs the whole suite under
# qemu's user-mode emulation: the pixels must be the bytes they are on
# x86-64. Usage: cross-test.sh ARCH [CMAKE-ARGUMENT...], ARCH arm64 or armhf;
# the build goes to build-ARCH.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
arch="${1:-}"
case "$arch" in
  arm64) triplet=aarch64-linux-gnu processor=aarch64 emulator=qemu-aarch64 ;;
  armhf) triplet=arm-linux-gnueabihf processor=arm emulator=qemu-arm ;;
  *) echo "usage: cross-test.sh arm64|armhf [CMAKE-ARGUMENT...]" >&2; exit 2 ;;
esac
shift
bash "$root/scripts/setup.sh" "$arch"

# Only the target's own packages: AGG's headers come from the build
# machine's package, since nothing of AGG is linked.
export PKG_CONFIG_LIBDIR="/usr/lib/$triplet/pkgconfig:/usr/share/pkgconfig"
unset PKG_CONFIG_PATH
build="$root/build-$arch"
jobs="$(nproc)"
# The emulator runs the test programs (ctest and the test discovery) with
# the architecture's own runtimes installed beside the machine's (qemu's -L
# with the cross toolchain's copies hangs as a program starts a thread).
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_SYSTEM_NAME=Linux -DCMAKE_SYSTEM_PROCESSOR="$processor" \
      -DCMAKE_C_COMPILER="$triplet-gcc" -DCMAKE_CXX_COMPILER="$triplet-g++" \
      -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" \
      -DVUDADIVE2R_BUILD_TESTS=ON -DVUDADIVE2R_BUILD_BENCHMARKS=OFF "$@"
cmake --build "$build" -j "$jobs"
(cd "$build" && ctest --output-on-failure -j "$jobs")

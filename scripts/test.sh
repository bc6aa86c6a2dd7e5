#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite through
# ctest: once plainly, once under AddressSanitizer and UndefinedBehaviorSanitizer,
# the thread test under ThreadSanitizer, once with the span loops capped at
# SSE2; then every fuzz target briefly, so that a regression on their corpora
# shows; then the suite cross-built for arm64 and armhf under qemu.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh" test

jobs="$(nproc)"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DVUDADIVE2R_BUILD_TESTS=ON -DVUDADIVE2R_BUILD_BENCHMARKS=ON
cmake --build "$root/build" -j "$jobs"
(cd "$root/build" && ctest --output-on-failure -j "$jobs")
# The Debian packages: built, checked by lintian, clients built against them.
bash "$root/scripts/debian.sh"

cmake -S "$root" -B "$root/build-sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVUDADIVE2R_SANITIZE=ON \
      -DVUDADIVE2R_BUILD_TESTS=ON -DVUDADIVE2R_BUILD_BENCHMARKS=OFF
cmake --build "$root/build-sanitize" -j "$jobs"
(cd "$root/build-sanitize" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   LSAN_OPTIONS="suppressions=$root/tests/lsan.supp" ctest --output-on-failure -j "$jobs")

# The thread tests under ThreadSanitizer: the library and those two tests. Run
# without address randomisation, which kernels with wide mmap randomisation
# give in a layout ThreadSanitizer's runtime cannot map.
cmake -S "$root" -B "$root/build-thread" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVUDADIVE2R_THREAD_SANITIZE=ON \
      -DVUDADIVE2R_BUILD_TESTS=ON -DVUDADIVE2R_BUILD_EXAMPLES=OFF -DVUDADIVE2R_BUILD_BENCHMARKS=OFF
cmake --build "$root/build-thread" -j "$jobs"
(cd "$root/build-thread" && TSAN_OPTIONS=halt_on_error=1 setarch "$(uname -m)" -R ctest --output-on-failure -j "$jobs")

# The span loops capped at SSE2, as a processor without AVX2 chooses them
# (arm64 and armhf below run the portable ones).
if [ "$(uname -m)" = x86_64 ]; then
  cmake -S "$root" -B "$root/build-sse2" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVUDADIVE2R_WIDEST_SIMD=SSE2 \
        -DVUDADIVE2R_BUILD_TESTS=ON -DVUDADIVE2R_BUILD_EXAMPLES=OFF -DVUDADIVE2R_BUILD_BENCHMARKS=OFF
  cmake --build "$root/build-sse2" -j "$jobs"
  (cd "$root/build-sse2" && ctest --output-on-failure -j "$jobs")
fi

# A fixed seed: the brief run is a regression check, not a search, and must
# not turn red by chance.
VUDADIVE2R_FUZZ_SEED="${VUDADIVE2R_FUZZ_SEED:-1}" bash "$root/scripts/fuzz.sh" "${VUDADIVE2R_FUZZ_SECONDS:-20}"

# The same bytes on other processors: the whole suite cross-built for arm64
# and armhf and run under qemu's user-mode emulation.
for arch in arm64 armhf; do
  bash "$root/scripts/cross-test.sh" "$arch"
done

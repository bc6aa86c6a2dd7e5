#!/usr/bin/env bash
# Installs the Debian packages that a job needs; a quick no-op when they are
# all there. Usage: setup.sh [PROFILE...], with the profiles
#   gallery  building the library, installing it and rendering the gallery
#            (with the fonts its captions use)
#   test     the gallery's packages, the test tools, and what the
#            benchmarks build against (the test build compiles them too)
#   bench    the gallery's packages and the benchmarks' comparison libraries
#   fuzz     the gallery's packages and clang with its fuzzing runtime
#   package  the gallery's packages and the Debian packaging tools
#   arm64, armhf
#            the build tools, Debian's cross compiler for that architecture,
#            qemu's user-mode emulation and the architecture's own libraries
#            (scripts/cross-test.sh)
# No profile means gallery, test and bench.
set -euo pipefail

# The gallery captions its cells with DejaVu Sans, found through fontconfig,
# and draws icons of the installed Adwaita theme from their SVG path data.
# Shaped text needs HarfBuzz, FriBiDi and ICU (line breaks), and the gallery's
# lines in other scripts the Noto fonts (emoji: the colour bitmap font).
build=(g++ cmake ninja-build pkg-config libagg-dev libfreetype-dev libpng-dev libfontconfig-dev libjpeg-dev
       libharfbuzz-dev libfribidi-dev libicu-dev
       fonts-dejavu-core fonts-noto-core fonts-noto-color-emoji fontconfig adwaita-icon-theme)
bench=(libbenchmark-dev libcairo2-dev libpango1.0-dev qt6-base-dev)
# The test run also runs each fuzz target briefly, built with clang.
fuzz_tools=(clang libclang-rt-14-dev python3)
# The test run also builds the Debian packages and checks them.
package_tools=(debhelper dpkg-dev lintian)
# Icons drawn from their path data are compared with rsvg-convert's drawing;
# shaping with hb-shape's; JPEG files are made and decoded by libjpeg-turbo's
# own tools; the window example runs under Xvfb, screenshot by xwd. Terminus
# is a bitmap font without colour, which text must not draw as colour glyphs.
test_tools=(googletest libgtest-dev pngcheck librsvg2-bin libharfbuzz-bin libjpeg-turbo-progs fonts-terminus-otb
            xvfb xauth x11-apps libsdl2-dev "${fuzz_tools[@]}" "${package_tools[@]}")

profiles=("$@")
[ ${#profiles[@]} -eq 0 ] && profiles=(gallery test bench)
packages=("${build[@]}")
foreign=()
for profile in "${profiles[@]}"; do
  case "$profile" in
    gallery) ;;
    test) packages+=("${test_tools[@]}" "${bench[@]}") ;;
    bench) packages+=("${bench[@]}") ;;
    fuzz) packages+=("${fuzz_tools[@]}") ;;
    package) packages+=("${package_tools[@]}") ;;
    arm64|armhf)
      foreign+=("$profile")
      packages+=("crossbuild-essential-$profile" qemu-user "libfreetype-dev:$profile" "libpng-dev:$profile"
                 "libfontconfig-dev:$profile" "libjpeg-dev:$profile" "libharfbuzz-dev:$profile"
                 "libfribidi-dev:$profile" "libicu-dev:$profile" "libgtest-dev:$profile" "libstdc++6:$profile") ;;
    *) echo "setup.sh: unknown profile '$profile' (gallery, test, bench, fuzz, package, arm64, armhf)" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "Run as root (or install these packages yourself): ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
# Another architecture's libraries install beside the machine's own (multiarch).
for arch in "${foreign[@]}"; do
  dpkg --print-foreign-architectures | grep -qx "$arch" || dpkg --add-architecture "$arch"
done
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"

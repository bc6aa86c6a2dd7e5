#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the gallery and the
# benchmarks need. Quick no-op when everything is already there.
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config libagg-dev libfreetype-dev libpng-dev
          googletest libgtest-dev libbenchmark-dev libcairo2-dev fonts-dejavu-core pngcheck
          clang libclang-rt-14-dev python3)

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
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"

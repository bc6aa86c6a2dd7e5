#!/usr/bin/env bash
# Builds the Debian packages from debian/ into build-deb/, lists their
# contents, checks them with lintian (no errors, no warnings that debian/
# does not explain), unpacks them into a throwaway root and builds and runs
# the clients and examples against that root with pkg-config and CMake alone.
# Install the packages with: apt install ./build-deb/*.deb
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh" package

out="$root/build-deb"
rm -rf "$out"
mkdir -p "$out/source"
# dpkg-buildpackage writes its results next to the source: build a copy of
# the tree, without build directories, inside build-deb/.
tar -C "$root" --exclude=./.git --exclude='./build*' --exclude=./gallery -cf - . | tar -C "$out/source" -xf -

# The packages carry the project's version.
project_version="$(sed -n 's/^project(Vudadive2R VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
package_version="$(cd "$out/source" && dpkg-parsechangelog -S Version)"
if [ "${package_version%-*}" != "$project_version" ]; then
  echo "debian/changelog is at $package_version, the project at $project_version" >&2
  exit 1
fi

(cd "$out/source" && DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}" \
   dpkg-buildpackage -b -us -uc) > "$out/build.log" 2>&1 || { tail -n 60 "$out/build.log"; exit 1; }

debs=("$out"/*.deb)
for deb in "${debs[@]}"; do
  echo "== $(basename "$deb")"
  dpkg-deb -f "$deb" Depends
  dpkg-deb -c "$deb" | awk '{print "   " $6 ($7 ? " " $7 " " $8 : "")}'
done

# Errors and warnings fail; debian/*.lintian-overrides explains the ones kept.
lintian --fail-on error,warning --display-info "$out"/*.changes

rm -rf "$out/root"
for deb in "${debs[@]}"; do
  case "$deb" in *-dbgsym_*) continue ;; esac
  dpkg -x "$deb" "$out/root"
done
cmake -DROOT="$out/root" -DSOURCE_DIR="$root" -DWORK_DIR="$out/clients" -DBUILD_TYPE=None -DGENERATOR=Ninja \
      -DOBJDUMP=objdump -DC_COMPILER=cc -DCXX_COMPILER=c++ -P "$root/tests/install/InstallCheck.cmake"
echo "Debian packages in $out: built, lintian-clean, clients built and run against them"

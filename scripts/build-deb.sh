#!/usr/bin/env bash
# Builds the Debian package from this tree and leaves it in build/deb/: quillon_VERSION_ARCH.deb,
# with the source package, .buildinfo and .changes beside it. Installs the build dependencies
# (debian/control) when any is missing.
#
# The version is the one in project(VERSION) in CMakeLists.txt; the changelog entry is written
# from it here, so the package and the programs' --version always agree. The build runs in a copy
# of the tree under build/deb/, because dpkg-buildpackage writes its results beside the source
# and its build folder into it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build/deb

as_root=()
[[ $(id -u) -ne 0 ]] && as_root=(sudo)
apt_install() {
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update -q
  "${as_root[@]}" apt-get install -y -q --no-install-recommends "$@"
}

command -v dpkg-checkbuilddeps >/dev/null || apt_install dpkg-dev
version=$(sed -n 's/^project(QuillonUtility VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt)
[[ -n $version ]] || { echo "build-deb: no project(... VERSION) in CMakeLists.txt" >&2; exit 1; }

rm -rf "$out"
source_dir=$out/quillon-$version
mkdir -p "$source_dir"
tar -C "$root" --anchored --exclude=./.git --exclude='./build*' --exclude=./.cache \
  --exclude='./obj-*' --exclude=./compile_commands.json -cf - . | tar -C "$source_dir" -xf -

if commit=$(git rev-parse --short HEAD 2>/dev/null); then
  date=$(git log -1 --format=%cD)
  [[ -z $(git status --porcelain) ]] || commit="$commit with local changes"
else
  commit="unknown" date=$(date -R)
fi
cat >"$source_dir/debian/changelog" <<CHANGELOG
quillon ($version) unstable; urgency=medium

  * Built from the source tree at commit $commit.

 -- Quillon Utility developers <developers@quillon.example>  $date
CHANGELOG

cd "$source_dir"
if ! dpkg-checkbuilddeps 2>/dev/null; then
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update -q
  "${as_root[@]}" apt-get build-dep -y -q "$source_dir"
fi
# No -dbgsym package, and so no debug information to compile (a third of the build's time) only
# for dh_strip to throw away.
DEB_BUILD_OPTIONS="noautodbgsym parallel=${JOBS:-$(nproc)} ${DEB_BUILD_OPTIONS:-}" \
  DEB_CXXFLAGS_STRIP="-g ${DEB_CXXFLAGS_STRIP:-}" dpkg-buildpackage --build=full --no-sign
cd "$out"
rm -rf "$source_dir"
echo "build-deb: $(ls "$out"/quillon_*.deb)"

#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
# Runs apt-get update once, and only when something must be installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang clang-format clang-tidy
  libpcap-dev libcli11-dev nlohmann-json3-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  iproute2
  qt6-base-dev qt6-svg-dev fonts-liberation xvfb xauth
  dpkg-dev debhelper fakeroot lintian help2man desktop-file-utils appstream libcap2-bin
  bash-completion adduser
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

as_root=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "install-deps: run as root to install: ${missing[*]}" >&2; exit 1; }
  as_root=(sudo)
fi
echo "install-deps: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"

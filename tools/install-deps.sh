#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need.
# Quick when they are already there: apt is only asked for what is missing.
set -euo pipefail
PACKAGES=(
  cmake ninja-build g++ pkg-config ccache
  qtbase5-dev qttools5-dev qttools5-dev-tools libqt5svg5
  librapidxml-dev liblzma-dev xz-utils
  libgtest-dev libbenchmark-dev libpugixml-dev libexpat1-dev
  clang libclang-rt-14-dev
  xvfb xauth procps curl python3 fonts-dejavu-core
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

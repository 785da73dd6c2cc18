#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12, only what is
# missing, through sudo when not root.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev libgl-dev libqscintilla2-qt6-dev libfontconfig-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev libfuzzer-14-dev clang-tidy clang-format
  dpkg-dev
  xvfb xauth
  chromium nodejs fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# A node from elsewhere (nvm, a tarball) serves as well as Debian's.
if command -v node >/dev/null; then
  missing=("${missing[@]/nodejs}")
fi
read -r -a missing <<< "${missing[*]}"

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
install() {
  echo "Installing: $*"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@"
}

[ ${#missing[@]} -eq 0 ] || install "${missing[@]}"
# Some node packages bring npm along and refuse Debian's own; ask only when it is still missing.
command -v npm >/dev/null || install npm

#!/usr/bin/env bash
# Installs the Debian packages that building, packaging and testing Tamsik
# need, if any is missing: scripts/install_deps.sh [build|package|test]
set -euo pipefail

build=(cmake ninja-build g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 wine xvfb xdotool x11-utils
       x11-xserver-utils imagemagick fonts-wqy-microhei fonts-wine)
package=(zip git)
test=(g++ clang libclang-rt-dev googletest libgtest-dev libgmock-dev libbenchmark-dev unzip)

wanted=("${build[@]}")
case ${1:-test} in
  package) wanted+=("${package[@]}") ;;
  test) wanted+=("${package[@]}" "${test[@]}") ;;
esac

missing=()
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
((${#missing[@]} == 0)) && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=()
((EUID != 0)) && sudo=(sudo)
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "${missing[@]}"

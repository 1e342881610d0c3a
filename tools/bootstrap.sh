#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, once: every later run only checks.
set -euo pipefail

packages=(
  cmake make ninja-build g++ clang libclang-rt-14-dev clang-format
  mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine64 wine32:i386 xvfb xauth x11-utils imagemagick
  googletest libgtest-dev libbenchmark-dev
  iproute2 util-linux
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "bootstrap: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
# wine32 lives in the i386 architecture, which a fresh machine does not list yet.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

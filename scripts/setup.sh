#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Idempotent; run as root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  clang libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libsndfile1-dev libcli11-dev libfreetype-dev libfontconfig-dev libpng-dev libx11-dev
  fonts-liberation2
  mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine64 wine32:i386
  xvfb xdotool x11-utils
  lv2-dev sordi lilv-utils liblilv-dev jalv jackd2
  dpf-plugins-vst lsp-plugins-vst
)

# Heavy packages only one test needs, installed when it asks for them:
# `setup.sh lmms` (LMMS rendering through the 32-bit DLL, about 115 packages,
# and what its script compares the renders with).
# `setup.sh ardour` (Ardour 7's headless session tools rendering through the
# Linux .so; about 2 minutes to install).
if [ "${1:-}" = lmms ]; then
  packages=(lmms:i386 lmms-vst-server:i386 python3 python3-numpy)
elif [ "${1:-}" = ardour ]; then
  packages=(ardour)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages (${missing[*]}); run as root" >&2
  exit 1
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

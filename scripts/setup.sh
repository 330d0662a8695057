#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Idempotent; run as root.
set -euo pipefail

# The 32-bit Wine comes on its own: where the mirror's i386 lists are out of
# step with the native ones it cannot be installed, and the 32-bit Windows
# tests then say they are skipped instead of failing the whole setup.
foreign=(wine32:i386)
packages=(
  build-essential cmake ninja-build pkg-config clang-format
  clang libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libsndfile1-dev libcli11-dev libfreetype-dev libfontconfig-dev libpng-dev libx11-dev
  fonts-liberation2
  mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine64
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
  foreign=()
elif [ "${1:-}" = ardour ]; then
  packages=(ardour)
  foreign=()
fi

not_installed() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}
mapfile -t missing < <(not_installed "${packages[@]}")
mapfile -t missing_foreign < <(not_installed "${foreign[@]}")
[ ${#missing[@]} -eq 0 ] && [ ${#missing_foreign[@]} -eq 0 ] && exit 0
missing+=("${missing_foreign[@]}")

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages (${missing[*]}); run as root" >&2
  exit 1
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# A mirror in the middle of a sync fails an update now and then: tried again,
# and the lists already there serve the install if it keeps failing.
for attempt in 1 2 3; do
  apt-get update -qq && break
  echo "setup: apt-get update failed (attempt $attempt)" >&2
  sleep $((attempt * 5))
done
install() {
  local attempt
  for attempt in 1 2 3; do
    apt-get install -y -qq --no-install-recommends "$@" >/dev/null && return 0
    echo "setup: apt-get install failed (attempt $attempt)" >&2
    sleep $((attempt * 5))
    apt-get update -qq || true
  done
  return 1
}
mapfile -t missing < <(not_installed "${packages[@]}")
[ ${#missing[@]} -eq 0 ] || install "${missing[@]}"
mapfile -t missing_foreign < <(not_installed "${foreign[@]}")
if [ ${#missing_foreign[@]} -gt 0 ] && ! install "${missing_foreign[@]}"; then
  echo "setup: ${missing_foreign[*]} could not be installed; the 32-bit Windows tests will be skipped" >&2
fi

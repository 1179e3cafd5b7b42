#!/usr/bin/env bash
# Installs what the build needs from Debian's packages (only what is missing) and
# cross-builds the Windows libraries from Debian's source packages into a cache
# keyed by their versions. Safe to run again: the second run takes seconds.
#
#   tools/deps.sh            packages + Windows libraries
#   tools/deps.sh --native   packages for the native build only
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
native_only=0
[ "${1:-}" = "--native" ] && native_only=1

sudo_=""
[ "$(id -u)" -eq 0 ] || sudo_="sudo"

native_pkgs=(build-essential cmake ninja-build pkg-config python3 clang libclang-rt-14-dev
  zlib1g-dev libpng-dev libjpeg62-turbo-dev libmypaint-dev libjson-c-dev libsqlite3-dev
  libgtest-dev libgmock-dev libbenchmark-dev mypaint-brushes imagemagick librsvg2-bin
  fonts-arphic-ukai fonts-arphic-uming fonts-wqy-microhei)
win_pkgs=(g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-i686-dev
  libz-mingw-w64-dev nasm dpkg-dev xz-utils wine wine32:i386 xvfb xauth xdotool x11-utils
  locales googletest tcl)

missing=()
want=("${native_pkgs[@]}")
[ $native_only -eq 1 ] || want+=("${win_pkgs[@]}")
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "deps: installing ${missing[*]}"
  if [ $native_only -eq 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo_ dpkg --add-architecture i386
  fi
  $sudo_ apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
[ $native_only -eq 1 ] && exit 0

# The Windows program shows Chinese texts: Wine needs the code page 936 locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
    echo 'zh_CN.UTF-8 UTF-8' | $sudo_ tee -a /etc/locale.gen >/dev/null
  $sudo_ locale-gen >/dev/null
fi

exec "$here/tools/winlibs/build.sh"

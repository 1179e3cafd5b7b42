#!/usr/bin/env bash
# Cross-builds the Windows libraries (libpng, libjpeg-turbo, json-c, libmypaint, SQLite)
# from Debian's source packages into a cache keyed by their versions and by the files
# of this folder, and links build/winlibs to it. A second run takes no time.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
sudo_=""
[ "$(id -u)" -eq 0 ] || sudo_="sudo"

# --- Windows libraries -------------------------------------------------------
# Keyed by the Debian versions of the libraries and by this script and its
# CMake helper (and the float maths compiled into libmypaint), so that any change
# to how they are built rebuilds them.
ver() { dpkg-query -W -f='${Version}' "$1"; }
key=$( { for p in libpng-dev libjpeg62-turbo-dev libjson-c-dev libmypaint-dev libsqlite3-dev \
            g++-mingw-w64-i686-posix libz-mingw-w64-dev; do echo "$p=$(ver "$p")"; done
         cat "$here/tools/winlibs/"* "$here/paint/mp_mathf.h"; } | sha1sum | cut -c1-12)
cache=${QM_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quillmere}
prefix=$cache/winlibs-$key
mkdir -p "$here/build"
if [ -f "$prefix/.complete" ]; then
  ln -sfn "$prefix" "$here/build/winlibs"
  exit 0
fi

echo "deps: cross-building the Windows libraries into $prefix"
mkdir -p "$cache"
work=$(mktemp -d "$cache/work.XXXXXX")
trap 'rm -rf "$work"' EXIT
rm -rf "$prefix"
mkdir -p "$prefix"

# Source packages: deb-src lines are added for this run only.
srclist=/etc/apt/sources.list.d/quillmere-deb-src.sources
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  $sudo_ tee "$srclist" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  added_src=1
fi
$sudo_ apt-get update -q >/dev/null
cd "$work"
# A security update's .dsc can be missing from the mirror while its .orig tarball is
# there: the tarball is all we use, so a failed download with the tarball present is fine.
apt-get source --download-only libpng1.6 libjpeg-turbo json-c libmypaint sqlite3 >download.log 2>&1 || true
[ "${added_src:-0}" = 1 ] && { $sudo_ rm -f "$srclist"; $sudo_ apt-get update -q >/dev/null || true; }
for t in libpng1.6 libjpeg-turbo json-c libmypaint sqlite3; do
  f=$(ls ${t}_*.orig.tar.* 2>/dev/null | grep -v -- '-www' | head -n1)
  [ -n "$f" ] || { cat download.log; echo "deps: no source of $t" >&2; exit 1; }
  mkdir "src-$t"
  tar xf "$f" -C "src-$t" --strip-components=1
done

tc=$here/cmake/mingw32.cmake
jobs=$(nproc)
cm() { # source build-dir extra-args...
  local s=$1 b=$2; shift 2
  cmake -S "$s" -B "$b" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$tc" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" -DQM_WINLIBS="$prefix" "$@" >"$b.log" 2>&1 ||
    { tail -n 40 "$b.log"; exit 1; }
  cmake --build "$b" -j"$jobs" >>"$b.log" 2>&1 || { tail -n 40 "$b.log"; exit 1; }
  cmake --install "$b" >>"$b.log" 2>&1
}

cm src-libpng1.6 b-png -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DZLIB_ROOT=/usr/i686-w64-mingw32
cm src-libjpeg-turbo b-jpeg -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=ON -DWITH_TURBOJPEG=OFF \
  -DCMAKE_SYSTEM_PROCESSOR=x86 -DCMAKE_ASM_NASM_COMPILER=nasm
cm src-json-c b-jsonc -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON -DBUILD_TESTING=OFF -DDISABLE_WERROR=ON
# libmypaint and SQLite: the library sources compiled by our own small CMake projects.
cp "$here/tools/winlibs/mypaint.cmake" src-libmypaint/CMakeLists.txt
cm src-libmypaint b-mypaint -DQM_SOURCE_DIR="$here"
# SQLite's single-file amalgamation is generated with the source tree's own tools (tclsh).
( cd src-sqlite3 && mkdir -p bld && cd bld && ../configure >/dev/null 2>&1 && make sqlite3.c >/dev/null 2>&1 ) ||
  { echo "deps: cannot make the SQLite amalgamation" >&2; exit 1; }
mkdir sqlite && cp src-sqlite3/bld/sqlite3.c src-sqlite3/bld/sqlite3.h "$here/tools/winlibs/sqlite.cmake" sqlite/
mv sqlite/sqlite.cmake sqlite/CMakeLists.txt
cm sqlite b-sqlite

touch "$prefix/.complete"
ln -sfn "$prefix" "$here/build/winlibs"
echo "deps: Windows libraries ready"

#!/usr/bin/env bash
# Puts the converted brush files into the installation tree: packed into the
# brush package GLIB/penpat/mp.zzi/.zzd when a pack program is given, else as
# loose files in GLIB/penpat/mp/. Usage: install_brushes.sh PACK|- GEN TREE
set -euo pipefail
pack=$1 gen=$2 tree=$3
dest=$tree/GLIB/penpat
mkdir -p "$dest"
mapfile -t files < <(sed 's|^|'"$gen"'/|' "$gen/brushes.lst")
if [ "$pack" != "-" ]; then
  "$pack" brush "$dest/mp" "${files[@]}"
  rm -rf "$dest/mp"  # loose copies of an earlier build would shadow nothing, but mislead
else
  mkdir -p "$dest/mp"
  cp "${files[@]}" "$dest/mp/"
fi

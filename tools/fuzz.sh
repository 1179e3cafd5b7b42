#!/usr/bin/env bash
# Runs every fuzz target of the fuzz build for a while on its seed corpus.
#   tools/fuzz.sh [seconds-per-target]    (default 20)
# A crash fails the run; the crashing input is left in build/fuzz/crashes/.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
secs=${1:-20}
bin=$here/build/fuzz/fuzz
out=$here/build/fuzz/crashes
mkdir -p "$out"
status=0
shopt -s nullglob
for exe in "$bin"/fuzz_*; do
  [ -x "$exe" ] || continue
  name=${exe##*/fuzz_}
  seeds=$here/fuzz/corpus/$name
  work=$(mktemp -d)
  [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/ 2>/dev/null || true
  echo "fuzz: $name for ${secs}s"
  if ! "$exe" -max_total_time="$secs" -rss_limit_mb=2048 -max_len=65536 \
      -artifact_prefix="$out/$name-" "$work" >"$out/$name.log" 2>&1; then
    echo "fuzz: $name FAILED"; tail -n 30 "$out/$name.log"; status=1
  fi
  rm -rf "$work"
done
exit $status

#!/usr/bin/env bash
# The Internet cache item on a generated cache of 50,000 files in the Content.IE5 layout
# (100 folders with eight-character names, 500 files each), against the minimal Win32 size
# walk plus delete loop on an identical cache. Each side takes three caches in turns.
#
# What the figures showed when written (Wine 8, shared VM, quiet): 1.59x. The item finds the
# files into a plan, then deletes each through a handle opened relative to its checked folder:
# open, name check, disposition, close, four wineserver requests where DeleteFileA makes two
# (see folders.sh). Checking size and write time as well, as a preview's plan needs, gave 1.98x.
# Called by scripts/run-bench with the prefix set up: cache.sh <builddir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.bash"
build=$1
exe_cache="$build/bench/bench_cache.exe"
exe_minimal="$build/bench/bench_minimal.exe"
base="$WINEPREFIX/drive_c/bwcache"
winbase='C:\bwcache'


# run EXE MODE DIR: sets r_seconds, r_count, r_peak (MiB)
run() {
  local out line
  out=$(wine "$1" "$2" "$winbase\\$3" 2>/dev/null </dev/null | grep '^result ' || true)
  [ -n "$out" ] || fail "$(basename "$1") $2 gave no result"
  parse_result "$out"
}

t_item=0; t_ref=0; p_item=0; p_ref=0
for k in 0 1 2; do
  gen_cache "$base/item$k" 100 index
  gen_cache "$base/ref$k" 100 index
  for side in item ref; do
    if [ "$side" = item ]; then
      run "$exe_cache" cacheitem "item$k"
      [ "$r_count" -ge 10000000 ] || fail "the cache item measured $r_count bytes"
      t_item=$(sum "$t_item" "$r_seconds"); p_item=$r_peak
      [ -z "$(ls -A "$base/item$k")" ] || fail "the cache item left entries behind"
    else
      run "$exe_minimal" size "ref$k"; t_ref=$(sum "$t_ref" "$r_seconds")
      run "$exe_minimal" empty "ref$k"; t_ref=$(sum "$t_ref" "$r_seconds"); p_ref=$r_peak
    fi
  done
done
rm -rf "$base"

echo "3 caches of 50000 files in 100 Content.IE5 folders, taken in turns:"
printf '  %-44s %8s s  %6s MiB\n' "Internet cache item (Wine)" "$t_item" "$p_item"
printf '  %-44s %8s s  %6s MiB\n' "minimal size walk + delete loop (Wine)" "$t_ref" "$p_ref"
figure cacheitem "$t_item" "$t_ref" minimal-win32-loop 150000 "$p_item"

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


# gen_cache DIR: DIR/Content.IE5/<8 chars>/page<n>[1].htm, 100 folders of 500 files of 200
# bytes, and an index file, as the browser lays its cache out.
gen_cache() {
  rm -rf "$1"
  mkdir -p "$1/Content.IE5"
  awk -v root="$1/Content.IE5" 'BEGIN {
    srand(7); chars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
    line = sprintf("%199s", ""); gsub(/ /, "c", line)
    for (i = 0; i < 100; i++) {
      name = ""
      for (c = 0; c < 8; c++) name = name substr(chars, int(rand() * 36) + 1, 1)
      dir = root "/" sprintf("%s%02d", substr(name, 1, 6), i)
      system("mkdir -p \"" dir "\"")
      for (k = 0; k < 500; k++) { f = sprintf("%s/page%03d[1].htm", dir, k); print line > f; close(f) }
    }
    print line > (root "/index.dat")
  }'
}

# run EXE MODE DIR: sets r_seconds, r_count, r_peak (MiB)
run() {
  local out line
  out=$(wine "$1" "$2" "$winbase\\$3" 2>/dev/null </dev/null | grep '^result ' || true)
  [ -n "$out" ] || fail "$(basename "$1") $2 gave no result"
  parse_result "$out"
}
sum() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a + b }'; }

t_item=0; t_ref=0; p_item=0; p_ref=0
for k in 0 1 2; do
  gen_cache "$base/item$k"
  gen_cache "$base/ref$k"
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

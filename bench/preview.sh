#!/usr/bin/env bash
# The preview of the Internet cache item on a generated cache of 150,000 files in the
# Content.IE5 layout (300 folders of 500 files), against platform::fs::FolderSize over the same
# tree, taken in turns three times; and the memory the preview's plan holds.
# Called by scripts/run-bench with the prefix set up: preview.sh <builddir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.bash"
build=$1
exe="$build/bench/bench_cache.exe"
base="$WINEPREFIX/drive_c/bwpreview"
winbase='C:\bwpreview'

gen_cache "$base" 300
files=$(find "$base" -type f | wc -l)
[ "$files" -eq 150000 ] || fail "generated $files files"

run() {
  local out
  out=$(wine "$exe" "$1" "$winbase" 2>/dev/null </dev/null || true)
  line=$(grep '^result ' <<<"$out" || true)
  [ -n "$line" ] || fail "bench_cache $1 gave no result"
  parse_result "$line"
  plan=$(grep '^plan ' <<<"$out" || true)
}

t_preview=0; t_size=0; p_preview=0; memory=0
for k in 0 1 2; do
  run preview; t_preview=$(sum "$t_preview" "$r_seconds"); p_preview=$r_peak
  [ "$r_count" -eq 30000000 ] || fail "the preview planned $r_count bytes"
  memory=$(sed -n 's/.*memory=\([0-9]*\).*/\1/p' <<<"$plan")
  run foldersize; t_size=$(sum "$t_size" "$r_seconds")
  [ "$r_count" -eq 30000000 ] || fail "FolderSize measured $r_count bytes"
done
[ "$(find "$base" -type f | wc -l)" -eq 150000 ] || fail "the preview removed files"
rm -rf "$base"

echo "3 runs over a cache of 150000 files in 300 Content.IE5 folders, taken in turns:"
printf '  %-44s %8s s  %6s MiB\n' "cache item preview (plan only)" "$t_preview" "$p_preview"
printf '  %-44s %8s s\n' "FolderSize of the same tree" "$t_size"
figure preview "$t_preview" "$t_size" folder-size 150000 "$p_preview"
awk -v m="$memory" 'BEGIN { printf "bench preview-plan: %.1f MiB plan memory (150000 files, limit 24 MiB)\n", m / 1048576 }'

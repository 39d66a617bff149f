#!/usr/bin/env bash
# A chain of folders 3,000 deep, a file at each level and top.tmp beside it, erased as the Temp
# item erases (its planning walk, then the executor) against the minimal Win32 loop with an
# explicit stack (FindFirstFileW, DeleteFileW, RemoveDirectoryW on long paths). Each side takes
# two chains, in turns (ABBA).
#
# Under Wine no folder whose Linux path is longer than 4,096 bytes can be opened, by any program:
# both sides erase the levels that fit and leave the rest (the item names the first folder it
# could not enter in its report). And every open of a folder or file costs Wine the more the
# deeper it lies (the server resolves the whole path on each open, and a name query looks at each
# folder above), so even the minimal loop grows with the depth squared per level. The names here
# are 16 characters, so about 240 levels are reached; the ratio is what the item adds to Wine's
# own cost: a relative open and a name query per folder, twice (plan, then erase), and per file.
# What the figures showed when written (Wine 8, shared VM): 3.90x-4.05x (6.4 s against 1.6 s for
# two chains a side), 238 files erased and 2,763 left by each side, peak 16.6 MiB against 9.9 MiB.
# Before the walks kept one folder's names at a time and the name query its buffer, a 200-deep
# chain alone took the item 33 s.
# Called by scripts/run-bench with the prefix set up: deeptree.sh <builddir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.bash"
build=$1
exe_folders="$build/bench/bench_folders.exe"
exe_minimal="$build/bench/bench_minimal.exe"
levels=${BW_BENCH_DEEP_LEVELS:-3000}
base="$WINEPREFIX/drive_c/bwdeep"
winbase='C:\bwdeep'

# gen_chain DIR: DIR/top.tmp and DIR/level.../level.../... LEVELS deep, f.tmp at each level. Perl
# goes down by relative names, which no path length stops (a shell's cd slows with the depth).
gen_chain() {
  rm -rf "$1"
  mkdir -p "$1"
  perl -e 'chdir $ARGV[0] or die; open(F, ">top.tmp") && print(F "x") && close(F) or die;
    for $i (0 .. $ARGV[1] - 1) { $n = sprintf("level%011d", $i);
      mkdir($n) && chdir($n) && open(F, ">f.tmp") && print(F "x") && close(F) or die }' "$1" "$levels"
}

# run EXE MODE SUB: sets r_seconds, r_count, r_peak (MiB), and left (files still in the chain).
run() {
  local out
  out=$(wine "$1" "$2" "$winbase\\$3" 2>/dev/null </dev/null | grep '^result ' || true)
  [ -n "$out" ] || fail "$(basename "$1") $2 gave no result"
  parse_result "$out"
  [ ! -e "$base/$3/top.tmp" ] || fail "$2 left top.tmp beside the chain"
  left=$(find "$base/$3" -type f | wc -l)
}

t_item=0; t_ref=0; p_item=0; p_ref=0
for k in 0 1 2 3; do
  gen_chain "$base/c$k"
  if [ $((k % 3)) -eq 0 ]; then
    run "$exe_folders" planexecute "c$k"
    t_item=$(sum "$t_item" "$r_seconds"); p_item=$(awk -v a="$p_item" -v b="$r_peak" 'BEGIN { print (b > a) ? b : a }')
    erased_item=$r_count; left_item=$left
  else
    run "$exe_minimal" emptydeep "c$k"
    t_ref=$(sum "$t_ref" "$r_seconds"); p_ref=$(awk -v a="$p_ref" -v b="$r_peak" 'BEGIN { print (b > a) ? b : a }')
    erased_ref=$r_count; left_ref=$left
  fi
  rm -rf "$base/c$k"
done
rm -rf "$base"
[ "$erased_item" -eq "$erased_ref" ] || fail "the item erased $erased_item files, the minimal loop $erased_ref"

echo "a chain $levels folders deep, a file in each and one beside it; two chains a side, in turns:"
printf '  %-44s %8s s  %6s MiB  (%s files erased, %s left)\n' "Temp item: plan + executor (Wine)" "$t_item" "$p_item" "$erased_item" "$left_item"
printf '  %-44s %8s s  %6s MiB  (%s files erased, %s left)\n' "minimal FindFirstFileW loop (Wine)" "$t_ref" "$p_ref" "$erased_ref" "$left_ref"
ratio=$(awk -v a="$t_item" -v b="$t_ref" 'BEGIN { printf "%.2f", a / b }')
echo "bench deeptree: ${ratio}x minimal-win32-loop ($levels levels, $t_item s, peak $p_item MiB)"

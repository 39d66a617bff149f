#!/usr/bin/env bash
# Folder walks: FolderSize and EmptyFolder against a minimal Win32 loop under Wine and against
# du -sb / rm -rf on Linux, on generated trees of 100-byte files inside the throwaway prefix.
# Called by scripts/run-bench with the prefix set up: folders.sh <builddir>
#
# What the figures showed when written (Wine 8, ext4 on a shared VM): FolderSize is as fast as
# the minimal walk; EmptyFolder pays the final-path check, a fixed ~75-80 us per file under Wine
# (a name query and a separate set-disposition request, where DeleteFileA needs only an open
# with delete-on-close and a close), so its ratio to the minimal loop is 1.3x where the disk's
# own unlink cost is high and up to 1.8x where it is low. Memory follows the folder count only.
#
# Deleting under Wine is slow and this machine is often shared, so the Wine-against-Wine
# comparisons of deletes are interleaved: the 100,000 files are split into ten trees per side,
# and the two programs take turns (ABBA) on them; each figure is the sum over the ten.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.bash"
build=$1
exe_folders="$build/bench/bench_folders.exe"
exe_minimal="$build/bench/bench_minimal.exe"
reps=${BW_BENCH_REPS:-3}

base="$WINEPREFIX/drive_c/bwbench"
winbase='C:\bwbench'

# gen_tree DIR TOPS SUBS FILES: TOPS top folders, each holding SUBS sub-folders
# (TOPS * (SUBS + 1) folders); every folder holds FILES files of 100 bytes.
gen_tree() {
  rm -rf "$1"
  mkdir -p "$1"
  awk -v root="$1" -v tops="$2" -v subs="$3" -v files="$4" 'BEGIN {
    line = sprintf("%99s", ""); gsub(/ /, "x", line)
    for (i = 0; i < tops; i++) {
      top = sprintf("%s/d%02d", root, i)
      dirs[0] = top
      for (j = 0; j < subs; j++) dirs[j + 1] = sprintf("%s/e%02d", top, j)
      cmd = "mkdir -p"
      for (j = 0; j <= subs; j++) cmd = cmd " \"" dirs[j] "\""
      system(cmd)
      for (j = 0; j <= subs; j++)
        for (k = 0; k < files; k++) { f = sprintf("%s/f%02d.tmp", dirs[j], k); print line > f; close(f) }
    }
  }'
}

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b + 0 < a + 0) ? b : a }'; }
add() { awk -v a="${1:-0}" -v b="$2" 'BEGIN { printf "%.3f", a + b }'; }
larger() { awk -v a="${1:-0}" -v b="$2" 'BEGIN { print (b + 0 > a + 0) ? b : a }'; }
left_in() { find "$1" -mindepth 1 | wc -l; }

# run_exe EXE MODE SUBFOLDER: one measurement under Wine on C:\bwbench\SUBFOLDER; sets
# r_seconds, r_count and r_peak (MiB, the larger of peak working set and peak pagefile use).
run_exe() {
  local out line
  out=$(mktemp)
  wine "$1" "$2" "$winbase\\$3" >"$out" 2>/dev/null </dev/null || true
  line=$(grep '^result ' "$out" || true)
  rm -f "$out"
  [ -n "$line" ] || fail "$(basename "$1") $2 $3 gave no result"
  parse_result "$line"
}

row() { printf '  %-44s %8s s  %6s MiB\n' "$1" "$2" "$3"; }

# interleave EXE_A MODE_A EXE_B MODE_B TOPS SUBS FILES EXPECTED: ten trees per side, taken in
# turns ABBA; sets i_a, i_b (summed seconds) and i_peak_a, i_peak_b. EXPECTED is the number of
# files per tree that a program reporting a count must have deleted.
interleave() {
  local k
  i_a=""; i_b=""; i_peak_a=""; i_peak_b=""
  for k in 0 1 2 3 4 5 6 7 8 9; do
    gen_tree "$base/a$k" "$5" "$6" "$7"
    gen_tree "$base/b$k" "$5" "$6" "$7"
  done
  run_side() {  # run_side a|b K
    local exe mode
    if [ "$1" = a ]; then exe=$exe_a; mode=$mode_a; else exe=$exe_b; mode=$mode_b; fi
    run_exe "$exe" "$mode" "$1$2"
    [ "$(left_in "$base/$1$2")" -eq 0 ] || fail "$mode left entries behind in $1$2"
    [ "$r_count" -eq 0 ] || [ "$r_count" -eq "$expected" ] || fail "$mode deleted $r_count of $expected"
    if [ "$1" = a ]; then i_a=$(add "$i_a" "$r_seconds"); i_peak_a=$(larger "$i_peak_a" "$r_peak")
    else i_b=$(add "$i_b" "$r_seconds"); i_peak_b=$(larger "$i_peak_b" "$r_peak"); fi
  }
  local exe_a=$1 mode_a=$2 exe_b=$3 mode_b=$4 expected=$8
  for k in 0 1 2 3 4 5 6 7 8 9; do
    if [ $((k % 2)) -eq 0 ]; then run_side a "$k"; run_side b "$k"; else run_side b "$k"; run_side a "$k"; fi
  done
  rm -rf "$base"/a? "$base"/b?
}

mkdir -p "$base"

# 1. One tree of 100,000 files in 5,000 folders: sizes (cheap, so repeated), then one
#    EmptyFolder of the whole tree for its peak memory, and rm -rf of the same tree.
gen_tree "$base/tree" 50 99 20
t_du=""; t_size=""; t_msize=""
for _ in $(seq "$reps"); do
  a=$(now); du -sb "$base/tree" >/dev/null; b=$(now); t_du=$(best "$t_du" "$(elapsed "$a" "$b")")
  run_exe "$exe_folders" foldersize tree; t_size=$(best "$t_size" "$r_seconds"); p_size=$r_peak
  [ "$r_count" -eq 10000000 ] || fail "FolderSize gave $r_count bytes"
  run_exe "$exe_minimal" size tree; t_msize=$(best "$t_msize" "$r_seconds"); p_msize=$r_peak
  [ "$r_count" -eq 10000000 ] || fail "the minimal walk gave $r_count bytes"
done
run_exe "$exe_folders" emptyfolder tree; t_whole=$r_seconds; p_whole=$r_peak
[ "$(left_in "$base/tree")" -eq 0 ] || fail "EmptyFolder left entries behind"
gen_tree "$base/tree" 50 99 20
a=$(now); rm -rf "$base/tree"; b=$(now); t_rm=$(elapsed "$a" "$b")

# 2. EmptyFolder against the minimal loop, interleaved: 10 trees of 10,000 files in 500 folders.
interleave "$exe_folders" emptyfolder "$exe_minimal" empty 5 99 20 10000
t_empty=$i_a; t_mempty=$i_b; p_mempty=$i_peak_b

# 3. The final-path check: the minimal loop as it is against the same loop with each
#    DeleteFileA replaced by the guarded delete; 10 trees of 2,000 files in 100 folders.
interleave "$exe_folders" checkedloop "$exe_minimal" empty 1 99 20 2000
t_checked=$i_a; t_plain=$i_b; p_checked=$i_peak_a

# 4. Memory: the same 5,000 folders with a tenth of the files; the peaks should match step 1,
#    since the walks hold folders, never files.
gen_tree "$base/tree" 50 99 2
run_exe "$exe_folders" foldersize tree; p_size_few=$r_peak
run_exe "$exe_folders" emptyfolder tree; t_few=$r_seconds; p_few=$r_peak
rm -rf "$base"

echo "100000 files of 100 bytes in 5000 folders (sizes: best of $reps):"
row "FolderSize (Wine)" "$t_size" "$p_size"
row "minimal FindFirstFileA walk (Wine)" "$t_msize" "$p_msize"
row "du -sb (Linux)" "$t_du" "-"
row "EmptyFolder, whole tree at once (Wine)" "$t_whole" "$p_whole"
row "rm -rf, whole tree (Linux)" "$t_rm" "-"
echo "100000 files as 10 trees of 500 folders, taken in turns:"
row "EmptyFolder (Wine)" "$t_empty" "$i_peak_a"
row "minimal delete loop (Wine)" "$t_mempty" "$p_mempty"
echo "20000 files as 10 trees of 100 folders, taken in turns:"
row "minimal loop + final-path check (Wine)" "$t_checked" "$p_checked"
row "minimal delete loop (Wine)" "$t_plain" "-"
echo "10000 files in 5000 folders:"
row "FolderSize (Wine)" "-" "$p_size_few"
row "EmptyFolder (Wine)" "$t_few" "$p_few"

figure foldersize "$t_size" "$t_msize" minimal-win32-loop 100000 "$p_size"
figure foldersize-native "$t_size" "$t_du" du-sb 100000 "$p_size"
# The interleaved sum gives the time; the peak is that of emptying the whole 5,000-folder tree.
figure emptyfolder "$t_empty" "$t_mempty" minimal-win32-loop 100000 "$p_whole"
figure emptyfolder-native "$t_whole" "$t_rm" rm-rf 100000 "$p_whole"
figure finalpath-check "$t_checked" "$t_plain" minimal-win32-loop 20000 "$p_checked"
echo "memory: peak $p_whole MiB emptying 100000 files in 5000 folders, $p_few MiB for 10000 files in the same folders"

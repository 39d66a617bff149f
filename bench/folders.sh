#!/usr/bin/env bash
# Folder walks: FolderSize and EmptyFolder against a minimal Win32 loop under Wine and against
# du -sb / rm -rf on Linux, on generated trees of small files inside the throwaway prefix.
# Called by scripts/run-bench with the prefix set up: folders.sh <builddir>
set -euo pipefail
build=$1
exe_folders="$build/bench/bench_folders.exe"
exe_minimal="$build/bench/bench_minimal.exe"
reps=${BW_BENCH_REPS:-2}

base="$WINEPREFIX/drive_c/bwbench"
tree="$base/tree"
wintree='C:\bwbench\tree'

# gen_tree SUBS FILES: 50 top folders, each holding SUBS sub-folders (50 + 50*SUBS folders);
# every folder holds FILES files of 100 bytes.
gen_tree() {
  rm -rf "$tree"
  mkdir -p "$tree"
  awk -v root="$tree" -v subs="$1" -v files="$2" 'BEGIN {
    line = sprintf("%99s", ""); gsub(/ /, "x", line)
    for (i = 0; i < 50; i++) {
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
tree_left() { find "$tree" -mindepth 1 | wc -l; }
fail() { echo "bench: $*" >&2; exit 1; }

# run_exe EXE MODE: one measurement under Wine; sets r_seconds, r_count and r_peak (MiB, the
# larger of peak working set and peak pagefile use).
run_exe() {
  local out line ws pf
  out=$(mktemp)
  wine "$1" "$2" "$wintree" >"$out" 2>/dev/null </dev/null || true
  line=$(grep '^result ' "$out" || true)
  rm -f "$out"
  [ -n "$line" ] || fail "$(basename "$1") $2 gave no result"
  r_seconds=$(sed -n 's/.*seconds=\([0-9.]*\).*/\1/p' <<<"$line")
  r_count=$(sed -n 's/.*count=\([0-9]*\).*/\1/p' <<<"$line")
  ws=$(sed -n 's/.*peakws=\([0-9]*\).*/\1/p' <<<"$line")
  pf=$(sed -n 's/.*peakpf=\([0-9]*\).*/\1/p' <<<"$line")
  r_peak=$(awk -v w="$ws" -v p="$pf" 'BEGIN { printf "%.1f", (w > p ? w : p) / 1048576 }')
}

# figure NAME SECONDS REF_SECONDS REFNAME FILES PEAK
figure() {
  local ratio
  ratio=$(awk -v a="$2" -v b="$3" 'BEGIN { printf "%.2f", a / b }')
  echo "bench $1: ${ratio}x $4 ($5 files, $2 s, peak $6 MiB)"
}
row() { printf '  %-40s %8s s  %6s MiB\n' "$1" "$2" "$3"; }

# Sizing and emptying 100,000 files in 5,000 folders.
main_round() {
  local files=100000 t_du="" t_size="" t_msize="" t_empty="" t_mempty="" t_rm="" a b
  local p_size p_msize p_empty p_mempty
  gen_tree 99 20
  for _ in $(seq "$reps"); do
    a=$(now); du -sb "$tree" >/dev/null; b=$(now); t_du=$(best "$t_du" "$(elapsed "$a" "$b")")
    run_exe "$exe_folders" foldersize; t_size=$(best "$t_size" "$r_seconds"); p_size=$r_peak
    [ "$r_count" -eq $((files * 100)) ] || fail "FolderSize gave $r_count bytes"
    run_exe "$exe_minimal" size; t_msize=$(best "$t_msize" "$r_seconds"); p_msize=$r_peak
    [ "$r_count" -eq $((files * 100)) ] || fail "the minimal walk gave $r_count bytes"
  done
  for rep in $(seq "$reps"); do
    [ "$rep" -eq 1 ] || gen_tree 99 20
    run_exe "$exe_folders" emptyfolder; t_empty=$(best "$t_empty" "$r_seconds"); p_empty=$r_peak
    [ "$(tree_left)" -eq 0 ] || fail "EmptyFolder left entries behind"
    gen_tree 99 20
    run_exe "$exe_minimal" empty; t_mempty=$(best "$t_mempty" "$r_seconds"); p_mempty=$r_peak
    [ "$r_count" -eq "$files" ] || fail "the minimal loop deleted $r_count files"
  done
  gen_tree 99 20
  a=$(now); rm -rf "$tree"; b=$(now); t_rm=$(elapsed "$a" "$b")

  echo "100000 files of 100 bytes in 5000 folders (best of $reps; rm -rf once):"
  row "FolderSize (Wine)" "$t_size" "$p_size"
  row "minimal FindFirstFileA walk (Wine)" "$t_msize" "$p_msize"
  row "du -sb (Linux)" "$t_du" "-"
  row "EmptyFolder (Wine)" "$t_empty" "$p_empty"
  row "minimal delete loop (Wine)" "$t_mempty" "$p_mempty"
  row "rm -rf (Linux)" "$t_rm" "-"
  figure foldersize "$t_size" "$t_msize" minimal-win32-loop "$files" "$p_size"
  figure foldersize-native "$t_size" "$t_du" du-sb "$files" "$p_size"
  figure emptyfolder "$t_empty" "$t_mempty" minimal-win32-loop "$files" "$p_empty"
  figure emptyfolder-native "$t_empty" "$t_rm" rm-rf "$files" "$p_empty"
}

# What the final-path check costs: the minimal loop as it is, and with each DeleteFileA replaced
# by the guarded delete; 20,000 files in 1,000 folders.
check_round() {
  local files=20000 t_plain="" t_checked="" p_checked
  for _ in $(seq "$reps"); do
    gen_tree 19 20
    run_exe "$exe_minimal" empty; t_plain=$(best "$t_plain" "$r_seconds")
    [ "$r_count" -eq "$files" ] || fail "the minimal loop deleted $r_count files"
    gen_tree 19 20
    run_exe "$exe_folders" checkedloop; t_checked=$(best "$t_checked" "$r_seconds"); p_checked=$r_peak
    [ "$r_count" -eq "$files" ] || fail "the checked loop deleted $r_count files"
  done
  echo "20000 files in 1000 folders (best of $reps):"
  row "minimal delete loop (Wine)" "$t_plain" "-"
  row "minimal loop + final-path check (Wine)" "$t_checked" "$p_checked"
  figure finalpath-check "$t_checked" "$t_plain" minimal-win32-loop "$files" "$p_checked"
}

# Memory: the same 5,000 folders with a tenth of the files; the peaks should match the main
# round's, since the walks hold folders, never files.
memory_round() {
  local files=10000 t_size t_empty t_mempty p_size p_empty
  gen_tree 99 2
  run_exe "$exe_folders" foldersize; t_size=$r_seconds; p_size=$r_peak
  run_exe "$exe_folders" emptyfolder; t_empty=$r_seconds; p_empty=$r_peak
  [ "$(tree_left)" -eq 0 ] || fail "EmptyFolder left entries behind"
  gen_tree 99 2
  run_exe "$exe_minimal" empty; t_mempty=$r_seconds
  rm -rf "$tree"
  echo "10000 files in 5000 folders (once):"
  row "FolderSize (Wine)" "$t_size" "$p_size"
  row "EmptyFolder (Wine)" "$t_empty" "$p_empty"
  row "minimal delete loop (Wine)" "$t_mempty" "-"
  figure emptyfolder-5000folders-10000files "$t_empty" "$t_mempty" minimal-win32-loop "$files" "$p_empty"
}

mkdir -p "$base"
main_round
check_round
memory_round
rm -rf "$base"

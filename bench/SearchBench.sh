#!/usr/bin/env bash
# The disk cleaner's search: FindFiles with the default patterns over a generated tree of
# 200,000 files in 10,000 folders, against a minimal breadth-first FindFirstFileA walk under
# Wine and against native find with the same patterns; once with 1 file in 20 matching
# (10,000 results) and once with 50,000 matching, so that filling the result list is measured.
# The table also shows the search without its window (FileSearch alone) and a minimal walk by
# true names (FindFirstFileW on long paths), which is what the search itself does.
# Called by scripts/run-bench inside its throwaway prefix: SearchBench.sh <builddir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.bash"
build=$1
exe="$build/bench/SearchBench.exe"
reps=${BW_BENCH_REPS:-2}
patterns='*.tmp;*.gid;*.swp;*.chk'

base="$WINEPREFIX/drive_c/bwsearchbench"
tree="$base/tree"
wintree='C:\bwsearchbench\tree'

# gen_tree MATCHING: 100 top folders each holding 99 sub-folders (10,000 folders), 20 files of
# 100 bytes in every folder, of which MATCHING carry one of the four junk extensions (rotating
# through them, in mixed letter case) and the rest do not.
gen_tree() {
  rm -rf "$tree"
  mkdir -p "$tree"
  awk -v root="$tree" 'BEGIN {
    for (i = 0; i < 100; i++) {
      print root "/t" i
      for (j = 0; j < 99; j++) print root "/t" i "/s" j
    }
  }' | xargs -d '\n' mkdir -p
  awk -v root="$tree" -v matching="$1" 'BEGIN {
    split("tmp gid swp CHK", ext, " ")
    n = 0
    for (i = 0; i < 100; i++) {
      for (j = -1; j < 99; j++) {
        dir = (j < 0) ? root "/t" i : root "/t" i "/s" j
        for (k = 0; k < 20; k++) {
          if (k < matching) { n++; print dir "/file" k "." ext[n % 4 + 1] }
          else print dir "/file" k ".dat"
        }
      }
    }
  }' | xargs -d '\n' truncate -s 100
  sync
}

min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b + 0 < a + 0) ? b : a }'; }

# run_exe MODE: one Wine measurement; sets r_seconds, r_count, r_peak (MiB), r_summary.
run_exe() {
  local out line
  out=$(mktemp)
  wine "$exe" "$1" "$wintree" "$patterns" >"$out" 2>/dev/null </dev/null || true
  line=$(grep '^result ' "$out" || true)
  r_summary=$(sed -n 's/^summary //p' "$out" | tr -d '\r')
  rm -f "$out"
  if [ -z "$line" ]; then echo "bench: SearchBench $1 gave no result" >&2; exit 1; fi
  parse_result "$line"
}


# measure MATCHING LABEL
measure() {
  local matching=$1 label=$2
  local files=200000 expected=$((10000 * matching))
  local t_find="" t_min="" t_native="" p_find="" p_min="" summary=""
  local t_alone="" t_minw="" p_alone="" p_minw=""
  gen_tree "$matching"
  for rep in $(seq "$reps"); do
    run_exe minimal; t_min=$(min "$t_min" "$r_seconds"); p_min=$r_peak
    [ "$r_count" -eq "$expected" ] || { echo "bench: minimal walk found $r_count of $expected" >&2; exit 1; }
    run_exe findfiles; t_find=$(min "$t_find" "$r_seconds"); p_find=$r_peak; summary=$r_summary
    [ "$r_count" -eq "$expected" ] || { echo "bench: FindFiles listed $r_count of $expected" >&2; exit 1; }
    run_exe minimal-w; t_minw=$(min "$t_minw" "$r_seconds"); p_minw=$r_peak
    [ "$r_count" -eq "$expected" ] || { echo "bench: minimal wide walk found $r_count of $expected" >&2; exit 1; }
    run_exe filesearch; t_alone=$(min "$t_alone" "$r_seconds"); p_alone=$r_peak
    [ "$r_count" -eq "$expected" ] || { echo "bench: FileSearch found $r_count of $expected" >&2; exit 1; }
    local a b n
    a=$(date +%s.%N)
    n=$(find "$tree" -type f \( -iname '*.tmp' -o -iname '*.gid' -o -iname '*.swp' -o -iname '*.chk' \) | wc -l)
    b=$(date +%s.%N)
    t_native=$(min "$t_native" "$(awk -v a="$a" -v b="$b" 'BEGIN { printf "%.3f", b - a }')")
    [ "$n" -eq "$expected" ] || { echo "bench: find found $n of $expected" >&2; exit 1; }
  done
  case "$summary" in
    "$expected  Files Found "*) ;;
    *) echo "bench: unexpected summary: $summary" >&2; exit 1 ;;
  esac

  echo "--- $label: $files files in 10000 folders, $expected matching, best of $reps runs"
  echo "summary: $summary"
  printf '%-40s %8s %8s\n' "what" "seconds" "peak"
  printf '%-40s %8s %8s\n' "FindFiles into the shown list (Wine)" "$t_find" "$p_find"
  printf '%-40s %8s %8s\n' "FileSearch alone, no window (Wine)" "$t_alone" "$p_alone"
  printf '%-40s %8s %8s\n' "minimal FindFirstFileA walk (Wine)" "$t_min" "$p_min"
  printf '%-40s %8s %8s\n' "minimal FindFirstFileW walk (Wine)" "$t_minw" "$p_minw"
  printf '%-40s %8s %8s\n' "find -iname (Linux)" "$t_native" "-"
  figure "search-$label" "$t_find" "$t_min" minimal-win32-loop "$files" "$p_find"
  figure "search-$label-wide" "$t_find" "$t_minw" minimal-win32-wide-loop "$files" "$p_find"
  figure "search-$label-native" "$t_find" "$t_native" find "$files" "$p_find"
}

mkdir -p "$base"
measure 1 few
measure 5 many
rm -rf "$base"

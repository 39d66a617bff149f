#!/usr/bin/env bash
# The community rules: the real winapp2.ini (base flavour, 1.8 MB, 4,067 entries, kept beside
# the repository in ../shared/winapp2/) read and parsed, and every entry's detection evaluated in
# this run's fresh prefix, against a minimal Win32 program doing the same with a plain INI
# reader and one uncached registry open or FindFirstFileA per detection line. Each side reports
# the median of 5 runs in one process; the engine's detection builds fresh caches every run.
# Then the Community Rules page opened on the file (parse, detection and every detected entry
# listed), against the minimal program's parse plus detection.
# Aims: parse at most 100 ms, detect at most 250 ms, parsed rules at most 8 MiB, page 100 ms.
# Called by scripts/run-bench with the prefix set up: rules.sh <builddir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.bash"
build=$1
exe_rules="$build/bench/bench_rules.exe"
exe_minimal="$build/bench/bench_minimal_rules.exe"
data=$(cd "$here/../../shared/winapp2" 2>/dev/null && pwd) || fail "no ../shared/winapp2 beside the repository"

winpath() { echo "Z:${1//\//\\}"; }

run() {  # run EXE MODE FILE: sets r_seconds, r_count, r_peak and r_info (the exe's other line)
  local out
  out=$(wine "$1" "$2" "$(winpath "$3")" 2>/dev/null </dev/null || true)
  r_info=$(grep -v '^result ' <<<"$out" || true)
  out=$(grep '^result ' <<<"$out" || true)
  [ -n "$out" ] || fail "$(basename "$1") $2 gave no result"
  parse_result "$out"
}
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" <<<"$r_info"; }
line() {  # line NAME SECONDS REF_SECONDS REFNAME WHAT PEAK [EXTRA]
  local ratio
  ratio=$(awk -v a="$2" -v b="$3" 'BEGIN { printf "%.2f", a / b }')
  echo "bench $1: ${ratio}x $4 ($5, $2 s, peak $6 MiB${7:+, $7})"
}

for flavour in "Non-CCleaner/Winapp2.ini" "Winapp2.ini"; do
  file="$data/$flavour"
  [ -f "$file" ] || fail "missing $file"
  run "$exe_rules" parse "$file"
  p_s=$r_seconds p_peak=$r_peak p_entries=$(field entries) p_refused=$(field refused)
  p_mib=$(awk -v b="$(field rulesbytes)" 'BEGIN { printf "%.2f", b / 1048576 }')
  run "$exe_minimal" parse "$file"; m_s=$r_seconds m_peak=$r_peak
  run "$exe_rules" detect "$file"
  d_s=$r_seconds d_peak=$r_peak d_found=$(field detected) d_first=$(field first) d_refused=$(field refused)
  run "$exe_minimal" detect "$file"; md_s=$r_seconds md_found=$(field detected)
  echo "$flavour: $p_entries entries, $p_refused lines refused ($d_refused with this prefix's variables)," \
       "$d_found detected here (minimal loop: $md_found)"
  printf '  %-44s %8s s  %6s MiB\n' "parse, engine (rules ${p_mib} MiB)" "$p_s" "$p_peak"
  printf '  %-44s %8s s  %6s MiB\n' "parse, minimal INI reader" "$m_s" "$m_peak"
  printf '  %-44s %8s s  %6s MiB\n' "detect, engine (first run ${d_first} s)" "$d_s" "$d_peak"
  printf '  %-44s %8s s\n' "detect, minimal probe loop" "$md_s"
  run "$exe_rules" page "$file"; pg_s=$r_seconds pg_peak=$r_peak pg_lines=$(field lines)
  printf '  %-44s %8s s  %6s MiB\n' "page open, $pg_lines lines" "$pg_s" "$pg_peak"
  if [ "$flavour" = "Non-CCleaner/Winapp2.ini" ]; then
    line rules "$p_s" "$m_s" minimal-ini-reader "parse $p_entries entries" "$p_peak" "rules $p_mib MiB"
    line rules "$d_s" "$md_s" minimal-probe-loop "detect $p_entries entries" "$d_peak"
    line rules "$pg_s" "$(awk -v a="$m_s" -v b="$md_s" 'BEGIN { print a + b }')" minimal-parse-and-detect \
      "page open, $d_found of $p_entries detected" "$pg_peak"
  fi
done

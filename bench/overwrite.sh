#!/usr/bin/env bash
# Secure erasing: overwriting (zeros, random bytes, each pass flushed), truncating, renaming and
# deleting files, against a minimal loop writing the same bytes with WriteFile and deleting them,
# on folders of 4 MiB files inside the throwaway prefix, the two taken in turns (ABBA).
# Called by scripts/run-bench with the prefix set up: overwrite.sh <builddir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.bash"
build=$1
exe="$build/bench/bench_overwrite.exe"
reps=${BW_BENCH_REPS:-3}
files=16
base="$WINEPREFIX/drive_c/bwoverwrite"
winbase='C:\bwoverwrite'

make_files() {
  rm -rf "$base/$1"; mkdir -p "$base/$1"
  for i in $(seq 1 $files); do head -c 4194304 /dev/urandom >"$base/$1/f$i.dat"; done
}
run() {
  local out
  out=$(wine "$exe" "$1" "$winbase\\$2" 2>/dev/null | tr -d '\r' | grep '^result') || fail "$1 did not run"
  parse_result "$out"
}

t_secure=0; t_ref=0; p_secure=0; bytes=0
for k in $(seq 1 "$reps"); do
  for side in secure minimal minimal secure; do
    make_files "$side$k"
    run "$side" "$side$k"
    [ -z "$(ls -A "$base/$side$k")" ] || fail "$side left files behind"
    if [ "$side" = secure ]; then t_secure=$(sum "$t_secure" "$r_seconds"); p_secure=$r_peak; bytes=$r_count
    else t_ref=$(sum "$t_ref" "$r_seconds"); fi
  done
done
rm -rf "$base"
echo "$((reps * 2)) rounds of $files files of 4 MiB per side, $bytes bytes written per round:"
figure overwrite "$t_secure" "$t_ref" minimal-writefile-loop $((reps * 2 * files)) "$p_secure"

# Shared by the benchmark scripts (sourced, never run on its own).

fail() { echo "bench: $*" >&2; exit 1; }

# parse_result LINE: reads a "result ..." line printed by a benchmark exe (bench/BenchCommon.h)
# into r_seconds, r_count and r_peak (MiB, the larger of peak working set and peak pagefile use).
parse_result() {
  local ws pf
  r_seconds=$(sed -n 's/.*seconds=\([0-9.]*\).*/\1/p' <<<"$1")
  r_count=$(sed -n 's/.*count=\([0-9]*\).*/\1/p' <<<"$1")
  ws=$(sed -n 's/.*peakws=\([0-9]*\).*/\1/p' <<<"$1")
  pf=$(sed -n 's/.*peakpf=\([0-9]*\).*/\1/p' <<<"$1")
  r_peak=$(awk -v w="$ws" -v p="$pf" 'BEGIN { printf "%.1f", (w > p ? w : p) / 1048576 }')
}

# figure NAME SECONDS REF_SECONDS REFNAME FILES PEAK: the one-line figure compared across commits.
figure() {
  local ratio
  ratio=$(awk -v a="$2" -v b="$3" 'BEGIN { printf "%.2f", a / b }')
  echo "bench $1: ${ratio}x $4 ($5 files, $2 s, peak $6 MiB)"
}

# Shared by the benchmark scripts (sourced, never run on its own).

fail() { echo "bench: $*" >&2; exit 1; }

# sum A B: A + B, three decimals.
sum() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a + b }'; }

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

# gen_cache DIR FOLDERS [index]: DIR/Content.IE5/<8 chars>/page<n>[1].htm, FOLDERS folders of 500
# files of 200 bytes, as the browser lays its cache out; with "index", its index file too.
gen_cache() {
  rm -rf "$1"
  mkdir -p "$1/Content.IE5"
  awk -v root="$1/Content.IE5" -v folders="$2" -v withindex="${3:-}" 'BEGIN {
    srand(7); chars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
    line = sprintf("%199s", ""); gsub(/ /, "c", line)
    for (i = 0; i < folders; i++) {
      name = ""
      for (c = 0; c < 6; c++) name = name substr(chars, int(rand() * 36) + 1, 1)
      dir = root "/" sprintf("%s%02d", name, i % 100)
      system("mkdir -p \"" dir "\"")
      for (k = 0; k < 500; k++) { f = sprintf("%s/page%03d[1].htm", dir, k); print line > f; close(f) }
    }
    if (withindex != "") print line > (root "/index.dat")
  }'
}

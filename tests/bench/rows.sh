# Sourced by the tests/bench/*/run scripts: each prints its rows on stdout, one line per
# row, fields separated by tabs: row, measured, baseline, result, target, verdict, and
# where it ran (BENCH_RAN_ON, which a script sets before its rows; by default the Wine
# tree of this machine). scripts/bench gathers them into one table.
if [ "${KV_WIN_TREE:-win}" = win ]; then
  BENCH_RAN_ON="32-bit Wine, build/win"
else
  BENCH_RAN_ON="64-bit Wine, build/win64"
fi

# bench_ratio_row NAME OURS BASELINE UNIT MAX_RATIO: OURS/BASELINE against "<= MAX_RATIO".
bench_ratio_row() {
  awk -v n="$1" -v a="$2" -v b="$3" -v u="$4" -v t="$5" -v on="$BENCH_RAN_ON" 'BEGIN {
    r = b > 0 ? a / b : 0
    printf "%s\t%s %s\t%s %s\t%.2fx\t<= %.2fx\t%s\t%s\n", n, a, u, b, u, r, t, (b > 0 && r <= t) ? "ok" : "MISSED", on }'
}

# bench_paired_row NAME OURS BASELINE UNIT RATIO MAX_RATIO: the medians of both, and the
# median of the run-by-run ratios (RATIO) against "<= MAX_RATIO".
bench_paired_row() {
  awk -v n="$1" -v a="$2" -v b="$3" -v u="$4" -v r="$5" -v t="$6" -v on="$BENCH_RAN_ON" 'BEGIN {
    printf "%s\t%s %s\t%s %s\t%.2fx\t<= %.2fx\t%s\t%s\n", n, a, u, b, u, r, t, (r > 0 && r <= t) ? "ok" : "MISSED", on }'
}

# bench_row NAME MEASURED BASELINE RESULT TARGET VERDICT: a row worked out by the caller.
bench_row() {
  printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$@" "$BENCH_RAN_ON"
}

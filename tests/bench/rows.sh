# Sourced by the tests/bench/*/run scripts: each prints its rows on stdout, one line per
# row, fields separated by tabs: row, measured, baseline, result, target, verdict.
# scripts/bench gathers them into one table.

# bench_ratio_row NAME OURS BASELINE UNIT MAX_RATIO: OURS/BASELINE against "<= MAX_RATIO".
bench_ratio_row() {
  awk -v n="$1" -v a="$2" -v b="$3" -v u="$4" -v t="$5" 'BEGIN {
    r = b > 0 ? a / b : 0
    printf "%s\t%s %s\t%s %s\t%.2fx\t<= %.2fx\t%s\n", n, a, u, b, u, r, t, (b > 0 && r <= t) ? "ok" : "MISSED" }'
}

# bench_row NAME MEASURED BASELINE RESULT TARGET VERDICT: a row worked out by the caller.
bench_row() {
  printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$@"
}

#!/usr/bin/env bash
# Throughput of `velmora batch` on the demo home: a batch of LINES lots (the demo scenarios of
# demo/lots.csv repeated) checked with --jobs 1 and with --jobs 2, alternately, ROUNDS times
# each; the figures are the medians. Then one --jobs 2 run writing the HTML report, whose share of
# that batch's time the summary gives (report_ms / elapsed_ms). Last, a 10,000-lot batch's report:
# the size of its main page and the time headless Chromium takes to draw it.
#
#   bench/batch_throughput.sh [BUILD_DIR]      (make bench-batch)
#
# Targets: --jobs 2 at least 1.6 times the rate of --jobs 1 on two cores; the report at most 5 %
# of the batch. Run it on a quiet machine: the load average is printed before and after.
set -euo pipefail

build=${1:-build}
lines=${LINES_IN_BATCH:-1000}
rounds=${ROUNDS:-3}
here=$(cd "$(dirname "$0")/.." && pwd)
velmora="$build/velmora"
home="$build/demo-home"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The scenarios without the comments and the header, repeated up to $lines lines.
grep -v -e '^#' -e '^lot,step' "$here/demo/lots.csv" > "$work/scenarios.csv"
: > "$work/lots.csv"
while [ "$(wc -l < "$work/lots.csv")" -lt "$lines" ]; do cat "$work/scenarios.csv" >> "$work/lots.csv"; done
head -n "$lines" "$work/lots.csv" > "$work/batch.csv"

# A number from the summary JSON: "key": value.
field() { sed -n "s/^  \"$1\": \([0-9.]*\),*\$/\1/p" "$2"; }
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

run() {  # run JOBS SUMMARY [more options]
  local jobs=$1 summary=$2
  shift 2
  "$velmora" batch --input "$work/batch.csv" --home "$home" --jobs "$jobs" --no-progress \
    --summary "$summary" "$@" > /dev/null 2> /dev/null || true
  local done
  done=$(field done "$summary")
  if [ "$done" != "$lines" ]; then
    echo "bench: a --jobs $jobs batch checked $done of $lines lots" >&2
    exit 1
  fi
}

echo "velmora batch throughput: $lines lots, $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
for round in $(seq "$rounds"); do
  for jobs in 1 2; do
    run "$jobs" "$work/summary-$jobs-$round.json"
    field elapsed_ms "$work/summary-$jobs-$round.json" >> "$work/elapsed-$jobs"
  done
done
ms1=$(median < "$work/elapsed-1")
ms2=$(median < "$work/elapsed-2")

run 2 "$work/summary-report.json" --report "$work/report.html"
batch_ms=$(field elapsed_ms "$work/summary-report.json")
report_ms=$(field report_ms "$work/summary-report.json")

awk -v n="$lines" -v ms1="$ms1" -v ms2="$ms2" -v batch="$batch_ms" -v report="$report_ms" \
    -v size="$(wc -c < "$work/report.html")" 'BEGIN {
  r1 = n / (ms1 / 1000); r2 = n / (ms2 / 1000)
  printf "  --jobs 1: %8.1f ms  %7.1f lots/s   (median of the rounds)\n", ms1, r1
  printf "  --jobs 2: %8.1f ms  %7.1f lots/s\n", ms2, r2
  printf "  ratio --jobs 2 / --jobs 1: %.2fx   (target >= 1.6)\n", r2 / r1
  printf "  report: %.1f ms of a %.1f ms batch = %.2f %% (target <= 5), %d bytes\n", report, batch,
         100 * report / batch, size
}'

# A batch of $REPORT_LINES lines (10,000 by default) with its report: the size of the main page
# (the lots' pages are separate files) and how long headless Chromium takes to load and draw it,
# against an empty page (the browser's own start). Recorded, not a target the script enforces.
report_lines=${REPORT_LINES:-10000}
: > "$work/big.csv"
while [ "$(wc -l < "$work/big.csv")" -lt "$report_lines" ]; do cat "$work/scenarios.csv" >> "$work/big.csv"; done
head -n "$report_lines" "$work/big.csv" > "$work/big-batch.csv"
"$velmora" batch --input "$work/big-batch.csv" --home "$home" --jobs 2 --no-progress \
  --report "$work/big/" > /dev/null 2> /dev/null || true
echo "  $report_lines-lot report: main page $(wc -c < "$work/big/index.html") bytes (target <= 5 MB)," \
  "$(find "$work/big/lots" -name '*.html' | wc -l) lot pages"
browser=$(command -v chromium || command -v chromium-browser || true)
if [ -n "$browser" ]; then
  render() {  # render URL: seconds to load, draw and screenshot the page
    local start end
    start=$(date +%s.%N)
    "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1280,4000 \
      --screenshot="$work/shot.png" "$1" > /dev/null 2>&1
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }'
  }
  echo "<!DOCTYPE html><title>empty</title>" > "$work/empty.html"
  echo "  Chromium: $(render "file://$work/big/index.html") s for the main page," \
    "$(render "file://$work/empty.html") s for an empty page (target: well under 10 s)"
fi
echo "  load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build tree for a number of seconds each, two at a time.
#
#   scripts/fuzz.sh BUILD_DIR SECONDS
#
# Each target runs on a scratch copy of its seed corpus (BUILD_DIR/fuzz-run/<name>/corpus, kept
# between runs so that later runs start from what earlier ones found; the repo's fuzz/corpus is
# never written). A crash, a leak, a timeout or a violated property fails the run; its
# reproducer stays in BUILD_DIR/fuzz-run/<name>/ and the target's log beside it. Replay one
# with: BUILD_DIR/fuzz-<name> BUILD_DIR/fuzz-run/<name>/crash-...
set -euo pipefail

build=${1:?usage: scripts/fuzz.sh BUILD_DIR SECONDS}
seconds=${2:?usage: scripts/fuzz.sh BUILD_DIR SECONDS}
parallel=${FUZZ_PARALLEL:-2}
root="$(cd "$(dirname "$0")/.." && pwd)"

# One target: scratch corpus, run, one summary line. Called by xargs below.
run_one() {
  local name=$1 dir="$build/fuzz-run/$1"
  mkdir -p "$dir/corpus"
  # Reproducers of an earlier run go: what is listed below is what this run found.
  rm -f "$dir"/crash-* "$dir"/leak-* "$dir"/timeout-* "$dir"/oom-* "$dir"/slow-unit-*
  cp -r "$root/fuzz/corpus/$name/." "$dir/corpus/"
  local status=0
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$build/fuzz-$name" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$dir/" "$dir/corpus" >"$dir/log" 2>&1 || status=$?
  local runs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -1)
  if [ "$status" -eq 0 ]; then
    printf '%-20s ok      %12s executions in %ss\n' "$name" "${runs:-?}" "$seconds"
  else
    printf '%-20s FAILED  %12s executions (exit %s): see %s\n' "$name" "${runs:-?}" "$status" \
      "$dir/log"
    ls "$dir"/crash-* "$dir"/leak-* "$dir"/timeout-* "$dir"/oom-* 2>/dev/null | sed 's/^/    /' || true
    return 1
  fi
}
export -f run_one
export build seconds root

targets=()
for source in "$root"/fuzz/*.cpp; do
  name=$(basename "$source" .cpp)
  [ -x "$build/fuzz-$name" ] || { echo "fuzz: $build/fuzz-$name is not built" >&2; exit 1; }
  targets+=("$name")
done

printf '%s\n' "${targets[@]}" | xargs -P "$parallel" -I{} bash -c 'run_one {}'

#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz and runs each one for
# the given number of seconds (60 by default; CI runs `fuzz/run.sh 10`).
# Fails when any target crashes, leaks, hangs, trips a sanitizer or outgrows
# its memory limit; the input that did it is kept in
# build-fuzz/fuzz-artifacts/<target>/.
set -euo pipefail
seconds=${1:-60}
cd "$(dirname "$0")/.."
top=$PWD
build=build-fuzz
jobs=${JOBS:-2}

cmake --preset fuzz >/dev/null
cmake --build "$build" --target skeld_fuzzers -j"$jobs"
# The list of targets is fuzz/CMakeLists.txt's, as the build wrote it down.
mapfile -t targets < "$build/fuzz/targets.txt"

# The targets that read files write one per input: keep them in memory.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi

failed=()
for target in "${targets[@]}"; do
  # New inputs go to a corpus of the build's own; the seeds stay as committed.
  # Absolute paths: a target may change its working directory.
  corpus="$top/$build/fuzz-corpus/$target"
  artifacts="$top/$build/fuzz-artifacts/$target"
  log="$top/$build/fuzz-logs/$target.log"
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  echo "== $target: ${seconds}s"
  if "$top/$build/fuzz/${target}_fuzz" "$corpus" "$top/fuzz/corpus/$target" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -malloc_limit_mb=512 \
      -detect_leaks=1 -print_final_stats=1 -artifact_prefix="$artifacts/" >"$log" 2>&1; then
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
  else
    echo "!! $target failed; the end of $log:"
    tail -n 40 "$log"
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing failed: ${failed[*]}"
  exit 1
fi
echo "fuzzing passed: ${targets[*]}"

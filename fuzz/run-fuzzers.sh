#!/usr/bin/env bash
# Builds the fuzz targets with clang under ASan + UBSan in their own build
# folder and runs each for a bounded time.
#
#   fuzz/run-fuzzers.sh [SECONDS]   fuzz each target for SECONDS (default 60),
#                                   then print the executions each ran clean
#   fuzz/run-fuzzers.sh --smoke     only the short CTest runs (a few thousand
#                                   executions each), as the test command does
#
# BUILD_DIR (default build-fuzz), JOBS (default 2) and WARNINGS_AS_ERRORS
# (ON or OFF, the default) can be set from outside.
# New inputs found in a long run are kept in BUILD_DIR/fuzz/corpus/<target>;
# the seeds in fuzz/corpus stay as written. A crash leaves its input in
# BUILD_DIR/fuzz/findings/ and makes the script fail.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
source_dir="$(dirname "$here")"
build_dir="${BUILD_DIR:-$source_dir/build-fuzz}"
jobs="${JOBS:-2}"
targets=(SnapshotDecoderFuzzer LanguageFormatFuzzer WidgetViewFuzzer CodexLogLineFuzzer)

mode=timed
seconds=60
case "${1:-}" in
  --smoke) mode=smoke ;;
  '') ;;
  *[!0-9]*) echo "usage: $0 [SECONDS | --smoke]" >&2; exit 2 ;;
  *) seconds="$1" ;;
esac

if ! command -v clang++ >/dev/null; then
  echo "run-fuzzers: clang++ is not installed (scripts/install-dependencies.sh installs it)" >&2
  exit 1
fi

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DTAVVO_SANITIZE=ON -DTAVVO_BUILD_FUZZERS=ON \
  -DTAVVO_BUILD_TESTS=OFF -DTAVVO_BUILD_BENCHMARKS=OFF \
  -DTAVVO_WARNINGS_AS_ERRORS="${WARNINGS_AS_ERRORS:-OFF}" >/dev/null
cmake --build "$build_dir" -j "$jobs" --target "${targets[@]}"

if [ "$mode" = smoke ]; then
  exec ctest --test-dir "$build_dir" --output-on-failure -R '^fuzz\.'
fi

findings="$build_dir/fuzz/findings"
mkdir -p "$findings"
status=0
summary=()
for target in "${targets[@]}"; do
  work="$build_dir/fuzz/corpus/$target"
  log="$build_dir/fuzz/$target.log"
  mkdir -p "$work"
  echo "fuzzing $target for ${seconds}s"
  if ! "$build_dir/bin/$target" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$findings/$target-" \
      "$work" "$here/corpus/$target" >"$log" 2>&1; then
    echo "$target failed; see $log and $findings" >&2
    status=1
  fi
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  corpus="$(find "$work" -type f | wc -l)"
  summary+=("$target: ${runs:-?} executions in ${seconds}s, corpus of $corpus inputs")
done
printf '%s\n' "${summary[@]}"
exit "$status"

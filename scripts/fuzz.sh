#!/usr/bin/env bash
# Fuzzing campaign: builds the fuzz targets with clang's libFuzzer (AddressSanitizer + UBSan) and
# runs each for the given seconds on its corpus in fuzz/corpus/<target>, one target at a time.
# New inputs go to build/fuzz/corpus/<target>; findings (crash-*, leak-*, timeout-*, oom-*) to
# build/fuzz/findings/<target>. Prints executions, findings and peak memory per target.
#
#   scripts/fuzz.sh [seconds per target, default 60] [target ...]
#   scripts/fuzz.sh --merge [N]  # keeps up to N (40) of the campaign's inputs that reach new code
#   build/native/bin/fuzz_seeds fuzz/corpus    # rewrites the seed inputs from the real code
#
# The test suite (scripts/test.sh) replays the kept corpora through the same targets in seconds.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

ALL_TARGETS=(ini profile_files macro_library read_back input_report link_frame text region)

bash scripts/setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j 2 --target $(printf '%s_fuzz ' "${ALL_TARGETS[@]}")

if [ "${1:-}" = "--merge" ]; then
  KEEP="${2:-40}"
  for target in "${ALL_TARGETS[@]}"; do
    [ -d "build/fuzz/corpus/$target" ] || continue
    merged="build/fuzz/merged/$target"
    rm -rf "$merged"
    mkdir -p "$merged"
    cp "fuzz/corpus/$target"/* "$merged/"
    # The campaign's inputs that reach code the kept ones do not; the smallest $KEEP of them are
    # kept, so the corpora stay small and their replay fast.
    "build/fuzz/bin/${target}_fuzz" -merge=1 "$merged" "build/fuzz/corpus/$target" >/dev/null 2>&1
    for file in $(ls -S -r "$merged"); do
      [ -e "fuzz/corpus/$target/$file" ] && continue
      [ "$KEEP" -gt "$(ls "fuzz/corpus/$target" | grep -c '^campaign-' || true)" ] || break
      cp "$merged/$file" "fuzz/corpus/$target/campaign-$file"
    done
    echo "$target: $(ls "fuzz/corpus/$target" | wc -l) inputs kept"
  done
  exit 0
fi

SECONDS_PER_TARGET="${1:-60}"
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -gt 0 ] || TARGETS=("${ALL_TARGETS[@]}")

# Region building gets a time limit per input of its own; profile inputs stay near one file.
declare -A EXTRA=([region]="-timeout=5" [profile_files]="-max_len=16384")
printf '%-14s %12s %10s %8s %9s\n' target executions "exec/s" findings "peak MB"
for target in "${TARGETS[@]}"; do
  corpus="build/fuzz/corpus/$target"
  findings="build/fuzz/findings/$target"
  mkdir -p "$corpus" "$findings"
  log="build/fuzz/$target.log"
  # One process, so the figures are one run's; -rss_limit_mb turns a memory blow-up into a finding.
  "build/fuzz/bin/${target}_fuzz" "$corpus" "fuzz/corpus/$target" -max_total_time="$SECONDS_PER_TARGET" \
    -artifact_prefix="$findings/" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    ${EXTRA[$target]:-} >"$log" 2>&1 || true
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  speed=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  peak=$(grep -o 'stat::peak_rss_mb: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
  found=$(find "$findings" -type f | wc -l)
  printf '%-14s %12s %10s %8s %9s\n' "$target" "$runs" "$speed" "$found" "$peak"
done

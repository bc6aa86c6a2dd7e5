#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for SECONDS seconds (default 60), one after another, one
# process each. Prints every target's executions, coverage and findings; exits
# non-zero when a target found something.
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]
# With VUDADIVE2R_FUZZ_SEED set, every target runs with that -seed, so that a
# brief run mutates the same way each time; unset, libFuzzer picks one.
# Every run starts from the corpus kept in the tree, fuzz/corpus/<target>/,
# whose inputs are all replayed first; what a run adds grows in
# build-fuzz/corpus/<target>/ across runs. With VUDADIVE2R_FUZZ_KEEP=1 the
# kept corpus is then replaced by the smallest merge of both that keeps
# their coverage (-set_cover_merge=1, the greedy form of -merge=1); a target
# whose merge passes 100 KB keeps only an input for each coverage edge
# (-use_counters=0), so that the kept corpora stay a few hundred KB in all.
# Findings (the crashing or slow inputs) land in build-fuzz/findings/<target>/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true
build="$root/build-fuzz"

bash "$root/scripts/setup.sh" fuzz
mkdir -p "$build/logs"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVUDADIVE2R_FUZZ=ON -DVUDADIVE2R_BUILD_TESTS=OFF -DVUDADIVE2R_BUILD_EXAMPLES=OFF \
  -DVUDADIVE2R_BUILD_BENCHMARKS=OFF > "$build/logs/configure.log"
cmake --build "$build" -j "$(nproc)" > "$build/logs/build.log" || { cat "$build/logs/build.log"; exit 1; }
python3 "$root/fuzz/make_corpus.py" "$build/corpus"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for binary in "$build"/fuzz/*_fuzzer; do targets+=("$(basename "$binary")"); done
fi

passed=0
failed=0
for name in "${targets[@]}"; do
  corpus="$build/corpus/$name"
  kept="$root/fuzz/corpus/$name"
  findings="$build/findings/$name"
  log="$build/logs/$name.log"
  mkdir -p "$corpus" "$kept" "$findings" "$build/logs"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=2048
           -print_final_stats=1 -artifact_prefix="$findings/")
  [ -f "$build/fuzz/$name.dict" ] && options+=(-dict="$build/fuzz/$name.dict")
  [ -n "${VUDADIVE2R_FUZZ_SEED:-}" ] && options+=(-seed="$VUDADIVE2R_FUZZ_SEED")
  status=0
  # fontconfig's own unfreed bytes (tests/lsan.supp) are not a finding.
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS="suppressions=$root/tests/lsan.supp" \
    "$build/fuzz/$name" "${options[@]}" "$corpus" "$kept" > "$log" 2>&1 || status=$?
  executions="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)"
  coverage="$(grep -E '^#[0-9]+' "$log" | tail -1 | grep -oE '(cov|ft): [0-9]+' | tr '\n' ' ' || true)"
  if [ "$status" -eq 0 ]; then
    passed=$((passed + 1))
    echo "$name: $(ls "$kept" | wc -l) kept inputs replayed, ${executions:-?} executions, ${coverage:-no coverage line}, no findings"
    if [ "${VUDADIVE2R_FUZZ_KEEP:-0}" = 1 ]; then
      merged="$build/merged/$name"
      rm -rf "$merged" && mkdir -p "$merged"
      "$build/fuzz/$name" -set_cover_merge=1 -timeout=10 -rss_limit_mb=2048 "$merged" "$kept" "$corpus" \
        > "$build/logs/$name.merge.log" 2>&1 && rm -rf "$kept" && mv "$merged" "$kept"
      if [ "$(cat "$kept"/* | wc -c)" -gt 102400 ]; then
        rm -rf "$merged" && mkdir -p "$merged"
        "$build/fuzz/$name" -set_cover_merge=1 -use_counters=0 -timeout=10 -rss_limit_mb=2048 "$merged" "$kept" \
          > "$build/logs/$name.merge.log" 2>&1 && rm -rf "$kept" && mv "$merged" "$kept"
      fi
      echo "$name: kept corpus now $(ls "$kept" | wc -l) inputs, $(( $(cat "$kept"/* | wc -c) / 1024 )) KB"
    fi
  else
    failed=$((failed + 1))
    echo "$name: FINDING after ${executions:-?} executions (exit $status), inputs in $findings, log $log"
    grep -E 'ERROR|runtime error|SUMMARY|draw took' "$log" | head -5 || true
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

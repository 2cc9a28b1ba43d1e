#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/, with clang) and runs each of them on
# its seed corpus (fuzz/corpus/<target>).
#
#   scripts/fuzz.sh                  every target for 20 s (the test command's run)
#   scripts/fuzz.sh --long           every target for 10 million executions
#   scripts/fuzz.sh --time S [T...]  the named targets (default all) for S seconds each
#   scripts/fuzz.sh --runs N [T...]  the named targets for N executions each
#   ... -- FLAG...                   further libFuzzer flags (e.g. -max_len=2048)
#
# Inputs found to add coverage go to build/fuzz/work/<target> (the committed
# seeds are only read); a crash leaves its input in build/fuzz/artifacts and
# makes the script fail. Each run's last lines (executions, exec/s) are kept
# in build/fuzz/logs/<target>.log.
set -euo pipefail
cd "$(dirname "$0")/.."
limit=(-max_total_time=20)
targets=()
extra=()
while [ $# -gt 0 ]; do
  case "$1" in
    --long) limit=(-runs=10000000); shift ;;
    --time) limit=(-max_total_time="$2"); shift 2 ;;
    --runs) limit=(-runs="$2"); shift 2 ;;
    -h|--help) sed -n '2,14p' "$0"; exit 0 ;;
    --) shift; extra=("$@"); break ;;
    *) targets+=("$1"); shift ;;
  esac
done

build=${LMV_FUZZ_BUILD:-build/fuzz}  # another folder lets two runs go side by side
cmake -S fuzz -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$(nproc)"

if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/targets/fuzz_*.cpp; do
    name=$(basename "$source" .cpp)
    targets+=("${name#fuzz_}")
  done
fi

mkdir -p "$build/artifacts" "$build/logs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
for t in "${targets[@]}"; do
  work="$build/work/$t"
  mkdir -p "$work"
  log="$build/logs/$t.log"
  echo "fuzz: $t (${limit[*]})"
  if "$build/fuzz_$t" "${limit[@]}" ${extra[@]+"${extra[@]}"} -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$(cd "$build/artifacts" && pwd)/$t-" "$work" "fuzz/corpus/$t" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^stat::average_exec_per_sec|^stat::new_units_added' "$log" |
      sed "s/^/fuzz: $t /"
  else
    echo "fuzz: $t FAILED; its output ends:"
    tail -n 60 "$log"
    failed=1
  fi
done
exit $failed

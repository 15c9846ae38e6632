#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer in their own build folder
# and runs each for a bounded time, starting from its committed corpus and
# regression inputs. A crash, hang or sanitizer report fails the run and
# leaves the input under <build>/artifacts/<target>/; commit it to
# fuzz/regressions/<target>/ once the fault is fixed, and the replay tests
# run it with every test run.
#
#   fuzz/run-fuzzers.sh [seconds per target, default 60] [target...]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
seconds=${1:-60}
shift || true
build=${TAVRIN_FUZZ_BUILD:-$root/build/fuzz}

# libFuzzer comes with clang's runtime libraries; without them there is
# nothing to run, which is said rather than hidden.
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
if ! command -v clang++ >/dev/null ||
    ! printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' |
        clang++ -x c++ -fsanitize=fuzzer,address - -o "$probe/probe" 2>/dev/null; then
    echo "fuzz: clang++ with libFuzzer is not available (packages clang, libclang-rt-14-dev); fuzzing skipped."
    exit 0
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTAVRIN_FUZZ=ON -DTAVRIN_BUILD_TESTS=OFF -DTAVRIN_BUILD_BENCH=OFF >/dev/null
targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
    for source in "$here"/fuzz_*.cpp; do
        name=$(basename "$source" .cpp)
        targets+=("${name#fuzz_}")
    done
fi
configured=$(cmake --build "$build" --target help)
build_targets=()
for name in "${targets[@]}"; do
    # A target whose library is not in this tree yet is not configured.
    if grep -qw "fuzz_$name" <<<"$configured"; then
        build_targets+=("fuzz_$name")
    else
        echo "fuzz: $name is not configured in this tree; skipped."
    fi
done
cmake --build "$build" -j 2 --target "${build_targets[@]}"

summary=()
failed=0
for target in "${build_targets[@]}"; do
    name=${target#fuzz_}
    work=$build/work/$name
    artifacts=$build/artifacts/$name/
    log=$build/$name.log
    mkdir -p "$work" "$artifacts"
    args=(-max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$artifacts")
    [[ -f "$here/dict/$name.dict" ]] && args+=(-dict="$here/dict/$name.dict")
    echo "fuzz: $name for ${seconds}s"
    # The first folder collects what this run finds; the committed ones are
    # only read.
    status=0
    "$build/fuzz/$target" "${args[@]}" "$work" "$here/corpus/$name" "$here/regressions/$name" \
        >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    corpus=$(grep -Eo 'corp: [0-9]+/[0-9]+[a-zA-Z]*' "$log" | tail -1 | sed 's,corp: \([0-9]*\)/\(.*\),\1 inputs (\2),')
    took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
    if [[ $status -ne 0 ]]; then
        failed=1
        echo "fuzz: $name FAILED (exit $status); log $log" >&2
        grep -E 'property broken|ERROR: |SUMMARY|Test unit written|^[a-z_A-Z]+: .*(reads|stored|holds|became)' "$log" |
            head -20 >&2 || true
        summary+=("$name: FAILED after ${runs:-?} runs, input in $artifacts")
    else
        summary+=("$name: ${runs:-?} runs in ${took:-?}s, ${speed:-?} exec/s, corpus ${corpus:-?}, no crash")
    fi
done

echo "fuzz summary:"
printf '  %s\n' "${summary[@]}"
exit $failed

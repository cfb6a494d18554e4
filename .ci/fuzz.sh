#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang into build-fuzz/ and runs
# each one for KS3_FUZZ_SECONDS (60 by default) from its committed corpus
# (fuzz/corpus/<target>/). New inputs go to build-fuzz/corpus/, a crashing
# input to build-fuzz/artifacts/. Ends with one line per target: executions
# per second, coverage reached (libFuzzer's "cov:") and the corpus size.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# Debian's clang and its libFuzzer runtime.
missing=()
for p in clang libclang-rt-dev; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

seconds=${KS3_FUZZ_SECONDS:-60}
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DKS3_FUZZ=ON -DKS3_BUILD_TESTS=OFF -DKS3_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j2 --target fuzzers

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export QT_QPA_PLATFORM=offscreen
mkdir -p build-fuzz/artifacts build-fuzz/logs
summary=()
status=0
for src in fuzz/*Fuzzer.cpp; do
    target=$(grep -o "fuzz_[a-z_]* SOURCES $(basename "$src")" fuzz/CMakeLists.txt | cut -d' ' -f1)
    mkdir -p "build-fuzz/corpus/$target"
    log="build-fuzz/logs/$target.log"
    echo "Fuzzing $target for ${seconds}s"
    # Absolute paths: a target may change its working folder.
    if ! "$PWD/build-fuzz/bin/$target" "$PWD/build-fuzz/corpus/$target" "$PWD/fuzz/corpus/$target" \
        -max_total_time="$seconds" -timeout=25 -rss_limit_mb=3072 -max_len=8192 \
        -artifact_prefix="$PWD/build-fuzz/artifacts/$target-" -print_final_stats=1 >"$log" 2>&1; then
        echo "$target FAILED:" >&2
        tail -n 60 "$log" >&2
        status=1
    fi
    execs=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | grep -o '[0-9]*$' || echo "?")
    units=$(find "build-fuzz/corpus/$target" "fuzz/corpus/$target" -type f | wc -l)
    summary+=("$(printf '%-24s %8s exec/s   cov: %6s   corpus: %s' "$target" "$execs" "$cov" "$units")")
done
echo "Fuzzing, ${seconds}s per target:"
printf '  %s\n' "${summary[@]}"
exit $status

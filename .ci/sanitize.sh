#!/usr/bin/env bash
# Builds the whole project with AddressSanitizer and UndefinedBehaviorSanitizer
# into build-asan/ and runs every test there once. Fails on a failing test and
# on any sanitizer report, including one from a process that a test started
# (the program, its converter): every report goes to a file of its own under
# build-asan/sanitizer-reports/, printed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

cmake --preset asan >/dev/null
cmake --build --preset asan

reports="$PWD/build-asan/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"
# halt_on_error: the first error ends the process, with a report, so that no
# test passes over it. detect_leaks: off. The program and its converter run for
# months but hold what they allocate for the whole run (the settings, the
# record buffers, Qt's and FFmpeg's process-wide tables); a leak report at exit
# would name those, not a defect. Growth over time is what matters, and the
# flood test measures it (resident memory under a stated limit).
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=0:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:log_path=$reports/asan"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$reports/ubsan"

# The record manager's PostgreSQL back-end is tested on a throwaway server, as
# in scripts/test.sh.
pg_dir=$(mktemp -d /tmp/ks3-pg.XXXXXX)
trap 'bash scripts/pg-cluster.sh stop "$pg_dir"' EXIT
bash scripts/pg-cluster.sh start "$pg_dir"
KS3_TEST_PG_URL=$(cat "$pg_dir/url")
export KS3_TEST_PG_URL

status=0
ctest --preset asan --timeout 1200 || status=$?

if compgen -G "$reports/*" >/dev/null; then
    echo "Sanitizer reports:" >&2
    for f in "$reports"/*; do
        echo "=== $f" >&2
        cat "$f" >&2
    done
    status=1
fi
exit $status

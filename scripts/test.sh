#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/check-format.sh
bash scripts/check-includes.sh
bash scripts/build.sh
# The record manager's PostgreSQL back-end is tested on a throwaway server.
# (in /tmp: the server's own account must reach the folder)
pg_dir=$(mktemp -d /tmp/ks3-pg.XXXXXX)
trap 'bash scripts/pg-cluster.sh stop "$pg_dir"' EXIT
bash scripts/pg-cluster.sh start "$pg_dir"
KS3_TEST_PG_URL=$(cat "$pg_dir/url")
export KS3_TEST_PG_URL
ctest --test-dir build --output-on-failure -j "$(nproc)"

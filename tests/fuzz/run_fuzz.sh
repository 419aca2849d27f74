#!/usr/bin/env bash
# Fuzzes one target for a bounded time: its checked-in corpus is copied into a working folder in
# the build tree first, so what the fuzzer adds never touches the sources. Crash inputs are
# written beside the working folder.
# Usage: run_fuzz.sh TARGET SEED_CORPUS WORK_CORPUS SECONDS
set -euo pipefail
target="$1" seeds="$2" work="$3" seconds="$4"
mkdir -p "$work"
cp -n "$seeds"/* "$work"/ 2>/dev/null || true
exec "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
    -artifact_prefix="$(dirname "$work")/" "$work"

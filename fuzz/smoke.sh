#!/usr/bin/env bash
# A short libFuzzer run: seeds from the repository's corpus (never written to),
# new inputs into a scratch directory. Any crash, leak or sanitizer report fails.
# usage: smoke.sh FUZZER CORPUS_DIR SECONDS [extra libFuzzer flags]
set -euo pipefail
fuzzer="$1" corpus="$2" seconds="$3"
shift 3
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/new" "$scratch/crash"
"$fuzzer" "$scratch/new" "$corpus" -max_total_time="$seconds" -rss_limit_mb=2048 \
  -timeout=10 -artifact_prefix="$scratch/crash/" -print_final_stats=1 "$@"

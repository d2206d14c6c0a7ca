#!/usr/bin/env bash
# The sync against a local Radicale: a first sync of a 4,000-line calendar
# (goal: at most 5 s) and a sync with nothing changed (goal: at most 100 ms
# and a handful of requests), counted through a proxy. Radicale is measured
# with its storage on the disk (an fsync per stored event) and in tmpfs.
#   scripts/sync-bench.sh build/almanouk [LINES]
set -euo pipefail
program=${1:?usage: scripts/sync-bench.sh PROGRAM [LINES]}
command -v radicale >/dev/null || { echo "sync-bench: radicale is not installed: skipped"; exit 0; }
exec /usr/bin/python3 "$(dirname "$0")/../tests/sync/sync_bench.py" "$program" "${2:-4000}"

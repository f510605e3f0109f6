#!/usr/bin/env bash
# Mutation testing: how many seeded faults in the portable core and the
# companions' portable cores the native unit tests catch. The work is done by
# mutants.py beside this script; see README.md ("Mutation testing").
#   scripts/mutants.sh [--count N] [--seed S] [--only I,J] [--list] [--timeout SECS]
set -euo pipefail
cd "$(dirname "$0")/.."
command -v python3 >/dev/null || { echo "mutants: python3 is missing (scripts/setup.sh)" >&2; exit 1; }
exec python3 scripts/mutants.py "$@"

#!/usr/bin/env bash
# Starts Corvalt on the sample project (called by `make run` after the build).
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
sample=examples/sample-english.emf
"$build/bin/corvalt-cli" --version
if [ -f "$sample" ] && "$build/bin/corvalt-cli" --help | grep -q ' check '; then
  "$build/bin/corvalt-cli" check "$sample" || true
fi

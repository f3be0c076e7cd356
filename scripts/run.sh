#!/usr/bin/env bash
# Starts Corvalt on the sample project (called by `make run` after the build).
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
sample=examples/sample-english.emf
cli="$build/bin/corvalt-cli"

# Give a first run the starter library; never replace existing preferences.
ini=$("$cli" prefs --path)
if [ ! -e "$ini" ] && [ -f examples/corvalt.INI ]; then
  mkdir -p "$(dirname "$ini")"
  cp -n examples/corvalt.INI "$ini"
  echo "Installed the starter library in $ini"
fi

"$cli" --version
echo "== Data check of $sample"
"$cli" check "$sample" || true

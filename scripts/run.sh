#!/usr/bin/env bash
# Starts Corvalt on the sample project (called by `make run` after the build).
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
sample=examples/sample-english.emf
cli="$build/bin/corvalt-cli"

# The desktop program gives a first start the starter library itself
# (build/share/corvalt/corvalt.INI); it never replaces existing preferences.
"$cli" --version
echo "== Data check of $sample"
"$cli" check "$sample" || true

# The desktop program on the sample project.
program="$build/bin/corvalt"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "== Starting $program $sample"
  exec "$program" "$sample"
elif [ "${XVFB:-0}" = 1 ] && command -v xvfb-run >/dev/null; then
  echo "== No display: starting $program $sample on a virtual display (xvfb-run)"
  exec xvfb-run -a "$program" "$sample"
else
  echo "No display is available (DISPLAY and WAYLAND_DISPLAY are unset), so the desktop"
  echo "program was not started. Run it on a desktop with:"
  echo "  $program $sample"
  echo "or on a virtual display with: XVFB=1 make run"
fi

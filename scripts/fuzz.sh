#!/usr/bin/env bash
# Fuzzes one reader for a bounded time over a fresh corpus seeded with the
# sample files: "project" (the project-file reader, seeded with the sample
# projects, the default) or "prefs" (the preferences reader, seeded with the
# starter library) or "map" (the field maps' model reader, seeded with the
# sample models). Fails on any crash, leak, hang or sanitizer report; the
# input that caused it is left in BUILD_DIR/fuzz-artifacts/TARGET/.
#
# usage: scripts/fuzz.sh BUILD_DIR SECONDS [project|prefs|map]
#   (build first: CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCORVALT_FUZZ=ON
#    && cmake --build build-fuzz)
set -euo pipefail
if [ $# -lt 2 ] || [ $# -gt 3 ]; then
  echo "usage: scripts/fuzz.sh BUILD_DIR SECONDS [project|prefs|map]" >&2
  exit 2
fi
cd "$(dirname "$0")/.."
build=$1
duration=$2
target=${3:-project}
case "$target" in
  project) fuzzer="$build/bin/fuzz_project_file"; seeds=(examples/*.emf) ;;
  prefs) fuzzer="$build/bin/fuzz_preferences"; seeds=(examples/corvalt.INI) ;;
  map) fuzzer="$build/bin/fuzz_map_model"; seeds=(examples/*.json) ;;
  *) echo "fuzz.sh: unknown target '$target' (project, prefs or map)" >&2; exit 2 ;;
esac
if [ ! -x "$fuzzer" ]; then
  echo "fuzz.sh: $fuzzer is missing; configure with -DCORVALT_FUZZ=ON and build first" >&2
  exit 2
fi

corpus="$build/fuzz-corpus/$target"
artifacts="$build/fuzz-artifacts/$target"
rm -rf "$corpus" "$artifacts"
mkdir -p "$corpus" "$artifacts"
cp "${seeds[@]}" "$corpus"/

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
"$fuzzer" "$corpus" -max_total_time="$duration" -timeout=10 -rss_limit_mb=2048 \
  -malloc_limit_mb=512 -artifact_prefix="$artifacts/" -print_final_stats=1

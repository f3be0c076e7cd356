#!/usr/bin/env bash
# Fuzzes the project-file reader for a bounded time over a fresh corpus seeded
# with the sample projects. Fails on any crash, leak, hang or sanitizer report;
# the input that caused it is left in BUILD_DIR/fuzz-artifacts/.
#
# usage: scripts/fuzz.sh BUILD_DIR SECONDS
#   (build first: CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCORVALT_FUZZ=ON
#    && cmake --build build-fuzz)
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: scripts/fuzz.sh BUILD_DIR SECONDS" >&2
  exit 2
fi
cd "$(dirname "$0")/.."
build=$1
duration=$2
fuzzer="$build/bin/fuzz_project_file"
if [ ! -x "$fuzzer" ]; then
  echo "fuzz.sh: $fuzzer is missing; configure with -DCORVALT_FUZZ=ON and build first" >&2
  exit 2
fi

corpus="$build/fuzz-corpus"
artifacts="$build/fuzz-artifacts"
rm -rf "$corpus" "$artifacts"
mkdir -p "$corpus" "$artifacts"
cp examples/*.emf "$corpus"/

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
"$fuzzer" "$corpus" -max_total_time="$duration" -timeout=10 -rss_limit_mb=2048 \
  -malloc_limit_mb=512 -artifact_prefix="$artifacts/" -print_final_stats=1

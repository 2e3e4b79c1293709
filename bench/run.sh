#!/usr/bin/env bash
# Builds the benchmarks optimised and without sanitizers (build/bench) and runs each once.
# They print figures and ratios from that one run; none of them passes or fails on a time.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTEV_SANITIZE=OFF -DTEV_BENCH=ON >/dev/null
cmake --build build/bench -j"$(nproc)" >/dev/null
for b in build/bench/bench/*_bench; do
  echo "=== $(basename "$b") ==="
  "$b"
done

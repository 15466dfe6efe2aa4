#!/usr/bin/env bash
# Installs what is missing, builds the release preset into build-release/, and prints the benchmark
# table: start-up and memory beside gperiodic and an empty-window floor, the instructions to the first
# complete paint, and the cost of one element selection.
# Not part of ./test.sh: the figures depend on the machine, and nothing here fails a build.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/scripts/deps.sh"

ensure_packages "${VOSTREL_BUILD_PACKAGES[@]}" "${VOSTREL_BENCH_PACKAGES[@]}"
cd "$root"
cmake --preset release >/dev/null # again each time, so that a newly installed library is found
cmake --build --preset release --target vostrel floor_window text_floor_window startup_probe \
    bench_window_selection bench_selection first_paint
tests/realwindow/with-desktop.sh python3 bench/run_benchmarks.py "$root/build-release"
echo
build-release/bench/bench_selection

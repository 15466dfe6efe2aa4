#!/usr/bin/env bash
# Installs what is missing, builds the release preset into build-release/, and prints the benchmark
# table: start-up and memory beside gperiodic and an empty-window floor, the instructions to the first
# complete paint, and the cost of one element selection; then Vostrel.exe's start-up under Wine beside an
# empty window built with the same static Qt, and the sizes of Vostrel.exe and its zip; last the web site's
# first paint in headless Chromium beside an empty window of the same Qt for the web, its download size, and
# Lighthouse's scores for both as a phone and as a computer.
# Not part of ./test.sh: the figures depend on the machine, and nothing here fails a build.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/scripts/deps.sh"

ensure_packages $(command_packages bench)
cd "$root"
cmake --preset release >/dev/null # again each time, so that a newly installed library is found
cmake --build --preset release --target vostrel floor_window text_floor_window startup_probe \
    bench_window_selection bench_selection first_paint
tests/realwindow/with-desktop.sh python3 bench/run_benchmarks.py "$root/build-release"
echo
build-release/bench/bench_selection

# The Windows program as ./windows.sh builds and packs it (the static Qt is built once, then cached).
VOSTREL_WINDOWS_QT="$(scripts/qt/static-qt.sh windows)"
export VOSTREL_WINDOWS_QT
scripts/qt/cross-build.sh windows vostrel floor_window >&2
scripts/windows/dist.sh build-windows dist >&2
echo
tests/realwindow/with-desktop.sh python3 bench/run_windows_benchmarks.py "$root/build-release/bench/startup_probe" \
    "$root/build-windows" "$root/dist"

# The web site as ./web.sh makes it, beside an empty window of the same Qt for the web (built once, then cached).
VOSTREL_WEB_QT="$(scripts/qt/static-qt.sh web)"
export VOSTREL_WEB_QT
scripts/qt/cross-build.sh web vostrel vostrel_picture_files floor_window >&2
scripts/web/dist.sh build-web dist/web >&2
echo
/usr/bin/python3 bench/run_web_benchmarks.py dist/web build-web/bench

#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then builds the stress test with
# AddressSanitizer and UndefinedBehaviorSanitizer (the asan preset) and runs it there too.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/scripts/deps.sh"

ensure_packages $(command_packages test)
build_project "$root"
status=0
(cd "$root/build" && ctest --output-on-failure --timeout 600 "$@") || status=$?

# Only what the stress test needs is built here; any sanitizer report fails it.
cd "$root"
[ -f build-asan/build.ninja ] || cmake --preset asan
cmake --build --preset asan --target test_stress
ctest --preset asan || status=$?
exit "$status"

#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/scripts/deps.sh"

ensure_packages "${VOSTREL_BUILD_PACKAGES[@]}" "${VOSTREL_TEST_PACKAGES[@]}"
build_project "$root"
cd "$root/build"
ctest --output-on-failure --timeout 600 "$@"

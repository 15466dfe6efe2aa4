#!/usr/bin/env bash
# Installs what is missing, builds, and starts Vostrel.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/scripts/deps.sh"

ensure_packages "${VOSTREL_BUILD_PACKAGES[@]}"
build_project "$root"
if [ ! -x "$root/build/app/vostrel" ]; then
    echo "Built the element table and selection; the window is not there yet, so there is nothing to start."
    exit 0
fi
exec "$root/build/app/vostrel" "$@"

#!/usr/bin/env bash
# Installs what is missing, builds, and starts Vostrel.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/scripts/deps.sh"

ensure_packages $(command_packages run)
build_project "$root"
exec "$root/build/app/vostrel" "$@"

#!/usr/bin/env bash
# Installs what is missing, builds Vostrel for the web (WebAssembly) against a static Qt 6.8 made from Debian
# 13's own qt6-base source with Debian 13's emscripten, in a Debian 13 chroot (chroot and Qt are made once,
# then taken from ~/.cache/vostrel/), makes the static site dist/web/ and tests it in Debian's Chromium,
# WebKitGTK and Firefox ESR.
#
#   ./web.sh                 build and test
#   ./web.sh --serve [PORT]  serve dist/web/ on 127.0.0.1 (port 8000 unless given), building it first if missing
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/scripts/deps.sh"

serve=false
port=8000
case "${1-}" in
"") ;;
--serve)
    serve=true
    port="${2:-8000}"
    ;;
*)
    echo "usage: $0 [--serve [PORT]]" >&2
    exit 2
    ;;
esac

cd "$root"
if $serve && [ -f dist/web/index.html ]; then
    echo "Serving dist/web/ (Ctrl+C ends)"
    exec python3 scripts/web/serve.py dist/web "$port"
fi

ensure_packages $(command_packages web)
VOSTREL_WEB_QT="$(scripts/qt/static-qt.sh web)"
export VOSTREL_WEB_QT
scripts/qt/cross-build.sh web
scripts/web/dist.sh build-web dist/web

if $serve; then
    echo "Serving dist/web/ (Ctrl+C ends)"
    exec python3 scripts/web/serve.py dist/web "$port"
fi
# Debian's Selenium and websocket-client, so Debian's Python, whatever python3 comes first on PATH: the page as
# it looks and behaves in each engine (test_web_page.py), and in Chromium on devices (test_web_devices.py) and
# as assistive technology reads it (test_page_accessibility.py).
VOSTREL_SITE="$root/dist/web" VOSTREL_ARTIFACTS="$root/build-web/test-artifacts" \
    /usr/bin/python3 -m unittest discover --start-directory tests/web --pattern 'test_*.py' --verbose

"""Weighs the web site and times the page's first complete paint in headless Chromium beside an empty window
built with the same Qt for the web; prints a table (Markdown) with the targets.

    run_web_benchmarks.py SITE FLOOR_BUILD_DIR
        (./bench.sh runs it with Debian's Python, for Debian's Selenium)

The floor is the same site with bench/floor_window's .js and .wasm in the program's place. Each page is
opened from a local server with the browser's cache and the service worker bypassed, as at a first visit,
alternately, STARTS times; the time is from navigation to the first picture Qt puts on the page, which is
the window whole, from its completely painted backing store.
"""

import gzip
import os
import shutil
import statistics
import sys
import tempfile
import time

import brotli

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from browser import Site, chromium  # noqa: E402

STARTS = 10
RATIO_TARGET = 1.15
SITE_GZIP_TARGET = 3_000_000
SITE_BROTLI_STRETCH = 2_000_000

# Notes the time of the first picture put on the page, from the navigation's start: the window's backing
# store put into its 2D canvas (Qt 6.8), or a draw call into a WebGL context (Qt 6.4's compositor).
FIRST_DRAW = """
for (const [context, names] of [[self.CanvasRenderingContext2D, ["putImageData"]],
                                [self.WebGLRenderingContext, ["drawArrays", "drawElements"]],
                                [self.WebGL2RenderingContext, ["drawArrays", "drawElements"]]]) {
    if (!context) continue;
    for (const name of names) {
        const draw = context.prototype[name];
        context.prototype[name] = function (...args) {
            if (self.firstDraw === undefined) self.firstDraw = performance.now();
            return draw.apply(this, args);
        };
    }
}
"""


def sizes(path):
    data = open(path, "rb").read()
    return len(data), len(gzip.compress(data, 9, mtime=0)), len(brotli.compress(data, quality=11))


def site_sizes(site, visit_only=False):
    """Raw, gzip and brotli sizes added up over the site's files, or only over those a visit downloads (the
    service worker's list: all but the licence texts)."""
    totals = [0, 0, 0]
    for folder, _, names in os.walk(site):
        for name in names:
            if visit_only and os.path.relpath(folder, site).startswith("licences"):
                continue
            for i, size in enumerate(sizes(os.path.join(folder, name))):
                totals[i] += size
    return totals


def first_draw_ms(driver, url):
    driver.get("about:blank")
    driver.get(url)
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        value = driver.execute_script("return self.firstDraw")
        if value is not None:
            return value
        time.sleep(0.05)
    raise SystemExit(f"{url}: nothing drawn within 60 s")


def main(site, floor_build):
    with tempfile.TemporaryDirectory(prefix="vostrel-web-bench-") as work:
        floor = os.path.join(work, "floor")
        shutil.copytree(site, floor)
        os.remove(os.path.join(floor, "sw.js"))
        for suffix in ("js", "wasm"):
            shutil.copy(os.path.join(floor_build, f"floor_window.{suffix}"), os.path.join(floor, f"vostrel.{suffix}"))
        # The page starts vostrel.js, which fetches the .wasm of its own name.
        shutil.copy(os.path.join(floor_build, "floor_window.wasm"), floor)
        servers = [Site(site), Site(floor)]
        driver = chromium(os.path.join(work, "profile"))
        try:
            driver.execute_cdp_cmd("Network.enable", {})
            driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
            driver.execute_cdp_cmd("Network.setBypassServiceWorker", {"bypass": True})
            driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": FIRST_DRAW})
            for server in servers:
                first_draw_ms(driver, server.url + "index.html")  # one untimed load each
            times = ([], [])
            for _ in range(STARTS):
                for server, measured in zip(servers, times):
                    measured.append(first_draw_ms(driver, server.url + "index.html"))
        finally:
            driver.quit()
            for server in servers:
                server.stop()

    program, empty = (statistics.median(t) for t in times)
    wasm = sizes(os.path.join(site, "vostrel.wasm"))
    visit, whole = site_sizes(site, visit_only=True), site_sizes(site)
    ratio = program / empty
    print("| web | measured | target |")
    print("|---|---|---|")
    print(f"| navigation to first complete paint, median of {STARTS} | {program:.0f} ms | |")
    print(f"| the same for the empty window of the same Qt (web floor) | {empty:.0f} ms | |")
    print(f"| ratio to the web floor | {ratio:.2f} | at most {RATIO_TARGET} |")
    print(f"| vostrel.wasm raw / gzip -9 / brotli | {wasm[0] / 1e6:.2f} / {wasm[1] / 1e6:.2f} / {wasm[2] / 1e6:.2f} MB | |")
    print(f"| a visit's download (all but the licence texts) raw / gzip -9 / brotli | {visit[0] / 1e6:.2f} / "
          f"{visit[1] / 1e6:.2f} / {visit[2] / 1e6:.2f} MB | gzip at most {SITE_GZIP_TARGET / 1e6:.0f} MB "
          f"(stretch: brotli {SITE_BROTLI_STRETCH / 1e6:.0f} MB) |")
    print(f"| whole site raw / gzip -9 / brotli | {whole[0] / 1e6:.2f} / {whole[1] / 1e6:.2f} / {whole[2] / 1e6:.2f} MB"
          " | |")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    main(sys.argv[1], sys.argv[2])

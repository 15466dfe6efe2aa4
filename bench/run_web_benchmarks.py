"""Weighs the web site and times the page's first complete paint in headless Chromium beside an empty window
built with the same Qt for the web; then has Lighthouse judge both, as a phone and as a computer; prints two
tables (Markdown) with the targets.

    run_web_benchmarks.py SITE FLOOR_BUILD_DIR
        (./bench.sh runs it with Debian's Python, for Debian's Selenium)

The floor is the same site with bench/floor_window's .js and .wasm (and their brotli and gzip copies) in the
program's place. Each page is opened from a local server that sends the compressed copies (serve.py), with
the browser's cache and the service worker bypassed, as at a first visit, alternately, STARTS times; the time
is from navigation to the first picture Qt puts on the page, which is the window whole, from its completely
painted backing store. Lighthouse (pinned with all it depends on in bench/lighthouse/, installed once into
~/.cache/vostrel/) runs Debian's Chromium headless with its mobile and desktop presets, once each.
"""

import gzip
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import brotli

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "web"))
sys.path.insert(0, os.path.join(HERE, "..", "scripts"))
import npm_cache  # noqa: E402
from browser import Site, chromium  # noqa: E402

STARTS = 10
RATIO_TARGET = 1.15
SITE_GZIP_TARGET = 3_000_000
SITE_BROTLI_STRETCH = 2_000_000
LIGHTHOUSE_TARGET = 100  # accessibility, best practices and SEO, each
COPIES = (".br", ".gz")  # the compressed copies dist.sh writes beside the files a server sends compressed
CATEGORIES = (("accessibility", "accessibility"), ("best-practices", "best practices"), ("seo", "SEO"),
              ("performance", "performance"))
# Chromium as in the tests: headless, WebGL through SwiftShader.
LIGHTHOUSE_CHROMIUM = "--headless=new --no-sandbox --enable-unsafe-swiftshader --use-angle=swiftshader --disable-dev-shm-usage"

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
            if visit_only and os.path.relpath(folder, site).startswith("licences") or name.endswith(COPIES):
                continue
            for i, size in enumerate(sizes(os.path.join(folder, name))):
                totals[i] += size
    return totals


def floor_site(site, floor_build, floor):
    """The site with the empty window in the program's place, its copies made as dist.sh makes them, and no
    service worker."""
    shutil.copytree(site, floor)
    for name in ("sw.js", *(f"sw.js{suffix}" for suffix in COPIES)):
        os.remove(os.path.join(floor, name))
    for suffix in ("js", "wasm"):
        program = os.path.join(floor, f"vostrel.{suffix}")
        shutil.copy(os.path.join(floor_build, f"floor_window.{suffix}"), program)
        subprocess.run(["gzip", "--no-name", "-9", "--keep", "--force", program], check=True)
        subprocess.run(["brotli", "--quality=11", "--force", program], check=True)
    # The page starts vostrel.js, which fetches the .wasm of the name it was built with.
    shutil.copy(os.path.join(floor_build, "floor_window.wasm"), floor)


def lighthouse(command, url, preset, report):
    """Lighthouse's report of the page at `url` (a dict), with the mobile or desktop preset."""
    arguments = [command, url, "--quiet", "--output=json", f"--output-path={report}",
                 "--only-categories=performance,accessibility,best-practices,seo",
                 f"--chrome-flags={LIGHTHOUSE_CHROMIUM}"]
    if preset == "desktop":
        arguments.append("--preset=desktop")
    run = subprocess.run(arguments, env={**os.environ, "CHROME_PATH": "/usr/bin/chromium"},
                         capture_output=True, text=True)
    if run.returncode != 0:
        raise SystemExit(f"Lighthouse failed on {url} ({preset}):\n{run.stderr.strip()}")
    with open(report, encoding="utf-8") as file:
        result = json.load(file)
    if result.get("runtimeError"):
        raise SystemExit(f"Lighthouse could not load {url} ({preset}): {result['runtimeError']}")
    return result


def judged(result):
    """Scores (0 to 100, by category) and figures from a Lighthouse report, with what cost points."""
    scores = {key: round(result["categories"][key]["score"] * 100) for key, _ in CATEGORIES}
    audits = result["audits"]
    figures = {key: audits[key]["numericValue"]
               for key in ("total-byte-weight", "largest-contentful-paint", "total-blocking-time")}
    short = sorted(f"{key}: {audits[ref['id']]['id']}" for key, _ in CATEGORIES[:3]
                   for ref in result["categories"][key]["auditRefs"]
                   if ref["weight"] > 0 and audits[ref["id"]]["score"] not in (None, 1))
    return scores, figures, short


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
        floor_site(site, floor_build, floor)
        command = os.path.join(npm_cache.installed(os.path.join(HERE, "lighthouse")), "node_modules", ".bin",
                               "lighthouse")
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
            driver.quit()
            driver = None
            reports = {(preset, which): judged(lighthouse(command, server.url + "index.html", preset,
                                                          os.path.join(work, f"{which}-{preset}.json")))
                       for preset in ("mobile", "desktop") for which, server in zip(("page", "floor"), servers)}
            version = json.load(open(os.path.join(work, "page-mobile.json"), encoding="utf-8"))["lighthouseVersion"]
        finally:
            if driver is not None:
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

    columns = [(preset, which) for preset in ("mobile", "desktop") for which in ("page", "floor")]
    print()
    print(f"| Lighthouse {version}, served compressed | "
          + " | ".join(f"{which}, {preset}" for preset, which in columns) + " | target |")
    print("|---" * (len(columns) + 2) + "|")
    for key, name in CATEGORIES:
        target = f"{LIGHTHOUSE_TARGET} on the page" if key != "performance" else ""
        print(f"| {name} | " + " | ".join(str(reports[c][0][key]) for c in columns) + f" | {target} |")
    for key, name, show in (("total-byte-weight", "bytes transferred", lambda v: f"{v / 1e6:.2f} MB"),
                            ("largest-contentful-paint", "largest contentful paint", lambda v: f"{v / 1000:.1f} s"),
                            ("total-blocking-time", "total blocking time", lambda v: f"{v:.0f} ms")):
        print(f"| {name} | " + " | ".join(show(reports[c][1][key]) for c in columns) + " | |")
    for preset in ("mobile", "desktop"):
        short = reports[(preset, "page")][2]
        if short:
            print(f"\nThe page, {preset}, short of {LIGHTHOUSE_TARGET} on: {', '.join(short)}")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    main(sys.argv[1], sys.argv[2])

"""Runs the benchmarks on the virtual X screen and prints one table (Markdown) with the targets.

    run_benchmarks.py BUILD_DIR      (./bench.sh runs it inside tests/realwindow/with-desktop.sh)
"""

import os
import statistics
import subprocess
import sys

STARTS = 20
STARTUP_RATIO_TARGET = 1.25
RSS_MARGIN_TARGET_MIB = 8
SELECTION_TARGET_US = 50


def probe(build, program):
    """Start-up in milliseconds and resident memory in MiB of one start of the program."""
    out = subprocess.run([os.path.join(build, "bench", "startup_probe"), program],
                         check=True, capture_output=True, text=True).stdout
    fields = dict(item.split("=") for item in out.split())
    return int(fields["startup_us"]) / 1000, int(fields["rss_kib"]) / 1024


def selection(build):
    environment = dict(os.environ, QT_QPA_PLATFORM="xcb")
    out = subprocess.run([os.path.join(build, "bench", "bench_window_selection")], env=environment,
                         check=True, capture_output=True, text=True).stdout
    return {key: float(value) for key, value in (item.split("=") for item in out.split())}


def main():
    build = sys.argv[1]
    programs = {
        "Vostrel": os.path.join(build, "app", "vostrel"),
        "floor": os.path.join(build, "bench", "floor_window"),
        "Thai text floor": os.path.join(build, "bench", "text_floor_window"),
    }
    for program in programs.values():  # once each, untimed, so that every timed start finds warm caches
        probe(build, program)
    samples = {name: [] for name in programs}
    for _ in range(STARTS):  # interleaved, so that a busy moment of the machine weighs on all alike
        for name, program in programs.items():
            samples[name].append(probe(build, program))
    startup = {name: statistics.median(s[0] for s in runs) for name, runs in samples.items()}
    rss = {name: statistics.median(s[1] for s in runs) for name, runs in samples.items()}
    click = selection(build)

    ratio = startup["Vostrel"] / startup["floor"]
    margin = rss["Vostrel"] - rss["floor"]
    rows = [
        ("start-up, exec to painted window (median of 20)", f"{startup['Vostrel']:.1f} ms",
         f"{startup['floor']:.1f} ms", f"{ratio:.2f} x", f"<= {STARTUP_RATIO_TARGET} x",
         ratio <= STARTUP_RATIO_TARGET),
        ("  beside the Thai text floor (one Thai caption)", f"{startup['Vostrel']:.1f} ms",
         f"{startup['Thai text floor']:.1f} ms", f"{startup['Vostrel'] / startup['Thai text floor']:.2f} x",
         "(for reference)", None),
        ("resident memory (VmRSS) with the window up (median)", f"{rss['Vostrel']:.1f} MiB",
         f"{rss['floor']:.1f} MiB", f"+{margin:.1f} MiB", f"<= +{RSS_MARGIN_TARGET_MIB} MiB",
         margin <= RSS_MARGIN_TARGET_MIB),
        ("  beside the Thai text floor", f"{rss['Vostrel']:.1f} MiB", f"{rss['Thai text floor']:.1f} MiB",
         f"+{rss['Vostrel'] - rss['Thai text floor']:.1f} MiB", "(for reference)", None),
        ("selection: click, handler, 8 box writes, repaint request (median of 112)",
         f"{click['selection_us']:.1f} us", "", f"{click['selection_fastest_us']:.1f} to "
         f"{click['selection_slowest_us']:.1f} us", f"< {SELECTION_TARGET_US} us",
         click["selection_us"] < SELECTION_TARGET_US),
        ("  the same with the repaint carried out", f"{click['with_repaint_us']:.1f} us", "", "",
         "(for reference)", None),
    ]
    header = ("measure", "Vostrel", "floor", "Vostrel / floor", "target", "met")
    print("| " + " | ".join(header) + " |")
    print("|" + "---|" * len(header))
    for *cells, met in rows:
        print("| " + " | ".join(cells + ["" if met is None else ("yes" if met else "NO")]) + " |")
    return 0


if __name__ == "__main__":
    sys.exit(main())

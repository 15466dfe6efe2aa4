"""Runs the benchmarks on the virtual X screen and prints one table (Markdown) with the targets.

    run_benchmarks.py BUILD_DIR      (./bench.sh runs it inside tests/realwindow/with-desktop.sh)
"""

import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile

STARTS = 20
PEER_RATIO_TARGET, PEER_RATIO_STRETCH = 1.00, 0.90  # start-up against gperiodic
FLOOR_RATIO_TARGET = 1.25  # start-up against the empty floor
RSS_MARGIN_TARGET_MIB = 5
INSTRUCTIONS_TARGET_M, INSTRUCTIONS_STRETCH_M = 100, 80
SELECTION_TARGET_US = 50
GPERIODIC = "/usr/bin/gperiodic"  # Debian's GTK periodic table: the peer to start as fast as


def probe(build, program):
    """Start-up in milliseconds and resident memory in MiB of one start of the program."""
    out = subprocess.run([os.path.join(build, "bench", "startup_probe"), program],
                         check=True, capture_output=True, text=True).stdout
    fields = dict(item.split("=") for item in out.split())
    return int(fields["startup_us"]) / 1000, int(fields["rss_kib"]) / 1024


def instructions_to_first_paint(build):
    """Instructions, in millions, from exec to the first complete paint, counted by callgrind; the
    profile is kept beside the program for callgrind_annotate."""
    profile = os.path.join(build, "bench", "first_paint.callgrind")
    environment = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_HASH_SEED="0")
    with tempfile.TemporaryDirectory() as work:
        err = subprocess.run(["valgrind", "--tool=callgrind", f"--callgrind-out-file={work}/%p",
                              os.path.join(build, "bench", "first_paint")], env=environment,
                             check=True, capture_output=True, text=True).stderr
        # Only the program's own process: a child forked to look for a D-Bus session counts apart.
        pid = re.search(r"==(\d+)== Command:", err).group(1)
        collected = re.search(rf"=={pid}== Collected : (\d+)", err)
        if not collected:
            raise RuntimeError(f"callgrind reported no count:\n{err[-2000:]}")
        shutil.move(os.path.join(work, pid), profile)
    return int(collected.group(1)) / 1e6, profile


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
        "gperiodic": GPERIODIC,
    }
    if not shutil.which(GPERIODIC):
        sys.exit(f"{GPERIODIC} is missing (./bench.sh installs Debian's gperiodic)")
    for program in programs.values():  # once each, untimed, so that every timed start finds warm caches
        probe(build, program)
    samples = {name: [] for name in programs}
    for _ in range(STARTS):  # interleaved, so that a busy moment of the machine weighs on all alike
        for name, program in programs.items():
            samples[name].append(probe(build, program))
    startup = {name: statistics.median(s[0] for s in runs) for name, runs in samples.items()}
    rss = {name: statistics.median(s[1] for s in runs) for name, runs in samples.items()}
    click = selection(build)

    instructions, profile = instructions_to_first_paint(build)

    def ratio(other):
        return startup["Vostrel"] / startup[other]

    def margin(other):
        return rss["Vostrel"] - rss[other]

    vostrel_ms, vostrel_mib = f"{startup['Vostrel']:.1f} ms", f"{rss['Vostrel']:.1f} MiB"
    rows = [
        (f"start-up, exec to painted window (median of {STARTS})", vostrel_ms,
         f"gperiodic {startup['gperiodic']:.1f} ms", f"{ratio('gperiodic'):.2f} x",
         f"<= {PEER_RATIO_TARGET:.2f} x (stretch {PEER_RATIO_STRETCH:.2f})", ratio("gperiodic") <= PEER_RATIO_TARGET),
        ("  beside the empty floor", vostrel_ms, f"floor {startup['floor']:.1f} ms", f"{ratio('floor'):.2f} x",
         f"<= {FLOOR_RATIO_TARGET} x", ratio("floor") <= FLOOR_RATIO_TARGET),
        ("  beside the Thai text floor (one Thai caption)", vostrel_ms,
         f"Thai text floor {startup['Thai text floor']:.1f} ms", f"{ratio('Thai text floor'):.2f} x",
         "(for reference)", None),
        ("instructions from exec to the first complete paint (callgrind)", f"{instructions:.1f} M", "", "",
         f"<= {INSTRUCTIONS_TARGET_M} M (stretch {INSTRUCTIONS_STRETCH_M})", instructions <= INSTRUCTIONS_TARGET_M),
        ("resident memory (VmRSS) with the window up (median)", vostrel_mib, f"floor {rss['floor']:.1f} MiB",
         f"+{margin('floor'):.1f} MiB", f"<= +{RSS_MARGIN_TARGET_MIB} MiB", margin("floor") <= RSS_MARGIN_TARGET_MIB),
        ("  beside the Thai text floor", vostrel_mib, f"Thai text floor {rss['Thai text floor']:.1f} MiB",
         f"{margin('Thai text floor'):+.1f} MiB", "(for reference)", None),
        ("  beside gperiodic", vostrel_mib, f"gperiodic {rss['gperiodic']:.1f} MiB",
         f"{margin('gperiodic'):+.1f} MiB", "(for reference)", None),
        ("selection: click, handler, 8 box writes, repaint request (median of 112)",
         f"{click['selection_us']:.1f} us", "", f"{click['selection_fastest_us']:.1f} to "
         f"{click['selection_slowest_us']:.1f} us", f"< {SELECTION_TARGET_US} us",
         click["selection_us"] < SELECTION_TARGET_US),
        ("  the same with the repaint carried out", f"{click['with_repaint_us']:.1f} us", "", "",
         "(for reference)", None),
    ]
    header = ("measure", "Vostrel", "beside", "Vostrel against it", "target", "met")
    print("| " + " | ".join(header) + " |")
    print("|" + "---|" * len(header))
    for *cells, met in rows:
        print("| " + " | ".join(cells + ["" if met is None else ("yes" if met else "NO")]) + " |")
    print(f"\nWhere the instructions go: callgrind_annotate --inclusive=yes {profile}")
    return 0


if __name__ == "__main__":
    sys.exit(main())

"""Times Vostrel.exe under Wine beside an empty window built with the same static Qt, and weighs the
program file and its zip; prints a table (Markdown) with the targets.

    run_windows_benchmarks.py STARTUP_PROBE WINDOWS_BUILD_DIR DIST_DIR
        (./bench.sh runs it inside tests/realwindow/with-desktop.sh)

Both programs start the same way, in one Wine prefix made for the run, and are timed by the same probe that
times the Linux programs: from exec to a completely painted window, as the X server sees it.
"""

import glob
import os
import statistics
import subprocess
import sys
import tempfile

STARTS = 10
EXE_TARGET_BYTES = 12_000_000
ZIP_TARGET_BYTES = 6_000_000
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def probe(startup_probe, program):
    """Start-up in milliseconds of one start of the Windows program under Wine."""
    out = subprocess.run([startup_probe, "/usr/bin/wine", program], check=True, capture_output=True,
                         text=True).stdout
    fields = dict(item.split("=") for item in out.split())
    return int(fields["startup_us"]) / 1000


def startups(startup_probe, programs):
    """Median start-up of each program, started alternately STARTS times after one untimed start each."""
    with tempfile.TemporaryDirectory() as work:
        prefix = os.path.join(work, "wine-prefix")
        os.environ.update(WINEPREFIX=prefix, WINEDEBUG="-all")
        subprocess.run([os.path.join(ROOT, "tests", "windows", "make-wine-prefix.sh"), prefix], check=True)
        # One Wine server for every start, as on Windows the system is already up when a program starts.
        subprocess.run(["wineserver", "--wait"], check=True)  # the one that made the prefix, gone
        subprocess.run(["wineserver", "--persistent"], check=True)
        try:
            for program in programs.values():
                probe(startup_probe, program)
            samples = {name: [] for name in programs}
            for _ in range(STARTS):  # interleaved, so that a busy moment of the machine weighs on all alike
                for name, program in programs.items():
                    samples[name].append(probe(startup_probe, program))
        finally:
            subprocess.run(["wineserver", "--kill"], check=False)
            subprocess.run(["wineserver", "--wait"], check=False)
    return {name: statistics.median(runs) for name, runs in samples.items()}


def megabytes(size):
    return f"{size / 1e6:.1f} MB ({size:,} bytes)"


def main():
    startup_probe, build, dist = sys.argv[1:4]
    programs = {
        "Vostrel": os.path.join(build, "app", "Vostrel.exe"),
        "floor": os.path.join(build, "bench", "floor_window.exe"),
    }
    zips = glob.glob(os.path.join(dist, "Vostrel-*-windows-x64.zip"))
    if len(zips) != 1:
        sys.exit(f"expected one Vostrel zip in {dist}, found {zips}")
    exe_size, zip_size = os.path.getsize(programs["Vostrel"]), os.path.getsize(zips[0])
    floor_size = os.path.getsize(programs["floor"])

    startup = startups(startup_probe, programs)
    ratio = startup["Vostrel"] / startup["floor"]
    rows = [
        (f"Windows: start-up under Wine, exec to painted window (median of {STARTS})",
         f"{startup['Vostrel']:.1f} ms", f"floor {startup['floor']:.1f} ms", f"{ratio:.2f} x", "(for reference)",
         None),
        ("Windows: Vostrel.exe", megabytes(exe_size), f"floor {floor_size / 1e6:.1f} MB",
         f"+{(exe_size - floor_size) / 1e6:.1f} MB", f"<= {EXE_TARGET_BYTES / 1e6:.0f} MB",
         exe_size <= EXE_TARGET_BYTES),
        ("Windows: its zip", megabytes(zip_size), "", "", f"<= {ZIP_TARGET_BYTES / 1e6:.0f} MB",
         zip_size <= ZIP_TARGET_BYTES),
    ]
    header = ("measure", "Vostrel", "beside", "Vostrel against it", "target", "met")
    print("| " + " | ".join(header) + " |")
    print("|" + "---|" * len(header))
    for *cells, met in rows:
        print("| " + " | ".join(cells + ["" if met is None else ("yes" if met else "NO")]) + " |")
    return 0


if __name__ == "__main__":
    sys.exit(main())

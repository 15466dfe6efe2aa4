"""Installs the build into a temporary prefix and starts the installed program on the virtual X screen, from
outside the build tree with a clean environment. Its window must appear and no file of the build or source
tree may be open or mapped in it. With --pictures, the window must also carry the trefoil at 32 and 16
pixels as its icon and show the hand, hot spot 12,1, over its surface and labels.

    check_installed_program.py BUILD_DIR SOURCE_DIR [--pictures]

The virtual X screen is an Xvfb of its own that picks a free display itself (-displayfd), so that other
virtual screens starting at the same time cannot take its display number.
"""

import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "realwindow"))
from desktop import picture_problems  # noqa: E402


def start_virtual_screen():
    """Starts Xvfb and returns it once it accepts connections, with DISPLAY set to it."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                              pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + 30
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        if select.select([read_end], [], [], 0.5)[0]:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
    os.close(read_end)
    if not number.strip().isdigit():
        server.kill()
        sys.exit("FAIL: Xvfb did not start")
    os.environ["DISPLAY"] = ":" + number.decode().strip()
    return server


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def find_window(process):
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        if process.poll() is not None:
            sys.exit(f"FAIL: the program ended with {process.returncode}: {process.stderr.read()}")
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(process.pid), "--name", "^Vostrel$"],
                               capture_output=True, text=True).stdout.split()
        if found:
            time.sleep(0.5)  # the first paint
            return found[0]
        time.sleep(0.1)
    sys.exit("FAIL: no window titled Vostrel appeared")


def files_in_use(pid):
    paths = set()
    with open(f"/proc/{pid}/maps") as maps:
        for line in maps:
            fields = line.split(maxsplit=5)
            if len(fields) == 6 and fields[5].startswith("/"):
                paths.add(fields[5].strip())
    for fd in os.listdir(f"/proc/{pid}/fd"):
        try:
            paths.add(os.readlink(f"/proc/{pid}/fd/{fd}"))
        except OSError:
            pass  # closed meanwhile
    return paths


def check_pictures(window):
    problems = picture_problems(window)
    if problems:
        sys.exit("FAIL: " + "; ".join(problems))
    print("icon: the trefoil at 32 and 16; pointer: the hand, hot spot 12,1")


def main():
    build, source = os.path.realpath(sys.argv[1]), os.path.realpath(sys.argv[2])
    pictures = "--pictures" in sys.argv[3:]
    prefix = tempfile.mkdtemp(prefix="vostrel-install-")
    try:
        run("cmake", "--install", build, "--prefix", prefix)
        program = os.path.join(prefix, "bin", "vostrel")
        screen = start_virtual_screen()
        environment = {"PATH": "/usr/bin:/bin", "HOME": prefix, "LANG": "C.UTF-8", "DISPLAY": os.environ["DISPLAY"]}
        process = subprocess.Popen([program], cwd=prefix, env=environment, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.PIPE, text=True)
        try:
            window = find_window(process)
            stray = sorted(p for p in files_in_use(process.pid)
                           if p.startswith(build + "/") or p.startswith(source + "/"))
            if stray:
                sys.exit("FAIL: the installed program uses files of the build or source tree:\n  " + "\n  ".join(stray))
            print(f"the installed program shows its window without the build tree ({program})")
            if pictures:
                check_pictures(window)
        finally:
            process.kill()
            process.wait()
            screen.kill()
            screen.wait()
    finally:
        shutil.rmtree(prefix, ignore_errors=True)


if __name__ == "__main__":
    main()

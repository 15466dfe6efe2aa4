"""Installs the build into a temporary prefix and starts the installed program on the virtual X screen, from
outside the build tree with a clean environment. Its window must appear, with the WM_CLASS that its menu
entry names, and no file of the build or source tree may be open or mapped in it. With --pictures, the
window must also carry the trefoil at 32 and 16 pixels as its icon and show the hand, hot spot 12,1, over
its surface and labels. With --wayland, the installed program is also started natively on Wayland, in
Debian's weston without a screen: it must give its window the app id that is its menu entry's name, and
draw the same client area there as on X11.

    check_installed_program.py BUILD_DIR SOURCE_DIR [--pictures | --wayland]

The virtual X screen is an Xvfb of its own that picks a free display itself (-displayfd), so that other
virtual screens starting at the same time cannot take its display number; weston gets a runtime
directory of its own for its socket.
"""

import contextlib
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "realwindow"))
from desktop import picture_problems, start_xvfb  # noqa: E402


def start_virtual_screen():
    """Starts Xvfb and returns it once it accepts connections, with DISPLAY set to it."""
    try:
        server, os.environ["DISPLAY"] = start_xvfb()
    except RuntimeError as error:
        sys.exit(f"FAIL: {error}")
    return server


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def run_bytes(*command):
    return subprocess.run(command, check=True, capture_output=True).stdout


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


def menu_entry(prefix):
    """The installed menu entry's path; it is the only one."""
    entries = glob.glob(os.path.join(prefix, "share", "applications", "*.desktop"))
    if len(entries) != 1:
        sys.exit(f"FAIL: expected one installed menu entry, found {entries}")
    return entries[0]


def check_window_class(window, prefix):
    """X11 desktops match a window to its menu entry by StartupWMClass against the window's WM_CLASS."""
    entry = menu_entry(prefix)
    with open(entry, encoding="utf-8") as lines:
        named = [line.strip().partition("=")[2] for line in lines if line.startswith("StartupWMClass=")]
    window_class = re.findall(r'"([^"]*)"', run("xprop", "-id", window, "WM_CLASS"))
    if len(window_class) != 2 or named != [window_class[1]]:
        sys.exit(f"FAIL: the window's WM_CLASS is {window_class}; {os.path.basename(entry)} names {named}")
    print(f"WM_CLASS {window_class[1]!r}, as the menu entry names it")


def read_picture(data, kind):
    """Width, height and RGB bytes of a picture of a kind ImageMagick reads, such as xwd or png."""
    ppm = subprocess.run(["convert", f"{kind}:-", "-strip", "-depth", "8", "ppm:-"], input=data, check=True,
                         capture_output=True).stdout
    header = re.match(rb"P6\s(\d+)\s(\d+)\s255\s", ppm)
    if not header:
        sys.exit(f"FAIL: ImageMagick made no 8-bit PPM of the {kind} picture")
    return int(header[1]), int(header[2]), ppm[header.end() :]


def settled_client_area(window):
    """The window's client area on the X screen once two captures in a row agree, so fully painted."""
    previous = None
    for _ in range(25):
        current = read_picture(run_bytes("xwd", "-silent", "-id", window), "xwd")
        if current == previous:
            return current
        previous = current
        time.sleep(0.2)
    sys.exit("FAIL: the window on the X screen does not stop changing")


def crop(picture, left, top, width, height):
    """A rectangle of a picture, as a picture; None if it does not lie wholly inside."""
    picture_width, picture_height, pixels = picture
    if left < 0 or top < 0 or left + width > picture_width or top + height > picture_height:
        return None
    rows = (pixels[((top + y) * picture_width + left) * 3 : ((top + y) * picture_width + left + width) * 3]
            for y in range(height))
    return width, height, b"".join(rows)


@contextlib.contextmanager
def wayland_desktop():
    """Debian's weston without a screen (headless, drawn by pixman, never idle), in a runtime directory of its
    own, with its screenshooter and its scene graph open to clients (--debug). Yields the environment of its
    clients once they can connect; fails with weston's own words if it does not start."""
    runtime = tempfile.mkdtemp(prefix="vostrel-wayland-")  # mode 0700, as Wayland asks of it
    socket, log = "vostrel-wayland", os.path.join(runtime, "weston.log")
    compositor = None
    try:
        try:
            compositor = subprocess.Popen(
                ["weston", "--backend=headless-backend.so", "--use-pixman", "--idle-time=0", "--no-config",
                 "--debug", "--width=1280", "--height=1024", f"--socket={socket}", f"--log={log}"],
                env={"PATH": "/usr/bin:/bin", "HOME": runtime, "XDG_RUNTIME_DIR": runtime},
                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        except OSError as error:
            sys.exit(f"FAIL: weston cannot be started: {error}")
        deadline = time.monotonic() + 20
        while not os.path.exists(os.path.join(runtime, socket)):
            if compositor.poll() is not None or time.monotonic() > deadline:
                compositor.kill()
                why = compositor.stderr.read()
                if os.path.exists(log):
                    with open(log, errors="replace") as messages:
                        why = messages.read() + why
                sys.exit(f"FAIL: weston did not start, so nothing can be checked on Wayland:\n{why[-3000:]}")
            time.sleep(0.1)
        yield {"PATH": "/usr/bin:/bin", "LANG": "C.UTF-8", "XDG_RUNTIME_DIR": runtime, "WAYLAND_DISPLAY": socket}
    finally:
        if compositor:
            compositor.kill()
            compositor.wait()
        shutil.rmtree(runtime, ignore_errors=True)


def wayland_screenshot(wayland):
    """weston's whole screen, through its screenshooter, which writes a file into its working directory."""
    with tempfile.TemporaryDirectory() as folder:
        taken = subprocess.run(["weston-screenshooter"], cwd=folder, env=wayland, capture_output=True, text=True)
        shots = glob.glob(os.path.join(folder, "wayland-screenshot-*.png"))
        if taken.returncode != 0 or len(shots) != 1:
            sys.exit(f"FAIL: weston-screenshooter took no picture: {taken.stderr}")
        with open(shots[0], "rb") as shot:
            return read_picture(shot.read(), "png")


def save_picture(picture, path):
    width, height, pixels = picture
    os.makedirs(os.path.dirname(path), exist_ok=True)
    subprocess.run(["convert", "ppm:-", path], input=b"P6 %d %d 255\n" % (width, height) + pixels, check=False)


def client_area_on_wayland(wayland, title):
    """Where weston shows the client area of the window with this title, as left, top, width and height of
    the opaque region that Qt gives its surface (its own decorations are outside it); None until then."""
    scene = subprocess.run(["weston-debug", "scene-graph"], env=wayland, capture_output=True, text=True).stdout
    view = re.search(rf"top-level window '{re.escape(title)}'.*\n(?:\t\t.*\n)*?"
                     r"\t\t\[opaque: \((-?\d+), (-?\d+)\) -> \((-?\d+), (-?\d+)\)\]", scene)
    if not view:
        return None
    left, top, right, bottom = map(int, view.groups())
    return left, top, right - left, bottom - top


def check_wayland(program, prefix, x11_client, artifacts):
    """The installed program on weston through Qt's Wayland plugin: its app id and its client area. Neither
    window has the keyboard (no window manager on the X screen, no seat in weston), so both are drawn
    inactive, without a focus frame."""
    app_id = os.path.basename(menu_entry(prefix)).removesuffix(".desktop")
    with wayland_desktop() as wayland, tempfile.TemporaryFile("w+", errors="replace") as protocol:
        process = subprocess.Popen([program], cwd=prefix, stdout=subprocess.DEVNULL, stderr=protocol,
                                   env=dict(wayland, HOME=prefix, QT_QPA_PLATFORM="wayland", WAYLAND_DEBUG="1"))
        try:
            # Until the first paint has reached the screen.
            deadline, area, client = time.monotonic() + 20, None, None
            while client != x11_client and time.monotonic() < deadline and process.poll() is None:
                time.sleep(0.2)
                area = client_area_on_wayland(wayland, "Vostrel")
                if area:
                    screen = wayland_screenshot(wayland)
                    client = crop(screen, *area)
            ended = process.poll()
        finally:
            process.kill()
            process.wait()
        protocol.seek(0)
        log = protocol.read()
    messages = "".join(line + "\n" for line in log.splitlines() if not line.startswith("["))[-3000:]
    if ended is not None:
        sys.exit(f"FAIL: on Wayland the program ended with {ended}:\n{messages}")
    app_ids = re.findall(r'xdg_toplevel@\d+\.set_app_id\("([^"]*)"\)', log)
    if app_ids != [app_id]:
        sys.exit(f"FAIL: on Wayland the window announces the app ids {app_ids}, not {app_id!r} alone")
    if area is None:
        sys.exit(f"FAIL: weston shows no window titled Vostrel:\n{messages}")
    if client != x11_client:
        save_picture(x11_client, os.path.join(artifacts, "x11-client-area.png"))
        save_picture(screen, os.path.join(artifacts, "wayland-screen.png"))
        sys.exit(f"FAIL: the client area on Wayland, {area[2]} x {area[3]} at {area[:2]} on weston's screen, "
                 f"is not the one drawn on X11, {x11_client[0]} x {x11_client[1]} (see {artifacts})")
    print(f"on Wayland: app id {app_id}, and the client area of X11, pixel for pixel ({area[2]} x {area[3]})")


def main():
    build, source = os.path.realpath(sys.argv[1]), os.path.realpath(sys.argv[2])
    pictures = "--pictures" in sys.argv[3:]
    wayland = "--wayland" in sys.argv[3:]
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
            check_window_class(window, prefix)
            if pictures:
                check_pictures(window)
            if wayland:
                check_wayland(program, prefix, settled_client_area(window), os.path.join(build, "artifacts"))
        finally:
            process.kill()
            process.wait()
            screen.kill()
            screen.wait()
    finally:
        shutil.rmtree(prefix, ignore_errors=True)


if __name__ == "__main__":
    main()

# Sourced by every command (run.sh, test.sh, bench.sh, windows.sh, web.sh, release.sh) and by the scripts
# that run on their own: the Debian packages each command needs, and the function that installs the missing
# ones. tests/packaging/check_package_lists.sh reads the same lists.

# What building and running the program needs.
VOSTREL_BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev libgl-dev libfontconfig-dev fonts-thai-tlwg)
VOSTREL_BUILD_PACKAGES+=(python3) # runs make_pictures.py

# What the test suite needs on top: a virtual X server with a window manager and tools to drive it.
VOSTREL_TEST_PACKAGES=(git clang-format xvfb xauth openbox xdotool wmctrl x11-utils x11-apps xclip imagemagick python3 python3-fonttools)
# The Windows resource check, the desktop file validators and the Debian package.
VOSTREL_TEST_PACKAGES+=(g++-mingw-w64-i686 binutils-mingw-w64-i686 icoutils desktop-file-utils appstream dpkg-dev file)
# A D-Bus session with the accessibility bus, and Debian's AT-SPI client, for the screen-reader tests.
VOSTREL_TEST_PACKAGES+=(dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0)
# debhelper to build the Debian package, Debian's checkers for it and its copyright file (lintian,
# hardening-check, licensecheck), the catalogue tool of software centres, and a Wayland desktop without a
# screen with Qt's Wayland plugin.
VOSTREL_TEST_PACKAGES+=(debhelper lintian licensecheck devscripts appstream-compose weston qt6-wayland)
# dpkg-buildpackage checks the Build-Depends and build-essential, which a minimal system lacks.
VOSTREL_TEST_PACKAGES+=(build-essential)

# What ./bench.sh needs on top of building: the virtual X screen, and the X DAMAGE library to watch paints.
VOSTREL_BENCH_PACKAGES=(xvfb xauth openbox wmctrl libxcb1-dev libxcb-damage0-dev python3)
# Debian's GTK periodic table, the peer whose start-up is the stopwatch reference, and callgrind.
VOSTREL_BENCH_PACKAGES+=(gperiodic valgrind)

# What ./windows.sh needs on top of building and testing: the MinGW-w64 cross compiler with posix threads,
# Debian's host Qt tools (moc, rcc, uic) for the Windows Qt built from Debian's qt6-base source, and Wine
# with Wine's own fonts to run the result.
VOSTREL_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 qt6-base-dev-tools dpkg-dev patch xz-utils)
VOSTREL_WINDOWS_PACKAGES+=(wine wine64 fonts-wine zip icoutils)
# The Windows Installer package: Debian's wixl and msitools, and faketime to build it at the release time.
VOSTREL_WINDOWS_PACKAGES+=(wixl msitools faketime)

# What ./web.sh needs on top of building: mmdebstrap for the Debian 13 chroot where the Qt for the web and the
# program are built (with Debian 13's emscripten and Qt tools, scripts/debian/chroot.sh), uidmap for it when
# not run as root, and Debian's Chromium driven by Selenium for the tests; brotli measures the compressed
# download in ./bench.sh.
VOSTREL_WEB_PACKAGES=(mmdebstrap uidmap chromium chromium-driver python3-selenium)
VOSTREL_WEB_PACKAGES+=(imagemagick brotli)
# The page tests in two more engines: WebKitGTK's MiniBrowser with its WebDriver (Selenium again), and Firefox
# ESR, which speaks WebDriver BiDi itself, over websocket-client (Debian has no geckodriver). Both run on a
# virtual X screen, with Mesa's llvmpipe for WebGL; xclip reads the clipboard they copy to there.
VOSTREL_WEB_PACKAGES+=(webkit2gtk-driver firefox-esr python3-websocket xvfb libgl1-mesa-dri xclip)
# dist.sh writes brotli copies of the program with brotli (gzip is in every system); the tests serve it through
# Debian's nginx with its brotli module, set up as resources/web/servers/nginx-vostrel.conf sets up a
# school's server. npm (below) fetches axe-core for the accessibility test and Lighthouse for ./bench.sh.
VOSTREL_WEB_PACKAGES+=(nginx libnginx-mod-http-brotli-static)

# What the Debian packages of ./release.sh need: the clean chroot (mmdebstrap), the builder run in a user
# namespace (sbuild, uidmap), the source package tools and Debian's checkers, and autopkgtest.
VOSTREL_DEBIAN_PACKAGES=(git dpkg-dev devscripts mmdebstrap sbuild uidmap lintian autopkgtest)

# What ./release.sh needs on top of those: osslsigncode and gpg sign; python3-jsonschema checks the bills of
# materials against CycloneDX's schema, which npm fetches once (the machine's own npm serves where present).
VOSTREL_RELEASE_PACKAGES=(git zip osslsigncode gnupg python3-jsonschema)
# With --verify: diffoscope shows where two builds differ, should they; the signing test runs under Wine on a
# virtual screen.
VOSTREL_VERIFY_PACKAGES=(diffoscope-minimal)

# The packages of one command, by its name (release-verify for ./release.sh --verify), one a line.
command_packages() {
    local packages=("${VOSTREL_BUILD_PACKAGES[@]}")
    case "$1" in
    run) ;;
    test) packages+=("${VOSTREL_TEST_PACKAGES[@]}") ;;
    bench)
        packages+=("${VOSTREL_BENCH_PACKAGES[@]}" "${VOSTREL_WINDOWS_PACKAGES[@]}" "${VOSTREL_WEB_PACKAGES[@]}")
        command -v npm >/dev/null || packages+=(npm)
        ;;
    windows) packages+=("${VOSTREL_TEST_PACKAGES[@]}" "${VOSTREL_WINDOWS_PACKAGES[@]}") ;;
    web)
        packages+=("${VOSTREL_WEB_PACKAGES[@]}")
        command -v npm >/dev/null || packages+=(npm)
        ;;
    release | release-verify)
        packages+=("${VOSTREL_WINDOWS_PACKAGES[@]}" "${VOSTREL_WEB_PACKAGES[@]}" "${VOSTREL_DEBIAN_PACKAGES[@]}"
            "${VOSTREL_RELEASE_PACKAGES[@]}")
        command -v npm >/dev/null || packages+=(npm)
        [ "$1" = release ] || packages+=("${VOSTREL_VERIFY_PACKAGES[@]}" "${VOSTREL_TEST_PACKAGES[@]}")
        ;;
    *)
        echo "command_packages: no command $1" >&2
        return 2
        ;;
    esac
    printf '%s\n' "${packages[@]}" | sort -u
}

ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; return 1; }
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Configures build/ once, then builds incrementally.
build_project() {
    local root="$1"
    if [ ! -f "$root/build/build.ninja" ]; then
        cmake -S "$root" -B "$root/build" -G Ninja
    fi
    cmake --build "$root/build" --parallel "$(nproc)"
}

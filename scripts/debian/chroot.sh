#!/usr/bin/env bash
# Makes the base of a clean Debian chroot of a release (the host's unless named), from the machine's own apt
# sources, once; the tarball is cached outside the checkout and reused while what shapes it stays the same.
# sbuild and autopkgtest unpack a fresh copy of it for every build and test run.
# Called by scripts/debian/build.sh.
#
#   scripts/debian/chroot.sh KIND [RELEASE]   RELEASE: a code name (trixie) or unstable; the host's by default
#
#   build    essential packages, build-essential and apt (mmdebstrap's buildd variant), and the
#            Build-Depends of debian/control
#   test     essential packages and apt, and the test dependencies of debian/tests/control but the
#            package itself, which autopkgtest installs
#   minbase  essential packages and apt only: a bare system, as a newcomer's machine may be, whose
#            package state the check of the commands' package lists starts from
#            (tests/packaging/check_package_lists.sh)
#   web      essential packages and apt, and the toolchain of the program for the web: the release's
#            emscripten and host Qt tools, CMake, Ninja and what building the static Qt from its Debian source
#            takes; scripts/debian/in-chroot.sh runs the web build in it
#
# Installing the dependencies once here, instead of in every build, saves minutes per build; the chroot
# still holds nothing but build-essential and the Build-Depends, and sbuild brings it up to date with the
# archive and checks the Build-Depends before it builds. Prints the tarball's path on standard output, and
# its progress on standard error. Needs mmdebstrap.
set -euo pipefail
say() { echo "$@" >&2; }

root="$(cd "$(dirname "$0")/../.." && pwd)"
kind="${1-}"
codename="${2:-$(. /etc/os-release && echo "$VERSION_CODENAME")}"
[ "$codename" = unstable ] && codename=sid
arch="$(dpkg --print-architecture)"

# The Depends of every test in debian/tests/control, "@" (the package under test) left out.
test_depends() {
    python3 - "$root/debian/tests/control" <<'EOF'
import sys

depends, field = [], None
for line in open(sys.argv[1], encoding="utf-8"):
    if line[:1] in " \t" and field == "depends":
        depends.append(line)
    elif line.strip():
        field, _, value = line.partition(":")
        field = field.strip().lower()
        if field == "depends":
            depends.append(value)
packages = sorted({p.strip() for p in ",".join(depends).split(",") if p.strip() and p.strip() != "@"})
print(", ".join(packages))
EOF
}

case "$kind" in
build)
    variant=buildd
    # What shapes it: the Build-Depends, resolved by apt-get build-dep as sbuild resolves them.
    recipe="$(sed -n '/^Build-Depends/,/^[^ ]/p' "$root/debian/control")"
    ;;
test)
    variant=apt
    recipe="$(test_depends)"
    ;;
minbase)
    variant=minbase
    recipe=""
    ;;
web)
    variant=apt
    # Python runs the project's build steps, dpkg-dev unpacks Qt's source and reads the changelog.
    recipe="emscripten, qt6-base-dev-tools, qt6-base-dev, cmake, ninja-build, python3, dpkg-dev, patch, xz-utils"
    ;;
*)
    say "usage: $0 build|test|minbase|web [RELEASE]"
    exit 2
    ;;
esac

cache_root="${XDG_CACHE_HOME:-$HOME/.cache}/vostrel"
mkdir -p "$cache_root"
work="$(mktemp -d "$cache_root/chroot-work.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# The sources come from this machine's apt configuration (its mirror, suites and keyring), so no archive
# address lives in this project; mmdebstrap writes them into the chroot as its apt sources.
python3 "$root/scripts/debian/apt_deb_src.py" --release "$codename" >"$work/$codename.sources"

# The key covers everything that shapes the chroot: release, architecture, variant, the sources, the
# packages added and the version of the tool that makes it.
key="$( (echo "$codename $arch $variant" && cat "$work/$codename.sources" && echo "$recipe" &&
    dpkg-query -W -f='${Version}\n' mmdebstrap) | sha256sum | cut -c1-12)"
tarball="$cache_root/chroot-$codename-$arch-$kind-$key.tar"

if [ -f "$tarball" ]; then
    say "The $kind chroot of $codename is cached in $tarball"
    echo "$tarball"
    exit 0
fi

hooks=()
if [ "$kind" = build ]; then
    mkdir -p "$work/source/debian"
    cp "$root/debian/control" "$root/debian/changelog" "$work/source/debian/"
    hooks+=(--customize-hook='mkdir -p "$1/tmp/source/debian"'
        --customize-hook="copy-in $work/source/debian/control $work/source/debian/changelog /tmp/source/debian"
        --customize-hook='chroot "$1" apt-get build-dep --yes --no-install-recommends /tmp/source'
        --customize-hook='rm -rf "$1/tmp/source"')
elif [ "$kind" = test ] || [ "$kind" = web ]; then
    hooks+=(--customize-hook="chroot \"\$1\" apt-get satisfy --yes --no-install-recommends '$recipe'")
fi
# The web build fetches Qt's source through the chroot's own apt, which finds the source by the package
# indices: they stay.
if [ "$kind" = web ]; then hooks+=(--skip=cleanup/apt/lists); fi

say "Making the $kind chroot of $codename (mmdebstrap, variant $variant)"
# Device nodes stay out: in a user namespace they cannot be made, and sbuild and autopkgtest bind the host's.
mmdebstrap --quiet --variant="$variant" --architectures="$arch" --skip=output/dev "${hooks[@]}" \
    "$codename" "$work/chroot.tar" "$work/$codename.sources" >&2
mv "$work/chroot.tar" "$tarball"
say "The $kind chroot of $codename is in $tarball"
echo "$tarball"

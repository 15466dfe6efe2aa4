#!/usr/bin/env bash
# Builds the Debian source and binary packages of a commit as Debian's builders do, then checks them
# (called by release.sh):
#
#   scripts/debian/build.sh [--build-only] [--release RELEASE]... WORK_DIR OUT_DIR [COMMIT]
#
# 1. the upstream tarball as `git archive` gives it (without debian/, see .gitattributes), and the source
#    package from it and the commit's debian/ (.dsc, the Debian part);
# 2. the binary package built by sbuild in a clean chroot of the host's Debian release, unpacked from the
#    cached base of `scripts/debian/chroot.sh build`: only build-essential and the Build-Depends;
# 3. lintian --pedantic on the .changes of source and binary: no error, no warning, every other tag overridden;
# 4. autopkgtest of the built package, in a clean chroot from `scripts/debian/chroot.sh test`;
# and, before the build, every command's Debian packages resolved on a bare system of the release
# (tests/packaging/check_package_lists.sh).
# Then the same source package in the releases after the host's (each --release; on Debian by default
# Debian 13 "trixie" and unstable), so that a change in a newer Qt, compiler or lintian shows before those releases'
# users meet it: sbuild in a clean chroot of each, with the build-time tests; lintian --pedantic of that
# release, inside its chroot, held to the same verdict; and autopkgtest in Debian 13. Only the host's
# package is shipped; the others' logs stay in WORK_DIR/RELEASE/.
#
# --build-only leaves out steps 3 and 4, the other releases, and the build-time tests (the nocheck build option and profile), for
# a second build that only has to give the same bytes: a package built with nocheck must be the same as one
# built with its tests, so comparing the two checks that too.
# The source package and the program's package land in OUT_DIR, the logs and the rest in WORK_DIR. Every
# time stamp comes from debian/changelog's newest entry, as dpkg-buildpackage takes it. Takes the packages of
# VOSTREL_DEBIAN_PACKAGES (scripts/deps.sh). Prints how long each step took.
set -euo pipefail
say() { echo "$@" >&2; }

checks=true
later_releases=()
while [ $# -gt 0 ]; do
    case "$1" in
    --build-only) checks=false ;;
    --release)
        later_releases+=("${2:?--release names a release}")
        shift
        ;;
    *) break ;;
    esac
    shift
done
[ $# -ge 2 ] || {
    say "usage: $0 [--build-only] [--release RELEASE]... WORK_DIR OUT_DIR [COMMIT]"
    exit 2
}
# Debian's later releases by default; on another distribution (Ubuntu) they are named with --release.
if [ ${#later_releases[@]} -eq 0 ] && [ "$(. /etc/os-release && echo "$ID")" = debian ]; then
    later_releases=(trixie unstable)
fi
$checks || later_releases=()
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mkdir -p "$1" && cd "$1" && pwd)"
out="$(mkdir -p "$2" && cd "$2" && pwd)"
commit="${3:-HEAD}"

# sbuild and autopkgtest run as root inside a user namespace, which maps the chroot's users onto a range
# of subordinate ids of the user who runs them. root, as in CI, gets the usual range when it has none.
ensure_subordinate_ids() {
    local user
    user="$(id -un)"
    if grep -q "^$user:" /etc/subuid 2>/dev/null && grep -q "^$user:" /etc/subgid 2>/dev/null; then
        return 0
    fi
    if [ "$(id -u)" -ne 0 ]; then
        say "$user has no subordinate ids in /etc/subuid and /etc/subgid; ask for a range, e.g."
        say "  sudo usermod --add-subuids 100000-165535 --add-subgids 100000-165535 $user"
        return 1
    fi
    say "Giving root the subordinate ids 100000-165535 for sbuild's and autopkgtest's user namespaces"
    usermod --add-subuids 100000-165535 --add-subgids 100000-165535 root
}

timings=()
step_started=0
start_step() {
    step_started=$SECONDS
    say "== $1"
}
end_step() {
    timings+=("$(printf '%-34s %4d s' "$1" $((SECONDS - step_started)))")
}

ensure_subordinate_ids

start_step "build chroot"
build_chroot="$("$root/scripts/debian/chroot.sh" build)"
end_step "build chroot (cached or made)"
if $checks; then
    start_step "test chroot"
    test_chroot="$("$root/scripts/debian/chroot.sh" test)"
    end_step "test chroot (cached or made)"
    # What every command installs, resolved on a bare system of this release.
    start_step "package lists on a bare system"
    "$root/tests/packaging/check_package_lists.sh" "$("$root/scripts/debian/chroot.sh" minbase)" >&2
    end_step "package lists on a bare system"
fi

# The source package, from the committed tree only.
start_step "source package"
changelog="$(git -C "$root" show "$commit:debian/changelog")"
package="$(dpkg-parsechangelog -l- -S Source <<<"$changelog")"
version="$(dpkg-parsechangelog -l- -S Version <<<"$changelog")"
upstream="${version%-*}"
SOURCE_DATE_EPOCH="$(dpkg-parsechangelog -l- -S Timestamp <<<"$changelog")"
export SOURCE_DATE_EPOCH
orig="${package}_$upstream.orig.tar.gz"
rm -rf "$work/source"
mkdir -p "$work/source"
git -C "$root" archive --format=tar.gz --prefix="$package-$upstream/" -o "$work/source/$orig" "$commit"
(
    # Under umask 022, so that the modes in the Debian part do not depend on the caller's umask.
    umask 022
    cd "$work/source"
    tar -xzf "$orig"
    git -C "$root" archive --format=tar --prefix="$package-$upstream/debian/" "$commit:debian" | tar -x
    dpkg-source --build "$package-$upstream" >"$work/dpkg-source.log"
    cd "$package-$upstream"
    dpkg-genchanges --build=source -O"../${package}_${version}_source.changes" 2>>"$work/dpkg-source.log"
)
dsc="$work/source/${package}_$version.dsc"
end_step "source package"

# The binary package, as a buildd builds it: fresh chroot, only build-essential and the Build-Depends, the
# tests that need no display run by dh_auto_test. A fixed build path keeps the debug information the same
# in every build. sbuild_in CHROOT RELEASE FOLDER [OPTION...] builds the .dsc into FOLDER, its log beside it.
arch="$(dpkg --print-architecture)"
sbuild_in() {
    local chroot="$1" release="$2" folder="$3"
    shift 3
    rm -rf "$folder/binary"
    mkdir -p "$folder/binary"
    (cd "$folder/binary" && sbuild --chroot-mode=unshare --chroot="$chroot" --dist="$release" --arch="$arch" \
        --build-path="/build/$package" --jobs="$(nproc)" --no-run-autopkgtest --no-run-piuparts --nolog \
        "$@" "$dsc") >"$folder/sbuild.log" 2>&1 || {
        tail -n 60 "$folder/sbuild.log" >&2
        say "FAIL: sbuild could not build $package $version in $(basename "$chroot" .tar); the log is $folder/sbuild.log"
        exit 1
    }
}
# lintian's report, shown with the overridden tags (O:) and their reasons (N:); lintian counts overridden
# tags as failures when it shows them, so the verdict is read from the report: no error (E:), no warning
# (W:), and no other tag (informational, pedantic, experimental) that is not overridden with its reason in
# debian/.
lintian_options=(--pedantic --display-info --display-experimental --show-overrides --fail-on none)
lintian_verdict() {
    if grep -qE '^[EWIPX]: ' "$1"; then
        say "FAIL: lintian of $2 finds errors, warnings or tags not overridden in $package $version (see $1)"
        exit 1
    fi
}
# The tests of debian/tests on the installed package, in a fresh chroot without the build's packages. The
# chroot's base holds no package lists: --apt-upgrade reads them and brings it up to date with the archive,
# as sbuild does for the build.
autopkgtest_in() {
    local chroot="$1" release="$2" folder="$3" deb="$4"
    autopkgtest --apt-upgrade --output-dir "$folder/autopkgtest" "$deb" "$dsc" -- unshare \
        --tarball "$chroot" >"$folder/autopkgtest.log" 2>&1 || {
        tail -n 60 "$folder/autopkgtest.log" >&2
        say "FAIL: autopkgtest of $package $version in $release; the log is $folder/autopkgtest.log"
        exit 1
    }
    sed -n '/@@@@@@@@ summary$/,$p' "$folder/autopkgtest.log" >&2
}

start_step "binary package (sbuild)"
codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
sbuild_options=(--no-run-lintian)
if ! $checks; then
    export DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:+$DEB_BUILD_OPTIONS }nocheck" # sbuild passes it on
    sbuild_options+=(--profiles=nocheck)
fi
sbuild_in "$build_chroot" "$codename" "$work" "${sbuild_options[@]}"
deb="$work/binary/${package}_${version}_$arch.deb"
end_step "binary package (sbuild)"

finish() {
    cp "$dsc" "$work/source/$orig" "$work/source/${package}_$version.debian.tar.xz" "$deb" "$out/"
    say "Debian packages of $package $version in $out; time per step:"
    printf '  %s\n' "${timings[@]}" >&2
}
if ! $checks; then
    finish
    exit 0
fi

# lintian on source and binary together, as the archive sees an upload.
start_step "lintian --pedantic"
# The upload's .changes beside every file it names.
changes="$work/source/${package}_${version}_multi.changes"
ln -sf "$work"/binary/*.deb "$work"/binary/*.buildinfo "$work/source/"
mergechanges "$work/source/${package}_${version}_source.changes" "$work/binary/${package}_${version}_$arch.changes" \
    >"$changes"
lintian "${lintian_options[@]}" "$changes" 2>&1 | tee "$work/lintian.log" >&2
lintian_verdict "$work/lintian.log" "$codename"
end_step "lintian --pedantic"

start_step "autopkgtest"
autopkgtest_in "$test_chroot" "$codename" "$work" "$deb"
end_step "autopkgtest"

# What a later release's lintian finds that the package cannot mend while it ships for Debian 12, each
# with its reason; everything else it finds fails the build as on Debian 12:
#   out-of-date-standards-version         the package follows the policy of the release it ships for, whose
#                                         own lintian warns of any newer one (newer-standards-version)
#   appstream-metadata-validation-failed  AppStream 1.0 wants a home page in the catalogue record, and the
#                                         project has none yet (hence no Homepage field either); ./test.sh
#                                         validates the record with Debian 12's appstreamcli
#   package-uses-old-debhelper-compat-version   compat 14 is not stable in Debian 12's debhelper
#   redundant-priority-optional-field     newer dpkg takes optional without the field, Debian 12's does not
#   redundant-rules-requires-root-no-field      likewise Rules-Requires-Root: no, which Debian 12's dpkg needs
later_release_tags=(out-of-date-standards-version appstream-metadata-validation-failed
    package-uses-old-debhelper-compat-version redundant-priority-optional-field redundant-rules-requires-root-no-field)

# The later releases: their own chroots, compilers, Qt and lintian. sbuild installs that release's lintian in
# the chroot after the build and runs it on the build's .changes; its report is cut out of the build log.
for release in "${later_releases[@]}"; do
    folder="$work/$release"
    mkdir -p "$folder"
    start_step "$release: build chroot"
    chroot="$("$root/scripts/debian/chroot.sh" build "$release")"
    end_step "$release: build chroot (cached or made)"
    start_step "$release: sbuild and lintian"
    # The .changes take the changelog's distribution, as an upload's would, whatever chroot built them.
    sbuild_in "$chroot" "$(dpkg-parsechangelog -l- -S Distribution <<<"$changelog")" "$folder" --run-lintian --source \
        "${lintian_options[@]/#/--lintian-opt=}"
    sed -n '/^Running lintian\.\.\.$/,/^I: Lintian run was/p' "$folder/sbuild.log" | sed '$d' >"$folder/lintian.log"
    grep -q '^Running lintian' "$folder/lintian.log" || {
        say "FAIL: sbuild ran no lintian in $release; the log is $folder/sbuild.log"
        exit 1
    }
    sed 's/^/  /' "$folder/lintian.log" >&2
    grep -vE "$(printf '^[EWIPX]: vostrel( source)?: %s( |$)|' "${later_release_tags[@]}")^$" "$folder/lintian.log" \
        >"$folder/lintian-verdict.log" || true
    lintian_verdict "$folder/lintian-verdict.log" "$release"
    end_step "$release: sbuild and lintian"
    # Debian 13 is what most users of a Debian-based system run now; unstable moves daily.
    if [ "$release" = trixie ]; then
        start_step "$release: autopkgtest"
        autopkgtest_in "$("$root/scripts/debian/chroot.sh" test "$release")" "$release" "$folder" \
            "$folder/binary/${package}_${version}_$arch.deb"
        end_step "$release: autopkgtest (with its chroot)"
    fi
done

finish

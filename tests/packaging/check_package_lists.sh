#!/usr/bin/env bash
# The Debian packages each command installs (scripts/deps.sh), resolved on a bare system of this release,
# as a newcomer's machine may be. Called by scripts/debian/build.sh with the minimal chroot's tarball.
#
#   tests/packaging/check_package_lists.sh MINBASE_TARBALL
#
# apt resolves every command's list from the bare system's package state with this machine's package
# lists (apt-get --simulate: nothing is installed), so a package that the release lacks or has renamed is
# named. Then what ./test.sh installs must already hold everything its Debian package build checks:
# build-essential and the Build-Depends of debian/control, satisfied as dpkg-buildpackage satisfies them
# (alternatives, versions, virtual packages). A package that the Build-Depends would add to the bare system
# beyond what ./test.sh installs is a gap that only a bare system shows.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
tarball="${1:?usage: $0 MINBASE_TARBALL}"
source "$root/scripts/deps.sh"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
tar -xOf "$tarball" ./var/lib/dpkg/status >"$work/status"
# The bare system's dpkg state in place of this machine's; apt's own package lists stay this machine's.
simulate() {
    apt-get --simulate --no-install-recommends -o Dir::State::status="$work/status" \
        -o Dir::State::extended_states="$work/extended_states" "$@" 2>&1
}
installs() { sed -n 's/^Inst \([^ ]*\) .*/\1/p' | sort -u; }

failures=0
for command in run test bench windows web release-verify; do
    mapfile -t packages < <(command_packages "$command")
    if ! simulate install "${packages[@]}" >"$work/$command.log"; then
        echo "FAIL: the packages of $command do not resolve on a bare system:" >&2
        grep -E '^(E:|  )' "$work/$command.log" >&2 || tail -n 20 "$work/$command.log" >&2
        failures=$((failures + 1))
    fi
done

# The Build-Depends field as one line, build profiles left out as dpkg-checkbuilddeps leaves out those not
# active (<!nocheck> is active in a plain build).
build_depends="$(sed -n '/^Build-Depends:/,/^[^ ]/{/^Build-Depends:/d;/^[^ ]/d;p}' "$root/debian/control" |
    tr -d '\n' | sed -E 's/ <[^>]*>//g; s/,$//; s/^ +//')"
mapfile -t test_packages < <(command_packages test)
installs <"$work/test.log" >"$work/test.installs"
test_list="$(IFS=,; echo "${test_packages[*]}")"
if simulate satisfy "$test_list, build-essential, $build_depends" >"$work/with-build-depends.log"; then
    installs <"$work/with-build-depends.log" >"$work/with-build-depends.installs"
    missing="$(comm -13 "$work/test.installs" "$work/with-build-depends.installs")"
    if [ -n "$missing" ]; then
        echo "FAIL: ./test.sh builds the Debian package, but on a bare system it does not install:" $missing >&2
        failures=$((failures + 1))
    fi
else
    echo "FAIL: build-essential and the Build-Depends do not resolve on a bare system:" >&2
    grep -E '^(E:|  )' "$work/with-build-depends.log" >&2 || true
    failures=$((failures + 1))
fi

[ "$failures" -eq 0 ] || exit 1
echo "Every command's packages resolve on a bare system, and ./test.sh's hold build-essential and the Build-Depends"

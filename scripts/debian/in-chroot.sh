#!/usr/bin/env bash
# Runs a command in a chroot of a Debian release, the base that scripts/debian/chroot.sh makes, unpacked once
# into the cache beside its tarball and reused while its key stays. The checkout this script is in and the
# cache are seen inside at their own paths, so that what the command builds there is found at the same paths
# outside. Nothing on the machine changes: the chroot's mounts live in a mount namespace of their own (and a
# user namespace when not run as root) that ends with the command.
# Called by scripts/qt/static-qt.sh and scripts/qt/cross-build.sh, which build for the web in Debian 13.
#
#   scripts/debian/in-chroot.sh KIND RELEASE COMMAND [ARG...]   KIND and RELEASE as chroot.sh takes them
#
# The command runs in the current folder (which must be inside the checkout or the cache), with the caller's
# environment but for PATH (and the host's certificates for node, which the chroot lacks and needs not), and
# with VOSTREL_CHROOT set to KIND-RELEASE. Needs unshare (util-linux).
set -euo pipefail
[ $# -ge 3 ] || { echo "usage: $0 KIND RELEASE COMMAND [ARG...]" >&2; exit 2; }
root="$(cd "$(dirname "$0")/../.." && pwd)"
kind="$1" release="$2"
shift 2

tarball="$("$root/scripts/debian/chroot.sh" "$kind" "$release")"
tree="${tarball%.tar}"
# One command unpacks it while others wait; the trees of this kind and release unpacked from an older base
# go, as the cache keeps only the newest (about 3 GB each).
exec 9>"$tree.lock"
flock 9
if [ ! -f "$tree.complete" ]; then
    echo "Unpacking the $kind chroot of $release into $tree" >&2
    for old in "${tree%-*}"-*.complete; do
        [ "$old" = "$tree.complete" ] || rm -rf "${old%.complete}" "$old" "${old%.complete}.lock"
    done
    rm -rf "$tree"
    mkdir "$tree"
    tar -C "$tree" -xf "$tarball"
    mkdir -p "$tree/dev" "$tree/proc"
    touch "$tree.complete"
fi
flock -u 9

cache_root="${XDG_CACHE_HOME:-$HOME/.cache}/vostrel"
here="$(pwd)"
namespace=(unshare --mount --propagation private --fork)
[ "$(id -u)" -eq 0 ] || namespace+=(--map-root-user)
# In the namespace: the kernel's and the devices' file systems, the host's name service (the chroot fetches
# from the machine's mirror), the checkout and the cache; then the command in the chroot.
exec "${namespace[@]}" /bin/bash -euo pipefail -c '
tree="$1" root="$2" cache_root="$3" here="$4" name="$5"
shift 5
mount --rbind /proc "$tree/proc"
mount --rbind /dev "$tree/dev"
rm -f "$tree/etc/resolv.conf"
touch "$tree/etc/resolv.conf"
mount --bind "$(readlink -f /etc/resolv.conf)" "$tree/etc/resolv.conf"
for dir in "$root" "$cache_root"; do
    mkdir -p "$tree$dir"
    mount --rbind "$dir" "$tree$dir"
done
exec chroot "$tree" /usr/bin/env -u NODE_EXTRA_CA_CERTS PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/sbin:/usr/sbin:/sbin \
    VOSTREL_CHROOT="$name" /bin/sh -c "cd \"\$0\" && exec \"\$@\"" "$here" "$@"
' in-chroot "$tree" "$root" "$cache_root" "$here" "$kind-$release" "$@"

#!/usr/bin/env bash
# The Debian package as a user gets it: made by CPack in the build folder, installed with apt-get into a
# clean Debian 12 root made by debootstrap, and fsmith started from it. Where that cannot run (not root,
# no debootstrap, no chroot, or no route to Debian's package archive) it says so and why, and passes.
# Downloads are kept outside the repository, in $FIELDSMITH_PACKAGE_CACHE (default
# /var/cache/fieldsmith-package-check), so that a second run does not fetch the same packages again;
# every run still starts from a new root.
# Usage: package_check.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
skip() {
    echo "package check skipped: $*"
    exit 0
}

# The package itself is always made: a packaging fault shows on every machine.
rm -f "$build"/fieldsmith_*.deb
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || {
    cat "$build/cpack.log" >&2
    exit 1
}
deb=$(ls "$build"/fieldsmith_*.deb)
echo "made $(basename "$deb"): $(dpkg-deb -f "$deb" Depends)"

[ "$(id -u)" -eq 0 ] || skip "a clean root needs root (debootstrap and chroot)"
command -v debootstrap >/dev/null || skip "debootstrap is not installed"
host=$(sed 's|.*://||; s|/.*||' <<<"$mirror")
timeout 15 bash -c "exec 3<>/dev/tcp/$host/80" 2>/dev/null || skip "no route to $host (Debian's package archive)"

cache=${FIELDSMITH_PACKAGE_CACHE:-/var/cache/fieldsmith-package-check}
mkdir -p "$cache/debootstrap" "$cache/apt"
root=$(mktemp -d /tmp/fieldsmith-debroot.XXXXXX)
chmod 755 "$root" # apt downloads as its own user, who must reach the root's folders
cleanup() {
    umount "$root/var/cache/apt/archives" 2>/dev/null || true
    umount "$root/proc" 2>/dev/null || true
    # Never into a mount that is still there.
    rm -rf --one-file-system "$root"
}
trap cleanup EXIT
debootstrap --variant=minbase --cache-dir="$cache/debootstrap" bookworm "$root" "$mirror" >"$root.log" 2>&1 || {
    tail -5 "$root.log"
    rm -f "$root.log"
    skip "debootstrap could not make a Debian 12 root from $mirror"
}
rm -f "$root.log"
mount -t proc proc "$root/proc" 2>/dev/null || true
mkdir -p "$root/var/cache/apt/archives"
mount --bind "$cache/apt" "$root/var/cache/apt/archives" || skip "cannot share the download cache with the root"
mkdir -p "$root/var/cache/apt/archives/partial"
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }
in_root apt-get update -q >/dev/null || skip "apt-get update could not reach $mirror from the clean root"
in_root apt-get install -y -q --no-install-recommends -o DPkg::Options::=--force-unsafe-io "/tmp/$(basename "$deb")" >"$build/package-install.log" 2>&1 || {
    tail -20 "$build/package-install.log" >&2
    echo "FAILED: apt-get install of the package in a clean Debian 12 root" >&2
    exit 1
}
in_root sh -c 'cd /tmp && ASAN_OPTIONS=detect_leaks=0 fsmith --help' | head -3
in_root sh -c 'cd /tmp && test -f /usr/share/fieldsmith/Data/Shader/FX/Base.fx'
echo "package installs with apt-get in a clean Debian 12 root and fsmith runs there"

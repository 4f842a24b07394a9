#!/usr/bin/env bash
# Installs the package into a freshly made Debian 12 root and runs it there, as on a machine that
# has never seen Kalvio; prints how long each step took. Needs root (debootstrap, chroot, mounts)
# and a Debian mirror; not part of the test suite, as it takes minutes and the network.
#   sudo bash tests/install/clean-root.sh kalvio_VERSION_ARCH.deb MIRROR_URL
set -euo pipefail

[[ $# == 2 && -f $1 ]] || { echo "usage: sudo bash $0 kalvio_VERSION_ARCH.deb MIRROR_URL"; exit 2; }
deb=$(readlink -f -- "$1")
mirror=$2
root=$(mktemp -d "${TMPDIR:-/tmp}/kalvio-root.XXXXXX")
mounted=()
cleanup()
{
    local m
    for m in "${mounted[@]}"; do umount -l "$m" || true; done
    rm -rf --one-file-system -- "$root"
}
trap cleanup EXIT

step() { echo "clean-root: $1: $(($(date +%s) - started)) s"; }

started=$(date +%s)
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
    { tail -n 20 "$root.debootstrap.log"; exit 1; }
rm -f -- "$root.debootstrap.log"
step "debootstrap of a minimal Debian 12"

cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc" && mounted=("$root/proc" "${mounted[@]}")
cp -- "$deb" "$root/tmp/"
started=$(date +%s)
chroot "$root" apt-get update >"$root/tmp/install.log" 2>&1 || { tail -n 20 "$root/tmp/install.log"; exit 1; }
chroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
    "/tmp/$(basename "$deb")" >>"$root/tmp/install.log" 2>&1 || { tail -n 20 "$root/tmp/install.log"; exit 1; }
step "apt-get update, and apt-get install of the package and its dependencies"

version=$(chroot "$root" kalvio --version)
echo "clean-root: kalvio --version: $version"
[[ $version == "kalvio $(dpkg-deb -f "$deb" Version)" ]]
echo "clean-root: passed"

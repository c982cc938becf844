#!/usr/bin/env bash
# Installs the Debian package with apt on a clean Debian 12 root made by
# debootstrap and runs the installed program there; the machine itself gets
# nothing installed. NETMOTH_DEB_CACHE: see debian-root.sh.
#
# Usage: tests/package/test-deb-install.sh PACKAGE.deb|FOLDER   (a folder holding one netmoth-companion_*.deb)
# Exit status: 0 passed, 1 failed, 77 skipped (not root, no debootstrap or
# chroot, or the mirror cannot be reached).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=tests/package/debian-root.sh
. "$repo/tests/package/debian-root.sh"
root=
say() { echo "test-deb-install: $*" >&2; }
skip() { say "SKIPPED: $*"; exit 77; }
fail() { say "FAILED: $*"; exit 1; }
trap 'debian_root_remove "$root"' EXIT
trap 'exit 130' INT TERM
in_root() { debian_root_run "$root" "$@"; }

[ "$#" -eq 1 ] || { say "usage: $0 PACKAGE.deb|FOLDER"; exit 2; }
command -v dpkg-deb >/dev/null || skip "dpkg-deb is not installed"
debian_root_pristine >/dev/null || skip "no clean $debian_root_suite root (see above)"
debs=("$1"/netmoth-companion_*.deb)
[ -d "$1" ] && deb=${debs[0]} || deb=$1
[ -f "$deb" ] || fail "no package at $deb"
depends=$(dpkg-deb -f "$deb" Depends)
say "Depends: $depends"
[[ $depends == *libc6* ]] || fail "Depends lacks libc6: dpkg-shlibdeps found no run-time libraries"
[ "$(dpkg-deb -f "$deb" Section)" = net ] || fail "Section is not net"

mkdir -p "$debian_root_cache"
root=$(mktemp -d "$debian_root_cache/run.XXXXXX")
rmdir "$root"
debian_root_copy "$root" || skip "no throwaway $debian_root_suite root (see above)"
install -m 0644 "$deb" "$root/tmp/"
cp "$repo/examples/sample-scene.json" "$root/tmp/scene.json"
in_root apt-get install -y --no-install-recommends "/tmp/$(basename "$deb")" >&2 ||
  fail "apt-get install of $(basename "$deb") failed on a clean $debian_root_suite"

answer=$(in_root timeout 60 env NETMOTH_SCENE=/tmp/scene.json netmoth-companion --isCheckingLocationPermission) ||
  fail "the permission job failed"
[ "$answer" = authorized ] || fail "the permission job printed '$answer', not 'authorized'"
scan=$(in_root timeout 60 env NETMOTH_SCENE=/tmp/scene.json HOME=/tmp/home netmoth-companion) ||
  fail "the scan job failed"
[ "${scan:0:1}" = "[" ] || fail "the scan job printed no JSON array: $scan"

page=/usr/share/man/man1/netmoth-companion.1.gz
in_root dpkg -L netmoth-companion | grep -qx "$page" || fail "the package does not install $page"
found=$(in_root man -w netmoth-companion) || true
[ "$found" = "$page" ] || fail "man -w found $found, not $page"
say "PASSED: $(basename "$deb") installs and runs on a clean Debian 12"

#!/usr/bin/env bash
# Installs the Debian package with apt on a clean Debian 12 root made by
# debootstrap and runs the installed program there; the machine itself gets
# nothing installed.
#
# Usage: tests/package/test-deb-install.sh [PACKAGE.deb]   (default: build it from this tree)
# NETMOTH_DEB_CACHE keeps the bootstrapped root and the build between runs
# (default ${TMPDIR:-/tmp}/netmoth-deb-test).
# Exit status: 0 passed, 1 failed, 77 skipped (not root, no debootstrap or
# chroot, or the mirror cannot be reached).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cache=${NETMOTH_DEB_CACHE:-${TMPDIR:-/tmp}/netmoth-deb-test}
suite=bookworm
pristine=$cache/$suite-root
work=

say() { echo "test-deb-install: $*" >&2; }
skip() { say "SKIPPED: $*"; exit 77; }
fail() { say "FAILED: $*"; exit 1; }

# Unmounts whatever is mounted at or below a folder, deepest first.
unmount_below() {
  local top
  top=$(realpath -m "$1")
  awk -v top="$top" '$2 == top || index($2, top "/") == 1 { print $2 }' /proc/self/mounts | sort -r |
    while read -r point; do umount "$point" 2>/dev/null || umount -l "$point"; done
}
remove_root() { unmount_below "$1"; rm -rf --one-file-system "$1"; }
trap '[ -z "$work" ] || remove_root "$work"' EXIT
trap 'exit 130' INT TERM

in_root() {
  local root=$1
  shift
  chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive ${http_proxy:+http_proxy="$http_proxy"} "$@"
}

# apt inside the root needs the kernel's process view, a terminal for its log and a resolver.
prepare_root() {
  mount -t proc proc "$1/proc"
  mount -t devpts -o newinstance,ptmxmode=0666 devpts "$1/dev/pts" 2>/dev/null || true
  cp -L /etc/resolv.conf "$1/etc/resolv.conf" 2>/dev/null || true
}

# A minimal Debian 12 with man-db, made once from the mirror this machine's apt
# uses; later runs copy it.
bootstrap_pristine_root() {
  mkdir -p "$cache"
  exec 9>"$cache/lock"
  flock 9
  if [ -d "$pristine" ]; then flock -u 9; return 0; fi
  local partial=$pristine.partial mirror
  # shellcheck disable=SC2016 # $(REPO_URI) is apt's format field, not the shell's
  mirror=$(apt-get indextargets --format '$(REPO_URI)' "Release: $suite" 'Identifier: Packages' 2>/dev/null | head -n 1)
  mirror=${mirror:-http://deb.debian.org/debian/}
  remove_root "$partial"
  say "bootstrapping $suite from $mirror into $pristine (once)"
  if ! debootstrap --variant=minbase --include=man-db "$suite" "$partial" "$mirror" >&2; then
    tail -n 20 "$partial/debootstrap/debootstrap.log" >&2 2>/dev/null || true
    remove_root "$partial"
    skip "debootstrap of $suite failed (is the mirror reachable?)"
  fi
  prepare_root "$partial"
  in_root "$partial" apt-get update -q >&2 || { remove_root "$partial"; skip "apt-get update failed in the new root"; }
  unmount_below "$partial"
  mv "$partial" "$pristine"
  flock -u 9
}

# Builds the package from this tree and prints its path.
build_package() {
  local build=$cache/build packages
  cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNETMOTH_BUILD_TESTS=OFF >&2
  cmake --build "$build" >&2
  rm -f "$build"/netmoth-companion_*.deb
  (cd "$build" && cpack -G DEB >&2)
  packages=("$build"/netmoth-companion_*.deb)
  [ -f "${packages[0]}" ] || fail "cpack made no netmoth-companion_*.deb in $build"
  echo "${packages[0]}"
}

[ "$(id -u)" -eq 0 ] || skip "needs root (debootstrap, chroot and mount)"
for tool in debootstrap chroot dpkg-deb ninja; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
bootstrap_pristine_root
deb=${1:-$(build_package)}
[ -f "$deb" ] || fail "no package at $deb"
depends=$(dpkg-deb -f "$deb" Depends)
say "Depends: $depends"
[[ $depends == *libc6* ]] || fail "Depends lacks libc6: dpkg-shlibdeps found no run-time libraries"
[ "$(dpkg-deb -f "$deb" Section)" = net ] || fail "Section is not net"

work=$(mktemp -d "$cache/run.XXXXXX")
root=$work/root
cp -a "$pristine" "$root"
prepare_root "$root"
install -m 0644 "$deb" "$root/tmp/"
cp "$repo/examples/sample-scene.json" "$root/tmp/scene.json"
in_root "$root" apt-get update -q >&2 || skip "apt-get update failed in the throwaway root"
in_root "$root" apt-get install -y --no-install-recommends "/tmp/$(basename "$deb")" >&2 ||
  fail "apt-get install of $(basename "$deb") failed on a clean $suite"

answer=$(in_root "$root" timeout 60 env NETMOTH_SCENE=/tmp/scene.json netmoth-companion --isCheckingLocationPermission) ||
  fail "the permission job failed"
[ "$answer" = authorized ] || fail "the permission job printed '$answer', not 'authorized'"
scan=$(in_root "$root" timeout 60 env NETMOTH_SCENE=/tmp/scene.json HOME=/tmp/home netmoth-companion) ||
  fail "the scan job failed"
[ "${scan:0:1}" = "[" ] || fail "the scan job printed no JSON array: $scan"

page=/usr/share/man/man1/netmoth-companion.1.gz
in_root "$root" dpkg -L netmoth-companion | grep -qx "$page" || fail "the package does not install $page"
found=$(in_root "$root" man -w netmoth-companion) || fail "man -w does not find netmoth-companion"
[ "$found" = "$page" ] || fail "man -w found $found, not $page"
say "PASSED: $(basename "$deb") installs and runs on a clean Debian 12"

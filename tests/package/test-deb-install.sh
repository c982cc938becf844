#!/usr/bin/env bash
# Builds the Debian package and installs it with apt on a clean Debian 12 root
# made by debootstrap, then runs the installed program inside that root. The
# machine itself gets nothing installed.
#
# Usage: tests/package/test-deb-install.sh [PACKAGE.deb]
#   Without an argument the package is built from this tree first.
#
# Environment:
#   NETMOTH_DEB_CACHE       where the bootstrapped root and the build are kept
#                           between runs (default ${TMPDIR:-/tmp}/netmoth-deb-test)
#   NETMOTH_DEB_MIRROR      Debian mirror (default: the one apt is configured with)
#   NETMOTH_DEB_CMAKE_ARGS  extra arguments for configuring the build
#
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
  local folder
  folder=$(realpath -m "$1")
  awk -v top="$folder" '$2 == top || index($2, top "/") == 1 { print $2 }' /proc/self/mounts |
    sort -r | while read -r point; do
      umount "$point" 2>/dev/null || umount -l "$point"
    done
}

remove_root() {
  unmount_below "$1"
  rm -rf --one-file-system "$1"
}

cleanup() {
  if [ -n "$work" ]; then remove_root "$work"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

check_host() {
  [ "$(id -u)" -eq 0 ] || skip "needs root (debootstrap, chroot and mount)"
  local tool
  for tool in debootstrap chroot mount umount dpkg-deb; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
  done
}

# The Debian mirror apt on this machine already uses for the suite.
mirror() {
  if [ -n "${NETMOTH_DEB_MIRROR:-}" ]; then
    echo "$NETMOTH_DEB_MIRROR"
    return
  fi
  local configured=
  if command -v apt-get >/dev/null; then
    # shellcheck disable=SC2016 # $(REPO_URI) is apt's format field, not the shell's
    configured=$(apt-get indextargets --format '$(REPO_URI)' "Release: $suite" 'Identifier: Packages' \
      2>/dev/null | head -n 1)
  fi
  echo "${configured:-http://deb.debian.org/debian/}"
}

in_root() {
  local root=$1
  shift
  chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive ${http_proxy:+http_proxy="$http_proxy"} "$@"
}

# apt inside the root needs the kernel's process view, a terminal for its
# log and a resolver.
prepare_root() {
  local root=$1
  mount -t proc proc "$root/proc"
  mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts" 2>/dev/null || true
  cp -L /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
}

# A minimal Debian 12 with man-db (so the manual page can be looked up), made
# once; later runs copy it.
bootstrap_pristine_root() {
  mkdir -p "$cache"
  exec 9>"$cache/lock"
  flock 9
  if [ ! -d "$pristine" ]; then
    local partial=$pristine.partial
    remove_root "$partial"
    say "bootstrapping $suite from $(mirror) into $pristine (once)"
    if ! debootstrap --variant=minbase --include=man-db "$suite" "$partial" "$(mirror)" >&2; then
      tail -n 20 "$partial/debootstrap/debootstrap.log" >&2 2>/dev/null || true
      remove_root "$partial"
      skip "debootstrap of $suite failed (is the mirror reachable?)"
    fi
    prepare_root "$partial"
    in_root "$partial" apt-get update -q >&2 || { remove_root "$partial"; skip "apt-get update failed in the new root"; }
    unmount_below "$partial"
    mv "$partial" "$pristine"
  fi
  flock -u 9
}

# Builds the package from this tree and prints its path.
build_package() {
  local build=$cache/build generator=()
  command -v ninja >/dev/null && generator=(-G Ninja)
  # shellcheck disable=SC2086 # the extra arguments are meant to split
  cmake -S "$repo" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DNETMOTH_BUILD_TESTS=OFF ${NETMOTH_DEB_CMAKE_ARGS:-} >&2
  cmake --build "$build" >&2
  rm -f "$build"/netmoth-companion_*.deb
  (cd "$build" && cpack -G DEB >&2)
  local packages=("$build"/netmoth-companion_*.deb)
  [ -f "${packages[0]}" ] || fail "cpack made no netmoth-companion_*.deb in $build"
  echo "${packages[0]}"
}

check_control_fields() {
  local deb=$1 depends section
  depends=$(dpkg-deb -f "$deb" Depends)
  section=$(dpkg-deb -f "$deb" Section)
  say "Depends: $depends"
  [[ $depends == *libc6* ]] || fail "Depends lacks libc6: the run-time libraries were not found by dpkg-shlibdeps"
  [ "$section" = net ] || fail "Section is '$section', not net"
}

write_scene() {
  local target=$1
  if [ -f "$repo/examples/sample-scene.json" ]; then
    cp "$repo/examples/sample-scene.json" "$target"
  else
    echo '{"interfaces": []}' >"$target"
  fi
}

check_installed_program() {
  local root=$1 answer scan
  answer=$(in_root "$root" timeout 60 env NETMOTH_SCENE=/tmp/scene.json \
    netmoth-companion --isCheckingLocationPermission) || fail "the permission job failed"
  [ "$answer" = authorized ] || fail "the permission job printed '$answer', not 'authorized'"
  say "--isCheckingLocationPermission: $answer"

  scan=$(in_root "$root" timeout 60 env NETMOTH_SCENE=/tmp/scene.json HOME=/tmp/home \
    netmoth-companion) || fail "the scan job failed"
  [ "${scan:0:1}" = "[" ] || fail "the scan job printed no JSON array: $scan"
}

check_manual_page() {
  local root=$1 page=/usr/share/man/man1/netmoth-companion.1.gz found
  in_root "$root" dpkg -L netmoth-companion | grep -qx "$page" || fail "the package does not install $page"
  if in_root "$root" sh -c 'command -v man' >/dev/null; then
    found=$(in_root "$root" man -w netmoth-companion) || fail "man -w does not find netmoth-companion"
    [ "$found" = "$page" ] || fail "man -w found $found, not $page"
    say "man -w netmoth-companion: $found"
  fi
}

main() {
  check_host
  bootstrap_pristine_root
  local deb=${1:-}
  if [ -z "$deb" ]; then
    deb=$(build_package)
  fi
  [ -f "$deb" ] || fail "no package at $deb"
  check_control_fields "$deb"

  work=$(mktemp -d "$cache/run.XXXXXX")
  local root=$work/root
  cp -a "$pristine" "$root"
  prepare_root "$root"
  install -m 0644 "$deb" "$root/tmp/"
  write_scene "$root/tmp/scene.json"

  in_root "$root" apt-get update -q >&2 || skip "apt-get update failed in the throwaway root"
  in_root "$root" apt-get install -y --no-install-recommends "/tmp/$(basename "$deb")" >&2 ||
    fail "apt-get install of $(basename "$deb") failed on a clean $suite"
  check_installed_program "$root"
  check_manual_page "$root"
  say "PASSED: $(basename "$deb") installs and runs on a clean Debian 12"
}

main "$@"

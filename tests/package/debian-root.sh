# shellcheck shell=bash
# Throwaway Debian 12 (bookworm) roots made by debootstrap, for checks that
# must not trust what is installed on this machine. Source this file from bash;
# it defines functions only. Needs root (debootstrap, chroot, mount).
#
#   debian_root_pristine          make the cached minimal root once (locked), print its path
#   debian_root_copy DIR          copy the pristine root to DIR, ready for apt
#   debian_root_run ROOT CMD...   run CMD as root inside ROOT with a clean environment
#   debian_root_remove DIR        unmount whatever is mounted below DIR, then delete it
#
# NETMOTH_DEB_CACHE holds the pristine root between runs (default ${TMPDIR:-/tmp}/netmoth-deb-test).
# On failure the functions say why on standard error and return non-zero.

debian_root_suite=bookworm
debian_root_cache=${NETMOTH_DEB_CACHE:-${TMPDIR:-/tmp}/netmoth-deb-test}

debian_root_say() { echo "debian-root: $*" >&2; }

# Unmounts whatever is mounted at or below a folder, deepest first.
debian_root_unmount_below() {
  local top
  top=$(realpath -m "$1")
  awk -v top="$top" '$2 == top || index($2, top "/") == 1 { print $2 }' /proc/self/mounts | sort -r |
    while read -r point; do umount "$point" 2>/dev/null || umount -l "$point"; done
}

debian_root_remove() {
  [ -n "$1" ] || return 0
  debian_root_unmount_below "$1"
  rm -rf --one-file-system "$1"
}

# Of this machine's environment only a proxy and a build parallelism limit get in.
debian_root_run() {
  local root=$1
  shift
  chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive ${http_proxy:+http_proxy="$http_proxy"} \
    ${CMAKE_BUILD_PARALLEL_LEVEL:+CMAKE_BUILD_PARALLEL_LEVEL="$CMAKE_BUILD_PARALLEL_LEVEL"} "$@"
}

# apt inside the root needs the kernel's process view, a terminal for its log and a resolver.
debian_root_prepare() {
  mount -t proc proc "$1/proc"
  mount -t devpts -o newinstance,ptmxmode=0666 devpts "$1/dev/pts" 2>/dev/null || true
  cp -L /etc/resolv.conf "$1/etc/resolv.conf" 2>/dev/null || true
}

# A minimal Debian 12 with man-db and fresh package lists, made once from the
# mirror this machine's apt uses; later calls reuse it.
debian_root_pristine() {
  local pristine=$debian_root_cache/$debian_root_suite-root
  local partial=$pristine.partial mirror lock
  for tool in debootstrap chroot flock; do
    command -v "$tool" >/dev/null || { debian_root_say "$tool is not installed"; return 1; }
  done
  [ "$(id -u)" -eq 0 ] || { debian_root_say "needs root (debootstrap, chroot and mount)"; return 1; }
  mkdir -p "$debian_root_cache"
  exec {lock}>"$debian_root_cache/lock"
  flock "$lock"
  if [ ! -d "$pristine" ]; then
    # shellcheck disable=SC2016 # $(REPO_URI) is apt's format field, not the shell's
    mirror=$(apt-get indextargets --format '$(REPO_URI)' "Release: $debian_root_suite" 'Identifier: Packages' 2>/dev/null | head -n 1)
    mirror=${mirror:-http://deb.debian.org/debian/}
    debian_root_remove "$partial"
    debian_root_say "bootstrapping $debian_root_suite from $mirror into $pristine (once)"
    if ! debootstrap --variant=minbase --include=man-db "$debian_root_suite" "$partial" "$mirror" >&2; then
      tail -n 20 "$partial/debootstrap/debootstrap.log" >&2 2>/dev/null || true
      exec {lock}>&-
      debian_root_remove "$partial"
      debian_root_say "debootstrap of $debian_root_suite failed (is the mirror reachable?)"
      return 1
    fi
    debian_root_prepare "$partial"
    debian_root_run "$partial" apt-get update -q >&2 || {
      exec {lock}>&-; debian_root_remove "$partial"; debian_root_say "apt-get update failed in the new root"; return 1; }
    debian_root_unmount_below "$partial"
    mv "$partial" "$pristine"
  fi
  exec {lock}>&-
  echo "$pristine"
}

# A throwaway copy of the pristine root with fresh package lists; DIR must not exist.
debian_root_copy() {
  local pristine
  pristine=$(debian_root_pristine) || return 1
  cp -a "$pristine" "$1" || return 1
  debian_root_prepare "$1"
  debian_root_run "$1" apt-get update -q >&2 || { debian_root_say "apt-get update failed in $1"; return 1; }
}

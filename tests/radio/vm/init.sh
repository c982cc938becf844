#!/bin/busybox sh
# /init of the lab's initramfs: the host's root, read-only over virtio-9p (tag
# hostroot) under a tmpfs overlay, becomes the VM's root; the run folder (tag
# labout) is mounted read-write at its host path; then <run folder>/stage2.sh.
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev

say() { echo "lab-init: $*" > /dev/console; }
fail() { say "FAILED: $*"; poweroff -f; exit 1; }

for m in $(cat /modules.list); do
	insmod "/modules/$m" 2> /dev/console || say "insmod $m failed"
done

OUT=
for a in $(cat /proc/cmdline); do
	case "$a" in lab.out=*) OUT="${a#lab.out=}" ;; esac
done
[ -n "$OUT" ] || fail "no lab.out= on the kernel command line"

mkdir -p /lower /ovl /newroot
i=0
until mount -t 9p -o trans=virtio,version=9p2000.L,ro,msize=262144,cache=loose hostroot /lower; do
	i=$((i + 1))
	[ $i -ge 20 ] && fail "cannot mount the 9p host root"
	sleep 0.5
done
mount -t tmpfs -o mode=0755,size=50% tmpfs /ovl &&
	mkdir -p /ovl/upper /ovl/work &&
	mount -t overlay -o lowerdir=/lower,upperdir=/ovl/upper,workdir=/ovl/work overlay /newroot ||
	fail "cannot put a tmpfs overlay over the host root"

mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144 labout "/newroot$OUT" ||
	fail "cannot mount the run folder (9p tag labout) at $OUT"
mount --move /proc /newroot/proc
mount --move /sys /newroot/sys
mount --move /dev /newroot/dev
say "host root mounted, starting stage 2"
exec switch_root /newroot /bin/bash "$OUT/stage2.sh"

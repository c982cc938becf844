# shellcheck shell=bash
# Host-side preparation for run-radio-lab (sourced): packages, Debian's kernel,
# the initramfs, the EAP certificate and the choice of accelerator. Everything
# built goes under $WORK; the host's /boot and /lib/modules stay untouched.
# Functions that may meet a machine unable to run the lab return non-zero
# (they run in a || context, where set -e does not apply).

PACKAGES="qemu-system-x86 hostapd iw wpasupplicant busybox-static wireless-regdb kmod cpio gzip openssl iproute2 util-linux procps python3"

install_packages() {
	local p missing=
	for p in $PACKAGES; do
		dpkg-query -W -f='${Status}' "$p" 2> /dev/null | grep -q 'install ok installed' || missing="$missing $p"
	done
	[ -z "$missing" ] && return 0
	[ "$INSTALL" = 1 ] || { echo "missing packages:$missing" >&2; return 1; }
	log "installing:$missing"
	export DEBIAN_FRONTEND=noninteractive
	apt-get -o DPkg::Lock::Timeout=300 update -qq || return 1
	# shellcheck disable=SC2086
	apt-get -o DPkg::Lock::Timeout=300 install -y -qq --no-install-recommends $missing > /dev/null || return 1
}

# linux-image-amd64 is a metapackage; its dependency names the real kernel.
# It is downloaded and unpacked, not installed, so no initramfs hook runs.
fetch_kernel() {
	local kpkg kv
	kpkg=$(apt-cache depends linux-image-amd64 2> /dev/null | awk '/Depends: linux-image-[0-9]/{print $2; exit}')
	if [ -z "$kpkg" ] && [ "$INSTALL" = 1 ]; then
		apt-get -o DPkg::Lock::Timeout=300 update -qq || return 1
		kpkg=$(apt-cache depends linux-image-amd64 | awk '/Depends: linux-image-[0-9]/{print $2; exit}')
	fi
	[ -n "$kpkg" ] || return 1
	KROOT=$WORK/kernel-$kpkg
	if [ ! -f "$KROOT/.ok" ]; then
		log "fetching $kpkg"
		rm -rf "$KROOT" "$KROOT.tmp" "$WORK/debs"
		mkdir -p "$WORK/debs" "$KROOT.tmp"
		(cd "$WORK/debs" && apt-get download -qq -o APT::Sandbox::User=root "$kpkg") || return 1
		dpkg-deb -x "$WORK"/debs/"$kpkg"_*.deb "$KROOT.tmp" || return 1
		kv=$(basename "$(ls -d "$KROOT.tmp"/lib/modules/*)")
		depmod -b "$KROOT.tmp" "$kv" || return 1
		touch "$KROOT.tmp/.ok"
		mv "$KROOT.tmp" "$KROOT"
		rm -rf "$WORK/debs"
	fi
	KVER=$(basename "$(ls -d "$KROOT"/lib/modules/*)")
	VMLINUZ=$KROOT/boot/vmlinuz-$KVER
	[ -f "$VMLINUZ" ]
}

# About 1 MB: busybox and the modules the 9p root needs.
build_initramfs() {
	INITRD=$WORK/initramfs-$KVER.cpio.gz
	[ -f "$INITRD" ] && [ "$INITRD" -nt "$LAB_DIR/vm/init.sh" ] && [ "$INITRD" -nt /bin/busybox ] && return 0
	log "building the initramfs"
	local st m ko
	st=$(mktemp -d "$WORK/initramfs.XXXXXX")
	mkdir -p "$st"/{bin,modules,proc,sys,dev}
	cp /bin/busybox "$st/bin/busybox"
	cp "$LAB_DIR/vm/init.sh" "$st/init"
	chmod 755 "$st/init"
	for m in virtio_pci 9pnet_virtio 9p overlay; do
		modprobe -d "$KROOT" -S "$KVER" --show-depends "$m" | awk '$1 == "insmod" {print $2}'
	done | awk '!seen[$0]++' | while read -r ko; do
		cp "$ko" "$st/modules/"
		basename "$ko" >> "$st/modules.list"
	done
	(cd "$st" && find . -print0 | cpio --null -o -H newc --quiet | gzip -6 > "$INITRD.tmp")
	mv "$INITRD.tmp" "$INITRD"
	rm -rf "$st"
}

make_eap_certificate() {
	EAP_DIR=$WORK/eap
	[ -f "$EAP_DIR/server.pem" ] && return 0
	log "creating a self-signed EAP server certificate"
	mkdir -p "$EAP_DIR"
	openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=netmoth-radio-lab" \
		-keyout "$EAP_DIR/server.key" -out "$EAP_DIR/server.pem" 2> /dev/null
}

# Prints the -cpu model that boots under KVM, or nothing. Without a root
# filesystem a working KVM reaches the kernel panic within seconds; a nested
# KVM that cannot run this kernel stalls in the decompressor instead.
probe_kvm() {
	[ -r /dev/kvm ] && [ -w /dev/kvm ] || return 0
	local cpu t
	for cpu in host host,-arch-capabilities; do
		t=$(mktemp)
		timeout -k 2 20 qemu-system-x86_64 -accel kvm -cpu "$cpu" -m 256 -nodefaults -display none \
			-no-reboot -monitor none -serial "file:$t" -kernel "$VMLINUZ" \
			-append "console=ttyS0 panic=-1 root=/dev/nonexistent" < /dev/null > /dev/null 2>&1
		if grep -q 'Kernel panic' "$t"; then
			rm -f "$t"
			echo "$cpu"
			return 0
		fi
		rm -f "$t"
	done
}

# Sets ACCEL and ACCEL_ARGS. The probe's answer is cached per host and guest kernel.
choose_accelerator() {
	local cache=$WORK/kvm-probe.txt key cpu=
	key="$(uname -r) $KVER"
	if [ "$ACCEL" != tcg ]; then
		if [ -f "$cache" ] && [ "$(head -n 1 "$cache")" = "$key" ]; then
			cpu=$(sed -n 2p "$cache")
		else
			log "probing KVM (up to 40 s, once)"
			cpu=$(probe_kvm)
			printf '%s\n%s\n' "$key" "$cpu" > "$cache"
		fi
	fi
	if [ -n "$cpu" ] || [ "$ACCEL" = kvm ]; then
		ACCEL=kvm
		ACCEL_ARGS=(-accel kvm -cpu "${cpu:-host,-arch-capabilities}")
	else
		[ "$ACCEL" = auto ] && log "KVM does not boot this kernel here; using TCG"
		ACCEL=tcg
		# "max" exposes AVX2 and friends, so a -march=native build still runs.
		ACCEL_ARGS=(-accel "tcg,thread=multi" -cpu max)
	fi
}

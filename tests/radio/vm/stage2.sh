#!/bin/bash
# Runs inside the lab VM as PID 1 (the host's bash, seen through the 9p root).
# Creates simulated radios with mac80211_hwsim, starts one hostapd per access
# point, joins the station radio to lab-wpa2, runs the program under test
# several ways and records what iw sees next to each answer. Everything lands
# in the run folder (shared with the host); then the VM powers off.
# Every wait is bounded. Process starts are slow under TCG, so parsing uses
# bash builtins.
set -u
RUN=$(dirname "$(readlink -f "$0")")
# shellcheck source=/dev/null
. "$RUN/params.env"
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export HOME=/root LANG=C.UTF-8 TERM=dumb
exec > "$RUN/vm.log" 2>&1 < /dev/null

uptime_s() { local u _; read -r u _ < /proc/uptime; echo "$u"; }
say() { local u; u=$(uptime_s); echo "[$u] $*"; echo "lab [$u]: $*" > /dev/console; }
result() { echo "$1=$2" >> "$RUN/result.env"; }
: > "$RUN/result.env"
result stage2_start_uptime "$(uptime_s)"

finish() {
	say "done; powering off"
	result stage2_end_uptime "$(uptime_s)"
	dmesg > "$RUN/dmesg.txt" 2>&1
	for p in /run/lab/*.pid; do [ -f "$p" ] && kill "$(< "$p")" 2> /dev/null; done
	sleep 0.5
	sync
	/bin/busybox poweroff -f
	echo o > /proc/sysrq-trigger
	sleep 10
	exit 1 # PID 1 exiting panics the kernel; panic=-1 and qemu -no-reboot then end qemu
}

setup_system() {
	mount -t tmpfs -o mode=0755 tmpfs /run
	mkdir -p /dev/pts /dev/shm /run/lab /run/hostapd /run/wpa_supplicant
	mount -t devpts devpts /dev/pts
	mount -t tmpfs tmpfs /dev/shm
	[ -e /dev/fd ] || ln -s /proc/self/fd /dev/fd
	ip link set lo up
	# Modules come from the unpacked kernel package; the kernel's own module
	# requests (ciphers, ...) go through the same wrapper.
	printf '#!/bin/sh\nexec /sbin/modprobe -d %s "$@"\n' "$KROOT" > /run/lab/modprobe
	chmod 755 /run/lab/modprobe
	echo /run/lab/modprobe > /proc/sys/kernel/modprobe
}

load_radios() {
	say "loading mac80211_hwsim radios=$RADIOS"
	/run/lab/modprobe mac80211_hwsim radios="$RADIOS" || return 1
	local _
	for _ in $(seq 100); do
		[ -e "/sys/class/net/wlan$((RADIOS - 1))" ] && break
		sleep 0.1
	done
	# A record of every scan start and end while the program runs.
	iw event -t > "$RUN/iw-events.log" 2>&1 &
	echo $! > /run/lab/iw-event.pid
	iw reg set "$COUNTRY"
	for _ in $(seq 50); do
		[[ "$(iw reg get)" == *"country $COUNTRY"* ]] && break
		sleep 0.1
	done
	iw reg get > "$RUN/iw-reg.txt" 2>&1
}

# APS is "name:radio name:radio ..." (written by the host script).
start_aps() {
	local entry name conf p alive _
	local -a pids=()
	for entry in $APS; do
		name=${entry%%:*}
		conf=/run/lab/hostapd-$name.conf
		{
			echo "interface=wlan${entry##*:}"
			sed -e "s|@LAB_DIR@|$LAB_DIR|g" -e "s|@EAP_DIR@|$EAP_DIR|g" "$LAB_DIR/hostapd/$name.conf"
			cat "$LAB_DIR/hostapd/common.inc"
		} > "$conf"
		hostapd -B -t -P "/run/lab/hostapd-$name.pid" -f "$RUN/hostapd-$name.log" "$conf" &
		pids+=($!)
	done
	# hostapd -B returns once it has set up its interface and daemonized.
	for _ in $(seq 300); do
		alive=0
		for p in "${pids[@]}"; do kill -0 "$p" 2> /dev/null && alive=1; done
		[ $alive = 0 ] && break
		sleep 0.2
	done
}

# Waits (bounded) for every AP's ENABLED state and writes aps.tsv.
record_aps() {
	local deadline=$((SECONDS + AP_WAIT)) entry name ifc k v state freq bssid
	printf 'name\tiface\tbssid\tstate\tfreq\n' > "$RUN/aps.tsv"
	for entry in $APS; do
		name=${entry%%:*}
		ifc=wlan${entry##*:}
		while :; do
			state='' freq='' bssid=''
			while IFS='=' read -r k v; do
				case "$k" in state) state=$v ;; freq) freq=$v ;; 'bssid[0]') bssid=$v ;; esac
			done < <(hostapd_cli -p /run/hostapd -i "$ifc" status 2> /dev/null)
			[ "$state" = ENABLED ] || [ $SECONDS -ge $deadline ] && break
			sleep 0.3
		done
		printf '%s\t%s\t%s\t%s\t%s\n' "$name" "$ifc" "${bssid:--}" "${state:-NONE}" "${freq:-0}" >> "$RUN/aps.tsv"
		say "AP $name on $ifc: ${state:-NONE} ${freq:-0} MHz"
	done
}

wpa_state_is() { # IFACE STATE SECONDS -> 0 once wpa_supplicant reports STATE
	local i k v s=
	for ((i = 0; i < $3 * 4; i++)); do
		while IFS='=' read -r k v; do
			[ "$k" = wpa_state ] && s=$v
		done < <(wpa_cli -p /run/wpa_supplicant -i "$1" status 2> /dev/null)
		[ "$s" = "$2" ] && return 0
		sleep 0.25
	done
	return 1
}

join_station() {
	ip link set "$STA" up
	ip link set "$IDLE" up
	say "joining $STA to lab-wpa2"
	wpa_supplicant -B -D nl80211 -i "$STA" -c "$LAB_DIR/station.conf" \
		-P /run/lab/wpa_supplicant.pid -f "$RUN/wpa_supplicant.log" -t
	if wpa_state_is "$STA" COMPLETED "$JOIN_WAIT"; then result station_joined yes; else result station_joined no; fi
	wpa_cli -p /run/wpa_supplicant -i "$STA" status > "$RUN/wpa-status.txt" 2>&1
}

# tool NAME USER [ARG...]: runs the program as root or as nobody (no
# capabilities), each user with its own store; output in tool-NAME.out/.err.
tool() {
	local name=$1 user=$2 t rc
	shift 2
	local -a as=()
	[ "$user" = nobody ] && as=(setpriv --reuid=nobody --regid=nogroup --clear-groups --inh-caps=-all --bounding-set=-all)
	say "program: $name as $user: $*"
	t=$(uptime_s)
	XDG_CONFIG_HOME=/run/lab/xdg-$user timeout -k 5 "$TOOL_TIMEOUT" "${as[@]}" "$BINARY" "$@" \
		> "$RUN/tool-$name.out" 2> "$RUN/tool-$name.err"
	rc=$?
	result "tool_${name}_rc" "$rc"
	result "tool_${name}_seconds" "$(awk -v a="$t" -v b="$(uptime_s)" 'BEGIN{printf "%.1f", b-a}')"
	cp "/run/lab/xdg-$user/netmoth-companion/defaults.json" "$RUN/store-$user.json" 2> /dev/null
}

scan_dump() { iw dev "$STA" scan dump -u > "$RUN/iw-scan-$1.txt" 2>&1; }

# A scan of the access points' frequencies by the lab itself, so the cache the
# unprivileged launches read is fresh. Its end is read from the iw event log
# (the one-shot "iw scan" can miss it in this slow VM and wait forever).
refresh_scan() {
	local -a freqs=() events
	local name ifc bssid state freq seen i line started=no
	while IFS=$'\t' read -r name ifc bssid state freq; do
		[ "$state" = ENABLED ] && [[ " ${freqs[*]} " != *" $freq "* ]] && freqs+=("$freq")
	done < "$RUN/aps.tsv"
	mapfile -t events < "$RUN/iw-events.log"
	seen=${#events[@]}
	for i in 1 2 3 4 5; do # busy while wpa_supplicant scans
		iw dev "$STA" scan trigger freq "${freqs[@]}" > /dev/null && { started=yes; break; }
		sleep 1
	done
	[ $started = yes ] || return 1
	for ((i = 0; i < 150; i++)); do
		mapfile -t -s "$seen" events < "$RUN/iw-events.log"
		for line in "${events[@]}"; do
			case "$line" in *"$STA (phy #"*"): scan finished"* | *"$STA (phy #"*"): scan aborted"*) return 0 ;; esac
		done
		sleep 0.2
	done
	return 1
}

record_links() {
	local dev
	iw dev > "$RUN/iw-dev.txt" 2>&1
	: > "$RUN/iw-links.txt"
	for dev in /sys/class/net/wlan*; do
		dev=${dev##*/}
		{ echo "== $dev"; iw dev "$dev" link; } >> "$RUN/iw-links.txt" 2>&1
	done
	iw dev "$STA" station dump > "$RUN/iw-station-dump.txt" 2>&1
}

# The unprivileged launches cannot scan and read the kernel's cache, which
# drops what it has not seen for 30 s: they run right after a fresh scan.
run_program() {
	mkdir -p /run/lab/xdg-root /run/lab/xdg-nobody
	chown nobody:nogroup /run/lab/xdg-nobody
	tool scan root
	scan_dump scan
	if refresh_scan; then result refresh_scan ok; else result refresh_scan failed; fi
	tool scan-unprivileged nobody
	tool ssid-twin-unprivileged nobody --ssid=lab-twin
	scan_dump unprivileged
	tool connected-signal root --isRetrievingConnectedSignal
	tool interfaces root --isRetrievingInterfaces
	tool permission root --isCheckingLocationPermission
	record_links
	tool ssid-hidden root --ssid=lab-hidden
	scan_dump ssid-hidden
}

STA=wlan$STA_IDX
IDLE=wlan$IDLE_IDX
setup_system
if ! load_radios; then
	say "FAILED to load mac80211_hwsim"
	result radios no
	finish
fi
result radios yes
start_aps
record_aps
join_station
run_program
finish

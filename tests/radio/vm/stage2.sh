#!/bin/bash
# shellcheck disable=SC2317 # the predicates run through wait_for
# PID 1 of the lab VM (the host's bash, seen through the 9p root): starts one
# hostapd per access point on mac80211_hwsim radios, joins the station to
# lab-wpa2, runs the program several ways and records what iw sees next to
# each answer in the run folder, then powers off. Every wait is bounded.
# Process starts are slow under TCG, so parsing uses bash builtins.
set -u
RUN=$(dirname "$(readlink -f "$0")")
# shellcheck source=/dev/null
. "$RUN/params.env" # LAB_DIR, KROOT, EAP_DIR
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 TERM=dumb
exec > "$RUN/vm.log" 2>&1 < /dev/null

# Radio 0 is the station, radio 1 an idle second station, then one per
# hostapd/*.conf. The station comes first so it stays the program's default
# interface (the first station-mode one) even when an access point fails and
# leaves its radio in station mode.
STA=wlan0 IDLE=wlan1
APS=("$LAB_DIR"/hostapd/*.conf)
APS=("${APS[@]##*/}")
APS=("${APS[@]%.conf}")
COUNTRY=CA # as in hostapd/common.inc: every band, 6 GHz included, runs an AP without no-IR flags
FREQS=()   # the enabled access points' channels

say() { echo "[$SECONDS s] $*"; echo "lab [$SECONDS s]: $*" > /dev/console; }
result() { echo "$1=$2" >> "$RUN/result.env"; }

# wait_for SECONDS COMMAND...: runs COMMAND until it succeeds, at most SECONDS long.
wait_for() {
	local end=$((SECONDS + $1))
	shift
	until "$@"; do
		[ $SECONDS -ge $end ] && return 1
		sleep 0.2
	done
}

country_set() { [[ "$(iw reg get)" == *"country $COUNTRY"* ]]; }
load_radios() {
	say "loading mac80211_hwsim radios=$((${#APS[@]} + 2))"
	/run/lab/modprobe mac80211_hwsim radios=$((${#APS[@]} + 2)) || return 1
	wait_for 10 test -e "/sys/class/net/wlan$((${#APS[@]} + 1))"
	iw event -t > "$RUN/iw-events.log" 2>&1 & # every scan's start and end, for refresh_scan
	iw reg set "$COUNTRY"
	wait_for 5 country_set
}

start_aps() {
	local i
	local -a pids=()
	for i in "${!APS[@]}"; do
		{
			echo "interface=wlan$((i + 2))"
			sed -e "s|@LAB_DIR@|$LAB_DIR|g" -e "s|@EAP_DIR@|$EAP_DIR|g" "$LAB_DIR/hostapd/${APS[i]}.conf"
			cat "$LAB_DIR/hostapd/common.inc"
		} > "/run/lab/${APS[i]}.conf"
		# hostapd -B returns once it has set up its interface and daemonized.
		timeout 60 hostapd -B -t -f "$RUN/hostapd-${APS[i]}.log" "/run/lab/${APS[i]}.conf" &
		pids+=($!)
	done
	wait "${pids[@]}"
}

ap_enabled() { # IFACE: sets state, freq and bssid from hostapd's status; true once ENABLED
	local k v
	state=NONE freq=0 bssid=-
	while IFS='=' read -r k v; do
		case "$k" in state) state=$v ;; freq) freq=$v ;; 'bssid[0]') bssid=$v ;; esac
	done <<< "$(hostapd_cli -p /run/hostapd -i "$1" status 2> /dev/null)"
	[ "$state" = ENABLED ]
}

# Waits (40 s for all) for every access point to be ENABLED; writes aps.tsv.
record_aps() {
	local i end=$((SECONDS + 40)) state freq bssid
	printf 'name\tiface\tbssid\tstate\tfreq\n' > "$RUN/aps.tsv"
	for i in "${!APS[@]}"; do
		wait_for $((end - SECONDS)) ap_enabled "wlan$((i + 2))" && [[ " ${FREQS[*]} " != *" $freq "* ]] && FREQS+=("$freq")
		printf '%s\twlan%s\t%s\t%s\t%s\n' "${APS[i]}" $((i + 2)) "$bssid" "$state" "$freq" >> "$RUN/aps.tsv"
		say "AP ${APS[i]} on wlan$((i + 2)): $state $freq MHz"
	done
}

station_joined() { [[ "$(wpa_cli -p /run/wpa_supplicant -i "$STA" status 2> /dev/null)" == *$'\nwpa_state=COMPLETED'* ]]; }

# tool NAME USER [ARG...]: runs the program as root or as nobody (no
# capabilities), each user with its own store; output in tool-NAME.out/.err.
tool() {
	local name=$1 user=$2
	local -a as=()
	shift 2
	[ "$user" = nobody ] && as=(setpriv --reuid=nobody --regid=nogroup --clear-groups --inh-caps=-all --bounding-set=-all)
	say "program: $name as $user: $*"
	XDG_CONFIG_HOME=/run/lab/xdg-$user timeout -k 5 90 "${as[@]}" "$RUN/netmoth-companion" "$@" \
		> "$RUN/tool-$name.out" 2> "$RUN/tool-$name.err"
	result "tool_${name}_rc" $?
	cp "/run/lab/xdg-$user/netmoth-companion/defaults.json" "$RUN/store-$user.json" 2> /dev/null
}

scan_dump() { iw dev "$STA" scan dump -u > "$RUN/iw-scan-$1.txt" 2>&1; }

# dump_lists_every_ap NAME: iw-scan-NAME.txt holds every access point that came up.
dump_lists_every_ap() {
	local name iface bssid state rest
	while IFS=$'\t' read -r name iface bssid state rest; do
		[ "$state" = ENABLED ] || continue
		grep -q "^BSS $bssid" "$RUN/iw-scan-$1.txt" || return 1
	done < "$RUN/aps.tsv"
}

# scan_ended CHARS: the iw event log past its first CHARS shows the end of a station scan.
scan_ended() {
	local events
	events=$(< "$RUN/iw-events.log")
	[[ ${events:$1} =~ "$STA (phy #"[0-9]+"): scan "(finished|aborted) ]]
}

# A scan of the access points' channels by the lab itself, so the kernel's
# cache (it drops what it has not seen for 30 s) is fresh for the unprivileged
# launches, which cannot scan. Its end is read from the iw event log: the
# one-shot "iw scan" can miss it in this slow VM and wait forever. The trigger
# is refused while wpa_supplicant scans.
refresh_scan() {
	local events
	events=$(< "$RUN/iw-events.log")
	wait_for 5 iw dev "$STA" scan trigger freq "${FREQS[@]}" > /dev/null && wait_for 30 scan_ended ${#events}
}

result stage2 started
mount -t tmpfs -o mode=0755 tmpfs /run
mkdir -p /run/lab/xdg-root /run/lab/xdg-nobody /run/hostapd /run/wpa_supplicant
chown nobody:nogroup /run/lab/xdg-nobody
ip link set lo up
# Modules come from the unpacked kernel package, the kernel's own requests (ciphers, ...) included.
printf '#!/bin/sh\nexec /sbin/modprobe -d %s "$@"\n' "$KROOT" > /run/lab/modprobe
chmod 755 /run/lab/modprobe
echo /run/lab/modprobe > /proc/sys/kernel/modprobe

if load_radios; then
	start_aps
	record_aps
	ip link set "$STA" up
	ip link set "$IDLE" up
	say "joining $STA to lab-wpa2"
	wpa_supplicant -B -D nl80211 -i "$STA" -c "$LAB_DIR/station.conf" -f "$RUN/wpa_supplicant.log" -t
	wait_for 40 station_joined || say "$STA did not join lab-wpa2"

	# Under emulation a busy channel can drop a probe response, so a scan may
	# miss an access point that is up. The program must match iw either way;
	# retry (bounded) so every access point is seen and checked.
	for attempt in 1 2 3; do
		tool scan root
		scan_dump scan
		dump_lists_every_ap scan && break
		say "scan $attempt missed an access point; scanning again"
	done
	result scan_attempts "$attempt"
	if refresh_scan; then result refresh_scan ok; else result refresh_scan failed; fi
	tool scan-unprivileged nobody
	tool ssid-twin-unprivileged nobody --ssid=lab-twin
	scan_dump unprivileged
	tool connected-signal root --isRetrievingConnectedSignal
	tool interfaces root --isRetrievingInterfaces
	tool permission root --isCheckingLocationPermission
	iw dev > "$RUN/iw-dev.txt" 2>&1
	for dev in /sys/class/net/wlan*; do
		echo "== ${dev##*/}"
		iw dev "${dev##*/}" link
	done > "$RUN/iw-links.txt" 2>&1
	tool ssid-hidden root --ssid=lab-hidden
	scan_dump ssid-hidden
else
	say "FAILED to load mac80211_hwsim"
fi
say "done; powering off"
result stage2 ended
dmesg > "$RUN/dmesg.txt" 2>&1
sync
/bin/busybox poweroff -f
exit 1 # PID 1 exiting panics the kernel; panic=-1 and qemu -no-reboot then end qemu

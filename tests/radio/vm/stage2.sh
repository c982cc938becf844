#!/bin/bash
# shellcheck disable=SC2317 # the predicates run through wait_for
# PID 1 of the lab VM (the host's bash, seen through the 9p root): starts one
# hostapd per access point on mac80211_hwsim radios, then the system bus,
# polkitd, wpa_supplicant (D-Bus only) and NetworkManager, which joins the
# station to lab-wpa2; runs the program several ways, as root, as nobody and as
# an unprivileged lab user whom a polkit rule lets ask NetworkManager for scans,
# and records what iw sees next to each answer in the run folder, then powers
# off. No systemd, udev or logind runs here. Every wait is bounded.
# Process starts are slow under TCG, so parsing uses bash builtins.
set -u
RUN=$(dirname "$(readlink -f "$0")")
# shellcheck source=/dev/null
. "$RUN/params.env" # LAB_DIR, KROOT, EAP_DIR
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 TERM=dumb
exec > "$RUN/vm.log" 2>&1 < /dev/null

# Radio 0 is the station, radio 1 an idle second station, then one per
# hostapd/*.conf, the late one last. The station comes first so it stays the
# program's default interface (the first station-mode one) even when an access
# point fails and leaves its radio in station mode.
STA=wlan0 IDLE=wlan1
LATE=2g-late # comes up after the station's last scan: only a fresh scan lists it
APS=("$LAB_DIR"/hostapd/*.conf)
APS=("${APS[@]##*/}")
APS=("${APS[@]%.conf}")
for i in "${!APS[@]}"; do [ "${APS[i]}" != "$LATE" ] || unset 'APS[i]'; done
APS=("${APS[@]}")
LATE_IFACE=wlan$((${#APS[@]} + 2))
LAB_USER=labuser LAB_UID=4242
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
	say "loading mac80211_hwsim radios=$((${#APS[@]} + 3))"
	/run/lab/modprobe mac80211_hwsim radios=$((${#APS[@]} + 3)) || return 1
	wait_for 10 test -e "/sys/class/net/$LATE_IFACE"
	iw event -t > "$RUN/iw-events.log" 2>&1 & # every scan's start and end, for refresh_scan
	iw reg set "$COUNTRY"
	wait_for 5 country_set
}

# start_ap NAME IFACE: hostapd -B returns once it has set up its interface and daemonized.
start_ap() {
	{
		echo "interface=$2"
		sed -e "s|@LAB_DIR@|$LAB_DIR|g" -e "s|@EAP_DIR@|$EAP_DIR|g" "$LAB_DIR/hostapd/$1.conf"
		cat "$LAB_DIR/hostapd/common.inc"
	} > "/run/lab/$1.conf"
	timeout 60 hostapd -B -t -f "$RUN/hostapd-$1.log" "/run/lab/$1.conf"
}

start_aps() {
	local i
	local -a pids=()
	for i in "${!APS[@]}"; do
		start_ap "${APS[i]}" "wlan$((i + 2))" &
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

# record_ap NAME IFACE DEADLINE: waits until DEADLINE (in $SECONDS) for the
# access point to be ENABLED; adds its row to aps.tsv.
record_ap() {
	local state freq bssid
	wait_for $(($3 - SECONDS)) ap_enabled "$2" && [[ " ${FREQS[*]} " != *" $freq "* ]] && FREQS+=("$freq")
	printf '%s\t%s\t%s\t%s\t%s\n' "$1" "$2" "$bssid" "$state" "$freq" >> "$RUN/aps.tsv"
	say "AP $1 on $2: $state $freq MHz"
}

# Waits (40 s for all) for every access point to be ENABLED; writes aps.tsv.
record_aps() {
	local i end=$((SECONDS + 40))
	printf 'name\tiface\tbssid\tstate\tfreq\n' > "$RUN/aps.tsv"
	for i in "${!APS[@]}"; do
		record_ap "${APS[i]}" "wlan$((i + 2))" $end
	done
}

on_bus() { [[ "$(dbus-send --system --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner "string:$1" 2> /dev/null)" == *"boolean true"* ]]; }
nm_gone() { ! on_bus org.freedesktop.NetworkManager; }
# Joined: NetworkManager has activated the profile and wpa_supplicant's handshake is done.
station_joined() {
	[[ "$(nmcli -g GENERAL.STATE device show "$STA" 2> /dev/null)" == 100* ]] &&
		[[ "$(wpa_cli -p /run/wpa_supplicant -i "$STA" status 2> /dev/null)" == *$'\nwpa_state=COMPLETED'* ]]
}

# fill_in BSSID FILE: nm/FILE with the lab's names and BSSID in place of its @NAME@ markers.
fill_in() { sed -e "s|@STA@|$STA|g" -e "s|@LAB_USER@|$LAB_USER|g" -e "s|@BSSID@|$1|g" "$LAB_DIR/nm/$2"; }

# start_services JOIN_BSSID: the system bus, polkitd with the lab user's rule,
# wpa_supplicant on D-Bus, and NetworkManager, which joins the station to
# JOIN_BSSID. NetworkManager waits for udev while /sys is writable, so it runs
# in a mount namespace of its own with /sys read-only, where it takes every
# interface as ready.
start_services() {
	echo "$LAB_USER:x:$LAB_UID:$LAB_UID::/nonexistent:/usr/sbin/nologin" >> /etc/passwd
	echo "$LAB_USER:x:$LAB_UID:" >> /etc/group
	mkdir -p /run/dbus "/run/lab/xdg-$LAB_USER" /etc/polkit-1/rules.d /etc/NetworkManager/system-connections
	chown "$LAB_USER:" "/run/lab/xdg-$LAB_USER"
	fill_in "$1" 50-lab-scan.rules > /etc/polkit-1/rules.d/50-lab-scan.rules
	fill_in "$1" NetworkManager.conf > /run/lab/NetworkManager.conf
	(umask 077 && fill_in "$1" lab-wpa2.nmconnection > /etc/NetworkManager/system-connections/lab-wpa2.nmconnection)
	dbus-daemon --system --fork || return 1
	say "system bus up"
	# NetworkManager waits for wpa_supplicant, and asks polkitd only when a scan is requested.
	/usr/lib/polkit-1/polkitd --no-debug > "$RUN/polkitd.log" 2>&1 &
	wpa_supplicant -u -B -O /run/wpa_supplicant -f "$RUN/wpa_supplicant.log" -t || return 1
	unshare -m --propagation private sh -c 'mount -o remount,bind,ro /sys && exec "$@"' - \
		NetworkManager --debug --config=/run/lab/NetworkManager.conf > "$RUN/NetworkManager.log" 2>&1 &
	NM_PID=$!
}

# as_user USER COMMAND...: runs COMMAND as USER, without capabilities unless USER is root.
as_user() {
	local user=$1
	shift
	[ "$user" = root ] && { "$@"; return; }
	setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups --inh-caps=-all --bounding-set=-all "$@"
}

# tool NAME USER [ARG...]: runs the program as USER, each user with its own
# store; output in tool-NAME.out/.err.
tool() {
	local name=$1 user=$2
	shift 2
	say "program: $name as $user: $*"
	XDG_CONFIG_HOME=/run/lab/xdg-$user as_user "$user" timeout -k 5 90 "$RUN/netmoth-companion" "$@" \
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
	# Started once the access points are up: a join while they still start
	# can lose its handshake under emulation, and NetworkManager gives up on it.
	say "starting the system bus, polkitd, wpa_supplicant and NetworkManager"
	start_services "$(awk -F '\t' '$1 == "2g-wpa2" {print $3}' "$RUN/aps.tsv")" || say "a service did not start"
	if wait_for 60 station_joined; then say "$STA joined"; else say "NetworkManager did not join $STA to lab-wpa2"; fi
	on_bus org.freedesktop.PolicyKit1 || say "polkitd is not on the bus"

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

	# The program asks NetworkManager to scan for the lab user. Each scan
	# starts from a cache that lacks what it must find (the dump before it
	# shows that) and the program waits for its end, so no trigger meets a
	# running scan.
	scan_dump before-ssid-hidden-nm
	tool ssid-hidden-nm "$LAB_USER" --ssid=lab-hidden
	scan_dump ssid-hidden-nm
	start_ap "$LATE" "$LATE_IFACE"
	record_ap "$LATE" "$LATE_IFACE" $((SECONDS + 30))
	scan_dump before-fresh-nm
	tool fresh-nm "$LAB_USER"
	scan_dump fresh-nm
	kill -KILL "$NM_PID" # wpa_supplicant keeps the station joined
	wait "$NM_PID" 2> /dev/null # (bash's "Killed" notice)
	wait_for 10 nm_gone || say "NetworkManager is still on the bus"
	tool cache-no-nm "$LAB_USER"
	scan_dump cache-no-nm
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
	# shellcheck source=/dev/null
	[ ! -f "$RUN/bench.sh" ] || . "$RUN/bench.sh"
else
	say "FAILED to load mac80211_hwsim"
fi
say "done; powering off"
result stage2 ended
dmesg > "$RUN/dmesg.txt" 2>&1
sync
/bin/busybox poweroff -f
exit 1 # PID 1 exiting panics the kernel; panic=-1 and qemu -no-reboot then end qemu

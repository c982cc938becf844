#!/bin/bash
# shellcheck disable=SC2317 # the predicates run through wait_for
# PID 1 of the lab VM (the host's bash, seen through the 9p root): one hostapd
# per access point on mac80211_hwsim radios, then the system bus, polkitd,
# wpa_supplicant and NetworkManager, which joins the station to lab-wpa2; runs
# the program as root, as nobody and as a lab user whom polkit lets ask
# NetworkManager for scans, with iw's view next to each answer in the run folder.
# No systemd, udev or logind runs here; every wait is bounded. Process starts
# are slow under TCG, so parsing uses bash builtins.
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
declare -A FREQS=() # the enabled access points' channels
UP=()               # and BSSIDs

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
	iw reg set "$COUNTRY"
	wait_for 5 country_set
}

# start_ap NAME IFACE: hostapd -B returns once it has set up its interface and daemonized.
start_ap() {
	sed -e "s|@LAB_DIR@|$LAB_DIR|g; s|@EAP_DIR@|$EAP_DIR|g" "$LAB_DIR/hostapd/"{"$1".conf,common.inc} > "/run/lab/$1.conf"
	timeout 60 hostapd -B -t -i "$2" -f "$RUN/hostapd-$1.log" "/run/lab/$1.conf"
}

ap_enabled() { # IFACE: sets state, freq and bssid from hostapd's status; true once ENABLED
	local k v
	state=NONE freq=0 bssid=-
	while IFS='=' read -r k v; do
		case "$k" in state) state=$v ;; freq) freq=$v ;; 'bssid[0]') bssid=$v ;; esac
	done <<< "$(hostapd_cli -p /run/hostapd -i "$1" status 2> /dev/null)"
	[ "$state" = ENABLED ]
}

# record_ap NAME IFACE DEADLINE: its row in aps.tsv once ENABLED, or at DEADLINE (in $SECONDS).
record_ap() {
	local state freq bssid
	wait_for $(($3 - SECONDS)) ap_enabled "$2" && FREQS[$freq]=1 && UP+=("$bssid")
	printf '%s\t%s\t%s\t%s\t%s\n' "$1" "$2" "$bssid" "$state" "$freq" >> "$RUN/aps.tsv"
	say "AP $1 on $2: $state $freq MHz"
}

# on_bus NAME true|false: whether NAME has an owner on the system bus is as asked.
on_bus() {
	[[ "$(dbus-send --system --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
		"string:$1" 2> /dev/null)" == *"boolean $2"* ]]
}
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

scan_dump() { iw dev "$STA" scan dump -u > "$RUN/iw-scan-$1.txt" 2>&1; }

# tool NAME USER [ARG...]: runs the program as USER (without capabilities
# unless root), each user with its own store; leaves tool-NAME.out/.err, the
# store after it in store-NAME.json and iw's scan dump right after it.
tool() {
	local name=$1 user=$2 as=()
	shift 2
	[ "$user" = root ] ||
		as=(setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups --inh-caps=-all --bounding-set=-all)
	say "program: $name as $user: $*"
	XDG_CONFIG_HOME=/run/lab/xdg-$user "${as[@]}" timeout -k 5 90 "$RUN/netmoth-companion" "$@" \
		> "$RUN/tool-$name.out" 2> "$RUN/tool-$name.err"
	result "tool_${name}_rc" $?
	cp "/run/lab/xdg-$user/netmoth-companion/defaults.json" "$RUN/store-$name.json" 2> /dev/null
	scan_dump "$name"
}

# dump_lists_every_ap NAME: iw-scan-NAME.txt holds every access point that came up.
dump_lists_every_ap() {
	local dump bssid
	dump=$(< "$RUN/iw-scan-$1.txt")
	for bssid in "${UP[@]}"; do
		[[ $dump == *"BSS $bssid("* ]] || return 1
	done
}

# scan_ended CHARS: the iw event log past its first CHARS shows the end of a station scan.
scan_ended() {
	local events
	events=$(< "$RUN/iw-events.log")
	[[ ${events:$1} =~ "$STA (phy #"[0-9]+"): scan "(finished|aborted) ]]
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
	for i in "${!APS[@]}"; do
		start_ap "${APS[i]}" "wlan$((i + 2))" &
	done
	wait
	printf 'name\tiface\tbssid\tstate\tfreq\n' > "$RUN/aps.tsv"
	end=$((SECONDS + 40)) # for every access point to be ENABLED
	for i in "${!APS[@]}"; do
		record_ap "${APS[i]}" "wlan$((i + 2))" $end
	done
	iw event -t > "$RUN/iw-events.log" 2>&1 & # every scan's start and end, for the refresh scan
	ip link set "$STA" up
	ip link set "$IDLE" up
	# Started once the access points are up: a join while they still start
	# can lose its handshake under emulation, and NetworkManager gives up on it.
	say "starting the system bus, polkitd, wpa_supplicant and NetworkManager"
	start_services "$(awk -F '\t' '$1 == "2g-wpa2" {print $3}' "$RUN/aps.tsv")" || say "a service did not start"
	if wait_for 120 station_joined; then say "$STA joined"; else say "NetworkManager did not join $STA to lab-wpa2"; fi
	on_bus org.freedesktop.PolicyKit1 true || say "polkitd is not on the bus"

	# Under emulation a busy channel can drop a probe response, so a scan may
	# miss an access point that is up. The program must match iw either way;
	# retry (bounded) so every access point is seen and checked.
	for attempt in 1 2 3; do
		tool scan root
		dump_lists_every_ap scan && break
		say "scan $attempt missed an access point; scanning again"
	done
	result scan_attempts "$attempt"
	# A scan of the access points' channels by the lab itself, so the kernel's
	# cache (it drops what it has not seen for 30 s) is fresh for the unprivileged
	# launches, which cannot scan. Its end is read from the iw event log: the
	# one-shot "iw scan" can miss it in this slow VM and wait forever. The trigger
	# is refused while wpa_supplicant scans.
	events=$(< "$RUN/iw-events.log") refresh=failed
	wait_for 5 iw dev "$STA" scan trigger freq "${!FREQS[@]}" > /dev/null &&
		wait_for 30 scan_ended ${#events} && refresh=ok
	result refresh_scan $refresh
	tool scan-unprivileged nobody
	tool ssid-twin-unprivileged nobody --ssid=lab-twin

	# The program asks NetworkManager to scan for the lab user. Each scan
	# starts from a cache that lacks what it must find (the dump before it
	# shows that) and the program waits for its end, so no trigger meets a
	# running scan.
	scan_dump before-ssid-hidden-nm
	tool ssid-hidden-nm "$LAB_USER" --ssid=lab-hidden
	start_ap "$LATE" "$LATE_IFACE"
	record_ap "$LATE" "$LATE_IFACE" $((SECONDS + 30))
	scan_dump before-fresh-nm
	tool fresh-nm "$LAB_USER"
	kill -KILL "$NM_PID" # wpa_supplicant keeps the station joined
	wait "$NM_PID" 2> /dev/null # (bash's "Killed" notice)
	wait_for 10 on_bus org.freedesktop.NetworkManager false || say "NetworkManager is still on the bus"
	tool cache-no-nm "$LAB_USER"
	tool connected-signal root --isRetrievingConnectedSignal
	tool interfaces root --isRetrievingInterfaces
	tool permission root --isCheckingLocationPermission
	iw dev > "$RUN/iw-dev.txt" 2>&1
	for dev in /sys/class/net/wlan*; do
		echo "== ${dev##*/}"
		iw dev "${dev##*/}" link
	done > "$RUN/iw-links.txt" 2>&1

	tool ssid-hidden root --ssid=lab-hidden
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

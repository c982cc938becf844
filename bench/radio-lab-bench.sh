# shellcheck shell=bash
# Sourced by the radio lab's VM after its checks (bench/run-lab-benchmark):
# times the program against iw reading the same kernel facts, both launched
# the same way, and leaves hyperfine's figures in the run folder's bench/.
# NetworkManager has been stopped by then, so the lab user's scan is the
# kernel's cache, read after asking the bus for a manager; a second round
# with no system bus at all reads it directly.
lab_bench() {
	local out=$RUN/bench
	local -a user=(setpriv --reuid="$LAB_USER" --regid="$LAB_UID" --clear-groups --inh-caps=-all --bounding-set=-all)
	mkdir -p "$out" /run/lab/bench
	command -v hyperfine > /dev/null || { say "bench: no hyperfine"; return; }
	# Both programs from the VM's own memory: the run folder is an uncached
	# 9p mount that would make every page of ours a round trip to the host.
	cp "$RUN/netmoth-companion" "$(command -v iw)" /run/lab/bench/
	local ours=/run/lab/bench/netmoth-companion iw=/run/lab/bench/iw
	export XDG_CONFIG_HOME=/run/lab/xdg-$LAB_USER
	# pair NAME OURS THEIRS: medians of 25 runs each, after 3 warm-up runs.
	pair() {
		say "bench: $1"
		hyperfine -N --warmup 3 --runs 25 --export-json "$out/$1.json" -n netmoth-companion "$2" -n iw "$3" \
			> "$out/$1.txt" 2>&1
	}
	# Launching alone, no netlink: what loading each program costs.
	pair launch "$ours --version" "$iw --version"
	pair connected-signal "$ours --isRetrievingConnectedSignal" "$iw dev $STA link"
	pair interfaces "$ours --isRetrievingInterfaces" "$iw dev"
	pair cached-scan "${user[*]} $ours" "${user[*]} $iw dev $STA scan dump"
	pkill -x dbus-daemon && wait_for 5 sh -c '! pgrep -x dbus-daemon' && rm -f /run/dbus/system_bus_socket
	pair cached-scan-no-bus "${user[*]} $ours" "${user[*]} $iw dev $STA scan dump"
}
lab_bench

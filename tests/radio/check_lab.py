#!/usr/bin/env python3
"""Checks one radio-lab run folder: every answer of the program against what
iw saw on the same radio in the same run, and its labels against what each
access point's configuration implies (APS). Prints PASS or FAIL per check,
then "N passed, M failed"; exits 1 when anything failed.
"""

import base64
import binascii
import json
import sys
from collections import Counter, namedtuple
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source folder clean
import iw_text  # noqa: E402

# What hostapd/<name>.conf implies: the SSID as text (Windows-1252 where it is
# not UTF-8), the channel it asks for, and the labels the program must derive
# from the elements hostapd sends.
Expected = namedtuple("Expected", "ssid band width security wifi_type")
PSK = "WPA2-PSK"
ODD_SSID = 'lab/odd"q\\\x00\nx/' + "y" * 18

APS = {
    "2g-open-ht40": Expected("lab-open", 2400, 40, "None", 4),
    "2g-wpa2": Expected("lab-wpa2", 2400, 20, PSK, 4),
    "2g-wpa3-sae": Expected("lab-wpa3", 2400, 20, "WPA3-SAE", 4),
    "2g-wpa2-wpa3": Expected("lab-wpa2-wpa3", 2400, 20, "WPA2-PSK, WPA3-SAE", 4),
    # Each label holds on its own: WPA-PSK (WPA element), WPA2-PSK (RSN) and both.
    "2g-wpa-wpa2-mixed": Expected("lab-wpa-mixed", 2400, 20, "WPA-PSK, WPA/WPA2-PSK, WPA2-PSK", 4),
    "2g-wpa-tkip-11b": Expected("lab-wpa-tkip", 2400, 20, "WPA-PSK", 2),
    "2g-wep": Expected("lab-wep", 2400, 20, "WEP", 3),
    "2g-wpa2-eap": Expected("lab-eap", 2400, 20, "WPA2-EAP", 4),
    "2g-wpa3-eap": Expected("lab-wpa3-eap", 2400, 20, "WPA3-EAP", 4),
    "2g-hidden": Expected("lab-hidden", 2400, 20, PSK, 4),
    "2g-utf8-ssid": Expected("Caf\u00e9 \u2615", 2400, 20, PSK, 4),
    "2g-not-utf8-ssid": Expected("lab-\u00ff\u00fe-bad", 2400, 20, "None", 4),
    "2g-odd-32-ssid": Expected(ODD_SSID, 2400, 20, "None", 3),
    "2g-twin": Expected("lab-twin", 2400, 20, PSK, 4),
    "5g-twin-vht20": Expected("lab-twin", 5000, 20, PSK, 5),
    "5g-vht80": Expected("lab-vht80", 5000, 80, PSK, 5),
    "5g-he80": Expected("lab-he80", 5000, 80, PSK, 6),
    "6g-he80": Expected("lab-6ghz", 6000, 80, "WPA3-SAE", 6),
    "2g-late": Expected("lab-late", 2400, 20, "None", 4),
}

JOINED = "2g-wpa2"  # nm/lab-wpa2.nmconnection
HIDDEN = "2g-hidden"
TWINS = ("2g-twin", "5g-twin-vht20")
LATE = "2g-late"  # up only after the station's last scan before the lab user's fresh one
EARLY = [name for name in APS if name != LATE]
LAB_USER = "labuser"  # vm/stage2.sh; a polkit rule lets it ask NetworkManager for scans

RECORD_KEYS = {"SSID", "bssid", "ie", "rssi", "security", "wifiType", "wlanChannel"}
STATION = "wlan0"  # vm/stage2.sh
tally = Counter()


def check(name, problems):
    tally["failed" if problems else "passed"] += 1
    print(f"FAIL {name}: {'; '.join(problems)}" if problems else f"PASS {name}")


class Run:
    def __init__(self, folder):
        self.folder = Path(folder)
        self.env = dict(line.split("=", 1) for line in self.text("result.env").splitlines() if "=" in line)
        rows = [line.split("\t") for line in self.text("aps.tsv").splitlines()[1:]]
        self.aps = {row[0]: {"iface": row[1], "bssid": row[2], "state": row[3], "freq": int(row[4])} for row in rows}
        self.dev = iw_text.parse_dev(self.text("iw-dev.txt"))
        self.links = iw_text.parse_links(self.text("iw-links.txt"))
        self.joined = (self.links.get(STATION) or [None])[0]

    def text(self, name):
        path = self.folder / name
        return path.read_text(encoding="utf-8", errors="replace") if path.exists() else ""

    def scan_dump(self, name):
        return iw_text.parse_scan_dump(self.text(f"iw-scan-{name}.txt"))

    def answer(self, tool, expect_type):
        """(the program's parsed answer, None) or (None, the problem)."""
        rc, out = self.env.get(f"tool_{tool}_rc", "(never ran)"), self.text(f"tool-{tool}.out")
        if rc != "0":
            return None, f"exit status {rc}, stderr {self.text(f'tool-{tool}.err')[:200]!r}"
        try:
            value = json.loads(out)
        except json.JSONDecodeError as error:
            return None, f"not JSON ({error}): {out[:200]!r}"
        return (value, None) if isinstance(value, expect_type) else (None, f"not a {expect_type.__name__}: {out[:200]!r}")


def ssid_text(raw):
    """The name the program gives an SSID: UTF-8, else Windows-1252; None when neither reads it."""
    for codec in ("utf-8", "cp1252"):
        try:
            return raw.decode(codec)
        except UnicodeDecodeError:
            pass
    return None


def channel_number(freq):
    if freq < 3000:
        return 14 if freq == 2484 else (freq - 2407) // 5
    return 2 if freq == 5935 else (freq - 5950) // 5 if freq > 5950 else (freq - 5000) // 5


def band(freq):
    return 2400 if freq < 3000 else 6000 if freq >= 5935 else 5000


def elements_problem(ie_text, ssid):
    """None when the Base64 elements are well formed and carry the SSID iw saw."""
    try:
        data = base64.b64decode(ie_text, validate=True)
    except binascii.Error:
        return f"ie is not Base64: {ie_text[:40]!r}"
    offset, ssid_seen = 0, None
    while offset + 2 <= len(data) and offset + 2 + data[offset + 1] <= len(data):
        end = offset + 2 + data[offset + 1]
        if data[offset] == 0 and ssid_seen is None:
            ssid_seen = data[offset + 2:end]
        offset = end
    if offset != len(data):
        return f"ie elements do not end on an element boundary ({offset} of {len(data)} bytes)"
    return None if ssid_seen == ssid else f"ie SSID element {ssid_seen!r}, iw shows {ssid!r}"


def record_problems(record, bss, expected, store):
    """Where one scan record disagrees with iw's entry and the configuration."""
    freq, index = int(bss.freq), store.get("hiddenSsidIndexByBssid", {}).get(bss.bssid)
    want = {
        "SSID": ssid_text(bss.ssid) or (f"Hidden SSID {index}" if isinstance(index, int) else "<none stored>"),
        "wlanChannel": {"channelNumber": channel_number(freq), "channelWidth": bss.width_mhz(),
                        "channelBand": band(freq)},
        "rssi": int(bss.signal_dbm),
        "security": expected.security,
        "wifiType": expected.wifi_type,
    }
    problems = [] if set(record) - {"isConnected"} == RECORD_KEYS else [f"members {sorted(record)}"]
    problems += [f"{key} {record.get(key)!r}, expected {value!r}" for key, value in want.items()
                 if record.get(key) != value]
    return problems + [p for p in [elements_problem(record.get("ie", ""), bss.ssid)] if p]


def check_scan(run, label, tool, dump, user, names, ssid=None, before=None):
    """A scan answer against `iw scan dump` taken right after it on the same radio (and, for an
    entry the kernel let expire in between, the dump `before` it)."""
    records, failure = run.answer(tool, list)
    check(f"{label}: exits 0 with a JSON array", [failure] if failure else [])
    if failure:
        return
    # The kernel's first entry per BSSID (of the SSID): the one the program reports.
    entries, counts = {}, Counter(record.get("bssid") for record in records)
    for name in (before, dump) if before else (dump,):
        dumped = {bss.bssid: bss for bss in reversed(run.scan_dump(name)) if ssid is None or bss.ssid == ssid}
        entries = {bssid: bss for bssid, bss in entries.items() if bssid in counts} | dumped
    problems = [f"{bssid} reported twice" for bssid, count in counts.items() if count > 1]
    if set(counts) != set(entries):
        problems.append(f"only the program: {sorted(set(counts) - set(entries))}, "
                        f"only iw: {sorted(set(entries) - set(counts))}")
    problems += [f"{name} missing" for name in names if run.aps.get(name, {}).get("bssid") not in counts]
    check(f"{label}: one record per BSSID, the BSSIDs iw lists{f' for {ssid_text(ssid)}' if ssid else ''}", problems)
    check(f"{label}: isConnected only on the joined {run.joined}",
          [f"{r.get('bssid')} isConnected {r.get('isConnected', '(absent)')!r}" for r in records
           if ("isConnected" in r) != (r.get("bssid") == run.joined) or r.get("isConnected", True) is not True])
    store = json.loads(run.text(f"store-{user}.json") or "{}")
    by_bssid = {record.get("bssid"): record for record in records}
    for name in names:
        bssid = run.aps.get(name, {}).get("bssid")
        if bssid in by_bssid and bssid in entries:
            check(f"{label}: {name} ({bssid})", record_problems(by_bssid[bssid], entries[bssid], APS[name], store))


def check_lab_itself(run):
    check("lab: the VM ran its script to the end",
          [] if run.env.get("stage2") == "ended" else ["see vm.log and console.log"])
    unknown = sorted(set(run.aps) ^ set(APS))
    check("lab: every access point has an expectation", [f"no match for {unknown}"] if unknown else [])
    dev = dict(run.dev)
    dumps = ("scan", "ssid-hidden", "fresh-nm")
    seen = {bss.bssid: bss for dump in dumps for bss in reversed(run.scan_dump(dump))}
    for name, expected in APS.items():
        ap = run.aps.get(name, {"state": "not started", "iface": "?", "bssid": "?", "freq": 0})
        problems = [] if ap["state"] == "ENABLED" else [f"state {ap['state']} (see hostapd-{name}.log)"]
        if ssid_text(dev.get(ap["iface"]) or b"") != expected.ssid:
            problems.append(f"iw dev shows SSID {dev.get(ap['iface'])!r}")
        if band(ap["freq"]) != expected.band:
            problems.append(f"on {ap['freq']} MHz")
        bss = seen.get(ap["bssid"])
        if bss is None or bss.width_mhz() != expected.width:
            problems.append(f"iw reads {bss.width_mhz()} MHz" if bss else "not in the station's scans")
        check(f"lab: {name} up as configured", problems)
    wanted = run.aps.get(JOINED, {}).get("bssid")
    check(f"lab: {STATION} joined {JOINED}", [] if run.joined == wanted else [f"iw link: {run.joined}"])
    refresh = run.env.get("refresh_scan", "never ran")
    check("lab: a fresh scan before the unprivileged launches", [] if refresh == "ok" else [refresh])
    check("lab: a P2P device without a netdev is there", [] if None in dev else ["iw dev lists none"])


def check_cache_lacks(run, dump, label, ssid=None, ap=None):
    """The kernel's cache, as iw dumped it before a scan, lacks what only a fresh scan can find."""
    entries, bssid = run.scan_dump(dump), run.aps.get(ap, {}).get("bssid")
    found = [bss.bssid for bss in entries if bss.ssid == ssid or bss.bssid == bssid]
    check(f"lab: before {label}, the kernel's cache lacks {ssid_text(ssid) if ssid else ap}",
          [f"iw scan dump lists {found}"] if found else [] if entries else ["iw scan dump is empty"])


def check_stderr(run, label, tool, cached):
    """A fresh answer writes nothing on standard error; a cached one exactly one line that says so."""
    lines = run.text(f"tool-{tool}.err").splitlines()
    good = (len(lines) == 1 and lines[0].startswith("netmoth-companion: ") and "cache" in lines[0]) if cached \
        else not lines
    check(f"{label}: {'one stderr line, about the cache' if cached else 'nothing on stderr'}",
          [] if good else [f"stderr {lines!r}"])


def check_connected_signal(run):
    answer, failure = run.answer("connected-signal", dict)
    link = run.links.get(STATION)
    problems = [failure] if failure else [] if link else ["the station is not joined"]
    want = {"ssid": ssid_text(link[1]), "bssid": link[0].upper(), "rssi": link[2]} if link else None
    if not problems and answer != want:
        problems = [f"{answer}, iw link says {want}"]
    check("--isRetrievingConnectedSignal: the association iw link shows", problems)


def check_interfaces(run):
    answer, failure = run.answer("interfaces", dict)
    want = {name: {"ssid": ssid_text(ssid or b""), "bssid": (run.links.get(name) or [""])[0]}
            for name, ssid in run.dev if name}
    problems = [failure] if failure else [f"{name}: {answer.get(name)}, iw: {want.get(name)}"
                                          for name in sorted(set(answer) | set(want))
                                          if answer.get(name) != want.get(name)]
    check("--isRetrievingInterfaces: every netdev with what iw dev and iw link show", problems)


def main(folder):
    run = Run(folder)
    check_lab_itself(run)
    check_scan(run, "scan", "scan", "scan", "root", EARLY)
    check_scan(run, "scan as nobody (cache)", "scan-unprivileged", "unprivileged", "nobody", EARLY)
    check_stderr(run, "scan as nobody (cache)", "scan-unprivileged", cached=True)
    check_scan(run, "--ssid=lab-twin as nobody", "ssid-twin-unprivileged", "unprivileged", "nobody",
               TWINS, b"lab-twin")
    check_scan(run, "--ssid=lab-hidden", "ssid-hidden", "ssid-hidden", "root", [HIDDEN], b"lab-hidden")
    for label, tool, lacks, ssid in ((f"--ssid=lab-hidden as {LAB_USER} (NetworkManager)", "ssid-hidden-nm",
                                      {"ssid": b"lab-hidden"}, b"lab-hidden"),
                                     (f"scan as {LAB_USER} (NetworkManager)", "fresh-nm", {"ap": LATE}, None)):
        check_cache_lacks(run, f"before-{tool}", label, **lacks)
        check_scan(run, label, tool, tool, LAB_USER, [HIDDEN if ssid else LATE], ssid, before=f"before-{tool}")
        check_stderr(run, label, tool, cached=False)
    label = f"scan as {LAB_USER} without NetworkManager (cache)"
    check_scan(run, label, "cache-no-nm", "cache-no-nm", LAB_USER, [])
    check_stderr(run, label, "cache-no-nm", cached=True)
    check_connected_signal(run)
    check_interfaces(run)
    permission, rc = run.text("tool-permission.out"), run.env.get("tool_permission_rc")
    check("--isCheckingLocationPermission: authorized",
          [] if permission == "authorized\n" and rc == "0" else [f"{permission!r}, exit status {rc}"])
    print(f"{tally['passed']} passed, {tally['failed']} failed")
    return 1 if tally["failed"] else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: check_lab.py RUN_FOLDER")
    sys.exit(main(sys.argv[1]))

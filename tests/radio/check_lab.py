#!/usr/bin/env python3
"""Checks one radio-lab run folder (written by run-radio-lab and the VM).

Every answer the program gave is compared with what iw saw on the same radio
in the same run, and the security and PHY labels with what each access
point's configuration implies (lab_aps.py). Prints one PASS/FAIL line per
check, then "N passed, M failed"; exits 1 when anything failed.
"""

import base64
import binascii
import json
import sys
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source folder clean
import iw_text  # noqa: E402
from lab_aps import APS, HIDDEN, JOINED, TWINS  # noqa: E402

RECORD_KEYS = {"SSID", "bssid", "ie", "rssi", "security", "wifiType", "wlanChannel"}


class Tally:
    def __init__(self):
        self.passed = self.failed = 0

    def check(self, name, problems):
        if problems:
            self.failed += 1
            print(f"FAIL {name}: {'; '.join(problems)}")
        else:
            self.passed += 1
            print(f"PASS {name}")


class Run:
    def __init__(self, folder):
        self.folder = Path(folder)
        self.env = self.key_values("result.env")
        self.params = self.key_values("params.env")
        self.aps = {}
        for line in self.text("aps.tsv").splitlines()[1:]:
            name, iface, bssid, state, freq = line.split("\t")
            self.aps[name] = {"iface": iface, "bssid": bssid, "state": state, "freq": int(freq)}
        self.station = f"wlan{self.params.get('STA_IDX', '?')}"
        self.links = iw_text.parse_links(self.text("iw-links.txt"))

    def text(self, name):
        path = self.folder / name
        return path.read_text(encoding="utf-8", errors="replace") if path.exists() else ""

    def key_values(self, name):
        return dict(line.split("=", 1) for line in self.text(name).splitlines() if "=" in line)

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
        if not isinstance(value, expect_type):
            return None, f"not a JSON {expect_type.__name__}: {out[:200]!r}"
        return value, None

    def joined_bssid(self):
        link = self.links.get(self.station)
        return link[0] if link else None


def ssid_text(raw):
    try:
        return raw.decode("utf-8")
    except UnicodeDecodeError:
        return "".join(windows_1252_char(byte) for byte in raw)


def windows_1252_char(byte):
    try:
        return bytes([byte]).decode("cp1252")
    except UnicodeDecodeError:  # the five bytes cp1252 leaves unassigned
        return chr(byte)


def channel_number(freq):
    if freq == 2484:
        return 14
    if freq < 3000:
        return (freq - 2407) // 5
    if freq == 5935:
        return 2
    return (freq - 5950) // 5 if freq > 5950 else (freq - 5000) // 5


def band(freq):
    return 2400 if freq < 3000 else 6000 if freq >= 5935 else 5000


def elements_problem(ie_text, ssid):
    """None when the Base64 elements are well formed and carry the SSID iw saw."""
    try:
        data = base64.b64decode(ie_text, validate=True)
    except binascii.Error:
        return f"ie is not Base64: {ie_text[:40]!r}"
    offset, ssid_seen = 0, None
    while offset + 2 <= len(data):
        end = offset + 2 + data[offset + 1]
        if end > len(data):
            break
        if data[offset] == 0 and ssid_seen is None:
            ssid_seen = data[offset + 2:end]
        offset = end
    if offset != len(data):
        return f"ie elements do not end on an element boundary ({offset} of {len(data)} bytes)"
    return None if ssid_seen == ssid else f"ie SSID element {ssid_seen!r}, iw shows {ssid!r}"


def hidden_label(store, bssid):
    index = store.get("hiddenSsidIndexByBssid", {}).get(bssid)
    return f"Hidden SSID {index}" if isinstance(index, int) else f"Hidden SSID <no number stored for {bssid}>"


def record_problems(record, bss, expected, store):
    """Where one scan record disagrees with iw's entry and the configuration."""
    problems = []
    if set(record) - {"isConnected"} != RECORD_KEYS:
        problems.append(f"members {sorted(record)}")
    freq = int(bss.freq)
    want = {
        "SSID": ssid_text(bss.ssid) if bss.ssid else hidden_label(store, bss.bssid),
        "wlanChannel": {
            "channelNumber": channel_number(freq),
            "channelWidth": bss.width_mhz(),
            "channelBand": band(freq),
        },
        "rssi": int(bss.signal_dbm),
        "security": expected.security,
        "wifiType": expected.wifi_type,
    }
    for key, value in want.items():
        if record.get(key) != value:
            problems.append(f"{key} {record.get(key)!r}, expected {value!r}")
    elements = elements_problem(record.get("ie", ""), bss.ssid)
    return problems + ([elements] if elements else [])


def first_entries(entries, ssid):
    """The kernel's first entry per BSSID (of one SSID when given): the one the program reports."""
    first = {}
    for bss in entries:
        if ssid is None or bss.ssid == ssid:
            first.setdefault(bss.bssid, bss)
    return first


def connected_problems(records, joined):
    problems = []
    for record in records:
        flagged = "isConnected" in record
        if flagged != (record.get("bssid") == joined) or record.get("isConnected", True) is not True:
            problems.append(f"{record.get('bssid')} isConnected {record.get('isConnected', '(absent)')!r}")
    return problems


def check_scan(tally, run, label, tool, dump, user, names, ssid=None):
    """A scan answer against `iw scan dump` taken right after it on the same radio."""
    records, failure = run.answer(tool, list)
    tally.check(f"{label}: exits 0 with a JSON array", [failure] if failure else [])
    if failure:
        return
    entries = first_entries(run.scan_dump(dump), ssid)
    bssids = [record.get("bssid") for record in records]
    problems = [f"{bssid} reported twice" for bssid in set(bssids) if bssids.count(bssid) > 1]
    if set(bssids) != set(entries):
        problems.append(f"only the program: {sorted(set(bssids) - set(entries))}, "
                        f"only iw: {sorted(set(entries) - set(bssids))}")
    problems += [f"{name} missing" for name in names if run.aps.get(name, {}).get("bssid") not in bssids]
    of_name = f" for {ssid_text(ssid)}" if ssid else ""
    tally.check(f"{label}: one record per BSSID, the BSSIDs iw lists{of_name}", problems)
    joined = run.joined_bssid()
    tally.check(f"{label}: isConnected only on the joined {joined}", connected_problems(records, joined))
    store = json.loads(run.text(f"store-{user}.json") or "{}")
    by_bssid = {record.get("bssid"): record for record in records}
    for name in names:
        bssid = run.aps.get(name, {}).get("bssid")
        if bssid in by_bssid and bssid in entries:
            problems = record_problems(by_bssid[bssid], entries[bssid], APS[name], store)
            tally.check(f"{label}: {name} ({bssid})", problems)


def check_lab_itself(tally, run):
    finished = "stage2_end_uptime" in run.env
    tally.check("lab: the VM ran its script to the end", [] if finished else ["see vm.log and console.log"])
    unknown = sorted(set(run.aps) ^ set(APS))
    tally.check("lab: every access point has an expectation", [f"no match for {unknown}"] if unknown else [])
    dev = dict((name, ssid) for name, ssid in iw_text.parse_dev(run.text("iw-dev.txt")) if name)
    seen = {}
    for bss in run.scan_dump("scan") + run.scan_dump("ssid-hidden"):
        seen.setdefault(bss.bssid, bss)
    for name, expected in APS.items():
        ap = run.aps.get(name, {"state": "not started", "iface": "?", "bssid": "?", "freq": 0})
        problems = [] if ap["state"] == "ENABLED" else [f"state {ap['state']} (see hostapd-{name}.log)"]
        if dev.get(ap["iface"]) is None or ssid_text(dev[ap["iface"]]) != expected.ssid:
            problems.append(f"iw dev shows SSID {dev.get(ap['iface'])!r}")
        if band(ap["freq"]) != expected.band:
            problems.append(f"on {ap['freq']} MHz")
        bss = seen.get(ap["bssid"])
        if bss is None:
            problems.append("not in the station's scans")
        elif bss.width_mhz() != expected.width:
            problems.append(f"iw reads {bss.width_mhz()} MHz")
        tally.check(f"lab: {name} up as configured", problems)
    joined = run.joined_bssid()
    wanted = run.aps.get(JOINED, {}).get("bssid")
    tally.check(f"lab: {run.station} joined {JOINED}", [] if joined == wanted else [f"iw link: {joined}"])
    refresh = run.env.get("refresh_scan", "never ran")
    tally.check("lab: a fresh scan before the unprivileged launches", [] if refresh == "ok" else [refresh])
    unnamed = [name for name, _ in iw_text.parse_dev(run.text("iw-dev.txt")) if name is None]
    tally.check("lab: a P2P device without a netdev is there", [] if unnamed else ["iw dev lists none"])


def check_connected_signal(tally, run):
    answer, failure = run.answer("connected-signal", dict)
    link = run.links.get(run.station)
    problems = [failure] if failure else [] if link else ["the station is not joined"]
    if not problems:
        want = {"ssid": ssid_text(link[1]), "bssid": link[0].upper(), "rssi": link[2]}
        problems = [] if answer == want else [f"{answer}, iw link says {want}"]
    tally.check("--isRetrievingConnectedSignal: the association iw link shows", problems)


def check_interfaces(tally, run):
    answer, failure = run.answer("interfaces", dict)
    problems = [failure] if failure else []
    if answer is not None:
        want = {}
        for name, ssid in iw_text.parse_dev(run.text("iw-dev.txt")):
            link = run.links.get(name)
            if name:
                want[name] = {"ssid": ssid_text(ssid) if ssid else "", "bssid": link[0] if link else ""}
        problems = [f"{name}: {answer.get(name)}, iw: {want.get(name)}"
                    for name in sorted(set(answer) | set(want)) if answer.get(name) != want.get(name)]
    tally.check("--isRetrievingInterfaces: every netdev with what iw dev and iw link show", problems)


def main(folder):
    tally = Tally()
    run = Run(folder)
    everyone = list(APS)
    check_lab_itself(tally, run)
    check_scan(tally, run, "scan", "scan", "scan", "root", everyone)
    check_scan(tally, run, "scan as nobody (cache)", "scan-unprivileged", "unprivileged", "nobody", everyone)
    check_scan(tally, run, "--ssid=lab-twin as nobody", "ssid-twin-unprivileged", "unprivileged", "nobody",
               list(TWINS), b"lab-twin")
    check_scan(tally, run, "--ssid=lab-hidden", "ssid-hidden", "ssid-hidden", "root", [HIDDEN], b"lab-hidden")
    check_connected_signal(tally, run)
    check_interfaces(tally, run)
    permission = run.text("tool-permission.out")
    tally.check("--isCheckingLocationPermission: authorized",
                [] if permission == "authorized\n" and run.env.get("tool_permission_rc") == "0"
                else [f"{permission!r}, exit status {run.env.get('tool_permission_rc')}"])
    print(f"{tally.passed} passed, {tally.failed} failed")
    return 1 if tally.failed else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: check_lab.py RUN_FOLDER")
    sys.exit(main(sys.argv[1]))

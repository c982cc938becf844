#!/usr/bin/env python3
"""Checks one radio-lab run folder: every answer of the program against what
iw saw in the same run (the station's scans and link, each access point's
interface), and its labels against hostapd/expected.json: what each access
point's configuration implies (its SSID as text, Windows-1252 where it is not
UTF-8). Prints PASS or FAIL per check, then "N passed, M failed"; exits 1 when
anything failed.
"""

import base64
import binascii
import csv
import json
import sys
from collections import Counter
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source folder clean
import iw_text  # noqa: E402

APS = json.loads((Path(__file__).parent / "hostapd" / "expected.json").read_text(encoding="utf-8"))
JOINED = "2g-wpa2"  # nm/lab-wpa2.nmconnection
HIDDEN = "2g-hidden"
TWINS = ("2g-twin", "5g-twin-vht20")
LATE = "2g-late"  # up only after the station's last scan before the lab user's fresh one
EARLY = [name for name in APS if name != LATE]
LAB_USER = "labuser"  # vm/stage2.sh; a polkit rule lets it ask NetworkManager for scans

RECORD_KEYS = {"SSID", "bssid", "ie", "rssi", "security", "wifiType", "wlanChannel"}
STATION = "wlan0"  # vm/stage2.sh
NO_DEV = dict.fromkeys(("ssid", "channel", "freq", "width"))
NOT_UP = {"state": "not started", "bssid": None, "dev": NO_DEV}
tally = Counter()


def check(name, problems):
    tally["failed" if problems else "passed"] += 1
    print(f"FAIL {name}: {'; '.join(problems)}" if problems else f"PASS {name}")


class Run:
    def __init__(self, folder):
        self.folder = Path(folder)
        self.env = dict(line.split("=", 1) for line in self.text("result.env").splitlines() if "=" in line)
        self.dev = iw_text.parse_dev(self.text("iw-dev.txt"))
        rows = csv.DictReader(self.text("aps.tsv").splitlines(), delimiter="\t")
        self.aps = {row["name"]: row | {"dev": self.dev.get(row["iface"]) or NO_DEV} for row in rows}
        self.links = iw_text.parse_links(self.text("iw-links.txt"))
        self.joined = self.links.get(STATION, {}).get("bssid")

    def text(self, name):
        path = self.folder / name
        return path.read_text(encoding="utf-8", errors="replace") if path.exists() else ""

    def scan_dump(self, name):
        return iw_text.parse_scan_dump(self.text(f"iw-scan-{name}.txt"))

    def ap(self, name):
        """The access point's row of aps.tsv, with what `iw dev` shows of its interface as "dev"."""
        return self.aps.get(name, NOT_UP)

    def answer(self, tool, expect_type):
        """(the program's parsed answer, None) or (None, the problem)."""
        rc, out = self.env.get(f"tool_{tool}_rc", "(never ran)"), self.text(f"tool-{tool}.out")
        if rc != "0":
            return None, f"exit status {rc}, stderr {self.text(f'tool-{tool}.err')[:200]!r}"
        try:
            value = json.loads(out)
        except json.JSONDecodeError as error:
            return None, f"not JSON ({error}): {out[:200]!r}"
        return (value, None) if isinstance(value, expect_type) else \
            (None, f"not a {expect_type.__name__}: {out[:200]!r}")


def ssid_text(raw):
    """The name the program gives an SSID: UTF-8, else Windows-1252; None when neither reads it."""
    for codec in ("utf-8", "cp1252"):
        try:
            return (raw or b"").decode(codec)
        except UnicodeDecodeError:
            pass
    return None


def band(freq):
    return freq and (2400 if freq < 3000 else 6000 if freq >= 5935 else 5000)


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


def record_problems(record, bss, dev, expected, store):
    """Where one scan record disagrees with the station's iw entry, what iw dev shows of the access point's
    interface, and the labels its configuration implies."""
    index = store.get("hiddenSsidIndexByBssid", {}).get(bss["bssid"])
    want = {
        "SSID": ssid_text(bss["ssid"]) or (f"Hidden SSID {index}" if isinstance(index, int) else "<none stored>"),
        "wlanChannel": {"channelNumber": dev["channel"], "channelWidth": dev["width"],
                        "channelBand": band(dev["freq"])},
        "rssi": bss["signal"],
        "security": expected["security"],
        "wifiType": expected["wifiType"],
    }
    problems = [] if set(record) - {"isConnected"} == RECORD_KEYS else [f"members {sorted(record)}"]
    problems += [f"{key} {record.get(key)!r}, expected {value!r}" for key, value in want.items()
                 if record.get(key) != value]
    return problems + [p for p in [elements_problem(record.get("ie", ""), bss["ssid"])] if p]


def check_scan(run, label, tool, names, ssid=None, before=False, cached=None):
    """A scan answer against `iw scan dump` taken right after it on the same radio (and, for an entry the
    kernel let expire in between, the dump `before` it); with `cached` True or False, its stderr too."""
    records, failure = run.answer(tool, list)
    check(f"{label}: exits 0 with a JSON array", [failure] if failure else [])
    if failure:
        return
    # The kernel's first entry per BSSID (of the SSID): the one the program reports.
    entries, counts = {}, Counter(record.get("bssid") for record in records)
    for name in (f"before-{tool}", tool) if before else (tool,):
        dumped = {bss["bssid"]: bss for bss in reversed(run.scan_dump(name)) if ssid is None or bss["ssid"] == ssid}
        entries = {bssid: bss for bssid, bss in entries.items() if bssid in counts} | dumped
    problems = [f"{bssid} reported twice" for bssid, count in counts.items() if count > 1]
    if set(counts) != set(entries):
        problems.append(f"only the program: {sorted(set(counts) - set(entries))}, "
                        f"only iw: {sorted(set(entries) - set(counts))}")
    problems += [f"{name} missing" for name in names if run.ap(name)["bssid"] not in counts]
    check(f"{label}: one record per BSSID, the BSSIDs iw lists{f' for {ssid_text(ssid)}' if ssid else ''}", problems)
    check(f"{label}: isConnected only on the joined {run.joined}",
          [f"{r.get('bssid')} isConnected {r.get('isConnected', '(absent)')!r}" for r in records
           if ("isConnected" in r) != (r.get("bssid") == run.joined) or r.get("isConnected", True) is not True])
    store = json.loads(run.text(f"store-{tool}.json") or "{}")
    by_bssid = {record.get("bssid"): record for record in records}
    for name in names:
        ap = run.ap(name)
        if ap["bssid"] in by_bssid and ap["bssid"] in entries:
            check(f"{label}: {name} ({ap['bssid']})", record_problems(
                by_bssid[ap["bssid"]], entries[ap["bssid"]], ap["dev"], APS[name], store))
    if cached is not None:  # a fresh answer writes nothing on stderr; a cached one exactly one line that says so
        lines = run.text(f"tool-{tool}.err").splitlines()
        cache_line = len(lines) == 1 and lines[0].startswith("netmoth-companion: ") and "cache" in lines[0]
        check(f"{label}: {'one stderr line, about the cache' if cached else 'nothing on stderr'}",
              [] if (cache_line if cached else not lines) else [f"stderr {lines!r}"])


def check_lab_itself(run):
    check("lab: the VM ran its script to the end",
          [] if run.env.get("stage2") == "ended" else ["see vm.log and console.log"])
    unknown = sorted(set(run.aps) ^ set(APS))
    check("lab: every access point has an expectation", [f"no match for {unknown}"] if unknown else [])
    for name, expected in APS.items():
        ap = run.ap(name)
        problems = [] if ap["state"] == "ENABLED" else [f"state {ap['state']} (see hostapd-{name}.log)"]
        dev = ap["dev"]
        seen = {"ssid": ssid_text(dev["ssid"]), "band": band(dev["freq"]), "width": dev["width"]}
        check(f"lab: {name} up as configured",
              problems + [f"iw dev shows {key} {seen[key]!r}" for key in seen if seen[key] != expected[key]])
    wanted = run.ap(JOINED)["bssid"]
    check(f"lab: {STATION} joined {JOINED}", [] if run.joined == wanted else [f"iw link: {run.joined}"])
    refresh = run.env.get("refresh_scan", "never ran")
    check("lab: a fresh scan before the unprivileged launches", [] if refresh == "ok" else [refresh])
    check("lab: a P2P device without a netdev is there", [] if None in run.dev else ["iw dev lists none"])


def check_cache_lacks(run, tool, label, ssid=None, ap=None):
    """The kernel's cache, as iw dumped it before a scan, lacks what only a fresh scan can find."""
    entries, bssid = run.scan_dump(f"before-{tool}"), run.ap(ap)["bssid"]
    found = [bss["bssid"] for bss in entries if bss["ssid"] == ssid or bss["bssid"] == bssid]
    check(f"lab: before {label}, the kernel's cache lacks {ssid_text(ssid) if ssid else ap}",
          [f"iw scan dump lists {found}"] if found else [] if entries else ["iw scan dump is empty"])


def check_connected_signal(run):
    answer, failure = run.answer("connected-signal", dict)
    link = run.links.get(STATION, {})
    problems = [failure] if failure else [] if run.joined else ["the station is not joined"]
    want = {"ssid": ssid_text(link.get("ssid")), "bssid": (run.joined or "").upper(), "rssi": link.get("signal")}
    check("--isRetrievingConnectedSignal: the association iw link shows",
          problems or ([] if answer == want else [f"{answer}, iw link says {want}"]))


def check_interfaces(run):
    answer, failure = run.answer("interfaces", dict)
    want = {name: {"ssid": ssid_text(dev["ssid"]), "bssid": run.links.get(name, {}).get("bssid") or ""}
            for name, dev in run.dev.items() if name}
    problems = [failure] if failure else [f"{name}: {answer.get(name)}, iw: {want.get(name)}"
                                          for name in sorted(set(answer) | set(want))
                                          if answer.get(name) != want.get(name)]
    check("--isRetrievingInterfaces: every netdev with what iw dev and iw link show", problems)


def main(folder):
    run = Run(folder)
    check_lab_itself(run)
    check_scan(run, "scan", "scan", EARLY)
    check_scan(run, "scan as nobody (cache)", "scan-unprivileged", EARLY, cached=True)
    check_scan(run, "--ssid=lab-twin as nobody", "ssid-twin-unprivileged", TWINS, b"lab-twin")
    check_scan(run, "--ssid=lab-hidden", "ssid-hidden", [HIDDEN], b"lab-hidden")
    label = f"--ssid=lab-hidden as {LAB_USER} (NetworkManager)"
    check_cache_lacks(run, "ssid-hidden-nm", label, ssid=b"lab-hidden")
    check_scan(run, label, "ssid-hidden-nm", [HIDDEN], b"lab-hidden", before=True, cached=False)
    label = f"scan as {LAB_USER} (NetworkManager)"
    check_cache_lacks(run, "fresh-nm", label, ap=LATE)
    check_scan(run, label, "fresh-nm", [LATE], before=True, cached=False)
    check_scan(run, f"scan as {LAB_USER} without NetworkManager (cache)", "cache-no-nm", [], cached=True)
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

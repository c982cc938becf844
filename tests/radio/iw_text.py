"""Readers for the text iw 5.19 prints: `scan dump`, `dev` and `dev X link`. iw
writes SSID bytes outside printable ASCII (and the backslash, and leading or
trailing spaces) as \\xNN, so its SSID text maps back to the exact bytes."""

import re


def unescape_ssid(text):
    return re.sub(rb"\\x([0-9a-fA-F]{2})", lambda m: bytes([int(m[1], 16)]), text.encode("ascii"))


def sections(text, start, **fields):
    """Each part of `text` that begins at a line matching `start` (a pattern without capturing groups),
    as {name: convert(group 1 of the part's first match of pattern), or None} for each name=(pattern, convert)."""
    parts = re.split(f"^(?={start})", text, flags=re.M)[1:]
    return [{name: (match := re.search(pattern, part, re.M)) and convert(match[1])
             for name, (pattern, convert) in fields.items()} for part in parts]


SSID = (r"^\tSSID: (.*)$", unescape_ssid)


def parse_scan_dump(text):
    """Every BSS entry in dump order (a BSSID may appear more than once)."""
    return sections(text, "BSS ", bssid=(r"^BSS ([0-9a-f:]{17})\(on ", str), ssid=SSID,
                    signal=(r"^\tsignal: (-?[\d.]+) dBm", lambda value: int(float(value))))


def parse_dev(text):
    """The interfaces `iw dev` lists by name (None: one without a netdev), with the channel each is on."""
    return {dev["name"]: dev for dev in sections(
        text, r"\t(?:Interface |Unnamed/non-netdev interface)", name=(r"^\tInterface (\S+)", str),
        ssid=(r"^\t\tssid (.*)$", unescape_ssid), channel=(r"^\t\tchannel (\d+)", int),
        freq=(r"^\t\tchannel \d+ \((\d+) MHz", int), width=(r"^\t\tchannel .*, width: (\d+) MHz", int))}


def parse_links(text):
    """The `== IFACE` sections of `iw dev IFACE link` by IFACE; bssid None when not connected."""
    return {link["name"]: link for link in sections(text, "== ", name=(r"^== (\S+)", str),
                                                     bssid=(r"^Connected to (\S+)", str), ssid=SSID,
                                                     signal=(r"^\tsignal: (-?\d+) dBm", int))}

"""Readers for the text iw 5.19 prints: `scan dump`, `dev` and `dev X link`. iw
writes SSID bytes outside printable ASCII (and the backslash, and leading or
trailing spaces) as \\xNN, so its SSID text maps back to the exact bytes."""

import re
from dataclasses import dataclass

BSS_LINE = re.compile(r"^BSS ([0-9a-f:]{17})\(on ")
ESCAPED_BYTE = re.compile(rb"\\x([0-9a-fA-F]{2})")


def unescape_ssid(text):
    return ESCAPED_BYTE.sub(lambda m: bytes([int(m.group(1), 16)]), text.encode("ascii"))


def value_after(line, prefix):
    """The text after `prefix` on an (indented) line, or None."""
    item = line.strip().lstrip("* ")
    return item[len(prefix):].strip() if item.startswith(prefix) else None


@dataclass
class Bss:
    bssid: str
    freq: float = 0.0
    signal_dbm: float = 0.0
    ssid: bytes = b""
    ht_secondary: str = ""
    ht_sta_width: str = ""
    vht_width: int = 0
    vht_segment2: int = 0
    he_operation: bytes = b""  # iw 5.19 leaves the HE Operation element (extension 36) as hex

    def width_mhz(self):
        """The operating width the elements announce, the widest signal first."""
        six_ghz = six_ghz_width(self.he_operation)
        if six_ghz:
            return six_ghz
        if self.vht_width in (2, 3) or (self.vht_width == 1 and self.vht_segment2):
            return 160
        if self.vht_width == 1:
            return 80
        return 40 if self.ht_secondary in ("above", "below") and self.ht_sta_width == "any" else 20

    def read(self, section, line):
        for (in_section, prefix), (name, convert) in FIELDS.items():
            value = value_after(line, prefix) if in_section == section else None
            if value is not None:
                setattr(self, name, convert(value))


# (section, prefix) of a line of a BSS entry: the member it fills and how.
FIELDS = {
    ("", "freq:"): ("freq", float),
    ("", "signal:"): ("signal_dbm", lambda v: float(v.split()[0])),
    ("", "SSID:"): ("ssid", unescape_ssid),
    ("", "Unknown Extension ID (36):"): ("he_operation", bytes.fromhex),
    ("HT operation", "secondary channel offset:"): ("ht_secondary", str),
    ("HT operation", "STA channel width:"): ("ht_sta_width", str),
    ("VHT operation", "channel width:"): ("vht_width", lambda v: int(v.split()[0])),
    ("VHT operation", "center freq segment 2:"): ("vht_segment2", int),
}


def six_ghz_width(he_operation):
    """Width from the 6 GHz Operation Information of an HE Operation element body."""
    if len(he_operation) < 6:
        return None
    params = int.from_bytes(he_operation[:3], "little")
    offset = 6  # parameters, BSS colour, basic HE-MCS and NSS set
    offset += 3 if params & (1 << 14) else 0  # VHT operation information
    offset += 1 if params & (1 << 15) else 0  # max co-hosted BSSID indicator
    if not params & (1 << 17) or len(he_operation) < offset + 5:
        return None
    return {0: 20, 1: 40, 2: 80, 3: 160}[he_operation[offset + 1] & 0x3]


def parse_scan_dump(text):
    """Every BSS entry in dump order (a BSSID may appear more than once)."""
    entries, section = [], ""
    for line in text.split("\n"):
        match = BSS_LINE.match(line)
        if match:
            entries.append(Bss(match.group(1)))
        elif entries and line.startswith("\t\t"):
            entries[-1].read(section, line)
        elif entries and line.startswith("\t"):
            section = line[1:].split(":", 1)[0]
            entries[-1].read("", line)
    return entries


def parse_dev(text):
    """Interfaces `iw dev` lists: [name or None (no netdev), ssid bytes or None]."""
    interfaces = []
    for line in text.split("\n"):
        if line.startswith(("\tInterface ", "\tUnnamed/non-netdev interface")):
            interfaces.append([value_after(line, "Interface "), None])
        elif interfaces and line.startswith("\t\tssid "):
            interfaces[-1][1] = unescape_ssid(line[len("\t\tssid "):])
    return interfaces


def parse_links(text):
    """`== IFACE` sections of `iw dev IFACE link`: {iface: [bssid, ssid bytes, signal] or None}."""
    links = {}
    for section in re.split(r"^== ", text, flags=re.M)[1:]:
        name, _, body = section.partition("\n")
        bssid = re.search(r"^Connected to (\S+)", body, re.M)
        ssid = re.search(r"^\tSSID: (.*)$", body, re.M)
        signal = re.search(r"^\tsignal: (-?\d+)", body, re.M)
        links[name.strip()] = bssid and [bssid[1], unescape_ssid(ssid[1] if ssid else ""), signal and int(signal[1])]
    return links

"""Readers for the text iw 5.19 prints: `scan dump`, `dev` and `dev X link`.

iw writes SSID bytes outside printable ASCII (and the backslash, and leading
or trailing spaces) as \\xNN, so its SSID text maps back to the exact bytes.
"""

import re
from dataclasses import dataclass, field

BSS_LINE = re.compile(r"^BSS ([0-9a-f:]{17})\(on [^)]*\)(?: -- (\w+))?")
ESCAPED_BYTE = re.compile(rb"\\x([0-9a-fA-F]{2})")
HE_OPERATION_EXTENSION = 36


def unescape_ssid(text):
    return ESCAPED_BYTE.sub(lambda m: bytes([int(m.group(1), 16)]), text.encode("ascii"))


@dataclass
class Bss:
    bssid: str
    status: str = ""
    freq: float = 0.0
    signal_dbm: float = 0.0
    ssid: bytes = b""
    ht_secondary: str = ""
    ht_sta_width: str = ""
    vht_width: int = 0
    vht_segment2: int = 0
    he_operation: bytes = b""
    sections: set = field(default_factory=set)

    @property
    def associated(self):
        return self.status == "associated"

    def width_mhz(self):
        """The operating width the elements announce, the widest signal first."""
        six_ghz = six_ghz_width(self.he_operation)
        if six_ghz:
            return six_ghz
        if self.vht_width in (2, 3) or (self.vht_width == 1 and self.vht_segment2):
            return 160
        if self.vht_width == 1:
            return 80
        if self.ht_secondary in ("above", "below") and self.ht_sta_width == "any":
            return 40
        return 20


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


def _read_bss_detail(bss, section, line):
    item = line.strip().lstrip("* ")
    if section == "HT operation" and item.startswith("secondary channel offset:"):
        bss.ht_secondary = item.split(":", 1)[1].strip()
    elif section == "HT operation" and item.startswith("STA channel width:"):
        bss.ht_sta_width = item.split(":", 1)[1].strip()
    elif section == "VHT operation" and item.startswith("channel width:"):
        bss.vht_width = int(item.split(":", 1)[1].split()[0])
    elif section == "VHT operation" and item.startswith("center freq segment 2:"):
        bss.vht_segment2 = int(item.split(":", 1)[1])


def _read_bss_line(bss, line):
    body = line[1:]
    if body.startswith("freq: "):
        bss.freq = float(body[6:])
    elif body.startswith("signal: "):
        bss.signal_dbm = float(body[8:].split()[0])
    elif body.startswith("SSID: ") and "SSID" not in bss.sections:
        bss.ssid = unescape_ssid(body[6:])
    elif body.startswith(f"Unknown Extension ID ({HE_OPERATION_EXTENSION}):"):
        bss.he_operation = bytes.fromhex(body.split(":", 1)[1])
    name = body.split(":", 1)[0]
    bss.sections.add(name)
    return name


def parse_scan_dump(text):
    """Every BSS entry in dump order (a BSSID may appear more than once)."""
    entries, section = [], ""
    for line in text.split("\n"):
        match = BSS_LINE.match(line)
        if match:
            entries.append(Bss(match.group(1), match.group(2) or ""))
            section = ""
        elif entries and line.startswith("\t\t"):
            _read_bss_detail(entries[-1], section, line)
        elif entries and line.startswith("\t"):
            section = _read_bss_line(entries[-1], line)
    return entries


def parse_dev(text):
    """Interfaces `iw dev` lists: {name or None (no netdev): ssid bytes or None}."""
    interfaces, current = [], None
    for line in text.split("\n"):
        if line.startswith("\tInterface "):
            current = [line[len("\tInterface "):], None]
            interfaces.append(current)
        elif line.startswith("\tUnnamed/non-netdev interface"):
            current = [None, None]
            interfaces.append(current)
        elif current is not None and line.startswith("\t\tssid "):
            current[1] = unescape_ssid(line[len("\t\tssid "):])
    return interfaces


def parse_links(text):
    """`== IFACE` sections of `iw dev IFACE link`: {iface: (bssid, ssid bytes, signal) or None}."""
    links, current = {}, None
    for line in text.split("\n"):
        if line.startswith("== "):
            current = line[3:].strip()
            links[current] = None
        elif current and line.startswith("Connected to "):
            links[current] = [line.split()[2], b"", None]
        elif current and links[current] and line.startswith("\tSSID: "):
            links[current][1] = unescape_ssid(line[len("\tSSID: "):])
        elif current and links[current] and line.startswith("\tsignal: "):
            links[current][2] = int(line.split()[1])
    return links

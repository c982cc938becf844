"""What each access point's hostapd configuration (hostapd/<name>.conf) implies.

ssid: the SSID as text (bytes that are not UTF-8 read as Windows-1252);
band and width: the channel the configuration asks for; security and
wifi_type: the labels the program must derive from the elements hostapd sends.
"""

from dataclasses import dataclass


@dataclass(frozen=True)
class Expected:
    ssid: str
    band: int
    width: int
    security: str
    wifi_type: int


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
}

JOINED = "2g-wpa2"  # station.conf
HIDDEN = "2g-hidden"
TWINS = ("2g-twin", "5g-twin-vht20")

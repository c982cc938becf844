"""Plays NetworkManager and iwd on a private bus, as each answers a scan
request, and prints every request it gets (then flushes) on stdout.

usage: manager_peer.py BUS_ADDRESS NM_MODE IWD_MODE
  NM_MODE:  ok | refuse | silent (accepts, never finishes) | absent
  IWD_MODE: ok | refuse | absent
Prints "ready" once both names are owned."""
import sys
import time

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NM = "org.freedesktop.NetworkManager"
WIRELESS = NM + ".Device.Wireless"
STATION = "net.connman.iwd.Station"
method = dbus.service.method


def say(line):
    print(line, flush=True)


class Props(dbus.service.Object):
    def __init__(self, bus, path, mode, values):
        super().__init__(bus, path)
        self.mode, self.values = mode, values

    @method("org.freedesktop.DBus.Properties", in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.values[(interface, name)]

    def set_later(self, key, value):  # the scan ends after 300 ms
        GLib.timeout_add(300, lambda: self.values.__setitem__(key, value()))


class NetworkManager(dbus.service.Object):
    @method(NM, in_signature="s", out_signature="o")
    def GetDeviceByIpIface(self, iface):
        say("GetDeviceByIpIface " + iface)
        if iface != "wlan0":
            raise dbus.DBusException("No device found for the requested iface.", name=NM + ".UnknownDevice")
        return dbus.ObjectPath("/org/freedesktop/NetworkManager/Devices/3")


class NmDevice(Props):
    @method(WIRELESS, in_signature="a{sv}", out_signature="")
    def RequestScan(self, options):
        say("RequestScan " + ",".join(bytes(ssid).decode() for ssid in options.get("ssids", [])))
        if self.mode == "refuse":
            raise dbus.DBusException("Scanning not allowed while unavailable", name=NM + ".Device.NotAllowed")
        if self.mode == "ok":  # LastScan is stamped in CLOCK_BOOTTIME milliseconds
            self.set_later((WIRELESS, "LastScan"),
                           lambda: dbus.Int64(int(time.clock_gettime(time.CLOCK_BOOTTIME) * 1000)))


class IwdStation(Props):
    @method(STATION, in_signature="", out_signature="")
    def Scan(self):
        say("Scan")
        if self.mode == "refuse":
            raise dbus.DBusException("Operation not permitted", name="net.connman.iwd.NotAvailable")
        self.values[(STATION, "Scanning")] = dbus.Boolean(True)
        self.set_later((STATION, "Scanning"), lambda: dbus.Boolean(False))


class IwdObjects(dbus.service.Object):
    @method("org.freedesktop.DBus.ObjectManager", in_signature="", out_signature="a{oa{sa{sv}}}")
    def GetManagedObjects(self):
        say("GetManagedObjects")
        station = {"net.connman.iwd.Device": {"Name": dbus.String("wlan0"), "Powered": True},
                   STATION: {"Scanning": False}}
        return {"/net/connman/iwd/0": {"net.connman.iwd.Adapter": {"Name": "phy0"}},
                "/net/connman/iwd/0/5": {"net.connman.iwd.Device": {"Name": "wlan1", "Mode": "ap"}},
                "/net/connman/iwd/0/4": station}


def main():
    address, nm_mode, iwd_mode = sys.argv[1:4]
    DBusGMainLoop(set_as_default=True)
    bus = dbus.bus.BusConnection(address)
    keep = []
    if nm_mode != "absent":
        keep += [dbus.service.BusName(NM, bus), NetworkManager(bus, "/org/freedesktop/NetworkManager"),
                 NmDevice(bus, "/org/freedesktop/NetworkManager/Devices/3", nm_mode,
                          {(WIRELESS, "LastScan"): dbus.Int64(-1)})]
    if iwd_mode != "absent":
        keep += [dbus.service.BusName("net.connman.iwd", bus), IwdObjects(bus, "/"),
                 IwdStation(bus, "/net/connman/iwd/0/4", iwd_mode, {(STATION, "Scanning"): dbus.Boolean(False)})]
    say("ready")
    GLib.MainLoop().run()


main()

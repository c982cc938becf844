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

PROPS = "org.freedesktop.DBus.Properties"
NM = "org.freedesktop.NetworkManager"
WIRELESS = NM + ".Device.Wireless"
STATION = "net.connman.iwd.Station"


def say(line):
    print(line, flush=True)


class Props(dbus.service.Object):
    values = {}

    @dbus.service.method(PROPS, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.values[(interface, name)]


class NetworkManager(dbus.service.Object):
    @dbus.service.method(NM, in_signature="s", out_signature="o")
    def GetDeviceByIpIface(self, iface):
        say("GetDeviceByIpIface " + iface)
        if iface != "wlan0":
            raise dbus.DBusException("No device found for the requested iface.",
                                     name=NM + ".UnknownDevice")
        return dbus.ObjectPath("/org/freedesktop/NetworkManager/Devices/3")


class NmDevice(Props):
    def __init__(self, bus, mode):
        super().__init__(bus, "/org/freedesktop/NetworkManager/Devices/3")
        self.mode = mode
        self.values = {(WIRELESS, "LastScan"): dbus.Int64(-1)}

    @dbus.service.method(WIRELESS, in_signature="a{sv}", out_signature="")
    def RequestScan(self, options):
        ssids = [bytes(ssid).decode() for ssid in options.get("ssids", [])]
        say("RequestScan " + ",".join(ssids))
        if self.mode == "refuse":
            raise dbus.DBusException("Scanning not allowed while unavailable",
                                     name=NM + ".Device.NotAllowed")
        if self.mode == "ok":
            GLib.timeout_add(300, self.finish)

    def finish(self):
        self.values[(WIRELESS, "LastScan")] = dbus.Int64(int(time.clock_gettime(time.CLOCK_BOOTTIME) * 1000))
        return False


class IwdStation(Props):
    def __init__(self, bus, mode):
        super().__init__(bus, "/net/connman/iwd/0/4")
        self.mode = mode
        self.values = {(STATION, "Scanning"): dbus.Boolean(False)}

    @dbus.service.method(STATION, in_signature="", out_signature="")
    def Scan(self):
        say("Scan")
        if self.mode == "refuse":
            raise dbus.DBusException("Operation not permitted", name="net.connman.iwd.NotAvailable")
        self.values[(STATION, "Scanning")] = dbus.Boolean(True)
        GLib.timeout_add(300, self.values.__setitem__, (STATION, "Scanning"), dbus.Boolean(False))


class IwdObjects(dbus.service.Object):
    @dbus.service.method("org.freedesktop.DBus.ObjectManager", in_signature="", out_signature="a{oa{sa{sv}}}")
    def GetManagedObjects(self):
        say("GetManagedObjects")
        adapter = {"net.connman.iwd.Adapter": {"Name": "phy0"}}
        station = {"net.connman.iwd.Device": {"Name": dbus.String("wlan0"), "Powered": True},
                   STATION: {"Scanning": False}}
        ap_mode = {"net.connman.iwd.Device": {"Name": "wlan1", "Mode": "ap"}}
        return {"/net/connman/iwd/0": adapter, "/net/connman/iwd/0/5": ap_mode, "/net/connman/iwd/0/4": station}


def main():
    address, nm_mode, iwd_mode = sys.argv[1:4]
    DBusGMainLoop(set_as_default=True)
    bus = dbus.bus.BusConnection(address)
    keep = []
    if nm_mode != "absent":
        keep += [dbus.service.BusName(NM, bus), NetworkManager(bus, "/org/freedesktop/NetworkManager"),
                 NmDevice(bus, nm_mode)]
    if iwd_mode != "absent":
        keep += [dbus.service.BusName("net.connman.iwd", bus), IwdObjects(bus, "/"), IwdStation(bus, iwd_mode)]
    say("ready")
    GLib.MainLoop().run()


main()

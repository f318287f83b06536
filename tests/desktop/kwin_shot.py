#!/usr/bin/python3
"""A screenshot of KWin's whole workspace through its ScreenShot2 D-Bus
interface, written as a binary PPM: kwin_shot.py FILE.ppm. KWin writes the
raw pixels (QImage's 32-bit formats, blue green red alpha in memory) into a
pipe and answers with their size."""
import os
import sys
import threading
from gi.repository import Gio, GLib

bus = Gio.bus_get_sync(Gio.BusType.SESSION)
read_end, write_end = os.pipe()
fds = Gio.UnixFDList.new()
fds.append(write_end)
os.close(write_end)
chunks = []
reader = threading.Thread(target=lambda: chunks.extend(iter(lambda: os.read(read_end, 1 << 20), b"")),
                          daemon=True)
reader.start()
reply, _ = bus.call_with_unix_fd_list_sync(
    "org.kde.KWin", "/org/kde/KWin/ScreenShot2", "org.kde.KWin.ScreenShot2", "CaptureWorkspace",
    GLib.Variant("(a{sv}h)", ({"include-cursor": GLib.Variant("b", False)}, 0)),
    GLib.VariantType("(a{sv})"), 0, 10000, fds, None)
for fd in fds.steal_fds():  # our copy of the write end: closed, so the reader sees the end
    os.close(fd)
reader.join(10)
results = reply.unpack()[0]
width, height, stride = results["width"], results["height"], results["stride"]
data = b"".join(chunks)
if len(data) < stride * height:
    sys.exit(f"kwin_shot: {len(data)} bytes for {width}x{height} (stride {stride}), format {results.get('format')}")
with open(sys.argv[1], "wb") as out:
    out.write(b"P6\n%d %d\n255\n" % (width, height))
    for row in range(height):
        line = data[row * stride:row * stride + width * 4]
        rgb = bytearray(width * 3)
        rgb[0::3], rgb[1::3], rgb[2::3] = line[2::4], line[1::4], line[0::4]
        out.write(rgb)

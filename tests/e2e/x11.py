"""The X server's side of things a test looks at or does.

Usage: x11.py cursor           the pointer's cursor as the X server shows it now: its size, hot
                               spot and a checksum of its pixels
       x11.py grab SECONDS     grabs the keyboard for the seconds given, as a screen locker, a
                               menu or a global shortcut does, then lets go
"""
import ctypes
import sys
import time
import zlib


class CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong))]


x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XGrabKeyboard.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_int] * 3 + [ctypes.c_ulong]
display = x11.XOpenDisplay(None) or sys.exit("no display")
if sys.argv[1] == "cursor":
    xfixes = ctypes.cdll.LoadLibrary("libXfixes.so.3")
    xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
    xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(CursorImage)
    cursor = xfixes.XFixesGetCursorImage(display).contents
    pixels = ctypes.string_at(cursor.pixels, cursor.width * cursor.height * ctypes.sizeof(ctypes.c_ulong))
    print(f"{cursor.width}x{cursor.height}+{cursor.xhot}+{cursor.yhot} {zlib.crc32(pixels):08x}")
elif sys.argv[1] == "grab":  # asynchronous, from now on; closing the display lets go
    if x11.XGrabKeyboard(display, x11.XDefaultRootWindow(display), 0, 1, 1, 0) != 0:
        sys.exit("the keyboard could not be grabbed")
    time.sleep(float(sys.argv[2]))

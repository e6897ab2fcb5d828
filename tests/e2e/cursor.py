"""Prints the pointer's cursor as the X server shows it now: its size, hot spot and a checksum
of its pixels."""
import ctypes
import zlib


class CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong))]


x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
xfixes = ctypes.cdll.LoadLibrary("libXfixes.so.3")
x11.XOpenDisplay.restype = ctypes.c_void_p
xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(CursorImage)
cursor = xfixes.XFixesGetCursorImage(x11.XOpenDisplay(None)).contents
pixels = ctypes.string_at(cursor.pixels, cursor.width * cursor.height * ctypes.sizeof(ctypes.c_ulong))
print(f"{cursor.width}x{cursor.height}+{cursor.xhot}+{cursor.yhot} {zlib.crc32(pixels):08x}")

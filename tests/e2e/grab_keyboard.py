"""Grabs the keyboard of the X display for the seconds given, as a screen locker, a menu or a
global shortcut does, then lets go."""
import ctypes
import sys
import time

x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XGrabKeyboard.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                              ctypes.c_int, ctypes.c_ulong]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = x11.XOpenDisplay(None) or sys.exit("no display")
GRAB_MODE_ASYNC, CURRENT_TIME = 1, 0
if x11.XGrabKeyboard(display, x11.XDefaultRootWindow(display), 0, GRAB_MODE_ASYNC,
                     GRAB_MODE_ASYNC, CURRENT_TIME) != 0:
    sys.exit("the keyboard could not be grabbed")
time.sleep(float(sys.argv[1]))
x11.XCloseDisplay(display)  # which lets go of the grab

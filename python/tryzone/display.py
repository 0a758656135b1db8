"""Whether the window's pictures can be drawn here: SFML aborts the whole interpreter when it cannot open the X
display, so the environments ask X first and raise an exception a program can catch."""

import ctypes
import ctypes.util
import os


class NoDisplayError(RuntimeError):
    """Rendering needs an X display and there is none."""


HINT = ("run under a virtual display (xvfb-run -a python ...), or set DISPLAY to a running X server; "
        "render_mode=None needs none")


_OPEN = {}


def check_display():
    """Raises NoDisplayError unless an X display can be opened."""
    name = os.environ.get("DISPLAY")
    if not name:
        raise NoDisplayError(f"rendering needs a display and DISPLAY is not set: {HINT}")
    if name in _OPEN:
        return
    library = ctypes.util.find_library("X11")
    if library is None:
        raise NoDisplayError(f"rendering needs Xlib (libX11), which is not installed: {HINT}")
    xlib = ctypes.CDLL(library)
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    display = xlib.XOpenDisplay(name.encode())
    if not display:
        raise NoDisplayError(f"rendering cannot open the display {name!r}: {HINT}")
    # Kept open: an X server that resets when its last client leaves (Xvfb without -noreset) would otherwise reset
    # between this probe and the window library's own connection, which then fails.
    _OPEN[name] = display

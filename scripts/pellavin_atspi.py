# What the scripts that read Pellavin over the AT-SPI bus share; imported by
# scripts/look/atspi-tree.py and scripts/check/wayland-session.py.
import pyatspi


def program_windows():
    """The program's top-level windows, or [] while it is not on the bus."""
    for app in pyatspi.Registry.getDesktop(0):
        if app is None:
            continue
        frames = [w for w in app if w is not None]
        if any(w.name == "Pellavin" for w in frames):
            return frames
    return []


def find(acc, test):
    """The first of acc and its descendants, depth first, that passes test; None if none does."""
    if test(acc):
        return acc
    for child in acc:
        if child is not None:
            found = find(child, test)
            if found is not None:
                return found
    return None

#!/usr/bin/python3
# A virtual screen (Xvfb with openbox) shared by the window and accessibility checks, which take
# it through PELLAVIN_SCREEN: CTest's fixture x_screen.
#   scripts/check/x_screen.py start FILE   starts it, left running, and writes into FILE its display
#                                          number, its size and its processes
#   scripts/check/x_screen.py stop FILE    stops the screen FILE describes
import os
import signal
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import pellavin_driver as drive  # noqa: E402

if len(sys.argv) != 3 or sys.argv[1] not in ("start", "stop"):
    sys.exit("x_screen.py start|stop FILE")
what, described = sys.argv[1:]
if what == "start":
    drive.deps("--screens")
    screen = drive.Screen(shared=False).__enter__()  # left up for the checks after this one
    with open(described, "w") as f:
        f.write(f"{screen.display[1:]} {screen.size} {' '.join(str(p.pid) for p in screen.processes)}\n")
    print(f"the shared screen: {screen.display}")
else:
    try:
        with open(described) as f:
            number, _, *pids = f.read().split()
    except (OSError, ValueError):
        sys.exit(f"{described} describes no screen")
    for pid in pids:
        try:
            os.kill(int(pid), signal.SIGTERM)
        except ProcessLookupError:
            pass
    os.remove(described)
    print(f"the shared screen :{number} stopped")

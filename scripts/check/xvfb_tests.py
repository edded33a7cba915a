#!/usr/bin/python3
# Runs the window tests again on a real X server with a window manager, where activation, focus
# and other programs' windows behave as on a desktop:
#   scripts/check/xvfb_tests.py [build folder]   (the folder ./scripts/test.sh built; build-tests)
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import pellavin_driver as drive  # noqa: E402

build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(drive.ROOT, "build-tests"))
drive.deps("--screens")
checks = drive.Checks("xtests")
with drive.Screen():
    for test in ("tst_startup", "tst_frmmath", "tst_auxwindows"):
        done = subprocess.run(["timeout", "300", "dbus-run-session", "--", os.path.join(build, "tests", test), "-silent"],
                              env={**os.environ, "QT_QPA_PLATFORM": "xcb"})
        checks.check(done.returncode == 0, f"{test} on an X server with a window manager",
                     f"exit status {done.returncode}")
checks.done()

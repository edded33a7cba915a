#!/usr/bin/python3
# Runs Pellavin under weston, the reference Wayland compositor:
#  1. weston with no screen (its headless backend): Pellavin started as a Wayland program puts
#     up its splash window at its size, and prints nothing on its error output;
#  2. weston nested in a virtual X screen, which gives it a keyboard: a short session typed with
#     xdotool and read back over AT-SPI, first as a Wayland program, then as an X program on
#     XWayland. The splash window takes a key without a click, and an answer typed the moment
#     the main window has the keyboard back after a message box arrives whole.
# Photographs of each are left in the work folder.
#   ./scripts/check/wayland_check.py [BUILD] [WORK]
# Installs what it needs on Debian 12 (through sudo when not root).
import glob
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import pellavin_driver as d  # noqa: E402

SIZE = "1024x768"
WESTON_SIZE = ["--width=1024", "--height=768"]
# Each nested session has ten steps and its error output.
STEPS = 11


def quiet(path):
    """What a program printed, less D-Bus's lines about its file limit."""
    with open(path, errors="replace") as f:
        return "".join(line for line in f if "fd limit" not in line).strip()


def socket(name, timeout=10):
    return d.wait_until(lambda: os.path.exists(os.path.join(os.environ["XDG_RUNTIME_DIR"], name)), timeout)


def splash_size():
    """The splash window's size from weston's scene graph, which lists each window with the
    program it belongs to and where it is; None while there is none."""
    found = False
    for line in d.run("timeout", "3", "weston-debug", "scene-graph").splitlines():
        if re.search(r"role xdg_toplevel.* of pellavin", line):
            found = True
        elif found and "position:" in line:
            x1, y1, x2, y2 = map(int, re.findall(r"-?\d+", line.split("position:", 1)[1])[:4])
            return f"{x2 - x1}x{y2 - y1}"
    return None


def headless(build, work, checks):
    def report(ok, good, bad, detail=None):
        return checks.check(ok, good if ok else bad, detail)

    log = os.path.join(work, "weston-headless.log")
    with open(log, "w") as output:
        weston = subprocess.Popen(["weston", "--backend=headless-backend.so", "--use-pixman", "--socket=pellavin-headless",
                                   *WESTON_SIZE, "--idle-time=0", "--debug"], stdout=output, stderr=subprocess.STDOUT)
    try:
        if not socket("pellavin-headless"):
            return checks.fail(f"headless: weston did not start (see {log})")
        os.environ["WAYLAND_DISPLAY"] = "pellavin-headless"
        err = os.path.join(work, "headless.err")
        with d.Program(None, [os.path.join(build, "pellavin")], build, {"QT_QPA_PLATFORM": "wayland"}, err) as program:
            size = d.wait_until(splash_size, 30, step=0.2)
            report(size == "492x279", "headless: the splash window is up, 492x279",
                   f"headless: no splash window of 492x279 ({size or 'none'})")
            time.sleep(2)
            d.run("timeout", "10", "weston-screenshooter", cwd=work)
            for shot in glob.glob(os.path.join(work, "wayland-screenshot-*.png")):
                os.replace(shot, os.path.join(work, "headless.png"))
            report(program.running(), "headless: Pellavin still runs", "headless: Pellavin ended")
        printed = quiet(err)
        report(not printed, "headless: nothing on the error output", "headless: on the error output:", printed)
    finally:
        os.environ.pop("WAYLAND_DISPLAY", None)
        weston.terminate()
        weston.wait(10)


def nested(build, work, checks):
    """Runs the sessions in a D-Bus session of their own (this script with --nested), counting
    their steps as this check's: a step never reached counts as failed."""
    with d.Screen(SIZE, wm=False, shared=False) as screen:
        described = os.path.join(os.environ["XDG_RUNTIME_DIR"], "screen")
        with open(described, "w") as f:
            f.write(f"{screen.display[1:]} {SIZE}\n")
        # timeout ends the whole process group: weston and the bus too.
        child = subprocess.Popen(["timeout", "300", "dbus-run-session", "--", sys.executable, os.path.abspath(__file__),
                                  "--nested", build, work], env={**os.environ, "PELLAVIN_SCREEN": described},
                                 stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        output = []
        for line in child.stdout:
            if "fd limit" not in line:
                d.log(line.rstrip("\n"))
                output.append(line)
        if child.wait():
            d.log(f"   (the nested sessions ended with {child.returncode})")
    output = "".join(output)
    checks.count(output)
    reached = len(re.findall(r"^(ok|FAIL): ", output, re.M))
    if reached < 2 * STEPS:
        checks.fail(f"nested: {2 * STEPS - reached} steps were never reached")
        checks.failed += 2 * STEPS - reached - 1


# ---- inside the D-Bus session: weston nested in the X screen, and two sessions typed into it



def steps(label, screen, bus):
    """The session's steps, each reported; returns at the first that leaves nothing to go on."""
    def report(ok, what):
        d.log(f"{'ok' if ok else 'FAIL'}: {label}: {what}")
        return ok

    def keys(*names):  # at once: how soon a key may come is what is checked
        screen.keys(*names, settle=0)

    def typed(text):
        screen.type(text, settle=0)

    def wait(look, timeout=10.0):
        return d.wait_until(look, timeout)

    splash = wait(lambda: bus.window(description=d.SPLASH_DESCRIPTION), 30)
    if not report(splash is not None, "the splash window is on the accessibility bus"):
        return
    # Once the desktop has given it the keyboard; no click.
    report(wait(lambda: bus.active(splash)) is not None, "the splash window is active without a click")
    keys("a")
    prompt = wait(lambda: bus.window(name="User Name Input"))
    if not report(prompt is not None, "one key on the splash window opens the name prompt"):
        return
    wait(lambda: bus.active(prompt))
    typed("Ada")
    keys("Return")
    greeting = wait(bus.alert)
    if not report(greeting is not None and "Ada" in bus.alert_text(greeting), "the greeting names Ada"):
        return
    keys("Return")
    box = wait(lambda: (lambda b: b if b and b.description else None)(bus.answer_box()))
    if not report(box is not None, "the main window shows a question"):
        return
    focused = lambda: box.getState().contains(bus.atspi.STATE_FOCUSED)  # noqa: E731
    wait(focused)
    right = d.answer_to(box.description)
    if not report(right is not None, f"the question reads {box.description!r}"):
        return
    typed(str(right + 1))
    keys("Return")
    if not report(wait(bus.alert) is not None, "a wrong answer is told in a box"):
        return
    # The compositor gives the keyboard back to the main window when the box has gone (weston
    # takes a second or two: its fading out of the box, and its X window manager), and the right
    # answer, typed the moment it has, replaces the wrong one whole.
    main = bus.main()
    closed = time.monotonic()
    keys("Return")
    wait(lambda: bus.alert() is None)
    wait(lambda: not bus.active(main), 0.3)
    back = wait(lambda: bus.active(main) and focused())
    report(back is not None, f"the main window has the keyboard again {time.monotonic() - closed:.1f} s after the box closed")
    typed(str(right))
    time.sleep(1.0)
    text = box.queryText().getText(0, -1)
    report(text == str(right), f"typed at once, the answer box holds {text!r} (typed {right})")
    keys("Return")
    solved = wait(bus.alert)
    report(solved is not None and "correctly" in bus.alert_text(solved), "the right answer is accepted")
    keys("Return")


def session(label, env, build, work, screen, bus):
    err = os.path.join(work, label + ".err")
    with d.Program.native(screen, build, env=env, output=err, bus=bus):
        try:
            steps(label, screen, bus)
        except Exception as e:  # noqa: BLE001 (the steps not reached count as failed)
            d.log(f"   {label}: the session broke off: {e!r}")
        time.sleep(0.5)
        screen.shot(os.path.join(work, label + ".png"))
    time.sleep(0.5)
    printed = quiet(err)
    d.log(f"ok: {label}: nothing on the error output" if not printed else f"FAIL: {label}: on the error output:\n{printed}")


def inside(build, work):
    # timeout's TERM ends the sessions through their clean-up: the program stopped too.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    with d.Screen(SIZE, wm=False) as screen, d.Bus() as bus:
        log = os.path.join(work, "weston-nested.log")
        with open(log, "w") as output:
            weston = subprocess.Popen(["weston", "--backend=x11-backend.so", "--use-pixman", "--xwayland",
                                       "--socket=pellavin-nested", *WESTON_SIZE,
                                       "--idle-time=0"],
                                      stdout=output, stderr=subprocess.STDOUT)
        try:
            if not socket("pellavin-nested"):
                d.log("FAIL: nested weston did not start")
                sys.exit(1)
            xwayland = d.wait_until(lambda: re.search(r"xserver listening on display (:\d+)", quiet(log)))
            # The pointer rests on weston's desktop, clear of where windows open; keys go where
            # weston sends them.
            d.run("xdotool", "mousemove", "1010", "750")
            session("wayland-nested", {"WAYLAND_DISPLAY": "pellavin-nested", "QT_QPA_PLATFORM": "wayland"},
                    build, work, screen, bus)
            if not xwayland:
                d.log("FAIL: xwayland: weston started no X server")
                sys.exit(1)
            session("xwayland", {"DISPLAY": xwayland[1], "QT_QPA_PLATFORM": "xcb"}, build, work, screen, bus)
        finally:
            weston.terminate()
            weston.wait(10)


def main(build, work):
    d.deps("--screens")
    d.apt_install("weston", "xwayland", "qt6-wayland", "dbus")
    build = d.build_program(build)
    os.makedirs(work, exist_ok=True)
    for old in glob.glob(os.path.join(work, "*.png")) + glob.glob(os.path.join(work, "*.err")) + \
            glob.glob(os.path.join(work, "*.log")):
        os.remove(old)
    # A private runtime folder, as a desktop session has, for weston's sockets.
    runtime = os.environ["XDG_RUNTIME_DIR"] = tempfile.mkdtemp(prefix="pellavin-wayland.")
    os.chmod(runtime, 0o700)
    checks, step = d.Checks("wayland"), d.Steps()
    try:
        step("weston, headless: Pellavin as a Wayland program")
        headless(build, work, checks)
        step("weston nested in a virtual X screen: a session typed on its keyboard")
        nested(build, work, checks)
        step.took()
    finally:
        shutil.rmtree(runtime, ignore_errors=True)
    d.log("photographs: " + " ".join(sorted(os.path.basename(p) for p in glob.glob(os.path.join(work, "*.png")))))
    checks.done()


if __name__ == "__main__":
    if sys.argv[1:2] == ["--nested"]:
        inside(os.path.abspath(sys.argv[2]), os.path.abspath(sys.argv[3]))
    else:
        build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(d.ROOT, "build"))
        main(build, os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else os.path.join(build, "wayland-check")))

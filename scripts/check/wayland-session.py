#!/usr/bin/python3
# Drives a short session of Pellavin with keys typed by xdotool on $DISPLAY, and reads what the
# program shows over AT-SPI: the splash window takes a key without a click, the name prompt and
# the greeting come up, and an answer typed the moment the main window has the keyboard back
# after a message box arrives whole.
# Prints "ok: ..." or "FAIL: ..." for each step. Run by wayland-check.sh, under the system
# interpreter, where pyatspi lives.
import os
import re
import subprocess
import sys
import time

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from pellavin_atspi import find, program_windows  # noqa: E402

label = sys.argv[1] if len(sys.argv) > 1 else "session"
failures = 0


def report(ok, what):
    global failures
    print(f"{'ok' if ok else 'FAIL'}: {label}: {what}", flush=True)
    if not ok:
        failures += 1
    return ok


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "60", *names], check=True)


def typed(text):
    subprocess.run(["xdotool", "type", "--delay", "60", text], check=True)


def wait_for(look, timeout=10.0):
    end = time.time() + timeout
    while time.time() < end:
        try:
            found = look()
        except Exception:  # a window going away while it is looked at
            found = None
        if found:
            return found
        time.sleep(0.1)
    return None


def active(acc):
    return acc.getState().contains(pyatspi.STATE_ACTIVE)


def alert():
    return next((w for w in program_windows() if w.getRole() == pyatspi.ROLE_ALERT), None)


def alert_text(box):
    label = find(box, lambda a: a.getRole() == pyatspi.ROLE_LABEL and a.name)
    return label.name if label else box.name


def answer_box():
    main = next((w for w in program_windows() if w.name == "Pellavin" and w.getRole() == pyatspi.ROLE_FRAME
                 and w.description != "Press any key to start."), None)
    return main and find(main, lambda a: a.getRole() == pyatspi.ROLE_TEXT)


def expected(question):
    # The question is spoken with its operator in words ("8 minus 7 = ?"), after what is new.
    match = re.search(r"(\d+)\s+(plus|minus|times|divided by)\s+(\d+)\s*=", question)
    if not match:
        return None
    a, op, b = int(match[1]), match[2], int(match[3])
    return {"plus": a + b, "minus": a - b, "times": a * b}.get(op, a // b if b else None)


def main():
    splash = wait_for(lambda: next((w for w in program_windows() if w.description == "Press any key to start."), None))
    if not report(splash is not None, "the splash window is on the accessibility bus"):
        return
    # Once the desktop has given it the keyboard; no click.
    report(wait_for(lambda: active(splash)) is not None, "the splash window is active without a click")
    keys("a")
    prompt = wait_for(lambda: next((w for w in program_windows() if w.name == "User Name Input"), None), 5)
    if not report(prompt is not None, "one key on the splash window opens the name prompt"):
        return
    wait_for(lambda: active(prompt), 5)
    typed("Ada")
    keys("Return")
    greeting = wait_for(alert, 5)
    if not report(greeting is not None and "Ada" in alert_text(greeting), "the greeting names Ada"):
        return
    keys("Return")
    box = wait_for(lambda: (lambda b: b if b and b.description else None)(answer_box()))
    if not report(box is not None, "the main window shows a question"):
        return
    wait_for(lambda: box.getState().contains(pyatspi.STATE_FOCUSED), 5)
    right = expected(box.description)
    if not report(right is not None, f"the question reads {box.description!r}"):
        return
    typed(str(right + 1))
    keys("Return")
    sorry = wait_for(alert, 5)
    if not report(sorry is not None, "a wrong answer is told in a box"):
        return
    # The compositor gives the keyboard back to the main window when the box has gone (weston
    # takes a second or two: its fading out of the box, and its X window manager), and the
    # right answer, typed the moment it has, replaces the wrong one whole.
    main = next(w for w in program_windows() if w.name == "Pellavin" and w.getRole() == pyatspi.ROLE_FRAME
                and w.description != "Press any key to start.")
    closed = time.time()
    keys("Return")
    wait_for(lambda: alert() is None, 5)
    wait_for(lambda: not active(main), 0.3)
    back = wait_for(lambda: active(main) and box.getState().contains(pyatspi.STATE_FOCUSED), 10)
    report(back is not None, f"the main window has the keyboard again {time.time() - closed:.1f} s after the box closed")
    typed(str(right))
    time.sleep(1.0)
    text = box.queryText().getText(0, -1)
    report(text == str(right), f"typed at once, the answer box holds {text!r} (typed {right})")
    keys("Return")
    solved = wait_for(alert, 5)
    report(solved is not None and "correctly" in alert_text(solved), "the right answer is accepted")
    keys("Return")


main()
sys.exit(1 if failures else 0)

#!/usr/bin/python3
# Prints what a screen reader receives from Pellavin over the AT-SPI bus: the tree of its main
# window ("main"), the message box that is up ("alert"), or the answer box alone ("answer").
# "has-alert" only answers, by its exit status, whether a message box is up now.
# Run by atspi-tree.sh, under the system interpreter, where pyatspi lives.
import os
import sys
import time

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from pellavin_atspi import find, program_windows  # noqa: E402

STATES = {pyatspi.STATE_FOCUSED: "focused", pyatspi.STATE_CHECKED: "checked",
          pyatspi.STATE_EDITABLE: "editable", pyatspi.STATE_FOCUSABLE: "focusable"}


def windows(timeout=20):
    """The top-level windows of the program, once it is on the bus."""
    end = time.time() + timeout
    while time.time() < end:
        frames = program_windows()
        if frames:
            return frames
        time.sleep(0.2)
    sys.exit("Pellavin is not on the accessibility bus")


def line(acc):
    text = f"[{acc.getRoleName()}] {acc.name!r}"
    if acc.description:
        text += f" description={acc.description!r}"
    states = [n for s, n in STATES.items() if acc.getState().contains(s)]
    if states:
        text += " (" + ", ".join(states) + ")"
    for relation in acc.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            labels = [relation.getTarget(i).name for i in range(relation.getNTargets())]
            text += " labelled-by=" + repr(labels)
    return text


def dump(acc, depth=0):
    print("  " * depth + line(acc))
    for child in acc:
        if child is not None:
            dump(child, depth + 1)


def main():
    what = sys.argv[1] if len(sys.argv) > 1 else "main"
    if what == "has-alert":
        sys.exit(0 if any(w.getRole() == pyatspi.ROLE_ALERT for w in windows()) else 1)
    end = time.time() + 20
    while True:
        frames = windows()
        main_window = next((w for w in frames if w.name == "Pellavin" and w.getRole() == pyatspi.ROLE_FRAME), None)
        if what == "main":
            target = main_window
        elif what == "alert":
            target = next((w for w in frames if w.getRole() == pyatspi.ROLE_ALERT), None)
        else:
            target = main_window and find(main_window, lambda a: a.getRole() == pyatspi.ROLE_TEXT)
            if target is not None:
                print(line(target))
                return
        if target is not None:
            dump(target)
            return
        if time.time() > end:
            sys.exit(f"no {what} window on the accessibility bus")
        time.sleep(0.2)


main()

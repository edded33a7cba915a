#!/usr/bin/python3
# Shows what a screen reader hears from Pellavin. Starts it on a virtual screen in a D-Bus session
# with the accessibility bus, gets past the splash window, the name prompt and the greeting, and
# prints the accessible tree of the main window as it arrives over AT-SPI; then answers wrongly
# once and prints the message box that is announced, and the answer box after it.
#   scripts/look/atspi_tree.py [build folder]   (PELLAVIN_BUILD_DIR, else build)
# scripts/check/atspi_check.py runs the same session and checks what it prints.
import os
import re
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import pellavin_driver as drive  # noqa: E402


class Stuck(Exception):
    """The program did not get to where the session wanted it; the message says where."""


def build_folder(argv):
    return os.path.abspath(argv[1] if len(argv) > 1 else os.environ.get("PELLAVIN_BUILD_DIR")
                           or os.path.join(drive.ROOT, "build"))


def prepare(build):
    """The packages and the program, then a D-Bus session of its own for the rest (the script
    runs again inside it; the second round finds both ready)."""
    drive.deps("--screens")
    drive.build_program(build)
    drive.in_dbus_session()


def line(bus, acc):
    atspi = bus.atspi
    states = {atspi.STATE_FOCUSED: "focused", atspi.STATE_CHECKED: "checked",
              atspi.STATE_EDITABLE: "editable", atspi.STATE_FOCUSABLE: "focusable"}
    text = f"[{acc.getRoleName()}] {acc.name!r}"
    if acc.description:
        text += f" description={acc.description!r}"
    held = [n for s, n in states.items() if acc.getState().contains(s)]
    if held:
        text += " (" + ", ".join(held) + ")"
    for relation in acc.getRelationSet():
        if relation.getRelationType() == atspi.RELATION_LABELLED_BY:
            labels = [relation.getTarget(i).name for i in range(relation.getNTargets())]
            text += " labelled-by=" + repr(labels)
    return text


def tree(bus, acc, depth=0):
    lines = ["  " * depth + line(bus, acc)]
    for child in acc:
        if child is not None:
            lines += tree(bus, child, depth + 1)
    return lines


def press_while(screen, key, up, what):
    """Presses a key until up() is false: a key pressed while a window is still coming up can
    be lost. It waits for the window to go before pressing again, as a second Return on the main
    window would answer again."""
    for _ in range(10):
        if not drive.wait_until(up, timeout=0.2):
            return
        screen.keys(key, settle=0)
        if drive.wait_until(lambda: not up(), timeout=3):
            return
    raise Stuck(f"{what} stayed up")


def wrong_answer(bus):
    """One more than the answer to the question the answer box describes (a text that is not a
    number reads as 0, which is right for 4 - 4)."""
    box = bus.answer_box()
    right = drive.answer_to(box and box.description)
    if right is None:
        raise Stuck(f"the answer box describes no question: {box and box.description!r}")
    return str(right + 1)


def session(build, show):
    """The session, in the D-Bus session the caller runs in; show(heading, lines) gets each
    tree as it is read."""
    with drive.Screen() as screen, drive.Bus() as bus, drive.Program.native(screen, build) as program:
        if not program.past_splash():
            raise Stuck("a key on the splash window opened no name prompt")
        press_while(screen, "Return", lambda: screen.windows("User Name Input"), "the name prompt")  # the default name
        if not drive.wait_until(bus.alert, timeout=10):
            raise Stuck("no greeting came up after the name prompt")
        press_while(screen, "Return", bus.alert, "the greeting")
        time.sleep(0.5)
        main = drive.wait_until(bus.main, timeout=20)
        if not main:
            raise Stuck("no main window on the accessibility bus")
        show("main window", tree(bus, main))
        screen.type(wrong_answer(bus), settle=0)
        screen.keys("Return", settle=0)  # a wrong answer: a box says so
        box = drive.wait_until(bus.alert, timeout=20)
        if not box:
            raise Stuck("no message box on the accessibility bus after a wrong answer")
        show("message box", tree(bus, box))
        press_while(screen, "Return", bus.alert, "the message box")
        answer = drive.wait_until(bus.answer_box, timeout=20)
        if not answer:
            raise Stuck("no answer box on the accessibility bus")
        show("answer box, after the box", [line(bus, answer)])


def show(heading, lines):
    drive.log(f"== {heading}")
    drive.log("\n".join(lines))


if __name__ == "__main__":
    build = build_folder(sys.argv)
    prepare(build)
    try:
        session(build, show)
    except Stuck as stuck:
        sys.exit(f"atspi_tree: {stuck}")

#!/usr/bin/python3
# The accessible tree a screen reader receives over AT-SPI (the session of
# scripts/look/atspi_tree.py), checked for what it must hold: the answer box labelled by "Your
# Answer:" with the question as its description, the questions to go, a checked level in the
# menu, and the wrong answer's box announced as an alert. Ends with "atspi: N passed, M failed".
#   scripts/check/atspi_check.py [build folder]   (PELLAVIN_BUILD_DIR, else build)
import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "look"))
import atspi_tree  # noqa: E402

from pellavin_driver import Checks  # noqa: E402  (on the path atspi_tree puts it on)

EXPECTED = (r"\[text\] 'Your Answer:' description='20 questions, [0-9]+ (plus|minus) [0-9]+ = \?'",
            r"labelled-by=\['Your Answer:'\]",
            r"\[panel\] 'Status' description='Number of questions to go: 19'",
            r"\[menu item\] 'Beginner\(\+,-\)' \(checked\)",
            r"\[alert\] 'Pellavin'")

build = atspi_tree.build_folder(sys.argv)
atspi_tree.prepare(build)
checks = Checks("atspi")
read = []


def show(heading, lines):
    atspi_tree.show(heading, lines)
    read.extend(lines)


try:
    atspi_tree.session(build, show)
except atspi_tree.Stuck as stuck:
    checks.fail("the session went through", stuck)
for expected in EXPECTED:
    checks.check(any(re.search(expected, line) for line in read), f"the accessible tree has {expected}",
                 f"none of the {len(read)} lines read over the bus above matches it")
checks.done()

#!/usr/bin/python3
# Runs a short session of Pellavin under the Orca screen reader and prints what Orca spoke:
# the splash window, the name prompt, the greeting, the first question, a wrong answer, a
# skipped question (skipping on until a subtraction comes up), a change of level and its new
# question, and the menu bar on F10. Orca speaks through speech-dispatcher and espeak-ng into a
# silent sound device.
#   scripts/check/orca_session.py [--punctuation all|most|some|none] [build folder]
#   (Orca's own default level: most; the folder: PELLAVIN_BUILD_DIR, else build)
# It prints what Orca said, then what the synthesizer was given once speech-dispatcher had
# turned symbols into words for that punctuation level, then checks that the greeting, a
# subtraction with its "minus", the tries left, the question after a skip, the new level and
# the File menu were spoken ("orca: N passed, M failed").
import builtins
import contextlib
import html
import json
import os
import re
import runpy
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import pellavin_driver as drive  # noqa: E402

STYLES = {"all": 0, "most": 1, "some": 2, "none": 3}
QUESTION = r"[0-9]+ [^ ]+ [0-9]+ = \?"


def run_orca(log, prefs):
    """Orca, with its log written line by line (it writes it buffered), and blind to the other
    Orca processes of this user, which it would otherwise end or refuse to start beside: every
    other session's Orca is left alone. Runs in a process of its own."""
    real_open = builtins.open

    def line_buffered(file, mode="r", buffering=-1, *args, **kwargs):
        if file == log and "w" in mode:
            buffering = 1
        return real_open(file, mode, buffering, *args, **kwargs)

    builtins.open = line_buffered
    sys.argv = ["orca", "-u", prefs, "--debug-file=" + log]
    launcher = runpy.run_path("/usr/bin/orca", run_name="orca_launcher")
    launcher["main"].__globals__["otherOrcas"] = lambda: []
    sys.exit(launcher["main"]())


class Speech:
    """A speech server of our own (its own configuration, socket and log, and a sound device
    that swallows everything: the default sound-server output stalls where there is none), and
    Orca speaking through it, its settings fresh but for the punctuation level."""

    def __init__(self, work, punctuation):
        self.work, self.log = work, os.path.join(work, "orca.log")
        self.processes = []
        shutil.copytree("/etc/speech-dispatcher", os.path.join(work, "speechd"))
        with open(os.path.join(work, "speechd", "speechd.conf"), "a") as f:
            f.write('AudioOutputMethod "alsa"\nAudioALSADevice "null"\n')
        os.makedirs(os.path.join(work, "speechd-log"))
        self.start(["speech-dispatcher", "-s", "-t", "0", "-l", "5", "-C", f"{work}/speechd",
                    "-L", f"{work}/speechd-log", "-S", f"{work}/speechd.sock", "-P", f"{work}/speechd.pid"])
        os.environ["SPEECHD_ADDRESS"] = f"unix_socket:{work}/speechd.sock"
        level = STYLES[punctuation]
        os.makedirs(os.path.join(work, "orca"))
        with open(os.path.join(work, "orca", "user-settings.conf"), "w") as f:
            json.dump({"general": {"verbalizePunctuationStyle": level},
                       "profiles": {"default": {"profile": ["Default", "default"], "verbalizePunctuationStyle": level}},
                       "pronunciations": {}, "keybindings": {}}, f)
        open(self.log, "w").close()
        self.start(["/usr/bin/python3", os.path.abspath(__file__), "--orca", self.log, os.path.join(work, "orca")])

    def start(self, command):
        self.processes.append(subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))

    def stop(self):
        for process in reversed(self.processes):
            process.terminate()
            with contextlib.suppress(subprocess.TimeoutExpired):
                process.wait(5)

    def lines(self):
        with open(self.log, errors="replace") as f:
            return [line for line in f if "SPEECH OUTPUT" in line]

    def spoken(self):
        """What Orca said, a line a thing."""
        return [re.sub(r"^.*SPEECH OUTPUT: '(.*)' ?(voice=[a-z]+ ?)?[\[{].*$", r"\1", line.rstrip("\n"))
                for line in self.lines() if "SPEECH OUTPUT: '" in line]

    def heard(self):
        """What speech-dispatcher handed the synthesizer, once its symbol tables had turned
        punctuation into words for the level asked."""
        with open(os.path.join(self.work, "speechd-log", "speech-dispatcher.log"), errors="replace") as f:
            texts = [line.rstrip("\n").split("Incoming text: |", 1)[1] for line in f if "Incoming text: |" in line]
        texts = [html.unescape(re.sub(r"<[^>]*>", "", t).removesuffix("|")) for t in texts]
        return [re.sub(r" +", " ", t).strip(" ") for t in texts]

    def settle(self):
        """Waits, bounded, until Orca has been silent for a second."""
        last, quiet = len(self.lines()), 0
        time.sleep(1)
        for _ in range(10):
            size = len(self.lines())
            quiet = quiet + 1 if size == last else 0
            if quiet >= 2:
                return
            last = size
            time.sleep(0.5)


def between(lines, start, end):
    """The lines after the first one matching start, up to the next one matching end."""
    found, on = [], False
    for line in lines:
        if on and re.search(end, line):
            break
        if on:
            found.append(line)
        if re.search(start, line):
            on = True
    return found


def after_skip(lines):
    """The questions Orca read after the last "Are you sure" about skipping."""
    found = []
    for line in lines:
        if "without answering" in line:
            found = []
        if re.search(QUESTION, line):
            found.append(line)
    return found


def session(build, punctuation, checks):
    with contextlib.ExitStack() as stack:
        screen = stack.enter_context(drive.Screen())
        # The checks look for the English texts, of the program and of Orca.
        os.environ.update(LC_ALL="C.UTF-8", LANGUAGE="")
        stack.enter_context(drive.Bus())
        work = tempfile.mkdtemp(prefix="pellavin-orca.")
        stack.callback(shutil.rmtree, work, ignore_errors=True)
        speech = Speech(work, punctuation)
        stack.callback(speech.stop)

        def key(*names):
            screen.keys(*names, settle=0)
            speech.settle()

        if not drive.wait_until(speech.lines, timeout=30):
            return checks.fail("Orca started speaking", f"no SPEECH OUTPUT line in {speech.log} after 30 s")
        speech.settle()
        program = stack.enter_context(drive.Program.native(screen, build))
        program.splash(timeout=15)
        speech.settle()
        if not program.past_splash():
            return checks.fail("a key on the splash window opened the name prompt")
        speech.settle()
        key("Return")                   # the default name; the greeting comes up
        key("Return")                   # closes the greeting: the main window and its question
        key("9", "9", "Return")         # a wrong answer
        key("Return")                   # closes "Sorry, ... tries left."
        key("Tab", "Tab")               # to Next Question
        # Skips once, and on until a subtraction is asked, so that its minus is heard.
        for i in range(12):
            if i and any(re.search(" (-|minus) ", q) for q in after_skip(speech.spoken())):
                break
            key("Return")               # Next Question, then OK in "Are you sure?"
            key("Return")
        key("ctrl+m")                   # Intermediate
        key("Return")                   # OK in "Are you sure?"
        key("F10")                      # the menu bar, at File
        key("Escape", "Escape")
        screen.keys("ctrl+x", settle=1)  # Exit

        spoken, heard = speech.spoken(), speech.heard()
        drive.log("== what Orca said\n" + "\n".join(spoken))
        drive.log(f"== what the synthesizer was given, at punctuation level {punctuation}\n" + "\n".join(heard))
        for what, pattern, lines, where in (
                ("the greeting", r"Welcome to Pellavin, Pellavin User! ", spoken, "what Orca said"),
                ("a subtraction, with its minus", r"[0-9]+ minus [0-9]+", heard, "what the synthesizer was given"),
                ("the tries left", r"Try again, you have 3 tries left\.", spoken, "what Orca said"),
                ("the new question after a skip", QUESTION, between(spoken, "without answering", "Are you sure"),
                 "what Orca said after the skip"),
                ("the level and the questions of the new session", r"Intermediate.*20 questions",
                 between(spoken, "change difficulties", "^$"), "what Orca said after the change of level"),
                ("the File menu on F10", r"^File", between(spoken, "^F10", "escape"), "what Orca said after F10")):
            checks.check(any(re.search(pattern, s) for s in lines), f"spoken: {what}",
                         f"nothing in {where} ({len(lines)} lines) matches {pattern}")
        return None


def main():
    if sys.argv[1:2] == ["--orca"]:
        run_orca(*sys.argv[2:4])
    args = sys.argv[1:]
    punctuation = "most"
    if args[:1] == ["--punctuation"]:
        if len(args) < 2 or args[1] not in STYLES:
            sys.exit("--punctuation: all, most, some or none")
        punctuation, args = args[1], args[2:]
    build = os.path.abspath(args[0] if args else os.environ.get("PELLAVIN_BUILD_DIR")
                            or os.path.join(drive.ROOT, "build"))
    drive.deps("--orca")
    drive.build_program(build)
    drive.in_dbus_session()
    checks = drive.Checks("orca")
    session(build, punctuation, checks)
    checks.done()


main()

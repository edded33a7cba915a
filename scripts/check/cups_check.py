#!/usr/bin/python3
# Prints from Pellavin to a real printer: a CUPS server of its own (on a private socket, so the
# machine's printers are left alone) with a PDF printer as the default; Pellavin driven on a
# virtual screen to a question, Print chosen twice and Exit, and exactly one job must come out,
# as a PDF. Then, with the server stopped, Print must say so in a box and the session go on.
#   ./scripts/check/cups_check.py start FILE        starts the server, left running for the
#                                                   checks after (CTest's fixture cups); FILE
#                                                   keeps its folder
#   ./scripts/check/cups_check.py stop FILE         stops it (stopped already is fine) and
#                                                   removes its folder
#   ./scripts/check/cups_check.py [BUILD] [FILE]    the check, on the server FILE names, or on
#                                                   one started for it alone
# Installs what it needs on Debian 12. Needs root: cupsd and the PDF printer's backend run as
# root; through sudo otherwise, which hands on the variables named below.
import contextlib
import os
import shutil
import signal
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import pellavin_driver as d  # noqa: E402

NO_PRINTER = "No printer is available, so nothing was printed."
KEEP = ("PELLAVIN_APT_WAIT", "PELLAVIN_SCREEN")


def as_root():
    if os.geteuid() == 0:
        return
    if not shutil.which("sudo"):
        sys.exit("cups: needs root (cupsd and the PDF printer's backend run as root), and there is no sudo")
    os.execvp("sudo", ["sudo", "--preserve-env=" + ",".join(KEEP), sys.executable, *sys.argv])


def pid_of(folder):
    """The server's process while it runs (a process that has ended, or is another program, is none)."""
    with contextlib.suppress(OSError, ValueError):
        with open(os.path.join(folder, "cupsd.pid")) as f:
            pid = int(f.read())
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            command = f.read().split(b"\0")
        with open(f"/proc/{pid}/stat") as f:
            state = f.read().rsplit(")", 1)[1].split()[0]
        if os.path.basename(command[0]) == b"cupsd" and folder.encode() in b" ".join(command) and state != "Z":
            return pid
    return None


def stop_server(folder):
    """True once the server of that folder is gone, whoever started it."""
    pid = pid_of(folder)
    if pid:
        with contextlib.suppress(ProcessLookupError):
            os.kill(pid, signal.SIGTERM)
    return bool(d.wait_until(lambda: pid_of(folder) is None, 15))


def log_tail(path, lines=20):
    with contextlib.suppress(OSError), open(path, errors="replace") as f:
        d.log(f"--- {path}\n" + "".join(f.readlines()[-lines:]))


def start(file):
    d.apt_install("cups", "printer-driver-cups-pdf")
    checks = d.Checks("cups_server")
    with contextlib.suppress(OSError), open(file) as f:  # a server an interrupted run left up
        left = f.read().strip()
        stop_server(left)
        shutil.rmtree(left, ignore_errors=True)
    folder = tempfile.mkdtemp(prefix="pellavin-cups.")
    with open(file, "w") as f:  # first: the cleanup finds the folder whatever happens next
        f.write(folder + "\n")
    try:
        d.Cups(folder).start()
    except SystemExit as e:
        checks.fail(str(e))
    status, default = d.run("lpstat", "-r"), d.run("lpstat", "-d")
    d.log(status + default)
    checks.check("scheduler is running" in status, f"the server is up on {os.environ.get('CUPS_SERVER')}", status)
    checks.check("destination: PDF" in default, "the PDF printer is its default", default)
    if checks.failed:
        log_tail(os.path.join(folder, "log", "error_log"))
    checks.done()


def stop(file):
    checks = d.Checks("cups_server_stopped")
    try:
        with open(file) as f:
            folder = f.read().strip()
    except FileNotFoundError:
        d.log(f"{file} names no server: none was started")
        return
    checks.check(stop_server(folder), f"the CUPS server in {folder} is stopped")
    shutil.rmtree(folder, ignore_errors=True)
    os.remove(file)
    checks.done()


def main(build, file):
    d.in_dbus_session()
    d.deps("--screens")
    d.apt_install("cups", "printer-driver-cups-pdf", "python3-pyatspi", "at-spi2-core", "dbus")
    build = d.build_program(build)
    work = os.path.join(build, "cups-check")
    os.makedirs(work, exist_ok=True)
    if file is None:  # on its own: a server for this check alone
        with d.Cups() as cups:
            return session(build, work, cups)
    try:
        with open(file) as f:
            folder = f.read().strip()
    except OSError as e:
        sys.exit(f"cups: no CUPS server to print to ({e}; its start, the test cups_server, did not run?)")
    cups = d.Cups(folder)
    os.environ["CUPS_SERVER"] = os.path.join(folder, "cups.sock")
    if not pid_of(folder):
        sys.exit(f"cups: the CUPS server that {file} names ({folder}) is not running")
    return session(build, work, cups)


def session(build, work, cups):
    checks, steps = d.Checks("cups"), d.Steps()

    def report(ok, good, bad, detail=None):
        return checks.check(ok, good if ok else bad, detail)

    with d.Screen() as screen, d.Bus() as bus:
        def keys(*names):  # to the main window, whatever the window manager has focused
            screen.focus("^Pellavin$")
            screen.keys(*names)

        def boxes(count):
            return bool(d.wait_until(lambda: len(screen.windows("^Pellavin$")) >= count, 10))

        def one_window():
            return len(screen.windows("^Pellavin$")) == 1

        def exit_program(program):
            keys("ctrl+x")
            code = program.wait_exit(10)
            report(code == 0, "Exit ended the program", f"Exit: program still running or failed ({code})")

        steps("Print twice and Exit, with the PDF printer as the default")
        cups.mark()
        with d.Program.native(screen, build, output=os.path.join(work, "print.log")) as program:
            if program.start_session(checks):
                keys("ctrl+p")
                keys("ctrl+p")
                report(one_window(), "Print showed no box", "Print showed a box")
                exit_program(program)
                jobs, pdfs = cups.printed()
                d.log("jobs: " + ";".join(jobs))
                report(len(jobs) == 1, "exactly one print job", f"{len(jobs)} print jobs")
                report(len(pdfs) == 1, "exactly one PDF came out", f"{len(pdfs)} PDF files came out")
                head = b""
                if pdfs:
                    with open(pdfs[0], "rb") as f:
                        head = f.read(5)
                report(head == b"%PDF-", f"the job is a PDF: {pdfs[0] if pdfs else ''}", "the job's file is not a PDF")

        steps("Print with the server stopped")
        report(stop_server(cups.dir) and "is running" not in d.run("lpstat", "-r"), "the server is stopped",
               "the server is still up")
        with d.Program.native(screen, build, output=os.path.join(work, "no-printer.log")) as program:
            if program.start_session(checks):
                keys("ctrl+p")
                if report(boxes(2), "Print opened a second window titled Pellavin", "Print with no server showed no box"):
                    time.sleep(0.5)
                    screen.shot(os.path.join(work, "no-printer.png"))
                    texts = d.wait_until(lambda: (lambda t: t if NO_PRINTER in t else None)(bus.texts()), 5)
                    report(texts, f'the box says "{NO_PRINTER}"', "the box's text was not found",
                           None if texts else "\n".join(bus.texts()[:40]))
                    screen.keys("Return")
                    report(one_window(), "OK closed the box", "the box stayed")
                    report(program.running(), "the session goes on", "the program ended")
                    # The session still answers its menus: Print again shows the box again.
                    keys("ctrl+p")
                    report(boxes(2), "a second Print shows the box again", "no box on a second Print")
                    screen.keys("Return")
                exit_program(program)
        steps.took()
    if checks.failed:
        for log in ("print.log", "no-printer.log"):
            log_tail(os.path.join(work, log), 40)
        log_tail(os.path.join(cups.dir, "log", "error_log"))
    checks.done()


if __name__ == "__main__":
    as_root()
    args = sys.argv[1:]
    if args[:1] == ["start"] and len(args) == 2:
        start(os.path.abspath(args[1]))
    elif args[:1] == ["stop"] and len(args) == 2:
        stop(os.path.abspath(args[1]))
    elif len(args) <= 2 and args[:1] not in (["start"], ["stop"]):
        main(args[0] if args else os.path.join(d.ROOT, "build"), os.path.abspath(args[1]) if len(args) > 1 else None)
    else:
        sys.exit("cups_check.py start FILE | stop FILE | [BUILD] [FILE]")

#!/usr/bin/python3
"""The Windows program under Wine, driven on a virtual screen and read with tesseract.

  windows_session.py session WORK SHORTCUT [SCREENSHOTS]
    A session of the installed program, started as its Start-menu shortcut starts it (the
    program it names, in the folder it names, where Cursors\\... resolves), on a screen of its
    own: the splash window, the name prompt and the greeting, a question read off the screen
    and answered wrong and right, Help > About and System Info with and without its registry
    value, Print twice and Exit to a CUPS server of its own: one job, one PDF. Screenshots go
    into WORK/SCREENSHOTS (screenshots). Needs WINEPREFIX, and root for the PDF printer.

  windows_session.py desktop WORK APP
    The program in the folder APP on a desktop as a student has it rather than a clean prefix:
    the system-information tool's value as a real machine holds it, unquoted with blanks, beside
    a planted C:\\Program.exe (only the real tool may start), and Windows' "High Contrast Black"
    and "High Contrast White" schemes, each window photographed into WORK/desktop and the About
    box's texts measured for contrast, on a screen of its own. Needs WINEPREFIX; leaves the
    prefix's colours as it found them.

Prints an "ok:" or "FAIL:" line for each check and a tally, and fails when one failed.
"""
import contextlib
import os
import re
import shutil
import subprocess
import sys
import time
import traceback

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import pellavin_driver as d  # noqa: E402

ROOT = d.ROOT
MSINFO = r"HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO"
COLOURS = r"HKCU\Control Panel\Colors"
MAIN, ABOUT = "^Pellavin$", "^About Pellavin$"
# Alt alone moves into the menu bar; Help is the third menu, About its first entry.
HELP_MENU = ("alt", "Right", "Right", "Down")

# The schemes as Windows 10 and 11 give them.
SCHEME_NAMES = ("Window WindowText ButtonFace ButtonText Hilight HilightText GrayText Menu MenuText TitleText "
                "ActiveTitle InfoWindow InfoText ButtonHilight ButtonShadow ButtonDkShadow ButtonLight "
                "HotTrackingColor MenuBar MenuHilight Background AppWorkspace WindowFrame").split()
SCHEMES = {
    "high-contrast-black": ("0 0 0", "255 255 255", "0 0 0", "255 255 255", "26 235 255", "0 0 0", "63 242 63",
                            "0 0 0", "255 255 255", "255 255 255", "0 0 0", "0 0 0", "255 255 255", "255 255 255",
                            "128 128 128", "255 255 255", "0 0 0", "255 255 0", "0 0 0", "26 235 255", "0 0 0",
                            "0 0 0", "255 255 255"),
    "high-contrast-white": ("255 255 255", "0 0 0", "255 255 255", "0 0 0", "55 0 110", "255 255 255", "96 0 0",
                            "255 255 255", "0 0 0", "0 0 0", "255 255 255", "255 255 255", "0 0 0", "0 0 0",
                            "128 128 128", "0 0 0", "255 255 255", "0 0 159", "255 255 255", "55 0 110",
                            "255 255 255", "255 255 255", "0 0 0"),
}
HEADINGS = {
    "high-contrast-black": "High Contrast Black, and the system-information tool beside a planted C:\\Program.exe",
    "high-contrast-white": "High Contrast White"}


def stand_in(path, checks):
    """Builds the program that stands in for the system-information tool: it writes started.txt
    beside itself when started. False (reported) when it cannot be built."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    done = subprocess.run(["x86_64-w64-mingw32-gcc-posix", "-O1", "-Wall", "-Wextra", "-Werror",
                           os.path.join(ROOT, "tests", "wine", "msinfo_stand_in.c"), "-o", path],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return done.returncode == 0 or checks.fail("the system-information stand-in did not build", done.stdout)


def started(folder):
    """What the stand-in in FOLDER wrote when it was started, on one line, or None."""
    with contextlib.suppress(FileNotFoundError), open(os.path.join(folder, "started.txt"), errors="replace") as f:
        return " ".join(f.read().split())
    return None


def shoot(screen, shots, name):
    """The whole screen, and the active window alone to be read; the latter's text, in black
    and white with a margin (tesseract misreads a grey "At" as "4t")."""
    screen.shot(os.path.join(shots, name + ".png"))
    active = screen.shot_active(os.path.join(shots, f"active-{name}.png"))
    return d.ocr(active, threshold="60%", border=20) if active else ""


def wine_env(checks):
    """The prefix the caller gives; False, reported, when there is none."""
    if not os.path.isdir(os.environ.get("WINEPREFIX", "")):
        return checks.fail("WINEPREFIX names no Wine prefix")
    os.environ.setdefault("WINEDEBUG", "-all")
    os.environ.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=")
    return True


# ---- the installed program's session


def shortcut(link):
    """The program a shell link starts and its working folder, from the texts it holds (ASCII
    and UTF-16): (None, None) when it names no pellavin.exe. (Wine's start opens the link
    itself the same way, but gives back neither the program nor its exit status.)"""
    paths = [t for t in d.link_strings(link) if re.match(r"[a-z]:\\", t, re.I)]
    target = next((p for p in paths if re.search(r"\\pellavin\.exe$", p, re.I)), None)
    folders = [p for p in paths if not re.search(r"\.(exe|ico)$", p, re.I)]
    return (target, folders[-1]) if target and folders else (None, None)


def read_question(shots, main, screen):
    """The first question's operands and operator, read off the main window: the frame
    "Question" sits at the top of its client area, under the menu bar (20 pixels; Wine draws
    it inside the X window). (a, op, b) or None."""
    x, y, _, _ = screen.geometry(main)
    question = os.path.join(shots, "question.png")
    d.run("convert", os.path.join(shots, "4-question-1.png"), "-crop", f"300x90+{x}+{y + 20}", "+repage", question)

    # A lone digit touching the crop's edge is often read as nothing: it gets a margin, and is
    # tried as a word where it is not read as a line.
    def digits(crop):
        return next((n for psm in (7, 8)
                     if (n := d.ocr(question, crop, digits=True, psm=psm, threshold="60%", border=20))), "")

    a, b = digits("59x43+24+24"), digits("59x43+128+24")
    # A minus is a flat stroke, a plus as high as it is wide: the Beginner level has no others.
    height = d.run("convert", question, "-crop", "27x43+80+24", "+repage", "-colorspace", "Gray",
                   "-threshold", "50%", "-negate", "-trim", "-format", "%h", "info:").strip()
    op = "+" if height.isdigit() and int(height) > 6 else "-"
    d.log(f"   question read from the screen: {a or '?'} {op} {b or '?'} = ?")
    return (int(a), op, int(b)) if a and b else None


def boxes_over_main(screen, count):
    """Waits until COUNT windows are named Pellavin: the main window and its message boxes."""
    return d.wait_until(lambda: len(screen.windows(MAIN)) == count, 10)


def answer(screen, text):
    screen.focus(MAIN)
    screen.type(text)
    screen.keys("Return")
    return boxes_over_main(screen, 2) and not time.sleep(0.5)


def close_box(screen):
    screen.keys("Return")
    boxes_over_main(screen, 1)


def question_and_answers(checks, screen, shots):
    # The main window, not the greeting before it, which has its title too.
    main = d.wait_until(lambda: [w for w in screen.windows(MAIN) if screen.geometry(w)[3] > 200], 10)
    shoot(screen, shots, "4-question-1")
    question = read_question(shots, main[0], screen) if main else None
    if question:
        checks.check(True, "question 1 is on the main window: {} {} {} = ?".format(*question))
    else:
        checks.fail("question 1 could not be read", "see question.png" if main else "no main window")
    answer(screen, "999")
    text = shoot(screen, shots, "5-wrong-answer")
    checks.check(re.search(r"improperly.*3 tries le", text, re.I), 'a wrong answer: "...you have 3 tries left."',
                 f"read: {text}")
    close_box(screen)
    if question:
        a, op, b = question
        right = a + b if op == "+" else a - b
        answer(screen, str(right))
        text = shoot(screen, shots, "6-right-answer")
        checks.check("sloved" in text.lower(), f'the right answer {right}: "You have sloved the problem correctly!"',
                     f"read: {text}")
        close_box(screen)


def about_and_system_info(checks, screen, shots, run_dir):
    screen.focus(MAIN)
    screen.keys(*HELP_MENU, "Return")
    if not checks.check(screen.wait_window(ABOUT), "Help > About opened the About box", "no window About Pellavin"):
        return
    time.sleep(0.5)
    shoot(screen, shots, "7-about")
    screen.focus(ABOUT)
    screen.keys("alt+s")
    what = d.wait_until(lambda: started(run_dir), 10)
    checks.check(what, f"System Info started the program named under MSINFO: {what or 'nothing'}",
                 "run/started.txt was not written")
    d.wine("reg", "delete", MSINFO, "/v", "PATH", "/f")
    screen.focus(ABOUT)
    screen.keys("alt+s")
    if not boxes_over_main(screen, 2):
        checks.fail("without the value, no box appeared")
    else:
        time.sleep(0.5)
        text = shoot(screen, shots, "8-sysinfo-unavailable")
        checks.check(re.search("System In.ormation Is Unavailable At This Time", text, re.I),
                     'without the value: "System Information Is Unavailable At This Time"', f"read: {text}")
        close_box(screen)
    screen.focus(ABOUT)
    screen.keys("Escape")
    checks.check(screen.wait_gone(ABOUT, 5), "Esc closed the About box", "the About box stayed")


def print_and_exit(checks, screen, shots, program, cups):
    d.log("   " + d.run("lpstat", "-p").strip())
    screen.focus(MAIN)
    for _ in range(2):
        screen.keys("ctrl+p")
        time.sleep(1)
    shoot(screen, shots, "9-after-print")
    screen.keys("ctrl+x")
    status = program.wait_exit(10)
    checks.check(status == 0, "Ctrl+X ended the program",
                 "it still runs" if status is None else f"it ended with exit status {status}")
    jobs, pdfs = cups.printed(10)
    checks.check(len(jobs) == 1 and len(pdfs) == 1, "Print twice and Exit gave one job, one PDF",
                 f"{len(jobs)} jobs and {len(pdfs)} PDF files: " + " ".join(jobs + pdfs))


def session(checks, work, link, shots_name="screenshots"):
    steps = d.Steps()
    if not wine_env(checks):
        return
    work = os.path.realpath(work)
    shots, run_dir = os.path.join(work, shots_name), os.path.join(work, "run")
    for folder in (shots, run_dir):
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
    tool = os.path.join(run_dir, "msinfo32.exe")
    target, folder = shortcut(link) if os.path.isfile(link) else (None, None)
    if not target:
        checks.fail(f"the shortcut {link} names no pellavin.exe and folder")
    if not target or not stand_in(tool, checks):
        return
    d.log(f"   started as its shortcut starts it: {target} in {folder}")
    program = None
    # A CUPS server of its own with a PDF printer as the default; Wine finds its printers
    # through libcups, which reads CUPS_SERVER.
    with d.Cups() as cups, d.Screen("1024x768") as screen:
        try:
            # The system colours the splash window paints with, set where a Windows user sets them.
            d.reg_add(COLOURS, "TitleText", "255 255 0")
            d.reg_add(COLOURS, "HilightText", "0 128 255")
            d.wineserver("-w")
            d.reg_add(MSINFO, "PATH", d.winpath(tool))
            steps("the splash window, the name prompt and a question")
            program = d.Program.wine(screen, target, d.run("wine", "winepath", "-u", folder).strip(),
                                     output=os.path.join(work, "pellavin.log"))
            if (checks.check(program.splash(), "the splash window is up", "no window of class pellavin in 30 s")
                    and program.start_session(checks, "Robert", shots)):
                greeting = d.ocr(os.path.join(shots, "active-3-greeting.png"))
                checks.check(re.search("Welcome to Pellavin, Rob", greeting, re.I), "the greeting names Robert",
                             f"read: {greeting}")
                time.sleep(0.5)
                question_and_answers(checks, screen, shots)
                steps("Help > About and System Info")
                about_and_system_info(checks, screen, shots, run_dir)
                steps("Print twice and Exit")
                print_and_exit(checks, screen, shots, program, cups)
            steps.took()
        finally:
            if program:
                program.stop()
            d.wineserver("-k")


# ---- a student's desktop


def set_scheme(colours):
    """Writes a scheme where Windows keeps it, turns high contrast on and visual styles off as
    Windows does, and ends the Wine server: the desktop reads its colours when it starts."""
    written = all([d.reg_add(COLOURS, name, value) for name, value in zip(SCHEME_NAMES, colours, strict=True)]
                  + [d.reg_add(r"HKCU\Control Panel\Accessibility\HighContrast", "Flags", "127"),
                     d.reg_add(r"HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager", "ThemeActive", "0")])
    d.wineserver("-k")
    d.wineserver("-w")
    return written


def measure_about(checks, screen, scheme, png):
    """The About box's title and description, measured for contrast in its screenshot."""
    x, y, w, h = screen.geometry(screen.windows(ABOUT)[0])
    # The client area is 382 x 205; Wine may draw the frame around it itself: a border on each
    # side and the caption above.
    border = (w - 382) // 2
    x, y = x + border, y + h - 205 - border
    d.log(f"   the About box's client area at {x},{y}")
    # The two labels' boxes in the client area.
    for label, box in (("title", (259, 32, 104, 16)), ("description", (259, 78, 104, 75))):
        ratio = d.contrast(png, f"{box[0]}x{box[1]}+{x + box[2]}+{y + box[3]}")
        checks.check(ratio >= 4.5, f"{scheme}: the About box's {label} reads at {ratio:.2f} to 1", "4.5 needed")


def planted_and_real(checks, screen, tool_dir, drive_c):
    """System Info starts the real tool under C:\\Program Files, not C:\\Program.exe."""
    screen.focus(ABOUT)
    screen.keys("alt+s")
    d.wait_until(lambda: started(tool_dir) or started(drive_c), 10)
    time.sleep(1)
    real, planted = started(tool_dir), started(drive_c)
    checks.check(real, f"System Info started the real tool: {real or 'nothing'}",
                 "nothing under C:\\Program Files was started")
    checks.check(not planted, "and not the planted C:\\Program.exe", f"it started C:\\Program.exe: {planted}")


def scheme_session(checks, screen, app, shots, scheme, tool_dir, drive_c):
    """One session under a scheme: every window photographed, the About box measured, and
    under the dark scheme System Info pressed."""
    shots = os.path.join(shots, scheme)
    program = d.Program.wine(screen, "pellavin.exe", app, output=f"{shots}.log")
    try:
        if not program.start_session(checks, shots=shots):
            return
        time.sleep(1)
        screen.shot(os.path.join(shots, "3-main.png"))
        screen.focus(MAIN)
        screen.keys(*HELP_MENU, "Return")
        if checks.check(screen.wait_window(ABOUT), f"{scheme}: Help > About opened the About box",
                        "no window About Pellavin"):
            time.sleep(0.8)
            measure_about(checks, screen, scheme, screen.shot(os.path.join(shots, "4-about.png")))
            if scheme == "high-contrast-black":
                planted_and_real(checks, screen, tool_dir, drive_c)
            screen.focus(ABOUT)
            screen.keys("Escape")
        screen.focus(MAIN)
        screen.keys(*HELP_MENU, "Down", "Return")
        if checks.check(screen.wait_window("^Help using Pellavin$"), f"{scheme}: the four windows photographed",
                        "Help > Using this program opened nothing"):
            time.sleep(0.8)
            screen.shot(os.path.join(shots, "5-help.png"))
            screen.keys("Escape")
        screen.focus(MAIN)
        screen.keys("ctrl+x")
        program.wait_exit(10)
    finally:
        program.stop()
        d.wineserver("-k")


def desktop(checks, work, app):
    steps = d.Steps()
    if not wine_env(checks):
        return
    work, app = os.path.realpath(work), os.path.realpath(app)
    shots = os.path.join(work, "desktop")
    shutil.rmtree(shots, ignore_errors=True)
    os.makedirs(shots)

    # The system-information tool where a real machine keeps it, and a planted program.
    tool = os.path.join(work, "msinfo32.exe")
    if not stand_in(tool, checks):
        return
    drive_c = os.path.join(os.environ["WINEPREFIX"], "drive_c")
    tool_dir = os.path.join(drive_c, "Program Files", "Common Files", "Microsoft Shared", "MSInfo")
    os.makedirs(tool_dir, exist_ok=True)
    for folder, name in ((tool_dir, "msinfo32.exe"), (drive_c, "Program.exe")):
        shutil.copy(tool, os.path.join(folder, name))
        if os.path.exists(os.path.join(folder, "started.txt")):
            os.remove(os.path.join(folder, "started.txt"))
    d.reg_add(MSINFO, "PATH", r"C:\Program Files\Common Files\Microsoft Shared\MSInfo\msinfo32.exe")

    saved = d.winpath(os.path.join(work, "colours.reg"))
    d.wine("reg", "export", COLOURS, saved, "/y")
    try:
        with d.Screen("1024x768", shared=False) as screen:
            for scheme, colours in SCHEMES.items():
                steps(HEADINGS[scheme])
                if set_scheme(colours):
                    scheme_session(checks, screen, app, shots, scheme, tool_dir, drive_c)
                else:
                    checks.fail(f"{scheme}: the scheme could not be written (reg add)")
        steps.took()
    finally:
        # Back to the colours before, for whatever runs in this prefix next.
        d.wine("reg", "delete", COLOURS, "/f")
        d.wine("reg", "import", saved)
        d.wine("reg", "delete", r"HKCU\Control Panel\Accessibility\HighContrast", "/v", "Flags", "/f")
        d.wine("reg", "delete", r"HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager", "/v", "ThemeActive",
               "/f")
        d.wineserver("-k")


def main(args):
    commands = {"session": (session, (3, 4)), "desktop": (desktop, (3,))}
    command, counts = commands.get(args[0] if args else None, (None, ()))
    if len(args) not in counts:
        sys.exit("usage: windows_session.py session WORK SHORTCUT [SCREENSHOTS]\n"
                 "       windows_session.py desktop WORK APP")
    checks = d.Checks(f"win32 {args[0]}")
    # A check that breaks off (a tool that did not run, a screen or a CUPS server that did not
    # start) fails, and says where.
    try:
        command(checks, *args[1:])
    except (Exception, SystemExit) as stopped:  # noqa: BLE001
        checks.fail("the check broke off",
                    traceback.format_exc(limit=-2) if isinstance(stopped, Exception) else stopped)
    checks.done()


if __name__ == "__main__":
    main(sys.argv[1:])

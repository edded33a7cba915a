# The one way the checks drive the running program: a virtual X screen (with or without a
# window manager), the program started on it natively, as a Wayland program or under Wine, the
# splash window and the name prompt got past, windows found by title, keys typed, screenshots
# taken and read, contrast measured, and every result reported the same way.
# Imported by the session checks in scripts/check/ and scripts/look/. pyatspi is imported only by
# what reads the accessibility bus, so the Wine checks run without it.
import contextlib
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SPLASH_DESCRIPTION = "Press any key to start."


def log(text):
    print(text, flush=True)


class Checks:
    """One line a result, "ok: what" or "FAIL: what", and the tally "NAME: N passed, M failed"."""

    def __init__(self, name):
        self.name, self.passed, self.failed = name, 0, 0

    def check(self, ok, what, detail=None):
        log(f"{'ok' if ok else 'FAIL'}: {what}")
        if ok:
            self.passed += 1
        else:
            self.failed += 1
            if detail:
                log("   " + str(detail).strip().replace("\n", "\n   "))
        return bool(ok)

    def fail(self, what, detail=None):
        return self.check(False, what, detail)

    def count(self, output):
        """Counts the ok and FAIL lines of a sub-check's output as this check's own."""
        self.passed += len(re.findall(r"^ok: ", output, re.M))
        self.failed += len(re.findall(r"^FAIL: ", output, re.M))

    def done(self):
        """Prints the tally and ends the process: failed when anything failed or nothing ran."""
        log(f"{self.name}: {self.passed} passed, {self.failed} failed")
        sys.exit(1 if self.failed or not self.passed else 0)


def wait_until(look, timeout=10.0, step=0.1):
    """look()'s first true answer within timeout seconds, else None. A window going away while it
    is looked at is no answer yet."""
    end = time.monotonic() + timeout
    while True:
        try:
            found = look()
        except Exception:  # noqa: BLE001 (the bus and xdotool fail on windows that just went)
            found = None
        if found:
            return found
        if time.monotonic() >= end:
            return None
        time.sleep(step)


def run(*command, check=False, quiet=True, **kwargs):
    """Runs a command; its output as text (stdout), failing only when check is set."""
    done = subprocess.run(command, stdout=subprocess.PIPE, text=True, check=check,
                          stderr=subprocess.DEVNULL if quiet else None, **kwargs)
    return done.stdout


def ok(*command):
    return subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0


class Steps:
    """Prints each step's heading and how long the one before took."""

    def __init__(self):
        self.start = None

    def __call__(self, heading):
        self.took()
        log(f"-- {heading}")
        self.start = time.monotonic()

    def took(self):
        if self.start is not None:
            log(f"   ({time.monotonic() - self.start:.0f} s)")
        self.start = None


def version(build):
    """The version the build wrote for the checks."""
    with open(os.path.join(build, "pellavin-version")) as f:
        return f.read().strip()


def deps(*flags):
    """Installs what the build and the check need (scripts/deps.sh, with sudo when not root)."""
    subprocess.run([os.path.join(ROOT, "scripts", "deps.sh"), *flags], check=True)


def apt_install(*packages):
    """Installs the packages that are missing (scripts/apt-install.sh)."""
    subprocess.run(["bash", "-c", '. "$0"; apt_install "$@"', os.path.join(ROOT, "scripts", "apt-install.sh"),
                    *packages], check=True)


def build_program(build):
    """Configures BUILD (RelWithDebInfo, without the tests) unless it is configured already,
    keeping a folder's own settings, and builds the program there; its absolute path."""
    build = os.path.abspath(build)
    if not os.path.exists(os.path.join(build, "CMakeCache.txt")):
        run("cmake", "-S", ROOT, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
            "-DBUILD_TESTING=OFF", check=True)
    run("cmake", "--build", build, "--target", "pellavin", "pellavin_cursor_files", check=True)
    return build


# ---- the screen


class Screen:
    """A 96-dpi virtual X screen (Xvfb) on a free display, with openbox unless wm is False; or
    the shared one that PELLAVIN_SCREEN describes (scripts/check/x_screen.py) when of that size,
    left up when done. While entered, DISPLAY names it, and the language is English: what the
    checks look for on screen is English."""

    def __init__(self, size="1024x768", wm=True, shared=True):
        self.size, self.wm, self.shared = size, wm, shared
        self.processes = []
        self.display = None

    def __enter__(self):
        described = os.environ.get("PELLAVIN_SCREEN") if self.shared else None
        if described:
            with open(described) as f:
                number, size = f.read().split()[:2]
            if size == self.size:
                if not ok("xdpyinfo", "-display", f":{number}"):
                    raise SystemExit(f"the shared screen :{number} is gone")
                return self._use(f":{number}")
        read, write = os.pipe()
        self.processes.append(subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", f"{self.size}x24", "-dpi", "96", "-nolisten", "tcp"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        os.close(write)
        with os.fdopen(read) as ready:  # the server writes its number once it takes connections
            number = ready.readline().strip()
        if not number:
            raise SystemExit("the virtual X server did not start")
        self._use(f":{number}")
        if self.wm:
            self.processes.append(subprocess.Popen(["openbox"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
            time.sleep(0.5)
        return self

    def _use(self, display):
        self.display = os.environ["DISPLAY"] = display
        os.environ["LANG"] = "C.UTF-8"
        for name in ("LC_ALL", "LC_MESSAGES", "LANGUAGE"):
            os.environ.pop(name, None)
        return self

    def __exit__(self, *exc):
        for process in reversed(self.processes):
            process.terminate()
            with contextlib.suppress(subprocess.TimeoutExpired):
                process.wait(5)

    # xdotool matches titles bytewise: letters beyond ASCII match as any bytes.
    @staticmethod
    def _pattern(title):
        return re.sub(r"[^ -~]+", ".*", title)

    def windows(self, title=None, cls=None, pid=None):
        """The visible windows, by title pattern, class or process, newest last."""
        args = ["--name", self._pattern(title)] if title else ["--class", cls] if cls else ["--pid", str(pid)]
        return run("xdotool", "search", "--onlyvisible", *args).split()

    def wait_window(self, title=None, count=1, timeout=10.0, cls=None):
        return wait_until(lambda: len(self.windows(title, cls)) >= count, timeout)

    def wait_gone(self, title, timeout=10.0):
        return wait_until(lambda: not self.windows(title), timeout)

    def focus(self, title=None, cls=None):
        found = self.windows(title, cls)
        if found:
            ok("xdotool", "windowactivate", "--sync", found[0])
        return bool(found)

    def keys(self, *names, settle=0.6):
        run("xdotool", "key", "--clearmodifiers", "--delay", "80", *names)
        time.sleep(settle)

    def type(self, text, settle=0.3):
        run("xdotool", "type", "--delay", "60", text)
        time.sleep(settle)

    def geometry(self, window):
        """x, y, width and height of a window, its frame left out."""
        info = run("xwininfo", "-id", window)
        value = lambda label: int(re.search(label + r":\s+(-?\d+)", info)[1])  # noqa: E731
        return (value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height"))

    def shot(self, path, window=None):
        """The whole screen (or a window) as a PNG; its path, or None."""
        os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
        if ok("import", "-display", self.display, "-window", window or "root", path):
            if window is None:
                log(f"   screenshot: {path}")
            return path
        return None

    def shot_active(self, path):
        """The active window alone (import would wait for a click were there none)."""
        active = run("xdotool", "getactivewindow").strip()
        return self.shot(path, active) if active else None


def ocr(png, crop=None, digits=False, psm=None, threshold=None, border=0):
    """The text of a screenshot (or a part of it, WIDTHxHEIGHT+X+Y), read as a user reads it."""
    convert = ["convert", png] + (["-crop", crop, "+repage"] if crop else []) + ["-colorspace", "Gray", "-resize", "300%"]
    if threshold:
        convert += ["-threshold", threshold]
    if border:
        convert += ["-bordercolor", "white", "-border", str(border)]
    image = subprocess.run(convert + ["png:-"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
    tesseract = ["tesseract", "-", "-"] + (["--psm", str(psm)] if psm else [])
    if digits:
        tesseract += ["-c", "tessedit_char_whitelist=0123456789"]
    read = subprocess.run(tesseract, input=image, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
    text = read.decode(errors="replace")
    return re.sub(r"\D", "", text) if digits else " ".join(text.split())


def contrast(png, crop):
    """WCAG's contrast between the darkest and the lightest pixel of a part of a screenshot."""
    pixels = run("convert", png, "-crop", crop, "+repage", "-depth", "8", "txt:-")

    def lum(c):
        c = c / 255
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4

    values = [0.2126 * lum(int(r)) + 0.7152 * lum(int(g)) + 0.0722 * lum(int(b))
              for r, g, b in re.findall(r"^\d+,\d+: \((\d+),(\d+),(\d+)", pixels, re.M)]
    return (max(values) + 0.05) / (min(values) + 0.05) if values else 0.0


# ---- the program


class Program:
    """Pellavin running on a screen: natively from a build folder, as a Wayland program, or a
    Windows pellavin.exe under Wine. Windows are found through the screen (xdotool) unless a
    bus (AT-SPI, for Wayland, where the X screen sees none of them) is given."""

    def __init__(self, screen, command, cwd, env=None, output=None, bus=None):
        self.screen, self.bus = screen, bus
        self.output = open(output, "w") if output else subprocess.DEVNULL  # noqa: SIM115
        self.process = subprocess.Popen(command, cwd=cwd, env={**os.environ, **(env or {})},
                                        stdout=self.output, stderr=subprocess.STDOUT if output else subprocess.DEVNULL,
                                        start_new_session=True)

    @classmethod
    def native(cls, screen, build, env=None, output=None, bus=None):
        env = {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", **(env or {})}
        return cls(screen, [os.path.join(os.path.abspath(build), "pellavin")], build, env, output, bus)

    @classmethod
    def wine(cls, screen, exe, folder, output=None):
        return cls(screen, [shutil.which("wine") or "wine", exe], folder, None, output)

    @classmethod
    def attached(cls, screen, bus=None):
        """A Pellavin that something else started on this screen (in another machine, say),
        driven alike; it is neither waited for nor stopped from here."""
        program = cls.__new__(cls)
        program.screen, program.bus, program.output, program.process = screen, bus, subprocess.DEVNULL, None
        return program

    # -- the windows, found on the screen or over the bus
    def visible(self, title):
        if self.bus:
            return [w for w in self.bus.windows() if w.name == title.strip("^$")]
        return self.screen.windows(title)

    def wait_window(self, title, count=1, timeout=10.0):
        return wait_until(lambda: len(self.visible(title)) >= count, timeout)

    def splash(self, timeout=30.0):
        """Waits for the splash window (it has no title; Wine and Qt name its class after the
        program)."""
        if self.bus:
            return wait_until(lambda: self.bus.window(description=SPLASH_DESCRIPTION), timeout)
        return wait_until(lambda: self.screen.windows(cls="pellavin"), timeout)

    def past_splash(self, shot=None):
        """A key on the splash window hands over to the name prompt; a key pressed while the
        window is still coming up can be lost, so it is pressed again."""
        if not self.splash():
            return False
        time.sleep(1.5)
        if shot:
            self.screen.shot(shot)
        for _ in range(10):
            if not self.bus:
                self.screen.focus(cls="pellavin")
            self.screen.keys("a")
            if self.wait_window("User Name Input", timeout=3):
                return True
        return False

    def past_name(self, name=None, shot=None):
        """Types a name (or takes the default) and Return: the greeting comes up."""
        time.sleep(0.5)
        if shot:
            self.screen.shot(shot)
        if name:
            self.screen.type(name)
        self.screen.keys("Return")
        return True

    def past_greeting(self, shot=None):
        """Return closes the greeting; the main window and its first question. The greeting box
        alone goes beside its screenshot as active-NAME, to be read."""
        time.sleep(0.5)
        if shot:
            self.screen.shot(shot)
            if not self.bus:
                self.screen.shot_active(os.path.join(os.path.dirname(shot), "active-" + os.path.basename(shot)))
        self.screen.keys("Return")
        return bool(self.wait_window("^Pellavin$")) and not time.sleep(0.5)

    def start_session(self, checks, name=None, shots=None):
        """The splash window, the name prompt and the greeting, reported; True at the question."""
        shot = (lambda n: os.path.join(shots, n + ".png")) if shots else (lambda n: None)
        return (checks.check(self.past_splash(shot("1-splash")), "a key on the splash window opened the name prompt")
                and self.past_name(name, shot("2-name-prompt"))
                and checks.check(self.past_greeting(shot("3-greeting")), "the greeting closed onto the main window"))

    def running(self):
        if self.process is None:  # attached: running while its windows are up
            return bool(self.screen.windows(cls="pellavin"))
        return self.process.poll() is None

    def wait_exit(self, timeout=10.0):
        """The exit status once it has ended, or None while it still runs."""
        if self.process is None:
            return None
        with contextlib.suppress(subprocess.TimeoutExpired):
            return self.process.wait(timeout)
        return None

    def stop(self):
        if self.process is not None and self.running():
            with contextlib.suppress(ProcessLookupError):
                os.killpg(self.process.pid, signal.SIGTERM)
            with contextlib.suppress(subprocess.TimeoutExpired):
                self.process.wait(5)
        if self.output is not subprocess.DEVNULL:
            self.output.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


# ---- the accessibility bus


class Bus:
    """The AT-SPI bus of a D-Bus session (the caller runs under dbus-run-session): its launcher
    started, and the program's windows read from it."""

    def __enter__(self):
        self.launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        import pyatspi  # noqa: PLC0415 (only the checks that read the bus have it)
        self.atspi = pyatspi
        return self

    def __exit__(self, *exc):
        self.launcher.terminate()

    def windows(self):
        """The program's top-level windows, or [] while it is not on the bus."""
        for app in self.atspi.Registry.getDesktop(0):
            if app is None:
                continue
            frames = [w for w in app if w is not None]
            if any(w.name == "Pellavin" or w.description == SPLASH_DESCRIPTION for w in frames):
                return frames
        return []

    def window(self, name=None, role=None, description=None):
        return next((w for w in self.windows() if (name is None or w.name == name)
                     and (role is None or w.getRole() == role)
                     and (description is None or w.description == description)), None)

    def main(self):
        return next((w for w in self.windows() if w.name == "Pellavin" and w.getRole() == self.atspi.ROLE_FRAME
                     and w.description != SPLASH_DESCRIPTION), None)

    def alert(self):
        return self.window(role=self.atspi.ROLE_ALERT)

    def alert_text(self, box):
        label = find(box, lambda a: a.getRole() == self.atspi.ROLE_LABEL and a.name)
        return label.name if label else box.name

    def answer_box(self):
        main = self.main()
        return main and find(main, lambda a: a.getRole() == self.atspi.ROLE_TEXT)

    def active(self, acc):
        return acc.getState().contains(self.atspi.STATE_ACTIVE)

    def texts(self):
        """Every text of the program's windows, names and text contents alike."""
        found = []

        def walk(node, depth=0):
            if node is None or depth > 20:
                return
            found.append(node.name or "")
            with contextlib.suppress(NotImplementedError):
                text = node.queryText()
                found.append(text.getText(0, text.characterCount))
            for child in node:
                walk(child, depth + 1)

        for window in self.windows():
            walk(window)
        return found


def answer_to(question):
    """The answer to a question as the answer box describes it, its operator in words
    ("20 questions, 8 minus 7 = ?"); None when it holds none."""
    match = re.search(r"(\d+)\s+(plus|minus|times|divided by)\s+(\d+)\s*=", question or "")
    if not match:
        return None
    a, op, b = int(match[1]), match[2], int(match[3])
    return {"plus": a + b, "minus": a - b, "times": a * b}.get(op, a // b if b else None)


def find(acc, test):
    """The first of acc and its descendants, depth first, that passes test; None if none does."""
    if test(acc):
        return acc
    for child in acc:
        if child is not None:
            found = find(child, test)
            if found is not None:
                return found
    return None


def in_dbus_session():
    """Runs this script again inside a D-Bus session of its own unless it is in one already
    (D-Bus's warning that it cannot raise its file limit is harmless and left out)."""
    if os.environ.get("PELLAVIN_DBUS_SESSION"):
        return
    env = {**os.environ, "PELLAVIN_DBUS_SESSION": "1"}
    done = subprocess.run(["dbus-run-session", "--", sys.executable, *sys.argv], env=env, stderr=subprocess.PIPE, text=True)
    sys.stderr.write("".join(line for line in done.stderr.splitlines(True) if "fd limit" not in line))
    sys.exit(done.returncode)


# ---- the services a session uses


class Cups:
    """A CUPS server of its own, on a private socket (so the machine's printers are left alone),
    with a PDF printer as its default; CUPS_SERVER names it while it runs. Needs root: the PDF
    printer's backend runs as root."""

    CONF = """Listen {dir}/cups.sock
LogLevel warn
WebInterface No
Browsing No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
"""
    FILES = """ServerRoot {dir}/conf
RequestRoot {dir}/spool
TempDir {dir}/spool/tmp
CacheDir {dir}/cache
StateDir {dir}/state
ErrorLog {dir}/log/error_log
AccessLog {dir}/log/access_log
PageLog {dir}/log/page_log
SystemGroup root lpadmin
"""

    def __init__(self, folder=None):
        self.dir = folder or tempfile.mkdtemp(prefix="pellavin-cups.")
        os.chmod(self.dir, 0o755)
        self.marker = os.path.join(self.dir, "marker")

    def start(self):
        for sub in ("conf/ppd", "spool/tmp", "cache", "state", "log"):
            os.makedirs(os.path.join(self.dir, sub), exist_ok=True)
        for name, text in (("cupsd.conf", self.CONF), ("cups-files.conf", self.FILES)):
            path = os.path.join(self.dir, "conf", name)
            with open(path, "w") as f:
                f.write(text.format(dir=self.dir))
            os.chmod(path, 0o640)
        os.environ["CUPS_SERVER"] = os.path.join(self.dir, "cups.sock")
        # Its output goes to its folder, and it runs in a session of its own: a server left up
        # for later checks (a CTest fixture) holds no pipe of the one that started it.
        with open(os.path.join(self.dir, "log", "cupsd-output"), "w") as output:
            self.server = subprocess.Popen(["cupsd", "-f", "-c", f"{self.dir}/conf/cupsd.conf",
                                            "-s", f"{self.dir}/conf/cups-files.conf"],
                                           stdout=output, stderr=subprocess.STDOUT, start_new_session=True)
        with open(os.path.join(self.dir, "cupsd.pid"), "w") as f:
            f.write(str(self.server.pid))
        # "lpstat -r" succeeds whether the server is up or not: read what it says.
        wait_until(lambda: "scheduler is running" in run("lpstat", "-r"))
        if not ok("lpadmin", "-p", "PDF", "-E", "-v", "cups-pdf:/", "-P", "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"):
            raise SystemExit("the CUPS server took no PDF printer")
        run("lpadmin", "-d", "PDF")
        self.mark()
        return self

    def mark(self):
        """From now on: the jobs and PDF files counted are the ones made after this."""
        with open(self.marker, "w"):
            pass
        os.utime(self.marker, (time.time() - 1, time.time() - 1))

    def pdfs(self):
        folder, since = os.path.expanduser("~/PDF"), os.path.getmtime(self.marker)
        if not os.path.isdir(folder):
            return []
        return sorted(os.path.join(folder, f) for f in os.listdir(folder)
                      if f.endswith(".pdf") and os.path.getmtime(os.path.join(folder, f)) > since)

    def jobs(self):
        return [line for line in run("lpstat", "-W", "all", "-o").splitlines() if line.strip()]

    def printed(self, timeout=30.0):
        """Waits until a PDF came out and no job is pending; the jobs and the PDF files."""
        wait_until(lambda: self.pdfs() and not run("lpstat", "-o").strip(), timeout)
        time.sleep(2)
        return self.jobs(), self.pdfs()

    def stop(self):
        self.server.terminate()
        self.server.wait(10)

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        if self.server.poll() is None:
            self.stop()
        shutil.rmtree(self.dir, ignore_errors=True)


# ---- Wine


def winpath(path):
    """The name Wine gives a Unix path (Z:\\...)."""
    return "Z:" + os.path.realpath(path).replace("/", "\\")


def wine(*args, timeout=120):
    """Runs a Windows program, or one of Wine's own (reg, msiexec, winepath), and waits for it;
    its exit status (Wine gives only its low byte)."""
    try:
        return subprocess.run([shutil.which("wine") or "wine", *args], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return None


def reg_add(key, name, value, kind="REG_SZ"):
    return wine("reg", "add", key, "/v", name, "/t", kind, "/d", value, "/f") == 0


def wineserver(flag="-w"):
    """-w: waits until everything Wine started has ended; -k: ends it."""
    ok("wineserver", flag)


def link_strings(link):
    """The texts a shell link holds, ASCII and UTF-16 alike: its target and its working folder
    among them."""
    with open(link, "rb") as f:
        data = f.read()
    return ([m.decode() for m in re.findall(rb"[\x20-\x7e\t]{4,}", data)]
            + [m.decode("utf-16-le") for m in re.findall(rb"(?:[\x20-\x7e\t]\x00){4,}", data)])

#!/usr/bin/python3
# The Windows packages under Wine as a school's administrator uses them, silently and per
# machine, the MSI (msiexec) and the NSIS installer alike, through one sequence: installed, the
# upgrade to the next patch version (made of the same tree for this check alone), the older
# version refused over it, the installed program driven through a session started from its
# Start-menu shortcut (windows_session.py), the other kind of package refused over it, removed
# with nothing left on C: or under HKLM\SOFTWARE; then installed in a folder given, upgraded
# there without it, and removed. With signed packages, osslsigncode verifies every signature.
#   scripts/check/windows_install.py WORK BUILD
# Called by windows-check.sh once cpack has made the packages in BUILD, with its Wine prefix
# exported (WINEPREFIX).
import os
import re
import subprocess
import sys
import time
from collections import Counter
from hashlib import sha256

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from pellavin_driver import ROOT, Checks, Screen, Steps, link_strings, log, ocr, run, version, wine, wineserver, winpath  # noqa: E402

checks = Checks("windows install")
step = Steps()
WORK, BUILD = (os.path.abspath(a) for a in sys.argv[1:3])
PREFIX = os.environ["WINEPREFIX"]
C = os.path.join(PREFIX, "drive_c")
PROGRAMS = os.path.join(C, "Program Files")
START_MENU = os.path.join(C, "ProgramData/Microsoft/Windows/Start Menu/Programs")
# Wine would also make a Linux menu entry of every Start-menu shortcut, in this account's home.
os.environ["WINEDLLOVERRIDES"] = os.environ.get("WINEDLLOVERRIDES", "mscoree,mshtml=") + ";winemenubuilder.exe=d"
# The installers run silently, without a screen; only the refusal boxes get one.
os.environ.pop("DISPLAY", None)


def silently(*command):
    """Runs an installer program and waits until everything it started has ended; its exit status."""
    status = wine(*command, timeout=300)
    wineserver("-w")
    return status


def c_name(path):
    """C:\\... for a path under drive_c."""
    return "C:\\" + os.path.relpath(path, C).replace("/", "\\")


def c_path(name):
    return os.path.join(C, name[3:].replace("\\", "/"))


# ---- what is on C: and in the registry


def system_reg():
    wineserver("-w")  # Wine writes its registry out once its server has ended
    with open(os.path.join(PREFIX, "system.reg"), encoding="utf-8", errors="replace") as f:
        return f.read().splitlines()


INSTALLER_KEYS = re.compile(r"Installer\\\\(Features|Products|UpgradeCodes|UserData\\\\S-1-5-18\\\\(Components|Products))\]$")


def snapshot():
    """Everything on C: and under HKLM\\SOFTWARE, to compare before and after. A key without values
    shows only while it has no subkeys. No package's leftovers: the temporary folders, the times
    Wine notes for keys, what it renews at each start, the system-information value and the
    printer drivers for the session's own CUPS printer, and Windows Installer's own folder and
    keys, which every Windows has but a new prefix gets at its first MSI."""
    lines = Counter()
    for folder, subfolders, files in os.walk(C):
        rel = os.path.relpath(folder, C)
        subfolders[:] = [s for s in subfolders if not (
            (path := os.path.normpath(os.path.join(rel, s))) in ("windows/temp", "windows/system32/spool/drivers")
            or (path.startswith("users/") and path.endswith("/Temp")))]
        lines.update(os.path.normpath(os.path.join(rel, n)) for n in subfolders + files)
    lines.pop("windows/Installer", None)
    on, key = False, ""
    for line in system_reg():
        if line.startswith("["):
            key = re.sub(r"\] \d+$", "]", line)
            on = key.startswith("[Software\\\\") and not re.search(r"Shared Tools\\\\MSINFO|NetworkCards", key, re.I)
            if on and not INSTALLER_KEYS.search(key):
                lines[key] += 1
        elif on and line.strip() and not line.startswith(("#time=", '"Seed"=')):
            lines[key + " " + line] += 1
    return lines


def registry_values(key_pattern):
    """The values of each key of system.reg whose name matches: {key: {name: value}}."""
    keys, values = {}, None
    for line in system_reg():
        if line.startswith("["):
            name = re.sub(r"\] \d+$", "]", line)[1:-1]
            values = keys.setdefault(name, {}) if re.search(key_pattern, name) else None
        elif values is not None and (m := re.match(r'"([^"]+)"=(.*)', line)):
            values[m[1]] = m[2].strip('"').replace("\\\\", "\\")
    return keys


def apps_entries():
    """The entries of Apps and Features named Pellavin: {their key: their values}."""
    found = registry_values(r"^Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\")
    return {k.rsplit("\\\\", 1)[1]: v for k, v in found.items() if v.get("DisplayName") == "Pellavin"}


def shown(entries):
    return "; ".join(f"{k}: " + " ".join(f"{n}={v[n]}" for n in ("DisplayIcon", "DisplayVersion", "Publisher", "NoModify")
                                         if n in v) for k, v in entries.items()) or "none"


def user_reg_names_pellavin():
    with open(os.path.join(PREFIX, "user.reg"), encoding="utf-8", errors="replace") as f:
        return re.search("pellavin|varnholt", f.read(), re.I)


# ---- the checks


def shown_command(command):
    """The command, packages and logs named by their file names."""
    return " ".join(re.sub(r"^Z:.*\\", "", a) for a in command)


def check_status(command, status, expected=0):
    return checks.check(status == expected & 255, f"{shown_command(command)}: exit status {status}"
                        + ("" if status == expected & 255 else f", not {expected & 255}"))


def sums(folder):
    found = {}
    for sub, _, files in os.walk(folder):
        for name in files:
            if name != "Uninstall.exe":  # the NSIS installer writes it; it is not in the tree
                path = os.path.join(sub, name)
                with open(path, "rb") as f:
                    found[os.path.relpath(path, folder)] = sha256(f.read()).hexdigest()
    return found


def check_folder(folder, tree, what):
    """The install folder holds the tree that was packed, byte for byte."""
    packed, installed = sums(tree), sums(folder)
    differ = sorted(set(packed.items()) ^ set(installed.items()))[:5]
    count = sum(len(files) for _, _, files in os.walk(folder))
    if not packed:
        return checks.fail(f"{what}: nothing packed in {tree}")
    return checks.check(not differ, f"{what}: the {count} files packed, in {c_name(folder)}" if not differ
                        else f"{what}: the install folder differs from the package: {differ}")


def check_shortcut(link, folder):
    """The one Start-menu shortcut, for all users: it starts FOLDER\\pellavin.exe in FOLDER."""
    links = [os.path.join(d, n) for d, _, files in os.walk(C) if "Start Menu" in d
             for n in files if "pellavin" in n.lower()]
    if links != [link]:
        return checks.fail(f"the Start-menu shortcuts: {[c_name(x) for x in links]}, not {c_name(link)} alone")
    texts = [t.lower() for t in link_strings(link)]
    # (The MSI names folders with a closing backslash.)
    starts = any(f"{folder}\\pellavin.exe".lower() in t for t in texts)
    within = any(t in (folder.lower(), folder.lower() + "\\") for t in texts)
    return checks.check(starts and within, f"the shortcut for all users ({c_name(link)}) starts {folder}\\pellavin.exe in {folder}"
                        if starts and within else f"the shortcut {c_name(link)} holds: {'|'.join(texts)}")


def check_entry(expected, what):
    """Exactly one entry in Apps and Features, for the version expected."""
    entries = apps_entries()
    one = len(entries) == 1 and next(iter(entries.values())).get("DisplayVersion") == expected
    return checks.check(one, f"{what}: {'one entry' if one else f'not one entry for {expected}'} in Apps and Features: {shown(entries)}")


def check_only_folder(folder, what):
    """The one folder of Pellavin at the top of C: and in Program Files."""
    folders = [os.path.join(top, n) for top in (C, PROGRAMS) for n in os.listdir(top) if "pellavin" in n.lower()]
    return checks.check(folders == [folder], f"{what}: the one folder of Pellavin at the top of C: and in Program Files is {c_name(folder)}"
                        if folders == [folder] else f"{what}: the folders of Pellavin: {[c_name(f) for f in folders]}")


def check_nothing_left(before, what, said="nothing left"):
    now = snapshot()
    changed = sorted(f"< {x}" for x in (before - now).elements()) + sorted(f"> {x}" for x in (now - before).elements())
    checks.check(not changed, f"{what}: {said} on C: or under HKLM\\SOFTWARE" if not changed
                 else f"{what}: what changed on C: and under HKLM\\SOFTWARE:", "\n".join(changed[:20]))
    if user_reg_names_pellavin():
        checks.fail(f"{what}: the user's registry names Pellavin")


def check_signed(path):
    """osslsigncode verifies a file's signature against the certificate it was signed with."""
    done = subprocess.run(["osslsigncode", "verify", "-CAfile", os.environ["PELLAVIN_SIGN_CERT"], "-in", path],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    field = lambda label: (re.search(rf"{label}: (.*)", done.stdout) or [None, "?"])[1].strip()  # noqa: E731
    checks.check(done.returncode == 0, f"osslsigncode verify {os.path.basename(path)}: " + (
        f"Signature verification: {field('Signature verification')}, {field('Subject')}, signed {field('Signing time')}"
        if done.returncode == 0
        else "not verified"), "\n".join([l for l in done.stdout.splitlines() if re.search("error|fail", l, re.I)][:5]))


# ---- the two kinds of package


class Msi:
    name = "the MSI"
    generator = "External"
    label = "msi"
    own = "the MSI's"
    suffix = "msi"
    shortcut = os.path.join(START_MENU, "Pellavin.lnk")
    refused_status = 1603
    # What each refusal is on: a newer version installed, and the NSIS installer's install.
    newer = ("WIX_DOWNGRADE_DETECTED", "NOT WIX_DOWNGRADE_DETECTED")
    other = ("SETUP_INSTALLED", "NOT SETUP_INSTALLED")

    def install(self, package, folder=None):
        return ["msiexec", "/i", winpath(package)] + ([f"INSTALLDIR={folder}"] if folder else []) + ["/qn"]

    def uninstall(self, package, folder):
        return ["msiexec", "/x", winpath(package), "/qn"]

    def written(self, folder):
        return []

    def icon(self):
        """Apps and Features shows an MSI's icon from the copy Windows Installer keeps."""
        for values in registry_values(r"Installer\\\\Products\\\\").values():
            if values.get("ProductIcon", "").endswith("pellavin.ico"):
                return values["ProductIcon"]
        return None

    def refused(self, package, what, reason, _installed):
        """Wine's msiexec logs neither a quiet run's message nor more than the low byte of its exit
        status: the log shows the launch condition failing on what was found (the property's
        value), and the package holds its message."""
        property_, condition = reason
        log_file = os.path.join(WORK, "refused.log")
        check_refused(what, self.refused_status, *self.install(package), "/l*v", winpath(log_file))
        with open(log_file, "rb") as f:
            text = f.read().replace(b"\0", b"").replace(b"\r", b"").decode("latin-1")
        found = re.search(rf"{property_} = [^ \n]*", text)
        message = next((row.split("\t")[1] for row in run("msiinfo", "export", package, "LaunchCondition").splitlines()
                        if condition in row and "\t" in row), None)
        checks.check(found and message and "LaunchConditions. Return value 0" in text,
                     f"{what}: {found and found[0]}, with the message \"{message}\"" if found and message
                     else f"{what}: {property_} not found or no message (launch condition {condition})")


class Nsis:
    name = "the NSIS installer"
    generator = "NSIS"
    label = "nsis"
    own = "the installer's"
    suffix = "exe"
    shortcut = os.path.join(START_MENU, "Pellavin", "Pellavin.lnk")
    refused_status = 1638
    newer = "Pellavin {installed} is installed, which is newer than this installer.{{1,3}}s {package}"
    other = "Pellavin {installed} is installed from its MSI package"

    def install(self, package, folder=None):
        return [winpath(package), "/S"] + ([f"/D={folder}"] if folder else [])

    def uninstall(self, package, folder):
        return [f"{folder}\\Uninstall.exe", "/S"]

    def written(self, folder):
        """The uninstaller is written by the installer, signed as makensis made it."""
        return [os.path.join(c_path(folder), "Uninstall.exe")]

    def icon(self):
        return next(iter(apps_entries().values()), {}).get("DisplayIcon")

    def refused(self, package, what, reason, installed):
        check_refused(what, self.refused_status, *self.install(package))
        check_refusal_box(reason.format(installed=installed, package=version_of(package)), self.refused_status,
                          winpath(package))


def version_of(package):
    return re.search(r"pellavin-([\d.]+)-win64", package)[1]


def check_refused(what, expected, *command):
    """An installer that must refuse, run silently: its exit status, and nothing changed."""
    unchanged = snapshot()
    check_status(command, silently(*command), expected)
    check_nothing_left(unchanged, what, "nothing changed")


boxes = 0


def check_refusal_box(text, expected, package):
    """The refusal without /S, as a person meets it: the installer's box, read off a screen of its
    own, says TEXT (a pattern), and OK ends it with the same exit status."""
    global boxes
    boxes += 1
    shot, seen = os.path.join(WORK, f"refused-{boxes}.png"), ""
    with Screen() as screen:
        installer = subprocess.Popen(["wine", package], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if screen.wait_window("Pellavin Setup", timeout=30):
            time.sleep(1)
            if screen.shot(shot, screen.windows("Pellavin Setup")[0]):
                seen = ocr(shot)
        screen.keys("Return")
        try:
            status = installer.wait(60)
        except subprocess.TimeoutExpired:
            installer.kill()
            status = None
    os.environ.pop("DISPLAY", None)
    wineserver("-w")
    said = f"{seen or 'no box'} (exit status {status})"
    checks.check(re.search(text, seen, re.I) and status == expected & 255,
                 f"without /S, its box ({shot}) says: {said}" if seen else f"without /S: {said}")


def session(shortcut, screenshots):
    """The installed program, started as its shortcut starts it: its checks are counted here."""
    command = [sys.executable, os.path.join(ROOT, "scripts/check/windows_session.py"), "session", WORK, shortcut, screenshots]
    try:
        process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    except OSError as error:
        return checks.fail(f"the session did not start: {error}")
    output = ""
    for line in process.stdout:
        output += line
        print(line, end="", flush=True)
    status = process.wait()
    checks.count(output)
    if status != 0 and not re.search(r"^FAIL: ", output, re.M):
        checks.fail(f"the session ended with exit status {status} and no result")
    return True


# ---- one sequence for both kinds


def packages():
    """This version and the next patch version, made of the same tree for this check: the folder
    each version's packages are in."""
    this = version(BUILD)
    parts = this.split(".")
    later = ".".join(parts[:-1] + [str(int(parts[-1]) + 1)])
    step(f"{later} of the same tree, for the upgrade")
    later_dir = os.path.join(WORK, "later")
    subprocess.run(["rm", "-rf", later_dir], check=True)
    with open(os.path.join(WORK, "cpack-later.log"), "w") as out:
        made = subprocess.run(["cpack", "-G", "External;NSIS", "-D", f"CPACK_PACKAGE_VERSION={later}",
                               "-D", f"CPACK_PACKAGE_FILE_NAME=pellavin-{later}-win64", "-B", later_dir],
                              cwd=BUILD, stdout=out, stderr=subprocess.STDOUT).returncode == 0
    if not made:
        with open(os.path.join(WORK, "cpack-later.log")) as f:
            checks.fail(f"cpack made no {later} packages", f.read()[-3000:])
        checks.done()
    return this, later, {this: BUILD, later: later_dir}


class Made:
    """Each kind's packages and the trees cpack packed them of, as their scripts left them
    (signed, and dated), by version."""

    def __init__(self, folders):
        self.folders = folders

    def package(self, kind, version_):
        return os.path.join(self.folders[version_], f"pellavin-{version_}-win64.{kind.suffix}")

    def tree(self, kind, version_):
        return os.path.join(self.folders[version_], "_CPack_Packages", "win64", kind.generator, f"pellavin-{version_}-win64")


def cycle(kind, other, this, later, made, before):
    """One kind of package: installed, upgraded, refusals, a session, removed; then in a folder given."""
    default, given = "C:\\Program Files\\Pellavin", "C:\\Pellavin"

    def install(version_, folder=None, what="installed"):
        command = kind.install(made.package(kind, version_), folder)
        check_status(command, silently(*command))
        check_entry(version_, what)
        if what == "upgraded":
            if check_only_folder(c_path(place), "upgraded"):
                check_folder(c_path(place), made.tree(kind, version_), "upgraded in place")
        else:
            check_folder(c_path(place), made.tree(kind, version_), "installed")
        check_shortcut(kind.shortcut, place)

    def uninstall():
        command = kind.uninstall(made.package(kind, later), place)
        check_status(command, silently(*command))
        check_nothing_left(before, "removed")

    def unchanged():
        check_entry(later, "after the refusal")
        check_folder(c_path(place), made.tree(kind, later), "after the refusal")

    place = default
    step(f"{kind.name}: {shown_command(kind.install(made.package(kind, this)))}")
    install(this)
    icon = kind.icon()
    checks.check(icon and os.path.isfile(c_path(icon)), f"its icon in Apps and Features: {icon}")
    in_users = [c_name(os.path.join(d, n)) for d, dirs, files in os.walk(os.path.join(C, "users"))
                for n in dirs + files if "pellavin" in n.lower()]
    checks.check(not in_users, "nothing in any user's folder" if not in_users else f"in a user's folder: {in_users}")
    if os.environ.get("PELLAVIN_SIGN_CERT"):
        for path in kind.written(place):
            check_signed(path)

    step(f"{kind.name}: the upgrade to {later}")
    install(later, what="upgraded")

    step(f"{kind.name}: {this} over {later}")
    kind.refused(made.package(kind, this), f"{this} over {later}", kind.newer, later)
    unchanged()

    step(f"the program {kind.name} installed, after the refusal, through its shortcut")
    session(kind.shortcut, f"screenshots-{kind.label}")

    step(f"{other.name} over {kind.own} install")
    other.refused(made.package(other, later), f"{other.name} over {kind.own} {later}", other.other, later)
    unchanged()

    step(f"{kind.name}: removed, {shown_command(kind.uninstall(made.package(kind, later), place))}")
    uninstall()

    step(f"{kind.name} elsewhere: in {given}, the upgrade without it, then removed")
    place = given
    install(this, given)
    install(later, what="upgraded")
    uninstall()


def main():
    this, later, folders = packages()
    made = Made(folders)
    kinds = (Msi(), Nsis())
    missing = [p for kind in kinds for v in (this, later) for p in (made.package(kind, v), made.tree(kind, v))
               if not os.path.exists(p)]
    if missing:
        checks.fail(f"not made: {missing} (is makensis installed?)")
        checks.done()

    if os.environ.get("PELLAVIN_SIGN_CERT"):
        step("signatures")
        # The program as the zip holds it; the installers install it byte for byte as packed.
        signed = os.path.join(WORK, "signed")
        subprocess.run(["rm", "-rf", signed], check=True)
        run("unzip", "-q", "-j", os.path.join(BUILD, f"pellavin-{this}-win64.zip"), "*/pellavin.exe", "-d", signed)
        for path in [os.path.join(signed, "pellavin.exe")] + [made.package(k, v) for k in kinds for v in (this, later)]:
            check_signed(path)
    elif os.environ.get("CI"):
        checks.fail("no certificate (PELLAVIN_SIGN_CERT): CI signs with a throwaway one")
    else:
        log("   no certificate given (PELLAVIN_SIGN_CERT): signatures not checked")

    before = snapshot()
    cycle(kinds[0], kinds[1], this, later, made, before)
    cycle(kinds[1], kinds[0], this, later, made, before)
    step.took()
    checks.done()


if __name__ == "__main__":
    try:
        main()
    except Exception as error:  # noqa: BLE001 (a check that cannot go on fails and says why)
        import traceback
        traceback.print_exc()
        checks.fail(f"the install check stopped: {error!r}")
        checks.done()

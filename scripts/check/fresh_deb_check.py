#!/usr/bin/python3
# Installs the Debian package on a fresh Debian 12 system with apt-get, starts Pellavin there
# on a virtual screen of this machine, drives it past the splash window, the name prompt and
# the greeting and photographs each, and checks that removing the package leaves no file
# behind. Ends with "fresh-deb: N passed, M failed".
#   scripts/check/fresh_deb_check.py [package] [screenshot folder] [fresh-machine tool]
# Needs root, and the fresh-machine tool: a script kept outside the repository that starts a
# clean Debian 12 system; by default the one at ../shared/tools/fresh-machine.sh beside the clone.
import os
import secrets
import shlex
import subprocess
import sys
import threading

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import pellavin_driver as drive  # noqa: E402

# Runs as root inside the fresh system: installs, starts the program on this machine's screen,
# waits for this side's photographs, then a second install and purge, with the libraries
# already in place, shows what the package itself leaves.
FRESH = r"""set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
cd /root
apt-get install -y -qq ./{deb} >/tmp/apt.log 2>&1 || {{ tail -20 /tmp/apt.log; exit 1; }}
echo "installed: $(dpkg-query -W -f="\${{Package}} \${{Version}}" pellavin)"
dpkg -L pellavin | sort > /tmp/package-files
cd /usr/share/pellavin
DISPLAY={display} pellavin >/tmp/pellavin.log 2>&1 &
program=$!
touch /{started}
for _ in $(seq 120); do [ -e /{photographed} ] && break; sleep 1; done
[ -e /{photographed} ] || {{ echo "no photographs were taken"; exit 1; }}
kill -0 $program && echo "pellavin: running after the photographs" || {{ echo "pellavin: stopped"; cat /tmp/pellavin.log; exit 1; }}
kill $program; wait $program 2>/dev/null || true
cd /
apt-get purge -y -qq pellavin >/dev/null
snapshot() {{ find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /tmp -o -path /run -o -path /var/cache -o -path /var/lib/apt -o -path /var/lib/dpkg -o -path /var/log -o -path /root/project \) -prune -o -print | sort; }}
snapshot > /tmp/before
apt-get install -y -qq /root/{deb} >/dev/null
snapshot > /tmp/installed
echo "files and folders the package adds: $(comm -13 /tmp/before /tmp/installed | wc -l)"
apt-get purge -y -qq pellavin >/dev/null
snapshot > /tmp/after
left=$(comm -13 /tmp/before /tmp/after)
stray=$(while read -r f; do if [ -f "$f" ]; then echo "$f"; fi; done < /tmp/package-files)
if [ -n "$left$stray" ]; then echo "left behind after purge:"; echo "$left$stray"; exit 1; fi
echo "purge left nothing behind"
"""


def drive_program(screen, run, started, photographed, out, checks, ended):
    """This side: once the fresh system says it has started the program, gets it past the splash
    window, the name prompt and the greeting, photographing each and the main window, then
    tells the fresh system so."""
    started = os.path.join(run, started)
    if not drive.wait_until(lambda: os.path.exists(started) or ended.is_set(), timeout=900, step=1) \
            or not os.path.exists(started):
        return
    program = drive.Program.attached(screen)
    shot = lambda name: os.path.join(out, f"fresh-{name}.png")  # noqa: E731
    if (checks.check(program.past_splash(shot("splash")), "a key on the splash window opened the name prompt")
            and program.past_name(shot=shot("name-prompt"))
            and checks.check(program.past_greeting(shot("greeting")), "the greeting closed onto the main window")):
        screen.shot(shot("main"))
    with open(os.path.join(run, photographed), "w"):
        pass


def main():
    args = sys.argv[1:]
    package_build = os.path.join(drive.ROOT, "build-package")
    if args:
        deb = os.path.realpath(args[0])
    elif os.path.isfile(os.path.join(package_build, "pellavin-version")):
        deb = os.path.join(package_build, f"pellavin_{drive.version(package_build)}_amd64.deb")
    else:
        deb = os.path.join(package_build, "pellavin_VERSION_amd64.deb (build-package has no pellavin-version)")
    out = os.path.abspath(args[1] if len(args) > 1 else os.path.join(package_build, "fresh-screenshots"))
    tool = os.path.realpath(args[2] if len(args) > 2 else os.path.join(drive.ROOT, "..", "shared", "tools",
                                                                       "fresh-machine.sh"))
    checks = drive.Checks("fresh-deb")
    for path, what in ((deb, "the package"), (tool, "the fresh-machine tool")):
        if not os.path.isfile(path):
            checks.fail(f"{what} is at hand", f"no file {path}")
    if os.geteuid() != 0:
        checks.fail("runs as root", "the fresh-machine tool mounts and chroots: run this as root")
    if checks.failed:
        checks.done()
    run = os.environ.setdefault("FRESH_RUN", "/var/tmp/fresh-run")
    drive.deps("--screens")
    os.makedirs(out, exist_ok=True)
    for old in os.listdir(out):
        if old.startswith("fresh-") and old.endswith(".png"):
            os.remove(os.path.join(out, old))

    # The signal files carry this run's own name, as a folder left from an earlier run may still
    # hold its files until the fresh-machine tool replaces it.
    token = f"{os.getpid()}-{secrets.token_hex(4)}"
    started, photographed = f"tmp/pellavin-started-{token}", f"tmp/pellavin-photographed-{token}"
    with drive.Screen() as screen:
        ended = threading.Event()
        driver = threading.Thread(target=drive_program, args=(screen, run, started, photographed, out, checks, ended))
        driver.start()
        command = FRESH.format(deb=shlex.quote(os.path.basename(deb)), display=screen.display,
                               started=started, photographed=photographed)
        tool_run = subprocess.Popen(["bash", tool, "-f", deb, command], cwd=drive.ROOT,
                                    stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        said = []
        for line in tool_run.stdout:
            drive.log("   | " + line.rstrip("\n"))
            said.append(line)
        status = tool_run.wait()
        ended.set()
        driver.join()
    said = "".join(said)
    checks.check("installed: pellavin " in said, "apt-get installed the package on a fresh Debian 12")
    checks.check("pellavin: running after the photographs" in said, "Pellavin ran there until photographed")
    checks.check("purge left nothing behind" in said, "purging the package left nothing behind")
    checks.check(status == 0, "the fresh system's run ended well", f"the fresh-machine tool's exit status {status}")
    for name in ("splash", "name-prompt", "greeting", "main"):
        path = os.path.join(out, f"fresh-{name}.png")
        checks.check(os.path.isfile(path), f"photographed: {path}")
    checks.done()


main()

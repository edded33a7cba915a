#!/usr/bin/python3
# The static analysers over the program's own code: clazy (levels 0 and 1), clang-tidy (the checks
# in .clang-tidy) and cppcheck (scripts/check/cppcheck.supp says what it leaves unsaid) over the
# Linux build, then clang-tidy and cppcheck (with its Windows library) over the MinGW cross build,
# whose compile database alone holds the *_win32 files. Each run prints the files it read, every
# finding and its count, and is one line of the tally "analysers: N passed, M failed"; any finding
# fails it. A run that did not go through, or that read no file or not all of them, fails with
# its reason.
#   analysers.py [BUILD]   BUILD (build-analyse) for Linux, BUILD-mingw for the cross build
# The cross build needs Qt for MinGW: scripts/qt-mingw.sh gives the cached one, or builds it
# (about 20 minutes); with PELLAVIN_QT_MINGW_BUILD=no an uncached Qt fails the MinGW runs instead.
#
# The program's code is what the build's compile_commands.json compiles, less tests/, bench/,
# fuzz/, tools/ and the build folders (Qt's generated moc and rcc files); headers are checked as
# the program's files include them. A deliberate exception is silenced where it is, with its
# reason: NOLINT(check) for clang-tidy, "clazy:exclude=check" for clazy, and
# "cppcheck-suppress id ; reason" for cppcheck.
import collections
import concurrent.futures
import json
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import pellavin_driver as drive  # noqa: E402

ROOT = drive.ROOT
build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build-analyse"))
mingw_build = build + "-mingw"
JOBS = min(os.cpu_count() or 1, 2)  # CI has two cores
OTHERS = re.compile(r"(build[^/]*|tests|bench|fuzz|tools)/")
# "file:line:column: severity: message [check]", where the file may hold blanks.
FINDING = re.compile(r"^.+:\d+:\d+: (warning|error|fatal error|style|performance|portability|information): ")
checks = drive.Checks("analysers")


def select_ours(folder):
    """The program's own entries of FOLDER's compile database, written to FOLDER/analysed; that
    folder and the files."""
    db = os.path.join(folder, "analysed")
    os.makedirs(db, exist_ok=True)
    with open(os.path.join(folder, "compile_commands.json")) as f:
        ours = [e for e in json.load(f) if e["file"].startswith(ROOT + "/") and not e["file"].startswith(folder + "/")
                and not OTHERS.match(e["file"][len(ROOT) + 1:]) and e["file"].endswith(".cpp")]
    with open(os.path.join(db, "compile_commands.json"), "w") as f:
        json.dump(ours, f, indent=1)
    print(f"{len(ours)} files of the program's own in {os.path.basename(folder)}")
    return db, [e["file"] for e in ours]


def findings(output):
    """One line a finding, once however many files include its header, none in the folders left out."""
    left_out = re.compile(rf"^({re.escape(ROOT)}/(build[^/]*|tests|bench|fuzz|tools)/|{re.escape(build)}/|{re.escape(mingw_build)}/)")
    return sorted({line for line in output.splitlines() if FINDING.match(line) and not left_out.match(line)})


def each(files, command):
    """COMMAND FILE for each file, two at a time: the outputs joined in the files' order, the files
    it went through, and the first failing exit status."""
    def one(file):
        done = subprocess.run([*command, file], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        return done.stdout, done.returncode

    with concurrent.futures.ThreadPoolExecutor(JOBS) as pool:
        results = list(pool.map(one, files))
    failing = [status for _, status in results if status]
    return ("".join(out for out, _ in results), [f for f, (_, status) in zip(files, results) if status == 0],
            failing[0] if failing else 0)


def report(name, files, status, output, read, started):
    """Prints the files read and the findings with their count; a run that failed without a
    finding, or that left a file unread, counts as one."""
    found = findings(output)
    for file in sorted(set(read)):
        print(f"{name} read {os.path.relpath(file, ROOT)}")
    unread = sorted(set(files) - set(read))
    problem = None
    if not read:
        problem = f"{name} read no file (exit status {status}):"
    elif unread:
        problem = f"{name} did not read: {' '.join(os.path.relpath(f, ROOT) for f in unread)}"
    elif not found and status:
        problem = f"{name} did not run through (exit status {status}):"
    if problem:
        print(problem)
        if problem.endswith(":"):
            print("\n".join(output.splitlines()[-20:]))
    print("\n".join(found)) if found else None
    kinds = collections.Counter(m[1] for m in (re.search(r"\[([^]]+)\]$", f) for f in found) if m)
    count = len(found) + (1 if problem else 0)
    detail = ", ".join(f"{n} {kind}" for kind, n in kinds.most_common())
    checks.check(count == 0, f"{name}: {count} findings" + (f" ({detail})" if detail else ""))
    print(f"({name} took {time.monotonic() - started:.0f} s)")


def tidy(name, db, files, *extra):
    started = time.monotonic()
    output, read, status = each(files, ["clang-tidy-14", "-p", db, "--quiet", f"--header-filter=^{ROOT}/", *extra])
    # The analyser cannot follow QTimer::singleShot's new slot object into Qt, which owns it.
    leak = re.compile(r"/QtCore/qtimer\.h:\d+:\d+: warning: Potential memory leak \[clang-analyzer-cplusplus\.NewDeleteLeaks\]$")
    output = "".join(line for line in output.splitlines(True) if not leak.search(line.rstrip("\n")))
    report(name, files, status, output, read, started)


def cppcheck(name, db, files, *extra):
    started = time.monotonic()
    # Qt's headers stay unread (qt.cfg describes its macros and classes), which keeps this quick.
    done = subprocess.run(["cppcheck", f"--project={db}/compile_commands.json", "--library=qt", "--std=c++20",
                           "--enable=style", "--inline-suppr",
                           f"--suppressions-list={ROOT}/scripts/check/cppcheck.supp", "-j", str(JOBS), *extra,
                           "--template={file}:{line}:{column}: {severity}: {message} [{id}]"],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    # "Checking FILE ..." or "Checking FILE: DEFINES...", where FILE may hold blanks.
    read = re.findall(r"^Checking (.+?)(?: \.\.\.|: .*)$", done.stdout, re.M)
    report(name, files, done.returncode, done.stdout, [f for f in read if f.endswith((".cpp", ".h"))], started)


def mingw_arguments():
    """clang parses as the MinGW compiler does: for its target, with its C++ library (the posix
    threads one, which Qt needs) and its Windows headers, but clang's own built-in headers. Asked
    of the compiler, the folders follow its version."""
    said = subprocess.run(["x86_64-w64-mingw32-g++-posix", "-xc++", "-E", "-v", "-"], input="", text=True,
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE).stderr
    search = [line[1:] for line in said.split("<...> search starts")[1].split("End of search")[0].splitlines()
              if line.startswith(" ")]
    return (["--extra-arg=--target=x86_64-w64-mingw32", "--extra-arg=-nostdlibinc"]
            + [f"--extra-arg=-isystem{os.path.realpath(d)}" for d in search if "/c++" in d]
            + [f"--extra-arg=-idirafter{os.path.realpath(search[-1])}"])


def mingw_qt():
    """Qt for MinGW's folder, or None with the reason printed."""
    where = subprocess.run([f"{ROOT}/scripts/qt-mingw.sh", "--where"], stdout=subprocess.PIPE, text=True,
                           stderr=subprocess.DEVNULL)
    if where.returncode and os.environ.get("PELLAVIN_QT_MINGW_BUILD") == "no":
        print(f"Qt for MinGW is not built ({where.stdout.strip()}); ./scripts/qt-mingw.sh builds it once for this machine.")
        return None
    built = subprocess.run([f"{ROOT}/scripts/qt-mingw.sh"], stdout=subprocess.PIPE, text=True)
    if built.returncode:
        print("Qt for MinGW could not be built (scripts/qt-mingw.sh, above).")
        return None
    return built.stdout.strip().splitlines()[-1]


drive.deps("--analyse")
print("-- Linux")
drive.run("cmake", "-S", ROOT, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Debug", "-DBUILD_TESTING=OFF",
          "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON", check=True)
db, files = select_ours(build)
started = time.monotonic()
output, read, status = each(files, ["clazy-standalone", "-p", db, "--checks=level0,level1"])
report("clazy", files, status, output, read, started)
tidy("clang-tidy", db, files)
cppcheck("cppcheck", db, files)

print("-- Windows, the MinGW cross build")
qt = mingw_qt()
configured = None
if qt:
    os.makedirs(mingw_build, exist_ok=True)
    configured = subprocess.run(["cmake", "-S", ROOT, "-B", mingw_build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Debug",
                                 "-DBUILD_TESTING=OFF", "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON",
                                 f"-DCMAKE_TOOLCHAIN_FILE={ROOT}/cmake/mingw-w64-x86_64.cmake",
                                 f"-DPELLAVIN_QT_MINGW={qt}", "-DQT_HOST_PATH=/usr"],
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if configured.returncode:
        print("\n".join(configured.stdout.splitlines()[-20:]))
        print(f"The MinGW build did not configure (with {qt}).")
if qt and configured and not configured.returncode:
    db, files = select_ours(mingw_build)
    tidy("clang-tidy (MinGW)", db, files, *mingw_arguments())
    cppcheck("cppcheck (MinGW)", db, files, "--library=windows", "--platform=win64")
else:
    checks.fail("clang-tidy (MinGW): did not run")
    checks.fail("cppcheck (MinGW): did not run")
checks.done()

#!/usr/bin/python3
# Reads every include of the program's code against its layers and fails on one that reaches
# upwards, or that does not name its folder. Every folder sees the whole tree from the one include
# root, so the compiler cannot refuse such an include; this does. The layers, lowest first, are
# the README's map:
#   services/registry, services/printing, cursor/file, i18n   what stands on nothing of ours
#   services     the runtime-services interface, and its Qt implementation on the launcher and
#                the print job
#   quiz         the quiz engine and its reading of numbers, on the services' interface
#   cursor       the cursor theme, on the cursor-file reader
#   windows      the four windows, on the quiz engine, the cursor theme and the services
#   app          start-up and the registry of the windows, on everything
# tests/, bench/, fuzz/ and tools/ stand outside: they may include any layer, no layer them.
#   ./scripts/check/layers.py [repository]
import os
import re
import shutil
import subprocess
import sys

root = os.path.realpath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", ".."))
# The folders each folder may include, itself first.
MAY = {
    "services/registry": ["services/registry"],
    "services/printing": ["services/printing"],
    "cursor/file": ["cursor/file"],
    "i18n": ["i18n"],
    "services": ["services", "services/printing"],
    "quiz": ["quiz", "services"],
    "cursor": ["cursor", "cursor/file"],
    "windows": ["windows", "quiz", "cursor", "services"],
    "app": ["app", "windows", "quiz", "cursor", "cursor/file", "services", "services/registry", "services/printing", "i18n"],
}
OUTSIDE = ["tests", "bench", "fuzz", "tools"]
SOURCE = (".h", ".cpp", ".c")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]*)"')


def layer_of(path):
    """The longest folder of the table that holds the path, or None."""
    return max((f for f in [*MAY, *OUTSIDE] if path.startswith(f + "/")), key=len, default=None)


def files():
    """git's list in a checkout (untracked scratch files stay out), else, in a source archive or
    where there is no git, what lies in the folders of the table."""
    top = shutil.which("git") and subprocess.run(["git", "-C", root, "rev-parse", "--show-toplevel"],
                                                 stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    if top and top.returncode == 0 and os.path.realpath(top.stdout.strip()) == root:
        listed = subprocess.run(["git", "-C", root, "ls-files", "-z"], stdout=subprocess.PIPE, check=True, text=True)
        return sorted(f for f in listed.stdout.split("\0") if f.endswith(SOURCE))
    return sorted(os.path.relpath(os.path.join(folder, name), root)
                  for top_folder in [*MAY, *OUTSIDE] if os.path.isdir(os.path.join(root, top_folder))
                  for folder, _, names in os.walk(os.path.join(root, top_folder)) for name in names
                  if name.endswith(SOURCE))


def problems(file, number, target):
    source = layer_of(file)
    if "/" not in target:
        return f'"{target}" names no folder'
    reached = layer_of(target)
    if reached is None:
        return f'"{target}" lies in no folder of the program'
    if source not in OUTSIDE and reached not in MAY[source]:
        return f'{source} reaches up into {reached} ("{target}")'
    return None


listed = sorted(set(files()))
if not listed:
    sys.exit(f"layers: no source file found in {root}")
checked = failed = 0
for file in listed:
    if layer_of(file) is None:
        continue
    with open(os.path.join(root, file), errors="replace") as f:
        for number, line in enumerate(f, 1):
            match = INCLUDE.match(line)
            if not match or match[1].endswith(".moc"):
                continue
            checked += 1
            problem = problems(file, number, match[1])
            if problem:
                print(f"{file}:{number}: {problem}")
                failed += 1
print(f"layers: {len(listed)} files, {checked} includes read, {failed} reaching upwards or naming no folder")
if not checked:
    sys.exit("layers: no include was read")
sys.exit(1 if failed else 0)

#!/usr/bin/env python3
"""What a Qt for MinGW build owes: its own licences and the third-party code built into it.

    scripts/qt-notices.py QT_PREFIX QT6_BASE_SOURCE

Runs Qt's own qtattributionsscanner over Debian's source package as the build used it
(QT6_BASE_SOURCE, unpacked with its security patches by scripts/qt-mingw.sh), and keeps the
attributions whose code went into this build: those that own one of the files listed in
QT_PREFIX/pellavin-qt-sources.txt (every source file the build compiled or included), and those
built in as a resource that the libraries carry. Writes QT_PREFIX/pellavin-qt-notices.json, which
packaging/windows/notices.py turns into the notices and the bill of materials of each package.
"""
import collections
import json
import os
import re
import subprocess
import sys
import tempfile

SCANNER = "/usr/lib/qt6/libexec/qtattributionsscanner"

# Data generated from an attribution's files into a Qt source file, which counts for it when
# that file went into the build.
GENERATED_INTO = {"webgradients": ["src/gui/painting/webgradients.cpp"]}

# Qt's licence ids, made SPDX where they are not.
SPDX_FIXES = [(r"\bor\b", "OR"), (r"\band\b", "AND"), (r"\bGPL-2\.0(?![-.\w])", "GPL-2.0-only"),
              (r"^urn:dje:license:bitstream$", "Bitstream-Vera"), (r"^ICC License$", "LicenseRef-ICC")]


def spdx(entry):
    licence = entry.get("LicenseId") or ""
    if not licence:
        return "LicenseRef-public-domain" if entry.get("License") == "Public Domain" else ""
    for pattern, fix in SPDX_FIXES:
        licence = re.sub(pattern, fix, licence)
    return licence


def owned_files(entry, src):
    """The files an attribution speaks for, relative to the source root; a folder ends in /."""
    path = os.path.relpath(entry["Path"], src)
    names = [n for n in re.split(r"[\s,]+", entry.get("Files") or "") if n]
    # "For update, see ..." is a note, not a file name.
    names = [n for n in names if os.path.exists(os.path.join(entry["Path"], n))]
    if names:
        return [os.path.normpath(os.path.join(path, n)) for n in names]
    return [path] if os.path.isfile(entry["Path"]) else [path + "/"]


def resource_names(prefix):
    """Every UTF-16 string in the installed libraries, where rcc keeps its resources' names."""
    found = set()
    for folder, _, files in os.walk(prefix):
        for name in files:
            if name.endswith(".dll"):
                with open(os.path.join(folder, name), "rb") as dll:
                    data = dll.read()
                found.update(m.decode("utf-16-be") for m in re.findall(rb"(?:\x00[\x21-\x7e]){4,}", data))
    return found


def main(prefix, src):
    src = os.path.realpath(src)
    with open(os.path.join(prefix, "pellavin-qt-sources.txt")) as listing:
        sources = [line.strip() for line in listing if line.strip()]
    if not sources:
        sys.exit(f"{prefix}/pellavin-qt-sources.txt lists no source files")
    with tempfile.TemporaryDirectory(prefix="qt-notices.") as tmp:
        scanned = os.path.join(tmp, "attributions.json")
        subprocess.run([SCANNER, "--output-format", "json", "--basedir", src, "-s", "-o", scanned, src],
                       check=True)
        with open(scanned) as f:
            entries = json.load(f)
        if not entries:
            sys.exit("qtattributionsscanner found no attributions")
        resources = resource_names(prefix)
        texts, attributions, covered = {}, [], set()

        def text(path):
            key = os.path.relpath(path, src)
            with open(path, encoding="utf-8", errors="replace") as f:
                texts[key] = f.read()
            return key

        def with_referred(path):
            """A licence file and those it names in backquotes (FreeType's `docs/FTL.TXT`)."""
            key = text(path)
            referred = [os.path.normpath(os.path.join(os.path.dirname(path), name))
                        for name in re.findall(r"`([\w./-]+)`", texts[key])]
            # Source files it names only say which code the licence covers.
            return [key] + [text(r) for r in referred if os.path.isfile(r) and r.startswith(src + "/")
                            and not re.search(r"\.(c|h|cpp)$", r)]

        for entry in entries:
            owned = owned_files(entry, src) + GENERATED_INTO.get(entry["Id"], [])
            used = [s for s in sources if any(s == o or (o.endswith("/") and s.startswith(o)) for o in owned)]
            covered.update(used)
            how = f"{len(used)} source files compiled or included" if used else ""
            if not used:
                built_in = [o for o in owned if not o.endswith("/") and os.path.basename(o) in resources]
                if not built_in:
                    continue
                how = "built in as a resource: " + ", ".join(built_in)
            licence_files = entry.get("LicenseFiles") or [entry.get("LicenseFile")]
            attributions.append({
                "id": entry["Id"], "name": entry["Name"], "version": entry.get("Version") or "",
                "license": spdx(entry), "license_name": entry.get("License") or "",
                "copyright": entry.get("Copyright") or "", "homepage": entry.get("Homepage") or "",
                "module": entry.get("QDocModule") or "", "usage": entry.get("QtUsage") or "",
                "path": os.path.relpath(entry["Path"], src), "evidence": how,
                "license_texts": [k for p in licence_files if p and os.path.isfile(p) for k in with_referred(p)],
                "copyright_texts": [text(entry["CopyrightFile"])] if entry.get("CopyrightFile") else [],
            })

        # Qt's own code: the licences its files name, over the files of this build that no
        # attribution speaks for, by folder (src/corelib, src/entrypoint...), since not every
        # folder ends up in the same library. Nobody here holds Qt's commercial licence.
        tally = collections.defaultdict(collections.Counter)
        for source in sources:
            if source in covered:
                continue
            with open(os.path.join(src, source), encoding="utf-8", errors="replace") as f:
                head = f.read(4096)
            match = re.search(r"SPDX-License-Identifier:\s*(.+?)\s*(?:\*/)?$", head, re.M)
            expression = match.group(1) if match else "(none)"
            folder = "/".join(source.split("/")[:2])
            tally[folder][re.sub(r"^LicenseRef-Qt-Commercial OR ", "", expression)] += 1
        ids = sorted({i for kinds in tally.values() for e in kinds for i in re.findall(r"[\w.-]+", e)
                      if i not in ("OR", "AND", "WITH", "none")})
        licence_texts = [text(os.path.join(src, "LICENSES", i + ".txt")) for i in ids
                         if os.path.isfile(os.path.join(src, "LICENSES", i + ".txt"))]
        # The LGPL is the GPL's additional permissions: its text needs the GPL's beside it.
        gpl3 = os.path.join(src, "LICENSES/GPL-3.0-only.txt")
        if "LGPL-3.0-only" in ids and text(gpl3) not in licence_texts:
            licence_texts.append(text(gpl3))
        with open(os.path.join(src, "debian/changelog")) as f:
            package, debian_version = re.match(r"(\S+) \((\S+)\)", f.readline()).groups()

    result = {
        "qt": {"name": "Qt", "source_package": package, "debian_version": debian_version,
               "version": debian_version.split("+")[0].split("-")[0],
               "license_by_folder": {f: dict(k) for f, k in tally.items()}, "license_texts": licence_texts,
               "sources_listed": len(sources)},
        "attributions": sorted(attributions, key=lambda a: a["id"]),
        "texts": texts,
    }
    out = os.path.join(prefix, "pellavin-qt-notices.json")
    with open(out + ".part", "w") as f:
        json.dump(result, f, indent=1, sort_keys=True, ensure_ascii=False)
        f.write("\n")
    os.replace(out + ".part", out)
    total = sum(tally.values(), collections.Counter())
    print(f"{out}: Qt {debian_version}, {len(attributions)} of {len(entries)} attributions in this build; "
          f"its own files: " + "; ".join(f"{n} {e}" for e, n in total.most_common()), file=sys.stderr)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])

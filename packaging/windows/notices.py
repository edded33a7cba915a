#!/usr/bin/env python3
"""The notices and the bill of materials of a Windows package, from the files it ships.

    notices.py notices TREE ORIGINS              writes TREE/THIRD-PARTY-NOTICES.txt
    notices.py sbom TREE ORIGINS PACKAGE.cdx.json  writes the bill of materials (CycloneDX 1.5)
                                                 of PACKAGE, packed from TREE

ORIGINS is a JSON file that notices.cmake writes: the project's name, version and vendor, the
patterns of the project's own files, the Qt for MinGW folder (whose pellavin-qt-notices.json,
from scripts/qt-notices.py, says what Qt owes) and the folders from which other files were
installed, each with the folder of the package where they land. Every file in TREE is traced to its component: one of ours,
Qt's, or a Debian package's (dpkg says which, and which source package and version it was built
from). A file that cannot be traced stops the build.
"""
import fnmatch
import hashlib
import json
import os
import re
import subprocess
import sys
import time
import urllib.parse
import uuid

NOTICES = "THIRD-PARTY-NOTICES.txt"


def dep5_paragraphs(path):
    with open(path, encoding="utf-8") as f:
        return [p for p in re.split(r"\n\s*\n", f.read()) if p.strip()]


def dep5_licence(path, matches):
    """The Files paragraphs of a Debian copyright file that `matches` picks, with the stand-alone
    License paragraphs they name, verbatim."""
    paragraphs = dep5_paragraphs(path)
    chosen = [p for p in paragraphs if p.startswith("Files:") and matches(p.split("\n")[0][6:].split())]
    named = {re.search(r"^License: *(.+)$", p, re.M).group(1).strip() for p in chosen}
    chosen += [p for p in paragraphs if p.startswith("License:") and p.split("\n")[0][8:].strip() in named]
    if not chosen:
        sys.exit(f"{path} has no paragraph for these files")
    return "\n\n".join(chosen) + "\n"


def excerpt(path, first, last):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    match = re.search(rf"^{re.escape(first)}$.*?{re.escape(last)}", text, re.M | re.S)
    if not match:
        sys.exit(f"{path} does not hold the text from {first!r} to {last!r}")
    return match.group(0) + "\n"


def common_licence(name):
    with open(f"/usr/share/common-licenses/{name}", encoding="utf-8") as f:
        return f.read()


# What each Debian source package's shipped files are licensed under, and where the texts are.
# The licences are Debian's copyright files' (/usr/share/doc/PACKAGE/copyright), given here as SPDX.
LICENCES = {
    "gcc-mingw-w64": {
        "component": "GCC runtime (libstdc++, libgcc)",
        "license": "GPL-3.0-or-later WITH GCC-exception-3.1",
        "texts": lambda doc: [
            ("GCC Runtime Library Exception 3.1 (from " + doc + ")",
             excerpt(doc, "GCC RUNTIME LIBRARY EXCEPTION", "requirements of the license of GCC.")),
            ("GPL-3.0 (/usr/share/common-licenses/GPL-3)", common_licence("GPL-3"))],
    },
    "mingw-w64": {
        "component": "MinGW-w64 winpthreads",
        "license": "MIT AND BSD-3-Clause",
        # winpthreads' own paragraphs; its tests are not in the library.
        "texts": lambda doc: [("winpthreads (from " + doc + ")", dep5_licence(doc, lambda files: all(
            f.startswith("mingw-w64-libraries/winpthreads/") and "/tests_pthread/" not in f for f in files)))],
    },
    "qt6-translations": {
        "component": "Qt translations",
        "license": "GPL-3.0-only WITH Qt-GPL-exception-1.0",
        "texts": lambda doc: [("Qt translations (from " + doc + ")", dep5_licence(doc, lambda files: files == ["*"])),
                              ("GPL-3.0 (/usr/share/common-licenses/GPL-3)", common_licence("GPL-3"))],
    },
}

# CPE names of the libraries built into Qt that vulnerability databases know.
CPES = {"zlib": "zlib:zlib", "libjpeg": "libjpeg-turbo:libjpeg-turbo", "libpng": "libpng:libpng",
        "freetype": "freetype:freetype", "harfbuzz-ng": "harfbuzz_project:harfbuzz", "pcre2": "pcre:pcre2"}


def dpkg(*args):
    return subprocess.run(["dpkg-query", *args], capture_output=True, text=True, check=True).stdout.strip()


def purl(package, version, arch):
    return f"pkg:deb/debian/{package}@{urllib.parse.quote(version, safe='')}?arch={arch}&distro=debian-12"


def debian_origin(path):
    """The Debian binary package that installed `path`, and the source it was built from."""
    for candidate in (os.path.realpath(path), os.path.abspath(path)):
        found = subprocess.run(["dpkg-query", "-S", candidate], capture_output=True, text=True)
        if found.returncode == 0:
            package = found.stdout.split(":")[0]
            break
    else:
        sys.exit(f"{path} belongs to no Debian package")
    binary_version, arch, source, source_version, built_using = dpkg(
        "-W", "-f=${Version}|${Architecture}|${source:Package}|${source:Version}|${Built-Using}", package).split("|")
    return {"package": package, "version": binary_version, "arch": arch, "source": source,
            "source_version": source_version,
            "built_using": [tuple(m) for m in re.findall(r"([\w.+-]+) \(= ([^)]+)\)", built_using)]}


class Components:
    """Traces each file of a tree to its component."""

    def __init__(self, origins):
        self.o = origins
        with open(os.path.join(origins["qt"], "pellavin-qt-notices.json"), encoding="utf-8") as f:
            self.qt = json.load(f)
        self.found = {}

    def of(self, rel):
        if any(fnmatch.fnmatchcase(rel, p) for p in self.o["ours"]):
            return "ours"
        for folder in ("bin", "plugins", ""):
            if os.path.isfile(os.path.join(self.o["qt"], folder, rel)):
                self.found.setdefault("qt", None)
                return "qt"
        for dest, folder in self.o["installed_from"]:
            if rel.startswith(dest) and os.path.isfile(os.path.join(folder, rel[len(dest):])):
                origin = debian_origin(os.path.join(folder, rel[len(dest):]))
                if origin["source"] not in LICENCES:
                    sys.exit(f"{rel} comes from Debian's {origin['source']}, whose licence is not known here")
                key = origin["package"]
                self.found[key] = origin
                return key
        sys.exit(f"{rel}: not one of the project's files, not Qt's, nor installed from a known folder; "
                 "say where it comes from in packaging/windows/notices.cmake")

    def describe(self, key, shipped):
        """Name, version, licence, source and texts of a component."""
        if key == "qt":
            qt = self.qt["qt"]
            # Qt's own files name their licence; each kind found in the build is one more condition.
            # The folders linked into the program itself are not in Qt's libraries.
            tally = tally_of(qt, lambda folder: folder not in self.o["qt_linked_in"])
            licence = expression(tally)
            modules = {"qt" + os.path.basename(s)[3:-4].lower() for s in shipped if re.match(r"Qt6\w+\.dll$", s)}
            bundled = [a for a in self.qt["attributions"] if a["module"] in modules]
            return {"ref": "qt", "name": "Qt", "version": qt["version"], "license": licence,
                    "source": (qt["source_package"], qt["debian_version"]),
                    "purl": purl(qt["source_package"], qt["debian_version"], "source"),
                    "how": "cross-built for Windows with MinGW-w64 by scripts/qt-mingw.sh",
                    "tally": tally, "bundled": bundled,
                    "linked_in": expression(tally_of(qt, lambda folder: folder in self.o["qt_linked_in"])),
                    "texts": [(t, self.qt["texts"][t]) for t in qt["license_texts"]]}
        origin = self.found[key]
        known = LICENCES[origin["source"]]
        doc = f"/usr/share/doc/{origin['package']}/copyright"
        sources = [(origin["source"], origin["source_version"])] + origin["built_using"]
        return {"ref": key, "name": known["component"], "version": origin["version"], "license": known["license"],
                "source": sources[0], "built_using": origin["built_using"],
                "purl": purl(origin["package"], origin["version"], origin["arch"]),
                "how": f"Debian's binary package {origin['package']} {origin['version']}",
                "ancestors": [purl(p, v, "source") for p, v in sources], "texts": known["texts"](doc)}


def tally_of(qt, chosen):
    tally = {}
    for folder, kinds in qt["license_by_folder"].items():
        if chosen(folder):
            for kind, n in kinds.items():
                tally[kind] = tally.get(kind, 0) + n
    return tally


def expression(tally):
    kinds = sorted((k for k in tally if k != "(none)"), key=lambda k: (-tally[k], k))
    return " AND ".join(f"({k})" if " OR " in k and len(kinds) > 1 else k for k in kinds)


def tree_files(tree):
    files = []
    for folder, _, names in os.walk(tree):
        files += [os.path.relpath(os.path.join(folder, n), tree).replace(os.sep, "/") for n in names]
    if not files:
        sys.exit(f"{tree} holds no files")
    return sorted(files)


def traced(tree, origins):
    components = Components(origins)
    files = {rel: components.of(rel) for rel in tree_files(tree) if rel != NOTICES}
    shipped = sorted(files)
    described = {k: components.describe(k, shipped) for k in sorted(set(files.values()) - {"ours"})}
    return files, described, components.qt["texts"]


def entry(component):
    c = component
    return f"{c['name']} {c['version']}; {c['license']}"


def write_notices(tree, origins):
    files, components, qt_texts = traced(tree, origins)
    o = origins
    out = [f"{o['name']} {o['version']}: the files that are not {o['vendor']}'s own", "=" * 60, "",
           f"{o['name']} for Windows ships the libraries below beside its program. Each is named with its",
           "component, version and licence (SPDX identifiers). Their licences' full texts are at the end.",
           "Qt and the MinGW runtime are separate libraries (DLLs): you may replace them with your own",
           "builds of the same versions, or modified ones, and the program will use them.", "",
           "Files", "-----"]
    width = max(len(f) for f in files) + 2
    for rel, key in sorted(files.items()):
        what = f"{o['name']} {o['version']}, {o['vendor']}'s own" if key == "ours" else entry(components[key])
        if rel == o["program"] and components.get("qt", {}).get("linked_in"):
            qt = components["qt"]
            what += f"; with Qt's entry point linked in: Qt {qt['version']}; {qt['linked_in']}"
        out.append(f"{rel.replace('/', chr(92)):<{width}}{what}")
    out += ["", "Components", "----------"]
    for c in components.values():
        source = f"Debian source package {c['source'][0]} {c['source'][1]}"
        out += ["", f"{c['name']} {c['version']}", f"  Licence: {c['license']}",
                f"  From: {c['how']}", f"  Source: {source}"]
        out += [f"  Built with: Debian source package {p} {v}" for p, v in c.get("built_using", [])]
        if c["ref"] == "qt":
            out += ["  Qt's own source files in this build, by the licence each names:"]
            out += [f"    {n:5} {'naming none (pictures, data)' if k == '(none)' else k}"
                    for k, n in sorted(c["tally"].items(), key=lambda i: (-i[1], i[0]))]
            if c["linked_in"]:
                out += [f"  Linked into {o['program']} (Qt's entry point, {', '.join(o['qt_linked_in'])}): {c['linked_in']}"]
            out += ["  Third-party code built into the Qt libraries shipped here (from Qt's qt_attribution.json):"]
            for a in c["bundled"]:
                out += [f"  - {a['name']}{' ' + a['version'] if a['version'] else ''}: {a['license'] or a['license_name']}"]
                out += [f"      {line}" for line in (a["copyright"] or "").splitlines()]
                out += [f"      Licence text: {t}" for t in a["license_texts"] + a["copyright_texts"]]
    gpl = sorted({f"{c['source'][0]} {c['source'][1]}" for c in components.values() if "GPL" in c["license"]} |
                 {f"{p} {v}" for c in components.values() if "GPL" in c["license"] for p, v in c.get("built_using", [])})
    out += ["", "Written offer for source code", "-----------------------------", "",
            f"For at least three years from the date you received this copy of {o['name']} {o['version']}, and for",
            f"as long as {o['vendor']} offers spare parts or customer support for it, {o['vendor']} will give",
            "anyone who asks, for a charge no more than the cost of physically performing the distribution,",
            "the complete corresponding source code of the components above licensed under the GNU GPL or",
            "LGPL, in machine-readable form on a medium customarily used for software interchange: the",
            "Debian source packages", *[f"    {s}" for s in gpl],
            "together with the scripts that built and packaged them. Ask:",
            f"    {o['contact']}",
            f"The same source is published beside each release as {o['sources_archive']}.", "",
            "Licence texts", "-------------"]
    texts = {}
    for c in components.values():
        for name, text in c["texts"]:
            texts.setdefault(name, text)
        if c["ref"] == "qt":
            for a in c["bundled"]:
                for t in a["license_texts"] + a["copyright_texts"]:
                    texts.setdefault(f"{t} (Qt's source)", qt_texts[t])
    for name, text in texts.items():
        out += ["", "=" * 72, name, "=" * 72, "", text.rstrip("\n")]
    with open(os.path.join(tree, NOTICES), "w", encoding="utf-8", newline="\r\n") as f:
        f.write("\n".join(out) + "\n")


def licences(expression):
    return [{"expression": expression}] if expression else []


def write_sbom(tree, origins, out):
    package = out[:-len(".cdx.json")]
    files, components, _ = traced(tree, origins)
    files[NOTICES] = "ours"

    def file_component(rel):
        with open(os.path.join(tree, rel), "rb") as f:
            digest = hashlib.sha256(f.read()).hexdigest()
        return {"type": "file", "bom-ref": "file:" + rel, "name": rel,
                "hashes": [{"alg": "SHA-256", "content": digest}]}

    o = origins
    main = {"type": "application", "bom-ref": "pellavin", "name": o["name"], "version": o["version"],
            "supplier": {"name": o["vendor"]},
            "components": [file_component(r) for r, k in sorted(files.items()) if k == "ours"]}
    if components.get("qt", {}).get("linked_in"):
        qt = components["qt"]
        main["components"].append({"type": "library", "bom-ref": "qt:entrypoint", "name": "Qt entry point",
                                   "version": qt["version"], "licenses": licences(qt["linked_in"]),
                                   "purl": qt["purl"], "description": f"linked into {o['program']}"})
    listed = []
    for key, c in components.items():
        item = {"type": "library", "bom-ref": key, "name": c["name"], "version": c["version"],
                "licenses": licences(c["license"]), "purl": c["purl"],
                "components": [file_component(r) for r, k in sorted(files.items()) if k == key]}
        if c.get("ancestors"):
            item["pedigree"] = {"ancestors": [{"type": "library", "bom-ref": f"{key}:source:{p}", "name": p.split("/")[2].split("@")[0],
                                               "version": urllib.parse.unquote(p.split("@")[1].split("?")[0]), "purl": p}
                                              for p in c["ancestors"]]}
        for a in c.get("bundled", []):
            sub = {"type": "library", "bom-ref": f"qt:{a['id']}", "name": a["name"],
                   "licenses": licences(a["license"]) or [{"license": {"name": a["license_name"]}}]}
            if a["version"]:
                sub["version"] = a["version"]
            if a["id"] in CPES and a["version"]:
                sub["cpe"] = f"cpe:2.3:a:{CPES[a['id']]}:{a['version']}:*:*:*:*:*:*:*"
            item["components"].append(sub)
        listed.append(item)
    bom = {"bomFormat": "CycloneDX", "specVersion": "1.5", "version": 1,
           "metadata": {"component": main, "supplier": {"name": o["vendor"]},
                        "properties": [{"name": "pellavin:package", "value": os.path.basename(package)}]},
           "components": listed,
           "dependencies": [{"ref": "pellavin", "dependsOn": sorted(components)}] +
                           [{"ref": k, "dependsOn": []} for k in sorted(components)]}
    if "SOURCE_DATE_EPOCH" in os.environ:
        bom["metadata"]["timestamp"] = time.strftime("%Y-%m-%dT%H:%M:%SZ", time.gmtime(int(os.environ["SOURCE_DATE_EPOCH"])))
    # The serial number names this content: the same package gives the same one.
    content = json.dumps(bom, sort_keys=True, separators=(",", ":"))
    bom["serialNumber"] = "urn:uuid:" + str(uuid.uuid5(uuid.NAMESPACE_URL, "pellavin-sbom:" + content))
    with open(out, "w", encoding="utf-8") as f:
        json.dump(bom, f, indent=1, sort_keys=True, ensure_ascii=False)
        f.write("\n")


def main(args):
    if len(args) < 3 or args[0] not in ("notices", "sbom") or len(args) != (3 if args[0] == "notices" else 4) or \
            (args[0] == "sbom" and not args[3].endswith(".cdx.json")):
        sys.exit(__doc__)
    with open(args[2], encoding="utf-8") as f:
        origins = json.load(f)
    if args[0] == "notices":
        write_notices(args[1], origins)
    else:
        write_sbom(args[1], origins, args[3])


if __name__ == "__main__":
    main(sys.argv[1:])

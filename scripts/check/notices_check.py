#!/usr/bin/python3
"""Checks one Windows package's notices and bill of materials (run by notices-check.sh).

    notices_check.py SCHEMAS NAME TREE SBOM [--print]

TREE is the package's content as unpacked; SBOM its PACKAGE.cdx.json; SCHEMAS the folder of
CycloneDX's JSON schemas. Prints "ok: ..." and "FAIL: ..." lines; --print lists every file with
its entry in the notices.
"""
import hashlib
import importlib.metadata
import json
import os
import re
import sys

import jsonschema

NOTICES = "THIRD-PARTY-NOTICES.txt"
failed = False


def report(good, text):
    global failed
    failed |= not good
    print(("ok: " if good else "FAIL: ") + text)


def files_of(tree):
    found = {}
    for folder, _, names in os.walk(tree):
        for name in names:
            path = os.path.join(folder, name)
            with open(path, "rb") as f:
                found[os.path.relpath(path, tree).replace(os.sep, "/")] = hashlib.sha256(f.read()).hexdigest()
    return found


def notice_entries(path):
    """The notices' file table: path (with /) to its entry."""
    with open(path, encoding="utf-8") as f:
        text = f.read().replace("\r\n", "\n")
    table = re.search(r"^Files\n-----\n(.*?)\n\n", text, re.M | re.S)
    if not table:
        return {}
    return {m.group(1).replace("\\", "/"): m.group(2)
            for m in (re.match(r"(\S+)\s{2,}(.+)$", line) for line in table.group(1).split("\n")) if m}


def validator(schemas):
    store = {}
    for name in os.listdir(schemas):
        if name.endswith(".schema.json"):
            with open(os.path.join(schemas, name), encoding="utf-8") as f:
                schema = json.load(f)
            # The schemas refer to each other by file name, relative to their $id.
            store["http://cyclonedx.org/schema/" + name] = schema
            if str(schema.get("$id", "")).startswith("http"):
                store[schema["$id"]] = schema
    bom = store["http://cyclonedx.org/schema/bom-1.5.schema.json"]
    return jsonschema.Draft7Validator(bom, resolver=jsonschema.RefResolver.from_schema(bom, store=store),
                                      format_checker=jsonschema.FormatChecker())


def sbom_files(component):
    for c in component.get("components", []):
        if c["type"] == "file":
            yield c["name"], {h["alg"]: h["content"] for h in c["hashes"]}.get("SHA-256")
        yield from sbom_files(c)


def main(schemas, name, tree, sbom, show):
    files = files_of(tree)
    if not files:
        report(False, f"{name}: no files found in {tree}")
        return
    if NOTICES not in files:
        report(False, f"{name}: no {NOTICES}")
        return
    entries = notice_entries(os.path.join(tree, NOTICES))
    if show:
        width = max(len(f) for f in files) + 2
        for rel in sorted(files):
            print(f"   {rel:<{width}}{entries.get(rel, 'this file' if rel == NOTICES else '(NO ENTRY)')}")
    unnamed = [f for f in files if f != NOTICES and f not in entries]
    # A third-party entry names its version and an SPDX licence after the semicolon.
    vague = [f for f, e in entries.items() if "'s own" not in e and not re.search(r"\d.*; \S", e)]
    report(not unnamed and not vague and bool(entries),
           f"{name}: {len(entries)} files in {NOTICES}, each with its component" +
           (f"; no entry for {', '.join(sorted(unnamed))}" if unnamed else "") +
           (f"; no version or licence for {', '.join(sorted(vague))}" if vague else ""))
    gone = sorted(set(entries) - set(files))
    if gone:
        report(False, f"{name}: {NOTICES} names files it does not ship: {', '.join(gone)}")

    try:
        with open(sbom, encoding="utf-8") as f:
            bom = json.load(f)
    except (OSError, ValueError) as e:
        report(False, f"{name}: no readable bill of materials: {e}")
        return
    errors = sorted(validator(schemas).iter_errors(bom), key=lambda e: list(e.absolute_path))
    for error in errors[:10]:
        print(f"   {'/'.join(map(str, error.absolute_path))}: {error.message[:160]}")
    report(not errors, f"{os.path.basename(sbom)}: valid CycloneDX {bom.get('specVersion')} "
           f"(jsonschema {importlib.metadata.version('jsonschema')}, Draft 7, "
           f"bom-1.5.schema.json), {len(errors)} errors")
    listed = dict(sbom_files(bom["metadata"]["component"]))
    for component in bom.get("components", []):
        listed.update(sbom_files(component))
    wrong = sorted(f for f in files if listed.get(f) != files[f])
    extra = sorted(set(listed) - set(files))
    report(not wrong and not extra, f"{os.path.basename(sbom)}: the SHA-256 of all {len(files)} files as packed" +
           (f"; wrong or missing for {', '.join(wrong)}" if wrong else "") +
           (f"; names files not packed: {', '.join(extra)}" if extra else ""))


if __name__ == "__main__":
    if len(sys.argv) not in (5, 6):
        sys.exit(__doc__)
    main(*sys.argv[1:5], show=sys.argv[5:] == ["--print"])
    sys.exit(1 if failed else 0)

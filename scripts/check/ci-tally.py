#!/usr/bin/env python3
"""The CI run's tally from ctest's own JUnit reports: merges them into one report, in which a test
that did not run (its fixture failed) counts as failed, since a check that could not do its work
has failed; names every failed test and every step that failed before ctest could run it; ends
with the line CI reads, "ci: N passed, M failed". Exits 1 when anything failed.
    ci-tally.py OUT.xml NAME=REPORT.xml... [--failed-step TEXT]..."""
import os
import sys
import xml.etree.ElementTree as ET

args = sys.argv[1:]
out, reports, steps = args[0], [], []
i = 1
while i < len(args):
    if args[i] == "--failed-step":
        steps.append(args[i + 1])
        i += 2
    else:
        reports.append(args[i].split("=", 1))
        i += 1

merged = ET.Element("testsuites")
passed, failed = 0, []
for name, path in reports:
    if not os.path.exists(path):
        steps.append(f"{name}: no results, ctest did not run (its step above says why)")
        continue
    suite = ET.parse(path).getroot()
    suite.set("name", name)
    for case in suite.iter("testcase"):
        if case.get("status") == "run":
            passed += 1
            continue
        failed.append(f"{name}: {case.get('name')} ({case.get('status')})")
        skipped = case.find("skipped")
        if skipped is not None:
            case.remove(skipped)
            ET.SubElement(case, "failure", message="not run: " + (skipped.get("message") or ""))
    fails = sum(1 for case in suite.iter("testcase") if case.find("failure") is not None)
    suite.set("failures", str(fails))
    suite.set("skipped", "0")
    merged.append(suite)

for step in steps:
    case = ET.SubElement(ET.SubElement(merged, "testsuite", name="steps", tests="1", failures="1"),
                         "testcase", name=step, classname="steps", status="fail")
    ET.SubElement(case, "failure", message=step)
ET.ElementTree(merged).write(out, encoding="UTF-8", xml_declaration=True)

for line in failed + [f"step: {step}" for step in steps]:
    print("failed:", line)
print(f"JUnit report: {out}")
print(f"ci: {passed} passed, {len(failed) + len(steps)} failed")
sys.exit(1 if failed or steps else 0)

#!/usr/bin/env python3
"""Runs the typed-answer fuzz target once on each of four pasted megabytes (a long number,
blanks, an exponent, UTF-16 text): each must be read within the fuzzer's time and memory limits.
    fuzz/pasted-megabytes.py build-fuzz/fuzz/numbertext_fuzz"""
import subprocess
import sys
import tempfile

mb = 1 << 20
inputs = {
    "digits": b"L" + b"7" * mb,
    "blanks": b"L" + b"1 " * (mb // 2),
    "exponent": b"L1e" + b"9" * mb,
    "utf16": b"U" + "9\u0131".encode("utf-16-le") * (mb // 4),
}
with tempfile.TemporaryDirectory() as folder:
    paths = []
    for name, data in inputs.items():
        paths.append(f"{folder}/{name}")
        with open(paths[-1], "wb") as f:
            f.write(data)
    sys.exit(subprocess.run([sys.argv[1], "-timeout=20", "-rss_limit_mb=512", *paths]).returncode)

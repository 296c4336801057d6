#!/usr/bin/env python3
"""korvel-cli on inputs that used to cost far more than their size: peak memory against the input's size
for a saved drawing of 131,073 schema-300 dimensions (goal: every command within 6x), and the time of a
preview whose inserts multiply a 10,000-line block 10,000 times (goal: linear in the input, the block
members past the budget left out), each beside `cat` of the same file.

usage: hostile.py KORVEL_CLI MAKE_HOSTILE [DIMENSIONS INSERTS MEMBERS]"""
import os
import subprocess
import sys
import tempfile
import time

CLI, MAKE = sys.argv[1:3]
DIMENSIONS, INSERTS, MEMBERS = [int(a) for a in sys.argv[3:6]] or [131_073, 10_000, 10_000]


def run(args):
    """Seconds and peak resident bytes of one run, output discarded."""
    with open(os.devnull, "wb") as null:
        start = time.perf_counter()
        process = subprocess.Popen(args, stdout=null, stderr=null)
        _, status, usage = os.wait4(process.pid, 0)
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"hostile: {' '.join(args)} failed")
    return time.perf_counter() - start, usage.ru_maxrss * 1024


def main():
    with tempfile.TemporaryDirectory() as folder:
        jww = os.path.join(folder, "dimensions.jww")
        subprocess.run([MAKE, "dimensions", str(DIMENSIONS), jww], check=True)
        size = os.path.getsize(jww)
        print(f"{DIMENSIONS:,} schema-300 dimensions in a .jww, {size / 1e6:.1f} MB:")
        png = os.path.join(folder, "out.png")
        for name, args in [("info", ["info", jww]), ("convert", ["convert", "--colors", "--layers", jww]),
                           ("preview", ["preview", jww, "-o", png]),
                           ("convert --all-layers", ["convert", "--all-layers", jww])]:
            seconds, peak = run([CLI, *args])
            print(f"  {name:22s} peak {peak / 1e6:7.1f} MB = {peak / size:4.1f}x the input (goal <= 6x), "
                  f"{seconds * 1e3:7.1f} ms")

        stream = os.path.join(folder, "inserts.jwwin")
        subprocess.run([MAKE, "inserts", str(INSERTS), str(MEMBERS), stream], check=True)
        size = os.path.getsize(stream)
        cat, _ = run(["cat", stream])
        print(f"{INSERTS:,} inserts of one {MEMBERS:,}-line block, {size / 1e6:.2f} MB (cat {cat * 1e3:.1f} ms):")
        trace = os.path.join(folder, "out.trace")
        for name, args in [("preview", ["preview", stream, "-o", png]),
                           ("preview --trace", ["preview", stream, "-o", png, "--trace", trace])]:
            seconds, peak = run([CLI, *args])
            print(f"  {name:22s} {seconds * 1e3:8.1f} ms = {seconds / cat:6.1f}x cat, peak {peak / 1e6:.1f} MB")
        print(f"  trace: {os.path.getsize(trace) / 1e6:.1f} MB")


main()

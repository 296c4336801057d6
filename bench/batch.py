#!/usr/bin/env python3
"""`korvel-cli convert FILE... -o FOLDER/` one input at a time and on every core: COUNT drawings (the real
.jww and .jws files repeated under new names, or the bench reader's drawings where there are none) converted
with -j1 and -j2, each the median of 3 runs, with the speed-up and each run's peak resident memory; on
the temporary folder's disk and in memory.

usage: batch.py KORVEL_CLI BENCH_READER [COUNT]"""
import glob
import os
import shutil
import statistics
import sys
import tempfile

from process_runs import timed, write_stream

CLI, BENCH_READER = sys.argv[1:3]
COUNT = int(sys.argv[3]) if len(sys.argv) > 3 else 200
REALDATA = os.environ.get("KORVEL_REALDATA",
                          os.path.join(os.path.dirname(__file__), "..", "..", "shared", "realdata"))


def drawings(folder):
    sources = sorted(glob.glob(os.path.join(REALDATA, "*.jww")) + glob.glob(os.path.join(REALDATA, "*.jws")))
    if not sources:
        path = os.path.join(folder, "mixed.jwwin")
        write_stream(BENCH_READER, path, 20000)
        sources = [path]
    inputs = []
    for i in range(COUNT):
        source = sources[i % len(sources)]
        name = os.path.join(folder, f"{i:04d}-{os.path.basename(source)}")
        shutil.copyfile(source, name)
        inputs.append(name)
    return inputs


def measure(folder, where):
    inputs = drawings(folder)
    results = {}
    for jobs in (1, 2):
        runs = []
        for run in range(3):
            out = os.path.join(folder, f"out-j{jobs}-{run}") + "/"
            runs.append(timed([CLI, "convert", f"-j{jobs}", "--colors", "--layers", *inputs, "-o", out],
                              expected_exit=None))
        results[jobs] = (statistics.median(r[0] for r in runs), max(r[1] for r in runs))
    for jobs, (seconds, rss) in results.items():
        print(f"{where}: {COUNT} drawings, -j{jobs}: {seconds * 1e3:8.1f} ms, peak {rss / 1e6:6.1f} MB")
    print(f"{where}: speed-up of -j2 over -j1: {results[1][0] / results[2][0]:.2f}x (goal >= 1.8x on two cores)")


def main():
    # On a disk every script is synced before it replaces the old one, which two cores cannot hurry; in
    # memory (where the system has a memory file system) the figure is the conversion's own.
    with tempfile.TemporaryDirectory() as folder:
        measure(folder, "disk  ")
    if os.path.isdir("/dev/shm"):
        with tempfile.TemporaryDirectory(dir="/dev/shm") as folder:
            measure(folder, "memory")


if __name__ == "__main__":
    main()

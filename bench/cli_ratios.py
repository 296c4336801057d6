#!/usr/bin/env python3
"""korvel-cli against the raw read, as a user runs it: `info`, `convert` and `preview` on streams of 100,000,
1,000,000 and 4,000,000 entities of both mixes (plain, and blocks: texts, dimensions and inserts of curved
blocks), each timed as the median of 5 runs (preview 3) beside `cat FILE > /dev/null` of the same file (warm
page cache), with each process's peak resident memory.

usage: cli_ratios.py KORVEL_CLI BENCH_READER [SIZES...]"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

CLI, BENCH_READER = sys.argv[1:3]
SIZES = [int(s) for s in sys.argv[3:]] or [100_000, 1_000_000, 4_000_000]


def timed(args):
    """Seconds and peak resident bytes of one run, output discarded."""
    with open(os.devnull, "wb") as null:
        start = time.perf_counter()
        process = subprocess.Popen(args, stdout=null)
        _, status, usage = os.wait4(process.pid, 0)
        seconds = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"cli_ratios: {' '.join(args)} failed")
    return seconds, usage.ru_maxrss * 1024


def median(args, runs=5):
    results = [timed(args) for _ in range(runs)]
    return statistics.median(r[0] for r in results), max(r[1] for r in results)


def main():
    with tempfile.TemporaryDirectory() as folder:
        for mix in ("plain", "blocks"):
            for entities in SIZES:
                path = os.path.join(folder, f"{mix}-{entities}.jwwin")
                subprocess.run([BENCH_READER, "--entities", str(entities), "--mix", mix, "--write", path], check=True)
                mb = os.path.getsize(path) / 1e6
                cat, _ = median(["cat", path])
                info, info_rss = median([CLI, "info", path])
                convert, convert_rss = median([CLI, "convert", "--colors", "--layers", "--hatching", "--solids", path])
                preview, preview_rss = median([CLI, "preview", path, "-o", os.path.join(folder, "preview.png")],
                                              runs=3)
                print(f"{mix:>6} {entities:>9} entities, {mb:7.1f} MB: cat {cat * 1e3:8.1f} ms; "
                      f"info {info * 1e3:8.1f} ms = {info / cat:5.1f}x cat (goal <= 4x), peak {info_rss / 1e6:7.1f} MB; "
                      f"convert {convert / cat:5.1f}x cat, beyond info {(convert - info) * 1e3:8.1f} ms, "
                      f"peak {convert_rss / 1e6:7.1f} MB; preview {preview / cat:6.1f}x cat, "
                      f"peak {preview_rss / 1e6:7.1f} MB")
                os.remove(path)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""korvel-cli export against convert with every option, as a user runs them: streams of 1,000,000 entities
(and any other sizes given) of both mixes (plain, and blocks: texts, dimensions and inserts of curved
blocks), each timed as the median of 3 runs, with each process's peak resident memory set against the
input's size.

Goals: a DXF export within 3x the time of convert with every option, its peak memory within 6x the input.

usage: export_ratios.py KORVEL_CLI BENCH_READER [SIZES...]"""
import os
import sys
import tempfile

from process_runs import median, streams_of_both_mixes

CLI, BENCH_READER = sys.argv[1:3]
SIZES = [int(s) for s in sys.argv[3:]] or [1_000_000]
EVERY_OPTION = ["--colors", "--layers", "--hatching", "--solids", "--blocks", "--dimensions", "--group-scales"]


def main():
    with tempfile.TemporaryDirectory() as folder:
        for mix, entities, path in streams_of_both_mixes(BENCH_READER, folder, SIZES):
            size = os.path.getsize(path)
            convert, convert_rss = median([CLI, "convert", "-q", *EVERY_OPTION, path, "-o",
                                           os.path.join(folder, "out.vnt"), "--force"], runs=3)
            for fmt in ("dxf", "svg"):
                out = os.path.join(folder, "out." + fmt)
                export, export_rss = median([CLI, "export", "-q", path, "-o", out, "--force"], runs=3)
                goal = "goal <= 3x convert, peak <= 6x input" if fmt == "dxf" else "no goal"
                print(f"{mix:>6} {entities:>9} entities, {size / 1e6:6.1f} MB: export {fmt} "
                      f"{export * 1e3:8.1f} ms = {export / convert:4.2f}x convert with every option "
                      f"({convert * 1e3:8.1f} ms, peak {convert_rss / 1e6:6.1f} MB), peak {export_rss / 1e6:7.1f} MB "
                      f"= {export_rss / size:4.2f}x the input, {os.path.getsize(out) / 1e6:7.1f} MB written ({goal})")
                os.remove(out)


if __name__ == "__main__":
    main()

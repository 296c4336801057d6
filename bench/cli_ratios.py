#!/usr/bin/env python3
"""korvel-cli against the raw read, as a user runs it: `info`, `convert` and `preview` on streams of 100,000,
1,000,000 and 4,000,000 entities of both mixes (plain, and blocks: texts, dimensions and inserts of curved
blocks), each timed as the median of 5 runs (preview 3) beside `cat FILE > /dev/null` of the same file (warm
page cache), with each process's peak resident memory.

Convert is also set against its floor: the cat plus formatting as many doubles with std::to_chars as the
script has operands (bench_convert --to-chars-only); on the blocks mix, `convert --blocks` too, against the
floor of its own (longer) script.

usage: cli_ratios.py KORVEL_CLI BENCH_READER BENCH_CONVERT [SIZES...]"""
import os
import subprocess
import sys
import tempfile

from process_runs import median, streams_of_both_mixes

CLI, BENCH_READER, BENCH_CONVERT = sys.argv[1:4]
SIZES = [int(s) for s in sys.argv[4:]] or [100_000, 1_000_000, 4_000_000]
CONVERT_OPTIONS = ["--colors", "--layers", "--hatching", "--solids"]


def operands(script_path):
    """The script's operands: one per comma, less the "SetArcSep," and ",0" literals."""
    count = 0
    with open(script_path, "rb") as script:
        for line in script:
            line = line.rstrip(b"\r\n")
            commas = line.count(b",")
            if commas == 0:
                continue
            commas -= b"SetArcSep" in line
            commas -= line.endswith(b",0")
            count += commas
    return count


def to_chars_seconds(count):
    out = subprocess.run([BENCH_CONVERT, "--to-chars-only", str(count)], check=True, capture_output=True, text=True)
    return float(out.stdout.split(":")[1])


def main():
    with tempfile.TemporaryDirectory() as folder:
        for mix, entities, path in streams_of_both_mixes(BENCH_READER, folder, SIZES):
            mb = os.path.getsize(path) / 1e6
            cat, _ = median(["cat", path])
            info, info_rss = median([CLI, "info", path])
            convert, convert_rss = median([CLI, "convert", "-q", *CONVERT_OPTIONS, path])
            script = os.path.join(folder, "script.vnt")
            subprocess.run([CLI, "convert", "-q", *CONVERT_OPTIONS, path, "-o", script, "--force"], check=True)
            floor = cat + to_chars_seconds(operands(script))
            if mix == "blocks":
                blocks, blocks_rss = median([CLI, "convert", "-q", *CONVERT_OPTIONS, "--blocks", path])
                subprocess.run([CLI, "convert", *CONVERT_OPTIONS, "--blocks", "-q", path, "-o", script, "--force"],
                               check=True)
                blocks_floor = cat + to_chars_seconds(operands(script))
                print(f"{mix:>6} {entities:>9} entities: convert --blocks {blocks * 1e3:8.1f} ms = "
                      f"{blocks / blocks_floor:4.2f}x its floor (goal <= 2x), {blocks / convert:4.2f}x convert "
                      f"without it, peak {blocks_rss / 1e6:7.1f} MB")
            preview, preview_rss = median([CLI, "preview", path, "-o", os.path.join(folder, "preview.png")],
                                          runs=3)
            print(f"{mix:>6} {entities:>9} entities, {mb:7.1f} MB: cat {cat * 1e3:8.1f} ms; "
                  f"info {info * 1e3:8.1f} ms = {info / cat:5.1f}x cat (goal <= 4x), peak {info_rss / 1e6:7.1f} MB; "
                  f"convert {convert / cat:5.1f}x cat = {convert / floor:4.2f}x its floor (cat + to_chars, "
                  f"goal <= 2x), beyond info {(convert - info) * 1e3:8.1f} ms, "
                  f"peak {convert_rss / 1e6:7.1f} MB; preview {preview / cat:6.1f}x cat, "
                  f"peak {preview_rss / 1e6:7.1f} MB")
            os.remove(script)


if __name__ == "__main__":
    main()

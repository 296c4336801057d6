#!/usr/bin/env python3
"""korvel-cli on inputs that used to cost far more than their size, each beside `cat` of the same file: peak
memory against the input's size (goal: every command within 6x) and time (goal: linear in the input, a text's
characters counting as work; block members past the preview's budget left out, and the trace saying so).

  - a saved drawing of schema-300 dimensions;
  - inserts that multiply a block of lines, of arcs, or of one long text;
  - one long text after a few thousand lines;
  - a million empty block definitions, and a million all named "door" with one number;
  - a clipboard folder holding a large "Jw_win" file;
  - block figures nested 64 deep with unequal scales, against the same nested 2 deep (goal: time linear in
    the members placed, the depth counted);
  - opening the drawing view on a million diagonal lines (goal: peak within 6x the input), and on texts each in
    a font of its own name (goal: within 3x of one font);
  - with KORVEL_CLIPBOARD_OWNER (tests/tools' clipboard_owner) and a display: `capture` against an owner whose
    transfer never ends (goal: refused at the clipboard limit, memory bounded by it).

usage: hostile.py KORVEL_CLI MAKE_HOSTILE BENCH_VIEW [SCALE]  (SCALE 1 is full size; the smoke test runs a
small one)"""
import os
import shutil
import subprocess
import sys
import tempfile

from process_runs import timed as run

CLI, MAKE, BENCH_VIEW = sys.argv[1:4]
SCALE = float(sys.argv[4]) if len(sys.argv) > 4 else 1.0


def scaled(n):
    return max(1, int(n * SCALE))


def measure(title, path, commands, size=None):
    size = size or os.path.getsize(path)
    cat, _ = run(["cat", path] if os.path.isfile(path) else ["cat", os.path.join(path, "Jw_win")])
    print(f"{title}, {size / 1e6:.2f} MB (cat {cat * 1e3:.1f} ms):")
    for name, args in commands:
        seconds, peak = run([CLI, *args])
        print(f"  {name:22s} peak {peak / 1e6:7.1f} MB = {peak / size:5.1f}x the input (goal <= 6x), "
              f"{seconds * 1e3:8.1f} ms = {seconds / max(cat, 1e-4):6.1f}x cat")


def every_command(path, folder):
    png = os.path.join(folder, "out.png")
    return [("info", ["info", path]), ("dump", ["dump", path]), ("convert", ["convert", "--colors", "--layers", path]),
            ("preview", ["preview", path, "-o", png]),
            ("export", ["export", path, "-o", os.path.join(folder, "out.dxf"), "--force"])]


def make(*args):
    subprocess.run([MAKE, *map(str, args)], check=True)
    return args[-1]


def main():
    with tempfile.TemporaryDirectory() as folder:
        png, trace = os.path.join(folder, "out.png"), os.path.join(folder, "out.trace")
        at = lambda name: os.path.join(folder, name)
        n = scaled(131_073)
        measure(f"{n:,} schema-300 dimensions in a .jww", make("dimensions", n, at("dimensions.jww")),
                every_command(at("dimensions.jww"), folder))

        inserts, members = scaled(10_000), 10_000
        stream = make("inserts", inserts, members, at("inserts.jwwin"))
        measure(f"{inserts:,} inserts of one {members:,}-line block", stream,
                [("preview", ["preview", stream, "-o", png]),
                 ("preview --trace", ["preview", stream, "-o", png, "--trace", trace])])

        inserts, arcs = scaled(50), 200_000
        stream = make("arc-inserts", inserts, arcs, at("arcs.jwwin"))
        measure(f"{inserts:,} inserts of one {arcs:,}-arc block", stream, [("preview", ["preview", stream, "-o", png])])

        # Past the budget whatever the scale: 1,000 characters weigh 8,001 lines, and 2,000 inserts of
        # 1,000 characters already weigh 16 million.
        inserts = max(2_000, scaled(8_192))
        stream = make("text-inserts", inserts, 1_000, at("text-inserts.jwwin"))
        measure(f"{inserts:,} inserts of one 1,000-character text", stream,
                [("preview", ["preview", stream, "-o", png]),
                 ("preview --trace", ["preview", stream, "-o", png, "--trace", trace])])
        with open(trace, "rb") as f:  # only its end: a large read would count in every later child's peak
            f.seek(max(0, os.path.getsize(trace) - 4096))
            last = f.read().splitlines()[-1]
        if not last.startswith(b"incomplete: "):
            sys.exit("hostile: the trace of a preview that left inserts out does not say so")

        characters = scaled(2_000_000)
        stream = make("long-text", 4_097, characters, at("long-text.jwwin"))
        measure(f"4,097 lines and one {characters:,}-character text", stream, every_command(stream, folder))

        blocks = scaled(1_000_000)
        stream = make("empty-blocks", blocks, at("empty-blocks.jwwin"))
        measure(f"{blocks:,} empty block definitions", stream, every_command(stream, folder))
        stream = make("alike-blocks", blocks, at("alike-blocks.jwwin"))
        measure(f"{blocks:,} empty block definitions of one name and number", stream, every_command(stream, folder))

        inserts = scaled(500)
        seconds = {}
        for depth in (2, 64):
            stream = make("chain", inserts, depth, at(f"chain-{depth}.jwwin"))
            seconds[depth], peak = run([CLI, "convert", "--blocks", stream, "-o", at("chain.vnt")])
            print(f"{inserts:,} inserts of blocks nested {depth} deep ending in 1,000 arcs, scales unequal: "
                  f"convert --blocks {seconds[depth] * 1e3:8.1f} ms, peak {peak / 1e6:6.1f} MB")
        print(f"  64 deep against 2 deep: {seconds[64] / seconds[2]:.1f}x the time for 32x the placements "
              f"(goal: linear in the members placed times their depth, within the member budget)")

        lines = scaled(1_000_000)
        stream = make("diagonals", lines, at("diagonals.jwwin"))
        size = os.path.getsize(stream)
        seconds, peak = run([BENCH_VIEW, "--open", stream])
        _, preview = run([CLI, "preview", stream, "-o", png])
        print(f"the drawing view opened on {lines:,} diagonal lines, {size / 1e6:.2f} MB: peak {peak / 1e6:.1f} MB = "
              f"{peak / size:.1f}x the input (goal <= 6x; the preview {preview / 1e6:.1f} MB), {seconds * 1e3:.0f} ms")

        texts = scaled(10000)
        own, _ = run([BENCH_VIEW, "--open", make("fonts", texts, at("fonts.jwwin"))])
        one, _ = run([BENCH_VIEW, "--open", make("one-font", texts, at("one-font.jwwin"))])
        print(f"the drawing view opened on {texts:,} one-character texts each in a font of its own name: "
              f"{own * 1e3:.0f} ms = {own / max(one, 1e-4):.1f}x the same texts in one font (goal <= 3x)")

        owner = os.environ.get("KORVEL_CLIPBOARD_OWNER")
        if owner and os.environ.get("DISPLAY"):
            endless = subprocess.Popen([owner, "--incr-forever", "0"], stdout=subprocess.PIPE)
            try:
                endless.stdout.readline()
                limit = 256 << 20
                seconds, peak = run([CLI, "capture", at("captured")], expected_exit=1)
                print(f"capture from an owner whose transfer never ends: refused after {seconds:.2f} s, peak "
                      f"{peak / 1e6:.1f} MB against the {limit >> 20} MiB limit")
            finally:
                endless.terminate()
                endless.wait()

        clip = at("clip")
        os.mkdir(clip)
        shutil.copyfile(at("arcs.jwwin"), os.path.join(clip, "Jw_win"))
        measure("a clipboard folder of the arc-block stream", clip,
                [("info", ["info", clip]), ("convert", ["convert", clip])],
                size=os.path.getsize(os.path.join(clip, "Jw_win")))


main()

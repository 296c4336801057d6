#!/usr/bin/env python3
"""The Windows build against the Linux build: korvel-cli.exe (under Wine) writes the same scripts and the
same preview traces as korvel-cli on the example and on every real stream; the GDI canvas draws every
primitive exactly as the Qt canvas does; whole previews, texts included, are reported pixel by pixel.

usage: cross_platform_test.py LINUX_BUILD WINDOWS_BUILD  (KORVEL_WINEPREFIX names the Wine prefix)"""
import glob
import os
import re
import subprocess
import sys
import tempfile

from png_pixels import decode_png

LINUX, WINDOWS = sys.argv[1:3]
SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
REALDATA = os.environ.get("KORVEL_REALDATA") or os.path.join(SOURCE, "..", "shared", "realdata")
WINE = os.path.join(SOURCE, "platform", "win32", "wine_run.sh")
OPTION_SETS = [[], ["--colors", "--layers", "--hatching", "--solids"]]


def linux(*args):
    return subprocess.run([os.path.join(LINUX, "korvel-cli"), *args], capture_output=True, timeout=120)


def windows(*args, locale=None):
    # Wine takes the Windows user's language from the locale (LC_ALL first).
    env = {**os.environ, "LC_ALL": locale} if locale else None
    return subprocess.run([WINE, os.path.join(WINDOWS, "korvel-cli.exe"), *args], capture_output=True, timeout=120,
                          env=env)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def agreement(a, b):
    pixels = [(p, q) for ra, rb in zip(a, b) for p, q in zip(ra, rb)]
    return sum(p == q for p, q in pixels) / len(pixels)


def same_numbers(a, b):
    """The same text, numbers equal but for the last bits of the two systems' sines and cosines (an axis
    along y holds a cosine of about 6e-17 of its length, which the two libraries round differently)."""
    words_a, words_b = re.split(rb"[\s\"(),]+", a), re.split(rb"[\s\"(),]+", b)
    if len(words_a) != len(words_b):
        return False
    for x, y in zip(words_a, words_b):
        if x == y:
            continue
        try:
            u, v = float(x), float(y)
        except ValueError:
            return False
        if abs(u - v) > 1e-12 * max(1.0, abs(u), abs(v)):
            return False
    return True


def main():
    failures = []
    tmp = tempfile.mkdtemp(prefix="korvel-cross-")

    # The canvases: one-pixel lines in every style, rectangles, polygons and hatches must agree exactly;
    # wide pens (only the reference-point marker uses one) are reported.
    for mode, exact in ((), True), (("--wide",), False):
        subprocess.run([os.path.join(LINUX, "tests", "canvas_sampler"), f"{tmp}/qt.png", *mode], check=True)
        subprocess.run([WINE, os.path.join(WINDOWS, "tests", "canvas_sampler.exe"), f"{tmp}/gdi.png", *mode],
                       check=True)
        share = agreement(decode_png(read(f"{tmp}/qt.png")), decode_png(read(f"{tmp}/gdi.png")))
        what = "wide pens" if mode else "one-pixel lines in every style, rectangles, polygons, hatches"
        print(f"canvas primitives, {what}: {share:.4%} of pixels agree")
        if exact and share != 1.0:
            failures.append(f"the GDI and Qt canvases draw {what} differently")

    streams = [os.path.join(SOURCE, "examples", "plan.jwwin")]
    streams += sorted(glob.glob(os.path.join(REALDATA, "*.jwwin")) + glob.glob(os.path.join(REALDATA, "*.prev1")))
    previews = []
    for stream in streams:
        name = os.path.basename(stream)
        for options in OPTION_SETS:
            a, b = linux("convert", *options, stream), windows("convert", *options, stream, "-o", "-")
            if (a.returncode, a.stdout) != (b.returncode, b.stdout):
                failures.append(f"{name} {' '.join(options) or '(no options)'}: the scripts differ")
        for extension in ("dxf", "svg"):
            a = linux("export", "-q", stream, "-o", f"{tmp}/l.{extension}")
            b = windows("export", "-q", stream, "-o", f"{tmp}/w.{extension}")
            if a.returncode != b.returncode or not same_numbers(read(f"{tmp}/l.{extension}"), read(f"{tmp}/w.{extension}")):
                failures.append(f"{name}: the {extension.upper()} exports differ")
        a = linux("preview", stream, "-o", f"{tmp}/l.png", "--trace", f"{tmp}/l.trace")
        b = windows("preview", stream, "-o", f"{tmp}/w.png", "--trace", f"{tmp}/w.trace")
        if a.returncode != b.returncode:
            failures.append(f"{name}: preview exit codes {a.returncode} and {b.returncode}")
        elif a.returncode == 0:
            if read(f"{tmp}/l.trace") != read(f"{tmp}/w.trace"):
                failures.append(f"{name}: the preview traces differ")
            previews.append((agreement(decode_png(read(f"{tmp}/l.png")), decode_png(read(f"{tmp}/w.png"))), name))
    previews.sort()

    # Files of 2 GiB and more are measured in 64 bits on both: the example followed by a sparse tail.
    big = f"{tmp}/big.jwwin"
    with open(big, "wb") as f:
        f.write(read(streams[0]))
        f.truncate((2 << 30) + 4096)
    a, b = linux("check", big), windows("check", big)
    if (a.returncode, a.stdout) != (b.returncode, b.stdout):
        failures.append(f"a 2 GiB stream: check says {a.returncode} {a.stderr!r} and {b.returncode} {b.stderr!r}")
    os.remove(big)
    # Windows' shells leave * and ? to the program: korvel-cli.exe expands them as korvel-cli does, Japanese
    # names and any letter case alike, and says so when a pattern matches nothing.
    drawings = os.path.join(tmp, "\u56f3\u9762")
    os.makedirs(drawings)
    subprocess.run([os.path.join(LINUX, "tests", "make_example"), "--corpus", f"{tmp}/seeds"], check=True)
    jww = read(sorted(glob.glob(f"{tmp}/seeds/*.jww"))[0])
    for name in ["\u5e73\u9762\u56f3.jww", "Plan2.JWW", "notes.txt"]:
        with open(os.path.join(drawings, name), "wb") as f:
            f.write(jww)
    for pattern, code, scripts in [("*.jww", 0, ["Plan2.vnt", "\u5e73\u9762\u56f3.vnt"]),
                                   ("\u5e73\u9762?.JWW", 0, ["\u5e73\u9762\u56f3.vnt"]), ("*.xyz", 1, [])]:
        out = os.path.join(tmp, "patterns")
        b = windows("convert", os.path.join(drawings, pattern), "-o", out + "/")
        written = sorted(os.listdir(out)) if os.path.isdir(out) else []
        if (b.returncode, written) != (code, scripts):
            failures.append(f"korvel-cli.exe convert {pattern}: exit {b.returncode}, wrote {written} {b.stderr!r}")
        subprocess.run(["rm", "-rf", out], check=True)
    # korvel-cli.exe speaks the Windows user's language: Japanese for a Japanese user, English otherwise.
    for locale, words in (("ja_JP.UTF-8", "\u3067\u306f\u3042\u308a\u307e\u305b\u3093"), ("en_US.UTF-8", "not a Jw_win")):
        said = windows("check", os.path.join(SOURCE, "README.md"), locale=locale).stderr.decode("utf-8", "replace")
        if words not in said:
            failures.append(f"korvel-cli.exe for a {locale} user said {said!r}")
    print(f"{len(streams)} streams: scripts ({len(OPTION_SETS)} option sets), DXF and SVG exports and preview traces compared")
    if previews:
        mean = sum(s for s, _ in previews) / len(previews)
        print(f"whole previews, texts included: mean {mean:.4%} of pixels agree; lowest {previews[0][0]:.4%} "
              f"({previews[0][1]}); {sum(s == 1.0 for s, _ in previews)} of {len(previews)} identical")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

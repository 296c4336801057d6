#!/usr/bin/env python3
"""The Linux window on a 2,000,000-line stream beside korvel-cli on the same file: open and convert with every
check box on, the longest the window went unanswered, and the peak memory of each (goal: the window within 2x
of korvel-cli's convert, never unanswered for 0.2 s).

usage: window.py KORVEL_CLI BENCH_READER BENCH_WINDOW [ENTITIES]"""
import os
import subprocess
import sys
import tempfile

from process_runs import write_stream


def peak_kb(command):
    """Runs `command` and returns its output and its peak resident memory in KB."""
    with subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True) as child:
        out = child.stdout.read()
        _, status, usage = os.wait4(child.pid, 0)
        child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        sys.exit(f"{command[0]} failed ({child.returncode})")
    return out, usage.ru_maxrss


def main():
    cli, reader, window = sys.argv[1:4]
    entities = sys.argv[4] if len(sys.argv) > 4 else "2000000"
    with tempfile.TemporaryDirectory() as folder:
        stream = os.path.join(folder, "lines.jwwin")
        write_stream(reader, stream, entities, "lines")
        _, convert = peak_kb([cli, "convert", "-q", "--colors", "--layers", "--hatching", "--solids", stream, "-o",
                              os.path.join(folder, "cli.vnt")])
        _, preview = peak_kb([cli, "preview", stream, "-o", os.path.join(folder, "cli.png")])
        out, shown = peak_kb([window, stream])
        # What each program holds for no drawing at all: the toolkit's libraries weigh on the window alone.
        empty = os.path.join(folder, "one.jwwin")
        write_stream(reader, empty, 1, "lines")
        _, cli_base = peak_kb([cli, "convert", "-q", empty, "-o", os.path.join(folder, "one.vnt")])
        _, window_base = peak_kb([window, empty])
        print(f"{entities} lines ({os.path.getsize(stream) / 1e6:.0f} MB): korvel-cli convert {convert / 1024:.0f} MB, "
              f"preview {preview / 1024:.0f} MB")
        print(f"  window: {out.strip()}")
        print(f"  window peak = {shown / convert:.2f}x korvel-cli convert, {shown / preview:.2f}x korvel-cli preview")
        above = f"{(shown - window_base) / (convert - cli_base):.2f}x" if convert > cli_base else "(nothing to compare)"
        print(f"  for one line: korvel-cli {cli_base / 1024:.0f} MB, window {window_base / 1024:.0f} MB; above that, "
              f"the window = {above} korvel-cli convert")


if __name__ == "__main__":
    main()

"""Timing a command as a user runs it, for the benchmarks: wall seconds and the process's peak resident
memory."""
import os
import statistics
import subprocess
import sys
import time


def timed(args, expected_exit=0):
    """Seconds and peak resident bytes of one run, its output discarded; a run that does not end with
    `expected_exit` (None: any) stops the benchmark."""
    with open(os.devnull, "wb") as null:
        start = time.perf_counter()
        process = subprocess.Popen(args, stdout=null, stderr=null)
        _, status, usage = os.wait4(process.pid, 0)
        seconds = time.perf_counter() - start
    if expected_exit is not None and os.waitstatus_to_exitcode(status) != expected_exit:
        sys.exit(f"{os.path.basename(sys.argv[0])}: {' '.join(args)} failed")
    return seconds, usage.ru_maxrss * 1024


def write_stream(reader, path, entities, mix=None):
    """A stream of `entities` generated entities (bench_reader's `mix` of them, or its default) written to `path`."""
    kinds = ["--mix", mix] if mix else []
    subprocess.run([reader, "--entities", str(entities), *kinds, "--write", path], check=True,
                   stdout=subprocess.DEVNULL)


def streams_of_both_mixes(reader, folder, sizes):
    """Each size of both mixes (plain, and blocks: texts, dimensions and inserts of curved blocks) as mix,
    entities and path: written in `folder` when its turn comes, removed when the next is asked for."""
    for mix in ("plain", "blocks"):
        for entities in sizes:
            path = os.path.join(folder, f"{mix}-{entities}.jwwin")
            write_stream(reader, path, entities, mix)
            yield mix, entities, path
            os.remove(path)


def median(args, runs=5):
    """The median seconds of `runs` runs, and the largest peak of them."""
    results = [timed(args) for _ in range(runs)]
    return statistics.median(r[0] for r in results), max(r[1] for r in results)

#!/usr/bin/env python3
"""korvel-cli watch end to end on a private X11 display: a helper owns CLIPBOARD three times (a Jw_cad copy,
text, another copy); watch writes exactly the two scripts that convert makes of the copies, says what it
ignored, and ends cleanly on SIGINT leaving no scratch folder.

usage: watch_test.py KORVEL_CLI CLIPBOARD_OWNER SOURCE_DIR (DISPLAY set)"""
import os
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest

CLI, OWNER, SOURCE = sys.argv[1:4]
EXAMPLE = os.path.join(SOURCE, "examples", "plan.jwwin")


# How long any one step may take before the test gives up: generous, for a busy machine. No test asserts
# how quickly a step ends, only that it does.
PATIENCE = 60


def next_line(watch, stream=None):
    """The watcher's next line on standard output (or `stream`), or a failure once PATIENCE has passed
    without one."""
    timer = threading.Timer(PATIENCE, watch.kill)
    timer.start()
    try:
        line = (stream or watch.stdout).readline()
    finally:
        timer.cancel()
    assert line, "the watcher said nothing"
    return line.decode().rstrip("\n")


def wait_until_watching(watch):
    """Returns once the watcher says it watches: from then on it sees every change and ends on Ctrl+C."""
    line = next_line(watch, watch.stderr)
    assert "watching the clipboard" in line, line


def own(watch, *formats):
    """Owns the clipboard with `formats` until the watcher has said what it made of them, then lets go."""
    owner = subprocess.Popen([OWNER, *formats], stdout=subprocess.PIPE)
    try:
        assert owner.stdout.readline().strip() == b"ready"
        return next_line(watch)
    finally:
        owner.terminate()
        owner.wait()


def resident_bytes(process):
    with open(f"/proc/{process.pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) * 1024
    return 0


def wait_until_transferring(watch):
    """Returns once the watcher holds tens of megabytes more than when it began: a transfer under way."""
    start = resident_bytes(watch)
    deadline = time.monotonic() + PATIENCE
    while resident_bytes(watch) < start + (32 << 20):
        assert time.monotonic() < deadline, "no transfer began"
        time.sleep(0.05)


class Watch(unittest.TestCase):
    def test_two_copies_and_text_make_two_scripts(self):
        with tempfile.TemporaryDirectory() as folder:
            second = os.path.join(folder, "second.jwwin")
            with open(EXAMPLE, "rb") as f:
                example = f.read()
            with open(second, "wb") as f:
                f.write(example)  # the same drawing under a new name: what matters is a second change
            junk = os.path.join(folder, "junk")
            with open(junk, "wb") as f:
                f.write(b"\1" * 16)
            out = os.path.join(folder, "scripts") + "/"
            env = {**os.environ, "TMPDIR": folder}
            watch = subprocess.Popen([CLI, "watch", "--layers", "--colors", "-o", out], stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, env=env)
            wait_until_watching(watch)
            copy = lambda stream: ("DataObject=" + junk, "Jw_win=" + stream, "Ole Private Data=" + junk)
            lines = [own(watch, *copy(EXAMPLE)), own(watch, "--text", "not a drawing"), own(watch, *copy(second))]
            watch.send_signal(signal.SIGINT)
            stdout, stderr = watch.communicate(timeout=PATIENCE)
            self.assertEqual(watch.returncode, 0, stderr)
            self.assertEqual(stdout, b"")
            self.assertTrue(lines[0].endswith("-> " + out + "clipboard-1.vnt"), lines[0])
            self.assertTrue(lines[1].endswith("not a Jw_cad drawing: ignored"), lines[1])
            self.assertTrue(lines[2].endswith("-> " + out + "clipboard-2.vnt"), lines[2])
            self.assertEqual(sorted(os.listdir(out)), ["clipboard-1.vnt", "clipboard-2.vnt"])
            expected = subprocess.run([CLI, "convert", "--layers", "--colors", EXAMPLE], capture_output=True,
                                      check=True).stdout
            for name in os.listdir(out):
                with open(os.path.join(out, name), "rb") as f:
                    self.assertEqual(f.read(), expected, name)
            self.assertEqual([n for n in os.listdir(folder) if n.startswith("korvel-watch")], [])  # no scratch left

    def watch(self, folder, limit=None):
        env = {**os.environ, "TMPDIR": folder}
        if limit is not None:
            env["KORVEL_MAX_CLIPBOARD"] = str(limit)
        return subprocess.Popen([CLI, "watch", "-o", os.path.join(folder, "scripts") + "/"], stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, env=env)

    def test_changes_in_a_row_are_converted_once_and_copies_stay_private(self):
        with tempfile.TemporaryDirectory() as folder:
            junk = os.path.join(folder, "junk")
            with open(junk, "wb") as f:
                f.write(b"\1" * 16)
            watch = self.watch(folder)
            wait_until_watching(watch)
            scratch = [n for n in os.listdir(folder) if n.startswith("korvel-watch")]
            self.assertEqual(len(scratch), 1)
            self.assertEqual(os.stat(os.path.join(folder, scratch[0])).st_mode & 0o777, 0o700)
            owner = subprocess.Popen([OWNER, "--changes", "300", "DataObject=" + junk, "Jw_win=" + EXAMPLE,
                                      "Ole Private Data=" + junk], stdout=subprocess.PIPE)
            self.assertEqual(owner.stdout.readline().strip(), b"ready")
            # The first conversion, however long a busy machine takes to it; then the rest of the burst.
            lines = [next_line(watch)]
            while " -> " not in lines[-1]:
                lines.append(next_line(watch))
            time.sleep(3)
            owner.terminate()
            owner.wait()
            watch.send_signal(signal.SIGINT)
            stdout, stderr = watch.communicate(timeout=PATIENCE)
            self.assertEqual(watch.returncode, 0, stderr)
            converted = [line for line in lines + stdout.decode().splitlines() if " -> " in line]
            self.assertTrue(1 <= len(converted) <= 10, f"{len(converted)} conversions")

    def test_an_endless_transfer_stops_at_the_limit_by_itself(self):
        with tempfile.TemporaryDirectory() as folder:
            watch = self.watch(folder, limit=3_000_000)
            wait_until_watching(watch)
            owner = subprocess.Popen([OWNER, "--incr-forever", "0"], stdout=subprocess.PIPE)
            try:
                self.assertEqual(owner.stdout.readline().strip(), b"ready")
                line = next_line(watch)
                self.assertTrue(line.endswith("the clipboard holds more than 3000000 bytes (KORVEL_MAX_CLIPBOARD sets "
                                              "the limit); nothing written"), line)
            finally:
                owner.terminate()
                owner.wait()
            watch.send_signal(signal.SIGINT)
            stdout, stderr = watch.communicate(timeout=PATIENCE)
            self.assertEqual(watch.returncode, 0, stderr)
            self.assertEqual(os.listdir(os.path.join(folder, "scripts")), [])

    def test_an_endless_transfer_ends_on_ctrl_c(self):
        with tempfile.TemporaryDirectory() as folder:
            watch = self.watch(folder, limit=1 << 40)
            wait_until_watching(watch)
            owner = subprocess.Popen([OWNER, "--incr-forever", "0"], stdout=subprocess.PIPE)
            try:
                self.assertEqual(owner.stdout.readline().strip(), b"ready")
                wait_until_transferring(watch)
                watch.send_signal(signal.SIGINT)
                # An endless transfer must end with Ctrl+C; how soon is measured in bench/hostile.py.
                stdout, stderr = watch.communicate(timeout=PATIENCE)
                self.assertEqual(watch.returncode, 0, stderr)
                self.assertIn(b"stopped before the copy was taken whole", stdout)
                self.assertEqual([n for n in os.listdir(folder) if n.startswith("korvel-watch")], [])
            finally:
                owner.terminate()
                owner.wait()

    def test_without_a_display_it_says_so(self):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        r = subprocess.run([CLI, "watch"], capture_output=True, env=env, timeout=PATIENCE)
        self.assertEqual(r.returncode, 1)
        self.assertTrue(r.stderr.startswith(b"korvel-cli: "), r.stderr)
        self.assertEqual(r.stderr.count(b"\n"), 1, r.stderr)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)

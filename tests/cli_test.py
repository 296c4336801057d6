#!/usr/bin/env python3
"""The korvel-cli contract: commands, exit codes, one-line errors, JSON keys, and real data."""
import glob
import json
import math
import os
import re
import resource
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest

CLI, MAKE_EXAMPLE, SOURCE = sys.argv[1:4]
EXAMPLE = os.path.join(SOURCE, "examples", "plan.jwwin")
REALDATA = os.environ.get("KORVEL_REALDATA") or os.path.join(SOURCE, "..", "shared", "realdata")
HEADER = b"#VAR\r\n\x81\x40n\r\n#DRAW\r\n"
KEYS = ["complete", "version", "originX", "originY", "layerGroupScales", "objectCount", "objects", "lines",
        "arcs", "points", "texts", "dimensions", "solids", "inserts", "blockDefs"]
KINDS = ["lines", "arcs", "points", "texts", "dimensions", "solids", "inserts"]


# Every command runs from a scratch folder of its own, which must be empty at the end: a command that writes
# into the current folder (a file named after an option, say) would leave it there.
SCRATCH = tempfile.mkdtemp(prefix="korvel-cli-cwd-")
os.chdir(SCRATCH)

# The tests read korvel-cli's English messages unless they choose a locale themselves.
for name in ("LC_ALL", "LC_MESSAGES"):
    os.environ.pop(name, None)
os.environ["LANG"] = "C.UTF-8"


def run(*args, stdin=None, env=None):
    return subprocess.run([CLI, *args], input=stdin, capture_output=True, timeout=120, env=env)


def wait_for_temporary(folder, process):
    """Until the process's temporary output appears in the folder or the process ends; a bound of minutes
    only keeps a hung process from holding the test (what follows checks the outcome either way)."""
    give_up = time.monotonic() + 600
    while not [n for n in os.listdir(folder) if n.endswith(".tmp")] and process.poll() is None:
        if time.monotonic() > give_up:
            break
        time.sleep(0.002)


def assert_one_line_error(test, result):
    err = result.stderr.decode()
    test.assertTrue(err.startswith("korvel-cli: "), err)
    test.assertEqual(err.count("\n"), 1, err)


class Cli(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        with open(EXAMPLE, "rb") as f:
            self.example = f.read()

    def tearDown(self):
        self.tmp.cleanup()

    def tmpfile(self, name, data=None):
        path = os.path.join(self.tmp.name, name)
        if data is not None:
            with open(path, "wb") as f:
                f.write(data)
        return path

    def test_help_version_and_usage(self):
        r = run("--help")
        self.assertEqual(r.returncode, 0)
        self.assertIn(b"exit codes", r.stdout)
        r = run("--version")
        self.assertEqual(r.returncode, 0)
        self.assertRegex(r.stdout.decode(), r"^korvel-cli \d+\.\d+(\.\d+)?\n$")
        for args in [(), ("frobnicate", EXAMPLE), ("dump",), ("check", "--bogus", EXAMPLE), ("dump", "a", "b")]:
            r = run(*args)
            self.assertEqual(r.returncode, 2, args)

    def commands_and_options(self):
        commands = ["check", "info", "dump", "convert", "export", "preview", "capture", "watch"]
        helps = [run("--help").stdout.decode()] + [run(command, "--help").stdout.decode() for command in commands]
        options = {word.rstrip(",") for text in helps for word in re.findall(r"(?<![\w-])--?[a-z][a-z-]*", text)}
        self.assertIn("--force", options)
        return sorted(options | set(commands))

    def test_both_manual_pages_name_every_command_option_and_exit_code(self):
        for language in ["", "ja"]:
            with open(os.path.join(SOURCE, "doc", language, "korvel-cli.1"), encoding="utf-8") as f:
                page = f.read().replace("\\", "")
            for name in self.commands_and_options():
                self.assertIn(name, page, language)
            for code in range(6):
                self.assertIn(f".B {code}\n", page, language)

    def test_both_readmes_name_every_command_option_and_exit_code(self):
        for readme in ["README.md", "README.ja.md"]:
            with open(os.path.join(SOURCE, readme), encoding="utf-8") as f:
                text = f.read()
            missing = [name for name in self.commands_and_options()
                       if not re.search(rf"(?<![\w-]){re.escape(name)}(?![\w-])", text)]
            self.assertEqual(missing, [], readme)
            for code in range(6):
                self.assertIn(f"| {code} |", text, readme)

    def test_example_is_what_the_writer_makes(self):
        out = self.tmpfile("plan.jwwin")
        subprocess.run([MAKE_EXAMPLE, out], check=True)
        with open(out, "rb") as f:
            self.assertEqual(f.read(), self.example, "regenerate examples/plan.jwwin with make_example")

    def test_check(self):
        r = run("check", EXAMPLE)
        self.assertEqual((r.returncode, r.stdout), (0, b"ok\n"))
        for path in [self.tmpfile("missing"), self.tmpfile("short", self.example[:147]),
                     self.tmpfile("text", b"hello world\n" * 20), self.tmp.name]:
            r = run("check", path)
            self.assertEqual(r.returncode, 1, path)
            self.assertEqual(r.stdout, b"")
            assert_one_line_error(self, r)
        r = run("check", "-", stdin=self.example)
        self.assertEqual((r.returncode, r.stdout), (0, b"ok\n"))

    def test_capture_without_a_display_says_so(self):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        r = run("capture", self.tmp.name, env=env)
        self.assertEqual(r.returncode, 1)
        assert_one_line_error(self, r)
        self.assertIn(b"no display", r.stderr)
        self.assertEqual(run("capture", "a", "b", env=env).returncode, 2)

    def test_clipboard_folder_reads_its_jw_win_file(self):
        folder = self.tmpfile("clipboard")
        os.mkdir(folder)
        self.tmpfile(os.path.join("clipboard", "DataObject"), b"\0" * 4)
        self.tmpfile(os.path.join("clipboard", "Jw_win"), self.example)
        self.assertEqual(run("info", folder).stdout, run("info", EXAMPLE).stdout)
        os.remove(os.path.join(folder, "Jw_win"))
        r = run("info", folder)
        self.assertEqual(r.returncode, 1)
        assert_one_line_error(self, r)

    def test_dump_complete(self):
        r = run("dump", EXAMPLE)
        self.assertEqual(r.returncode, 0, r.stderr)
        d = json.loads(r.stdout)
        self.assertEqual(list(d), KEYS)
        self.assertIs(d["complete"], True)
        self.assertEqual(d["version"], 700)
        self.assertEqual(len(d["layerGroupScales"]), 16)
        self.assertEqual(d["objectCount"], len(d["objects"]))
        self.assertEqual(list(d["lines"][0]), ["base", "startX", "startY", "endX", "endY"])
        self.assertEqual(list(d["lines"][0]["base"]),
                         ["group", "penStyle", "penColor", "penWidth", "layer", "layerGroup", "flags"])
        dim = d["dimensions"][0]
        self.assertEqual(list(dim), ["base", "line", "label", "sxfMode", "auxLine1", "auxLine2",
                                     "point1", "point2", "point3", "point4"])
        self.assertEqual(dim["point2"]["code"], 3)
        self.assertEqual(d["texts"][0]["fontName"], "\uff2d\uff33 \u30b4\u30b7\u30c3\u30af")
        self.assertEqual(d["texts"][0]["text"], "\u5c45\u9593")
        block = d["blockDefs"][0]
        self.assertEqual(list(block)[:7], ["base", "number", "referenced", "stamp", "name", "entityCount", "objects"])
        self.assertEqual(list(block)[7:], KINDS)
        self.assertEqual(run("dump", "-", stdin=self.example).stdout, r.stdout)

    def test_dump_partial_and_rejected(self):
        r = run("dump", self.tmpfile("cut", self.example[:-40]))
        self.assertEqual(r.returncode, 3)
        d = json.loads(r.stdout)
        self.assertIs(d["complete"], False)
        self.assertGreater(len(d["lines"]), 0)
        assert_one_line_error(self, r)
        self.assertIn("offset", r.stderr.decode())
        bad = bytearray(self.example)
        bad[16:24] = bytes(8)  # layer group 0's scale is 0
        r = run("dump", self.tmpfile("bad", bytes(bad)))
        self.assertEqual((r.returncode, r.stdout), (1, b""))
        assert_one_line_error(self, r)

    def test_dump_non_finite_numbers(self):
        data = bytearray(self.example)
        data[0:8] = bytes.fromhex("000000000000f87f")  # origin x is NaN; the header check does not look
        r = run("dump", self.tmpfile("nan", bytes(data)))
        self.assertEqual(r.returncode, 0)
        self.assertEqual(json.loads(r.stdout)["originX"], "nan")
        data[0:8] = bytes.fromhex("000000000000f0ff")  # -inf
        data[8:16] = bytes.fromhex("000000000000f07f")  # +inf
        d = json.loads(run("dump", self.tmpfile("inf", bytes(data))).stdout)
        self.assertEqual((d["originX"], d["originY"]), ("-inf", "inf"))

    def test_dump_escapes_every_string(self):
        at = self.example.index(b"chair")
        data = self.example[:at] + b'"\\\x01\tz' + self.example[at + 5:]  # quote, backslash, controls: 5 bytes
        r = run("dump", self.tmpfile("escapes", data))
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(json.loads(r.stdout)["blockDefs"][0]["name"], '"\\\x01\tz')  # was "chair"

    def test_info(self):
        r = run("info", EXAMPLE)
        self.assertEqual(r.returncode, 0)
        self.assertIn(b"chair", r.stdout)
        # A partial read still summarises what was read, and says where it stopped.
        r = run("info", self.tmpfile("cut", self.example[:-40]))
        self.assertEqual(r.returncode, 3)
        self.assertIn(b"stream version:    700", r.stdout)
        self.assertRegex(r.stdout.decode(), r"top level: +\d+ objects: [1-9]\d* lines")
        assert_one_line_error(self, r)
        # A count as the stream announces it, an unsigned 32-bit number, whatever could be read of it.
        huge = self.tmpfile("huge", self.example[:144] + b"\xff\xff" + struct.pack("<I", 0x80000010) +
                            self.example[146:])
        r = run("info", huge)
        self.assertEqual(r.returncode, 3, r.stderr)
        self.assertIn(b"top level:         2147483664 objects", r.stdout)
        self.assertIn(b"2147483664 objects cannot fit", r.stderr)
        self.assertEqual(json.loads(run("dump", huge).stdout)["objectCount"], 2147483664)

    def test_convert(self):
        r = run("convert", "--colors", "--layers", "--hatching", "--solids", EXAMPLE)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertTrue(r.stdout.startswith(HEADER))
        self.assertTrue(r.stdout.endswith(b"\r\n"))
        self.assertNotIn(b"\n", r.stdout.replace(b"\r\n", b""))
        out = self.tmpfile("out.vnt")
        r2 = run("convert", "--solids", "--hatching", "--layers", "--colors", EXAMPLE, "-o", out)
        self.assertEqual((r2.returncode, r2.stdout), (0, b""))
        with open(out, "rb") as f:
            self.assertEqual(f.read(), r.stdout)
        self.assertEqual(os.listdir(self.tmp.name), ["out.vnt"])  # no temporary left behind
        plain = run("convert", EXAMPLE).stdout
        self.assertNotIn(b"LAYER", plain)
        self.assertNotIn(b"PEN", plain)
        self.assertNotIn(b"SLD2D", plain)
        self.assertEqual(run("convert", "-", "-o", "-", stdin=self.example).stdout, plain)

    def test_convert_says_what_the_script_holds_and_reports_it(self):
        out, report = os.path.join(self.tmp.name, "p.vnt"), os.path.join(self.tmp.name, "r.json")
        r = run("convert", EXAMPLE, "-o", out, "--report", report)
        self.assertEqual(r.stderr.decode(),
                         EXAMPLE + ": lines 5, arcs 4, points 2 converted; left out: texts 1, dimensions 1 "
                         "(--dimensions converts them), block figures 2 (--blocks converts them), solids 4 "
                         "(--solids converts them), hatching 1 (--hatching converts them)\n")
        r = run("convert", "--blocks", "--dimensions", "-q", EXAMPLE, "-o", out, "--report", report)
        self.assertEqual((r.returncode, r.stderr), (0, b""))
        with open(report) as f:
            entry = json.load(f)["inputs"][0]
        # 5 lines, the dimension's line and two extension lines, 4 lines in each of the 2 chairs.
        self.assertEqual(entry["converted"], {"lines": 16, "arcs": 6, "points": 2, "solids": 0, "fromBlockFigures": 10})
        self.assertEqual(entry["leftOut"]["texts"], 2)  # the text and the dimension's value
        self.assertEqual(entry["leftOut"]["block-figures"], 0)
        for target in (EXAMPLE, out, "-"):  # never over an input or the script, never to standard output
            self.assertEqual(run("convert", EXAMPLE, "-o", out, "--report", target).returncode, 2, target)

    def test_convert_several_inputs_into_a_folder(self):
        bad = self.tmpfile("notes.txt", b"x" * 300)
        other = self.tmpfile("second.jwwin", self.example)
        out = os.path.join(self.tmp.name, "scripts")
        r = run("convert", "--layers", EXAMPLE, bad, other, "-o", out + "/")
        self.assertEqual(r.returncode, 1)  # one input failed; the others were still converted
        # Each input's line in the inputs' order: what its script holds, or why it failed.
        first, error, second, summary = r.stderr.decode().splitlines()
        self.assertTrue(first.startswith(EXAMPLE + ": lines "), first)
        self.assertTrue(error.startswith("korvel-cli: " + bad), error)
        self.assertTrue(second.startswith(other + ": lines "), second)
        self.assertEqual(summary, "2 converted, 1 failed")
        self.assertEqual(sorted(os.listdir(out)), ["plan.vnt", "second.vnt"])
        with open(os.path.join(out, "plan.vnt"), "rb") as f:
            self.assertEqual(f.read(), run("convert", "--layers", EXAMPLE).stdout)
        self.assertEqual(run("convert", EXAMPLE, other).returncode, 2)  # several FILEs need -o FOLDER

    def test_jobs_write_the_same_folder_and_say_the_same_lines_in_the_same_order(self):
        # Inputs of different sizes and outcomes, so that later ones may finish first.
        big = self.tmpfile("big.jwwin", self.example)
        inputs = []
        for i in range(12):
            if i % 4 == 1:
                inputs.append(self.tmpfile(f"bad{i}.txt", b"y" * (300 + i)))
            elif i % 4 == 3:
                inputs.append(self.tmpfile(f"cut{i}.jwwin", self.example[:-40 - i]))
            else:
                inputs.append(self.tmpfile(f"plan{i}.jwwin", self.example))
        inputs.append(big)
        results = {}
        for jobs in ("1", "3", "64"):
            out = os.path.join(self.tmp.name, f"out{jobs}") + "/"
            r = run("convert", "-j", jobs, "--colors", "--solids", *inputs, "-o", out)
            files = {}
            for name in sorted(os.listdir(out)):
                with open(os.path.join(out, name), "rb") as f:
                    files[name] = f.read()
            results[jobs] = (r.returncode, r.stderr, files)
        self.assertEqual(results["1"][0], 3)
        self.assertIn(b"7 converted, 6 failed", results["1"][1])
        self.assertEqual(len(results["1"][2]), 7)
        self.assertEqual(results["3"], results["1"])
        self.assertEqual(results["64"], results["1"])
        for jobs in ("0", "65", "two"):
            self.assertEqual(run("convert", "-j", jobs, EXAMPLE, "-o", self.tmp.name + "/").returncode, 2, jobs)

    def test_export_writes_the_format_its_name_or_option_says_and_refuses_what_would_mislead(self):
        out = self.tmpfile("out")
        os.mkdir(out)
        # The name says the format, in any case; a folder takes --format (DXF unless told).
        for name, head in [("plan.DXF", b"  0\nSECTION"), ("plan.svg", b"<?xml")]:
            r = run("export", "-q", EXAMPLE, "-o", os.path.join(out, name))
            self.assertEqual(r.returncode, 0, r.stderr)
            with open(os.path.join(out, name), "rb") as f:
                self.assertTrue(f.read().startswith(head), name)
        other = self.tmpfile("other.jwwin", self.example)
        self.assertEqual(run("export", "-q", EXAMPLE, other, "--name-by-path", "-o", out + "/", "--format", "svg",
                             "--report", os.path.join(out, "report.json")).returncode, 0)
        self.assertTrue(any(n.endswith(".jwwin.svg") for n in os.listdir(out)), os.listdir(out))
        with open(os.path.join(out, "report.json"), encoding="utf-8") as f:
            entry = json.load(f)["inputs"][0]
        # An export counts every kind it writes, each definition's members once among them.
        self.assertEqual(set(entry["converted"]), {"lines", "arcs", "points", "solids", "texts", "dimensions",
                                                   "inserts", "fromBlockFigures"})
        self.assertGreater(entry["converted"]["texts"], 0)
        # A name of another format, or one --format contradicts, is refused before anything is written.
        for args in [("-o", os.path.join(out, "plan.pdf")), ("-o", os.path.join(out, "x.svg"), "--format", "dxf"),
                     ("--format", "png")]:
            r = run("export", EXAMPLE, *args)
            self.assertEqual(r.returncode, 2, args)
            assert_one_line_error(self, r)
        self.assertFalse(os.path.exists(os.path.join(out, "plan.pdf")))
        # Never over an input.
        copy = self.tmpfile("copy.dxf", self.example)
        self.assertEqual(run("export", copy, "-o", copy).returncode, 2)
        with open(copy, "rb") as f:
            self.assertEqual(f.read(), self.example)

    def test_convert_failures(self):
        out = self.tmpfile("keep.vnt", b"previous script\r\n")
        r = run("convert", self.tmpfile("cut", self.example[:-40]), "-o", out)
        self.assertEqual(r.returncode, 3)
        with open(out, "rb") as f:
            self.assertEqual(f.read(), b"previous script\r\n")  # a partial drawing is never converted
        self.assertEqual(run("convert", self.tmpfile("bad", b"x" * 200)).returncode, 1)
        for target in [os.path.join(self.tmp.name, "no", "such", "dir.vnt"), "/dev/full"]:
            if target == "/dev/full" and not os.path.exists(target):
                continue
            r = run("convert", EXAMPLE, "-o", target)
            self.assertEqual(r.returncode, 4, target)
            assert_one_line_error(self, r)
        # A symbolic link is written through, not replaced by a new file.
        real, link = self.tmpfile("real.vnt", b""), self.tmpfile("link.vnt")
        os.symlink(real, link)
        self.assertEqual(run("convert", EXAMPLE, "-o", link).returncode, 0)
        self.assertTrue(os.path.islink(link))
        with open(real, "rb") as f:
            self.assertTrue(f.read().startswith(HEADER))
        with open("/dev/full", "wb") as full:
            r = subprocess.run([CLI, "convert", EXAMPLE], stdout=full, stderr=subprocess.PIPE)
        self.assertEqual(r.returncode, 4)

    def test_a_failed_write_leaves_the_old_file_and_no_temporary(self):
        def small_files():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)  # writes past the limit then fail with EFBIG
            resource.setrlimit(resource.RLIMIT_FSIZE, (300, 300))
        folder = os.path.join(self.tmp.name, "out")
        os.mkdir(folder)
        out = os.path.join(folder, "plan.vnt")
        with open(out, "wb") as f:
            f.write(b"previous script\r\n")
        r = subprocess.run([CLI, "convert", "--colors", "--layers", EXAMPLE, "-o", out], capture_output=True,
                           preexec_fn=small_files, timeout=120)
        self.assertEqual(r.returncode, 4)
        assert_one_line_error(self, r)
        self.assertEqual(os.listdir(folder), ["plan.vnt"])
        with open(out, "rb") as f:
            self.assertEqual(f.read(), b"previous script\r\n")

    def test_preview(self):
        png, trace = self.tmpfile("plan.png"), self.tmpfile("plan.trace")
        r = run("preview", EXAMPLE, "-o", png, "--trace", trace)
        self.assertEqual((r.returncode, r.stdout, r.stderr), (0, b"", b""))
        with open(png, "rb") as f:
            data = f.read()
        self.assertEqual(data[:8], b"\x89PNG\r\n\x1a\n")
        self.assertEqual(int.from_bytes(data[16:20], "big"), 177)  # IHDR width and height
        self.assertEqual(int.from_bytes(data[20:24], "big"), 129)
        with open(trace, encoding="utf-8") as f:
            lines = f.read().split("\n")
        self.assertEqual(lines[:2], ["rect 0 0 177 129 | pen FFFFFF solid 1 | brush FFFFFF solid",
                                     "rect 0 0 176 128 | pen 0000FF solid 0 | brush hollow"])
        self.assertEqual(lines[-1], "")
        self.assertTrue(lines[-2].startswith("polygon 72 ") and "| pen FF0000 dash 2 | brush hollow" in lines[-2])
        self.assertTrue(any(l.startswith("text ") for l in lines))
        self.assertEqual(sorted(os.listdir(self.tmp.name)), ["plan.png", "plan.trace"])
        big = run("preview", "-", "-o", "-", "--size", "400x300", stdin=self.example)
        self.assertEqual(big.returncode, 0)
        self.assertEqual(int.from_bytes(big.stdout[16:20], "big"), 400)

    def test_preview_failures(self):
        png = self.tmpfile("keep.png", b"previous image")
        self.assertEqual(run("preview", self.tmpfile("cut", self.example[:-40]), "-o", png).returncode, 3)
        self.assertEqual(run("preview", self.tmpfile("bad", b"x" * 200), "-o", png).returncode, 1)
        with open(png, "rb") as f:
            self.assertEqual(f.read(), b"previous image")  # nothing is written for a failed read
        for args in (["preview", EXAMPLE], ["preview", EXAMPLE, "-o", png, "--size", "0x10"],
                     ["preview", EXAMPLE, "-o", png, "--size", "177"], ["preview", EXAMPLE, "-o", png, "--trace"]):
            r = run(*args)
            self.assertEqual(r.returncode, 2, args)
            assert_one_line_error(self, r)
        r = run("preview", EXAMPLE, "-o", os.path.join(self.tmp.name, "no", "such.png"))
        self.assertEqual(r.returncode, 4)
        assert_one_line_error(self, r)


def same(a, b):
    if isinstance(b, float) or isinstance(a, float):
        if isinstance(a, str):
            a = float(a)
        return a == b or (math.isnan(a) and math.isnan(b))
    if isinstance(b, dict):
        return isinstance(a, dict) and all(same(a.get(k), v) for k, v in b.items())
    if isinstance(b, list):
        return isinstance(a, list) and len(a) == len(b) and all(same(x, y) for x, y in zip(a, b))
    return a == b


class Languages(unittest.TestCase):
    """korvel-cli speaks Japanese to a Japanese locale and English otherwise, every message in both."""

    def messages_in_the_code(self):
        found = []
        for path in sorted(glob.glob(os.path.join(SOURCE, "cli", "*.cpp"))):
            with open(path, encoding="utf-8") as f:
                text = f.read()
            for call in re.finditer(r'\bTr\(\s*((?:"(?:[^"\\]|\\.)*"\s*)+)', text):
                raw = "".join(re.findall(r'"((?:[^"\\]|\\.)*)"', call.group(1)))
                found.append(raw.encode("utf-8").decode("unicode_escape").encode("latin1").decode("utf-8"))
        return set(found)

    def catalogue(self):
        entries = {}
        with open(os.path.join(SOURCE, "po", "ja.po"), encoding="utf-8") as f:
            for block in f.read().split("\n\n"):
                fields, field = {}, None
                for line in block.splitlines():
                    if line.startswith(("msgid ", "msgstr ")):
                        field, _, rest = line.partition(" ")
                        fields[field] = json.loads(rest)
                    elif line.startswith('"') and field:
                        fields[field] += json.loads(line)
                if fields.get("msgid"):
                    entries[fields["msgid"]] = fields.get("msgstr", "")
        return entries

    def test_every_message_has_both_languages_and_the_same_placeholders(self):
        code, catalogue = self.messages_in_the_code(), self.catalogue()
        self.assertGreater(len(code), 80)
        self.assertEqual(sorted(code - catalogue.keys()), [], "messages without a Japanese translation")
        self.assertEqual(sorted(catalogue.keys() - code), [], "translations of messages no longer in the code")
        for english, japanese in catalogue.items():
            self.assertTrue(re.search(r"[\u3040-\u30ff\u4e00-\u9fff]", japanese), english)
            self.assertEqual(sorted(re.findall(r"\{\d\}", english)), sorted(re.findall(r"\{\d\}", japanese)), english)

    def test_the_locale_picks_the_language(self):
        bare = {k: v for k, v in os.environ.items() if k not in ("LC_ALL", "LC_MESSAGES", "LC_CTYPE", "LANG", "LANGUAGE")}
        cases = [({"LANG": "ja_JP.UTF-8"}, True), ({"LANG": "C"}, False), ({"LANG": "en_US.UTF-8"}, False),
                 ({}, False), ({"LANG": "en_US.UTF-8", "LC_MESSAGES": "ja_JP.UTF-8"}, True),
                 ({"LANG": "ja_JP.UTF-8", "LC_ALL": "C"}, False), ({"LANG": "ja_JP.UTF-8", "LC_ALL": ""}, True),
                 ({"LANG": "ja_JP.utf8"}, True), ({"LANG": "ja_JP"}, True),
                 # a terminal expecting EUC-JP or Shift-JIS gets English, never UTF-8 it would garble
                 ({"LANG": "ja_JP.eucJP"}, False), ({"LANG": "ja_JP.UTF-8", "LC_CTYPE": "ja_JP.SJIS"}, False),
                 # LANGUAGE's list comes first, as gettext reads it, except in the C locale
                 ({"LANG": "en_US.UTF-8", "LANGUAGE": "ja"}, True), ({"LANG": "ja_JP.UTF-8", "LANGUAGE": "en_GB:ja"}, False),
                 ({"LANG": "en_US.UTF-8", "LANGUAGE": "fr:ja_JP"}, True), ({"LANG": "ja_JP.UTF-8", "LANGUAGE": "fr"}, False),
                 ({"LANG": "C", "LANGUAGE": "ja"}, False)]
        for settings, japanese in cases:
            r = run("check", os.path.join(SOURCE, "README.md"), env={**bare, **settings})
            error = r.stderr.decode()
            self.assertEqual(r.returncode, 1)
            self.assertEqual("ではありません" in error, japanese, (settings, error))
            self.assertEqual("not a Jw_win drawing stream" in error, not japanese, (settings, error))
            help_text = run("--help", env={**bare, **settings}).stdout.decode()
            self.assertEqual("終了コード" in help_text, japanese, settings)


class InFolder(unittest.TestCase):
    """A test with a folder of its own (self.dir) and the example's bytes."""

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name
        with open(EXAMPLE, "rb") as f:
            self.example = f.read()

    def tearDown(self):
        self.tmp.cleanup()


class Hardening(InFolder):
    """Inputs of every kind, honest exit codes, safe replacement of outputs."""

    def setUp(self):
        super().setUp()
        self.info = run("info", EXAMPLE).stdout

    def test_every_kind_of_input_reads_alike(self):
        fifo = os.path.join(self.dir, "fifo")
        os.mkfifo(fifo)
        shell = {
            "a pipe as /dev/stdin": f"cat {EXAMPLE} | {CLI} info /dev/stdin",
            "standard input": f"{CLI} info - < {EXAMPLE}",
            "a pipe by name": f"bash -c '{CLI} info <(cat {EXAMPLE})'",
            "a FIFO": f"(cat {EXAMPLE} > {fifo} &) ; {CLI} info {fifo}",
        }
        for kind, command in shell.items():
            r = subprocess.run(command, shell=True, capture_output=True, timeout=60)
            self.assertEqual((r.returncode, r.stdout, r.stderr), (0, self.info, b""), kind)

    def test_inputs_that_are_not_drawings_are_refused_clearly(self):
        long_stream = os.path.join(self.dir, "long")  # a stream's head, then more than the limit
        with open(long_stream, "wb") as f:
            f.write(self.example[:256] + bytes(200000))
        cases = [  # (arguments, stdin, exit code, words in the message)
            (("check", "-"), "/dev/zero", 1, "not a Jw_win"),  # reads only what the check needs
            (("info", "--max-input", "100000", "-"), long_stream, 1, "input limit of 100000 bytes"),
            (("info", self.dir), None, 1, "is a directory"),
            (("info", os.path.join(self.dir, "missing")), None, 1, "No such file"),
        ]
        for args, stdin, code, words in cases:
            with open(stdin or os.devnull, "rb") as source:
                r = subprocess.run([CLI, *args], stdin=source, capture_output=True, timeout=60)
            self.assertEqual(r.returncode, code, args)
            assert_one_line_error(self, r)
            self.assertIn(words, r.stderr.decode(), args)

    @unittest.skipIf("ASAN_OPTIONS" in os.environ, "the sanitizers need more address space than the limit leaves")
    def test_running_out_of_memory_is_said_as_such(self):
        def little_memory():
            resource.setrlimit(resource.RLIMIT_AS, (1 << 30, 1 << 30))
        # A stream's head, then zeros without end.
        with subprocess.Popen(["sh", "-c", 'head -c 256 "$0"; exec cat /dev/zero', EXAMPLE],
                              stdout=subprocess.PIPE) as feed:
            r = subprocess.run([CLI, "info", "-"], stdin=feed.stdout, capture_output=True, preexec_fn=little_memory,
                               timeout=120)
            feed.kill()
        self.assertEqual(r.returncode, 5)
        assert_one_line_error(self, r)
        self.assertIn("out of memory", r.stderr.decode())
        # What is no drawing by its first bytes is refused at once, not read on to the limit.
        for args in (["export", "/dev/zero", "-o", os.path.join(self.dir, "zero.dxf")], ["info", "-"]):
            with open("/dev/zero", "rb") as zero:
                r = subprocess.run([CLI, *args], stdin=zero, capture_output=True, preexec_fn=little_memory,
                                   timeout=120)
            self.assertEqual(r.returncode, 1, args)
            assert_one_line_error(self, r)
            self.assertIn("not a Jw_win drawing stream", r.stderr.decode())
        self.assertFalse(os.path.exists(os.path.join(self.dir, "zero.dxf")))

    def test_standard_output_that_cannot_be_written_fails(self):
        for args in [("check", EXAMPLE), ("info", EXAMPLE), ("dump", EXAMPLE), ("convert", EXAMPLE),
                     ("--help",), ("--version",), ("convert", "--help")]:
            with open("/dev/full", "wb") as full:
                r = subprocess.run([CLI, *args], stdout=full, stderr=subprocess.PIPE, timeout=60)
            self.assertEqual(r.returncode, 4, args)

    def test_command_lines(self):
        cases = [  # (arguments, exit code)
            (("convert", "--help"), 0), (("preview", "--help"), 0), (("capture", "--help"), 0),
            (("convert", EXAMPLE, "-o", ""), 2), (("convert", EXAMPLE, "-o", "a", "-o", "b"), 2),
            (("preview", EXAMPLE, "-o", "x.png", "--size", "0x5"), 2), (("convert",), 2),
            (("convert", "--", EXAMPLE), 0),
        ]
        for args, code in cases:
            r = run(*args)
            self.assertEqual(r.returncode, code, args)
            if code == 2:
                assert_one_line_error(self, r)
        self.assertIn(b"--colors", run("convert", "--help").stdout)
        dashed = os.path.join(self.dir, "-plan.jwwin")
        with open(dashed, "wb") as f:
            f.write(self.example)
        r = subprocess.run([CLI, "info", "--", "-plan.jwwin"], cwd=self.dir, capture_output=True, timeout=60)
        self.assertEqual((r.returncode, r.stdout), (0, self.info))

    def test_info_shows_control_characters_in_names_escaped(self):
        at = self.example.index(b"chair")
        path = os.path.join(self.dir, "named")
        with open(path, "wb") as f:
            f.write(self.example[:at] + b"c\x1b[\x00r" + self.example[at + 5:])
        r = run("info", path)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn(b'"c\\x1B[\\x00r"', r.stdout)

    def test_outputs_are_replaced_whole_keeping_their_mode(self):
        out = os.path.join(self.dir, "plan.vnt")
        for mode in (0o600, 0o644):  # 0644 is not the temporary's own 0600
            with open(out, "wb") as f:
                f.write(b"old")
            os.chmod(out, mode)
            self.assertEqual(run("convert", EXAMPLE, "-o", out).returncode, 0)
            self.assertEqual(os.stat(out).st_mode & 0o777, mode)
        long_name = os.path.join(self.dir, "n" * 250 + ".vnt")  # 254 bytes: no room for a suffix
        self.assertEqual(run("convert", EXAMPLE, "-o", long_name).returncode, 0, "a long name")
        # Runs writing one file at once: it ends as one whole script, and no temporary stays.
        scripts = {run("convert", *o, EXAMPLE).stdout for o in ([], ["--colors", "--layers"])}
        runs = [subprocess.Popen([CLI, "convert", *(["--colors", "--layers"] if i % 2 else []), EXAMPLE, "-o", out])
                for i in range(12)]
        self.assertEqual([p.wait(timeout=60) for p in runs], [0] * 12)
        with open(out, "rb") as f:
            self.assertIn(f.read(), scripts)
        self.assertEqual(sorted(os.listdir(self.dir)), sorted(["plan.vnt", os.path.basename(long_name)]))


def lines_stream(count):
    """A schema-600 stream of `count` lines: one class definition, then references to it."""
    import struct
    header = struct.pack("<18d", 0, 0, *[1.0] * 16) + struct.pack("<HI", 0xFFFF, count)
    base = struct.pack("<iBHHHHH", 0, 1, 2, 0, 0, 0, 2)
    first = struct.pack("<HHH", 0xFFFF, 600, 8) + b"CDataSen" + base + struct.pack("<4d", 0, 0, 1, 1)
    rest = (struct.pack("<H", 0x8001) + base + struct.pack("<4d", 1, 2, 3, 4)) * (count - 1)
    return header + first + rest + struct.pack("<H", 0)


class Outputs(InFolder):
    """Where a command's output goes, and what happens to it when that fails."""

    def test_devices_pipes_and_fifos_that_take_every_byte_are_success(self):
        fifo = os.path.join(self.dir, "fifo")
        os.mkfifo(fifo)
        shell = [
            f"{CLI} convert -q {EXAMPLE} -o /dev/null",
            f"{CLI} convert -q {EXAMPLE} -o /dev/stdout | cat > /dev/null",
            f"(cat {fifo} > /dev/null &) ; {CLI} convert --quiet {EXAMPLE} -o {fifo}",
            f"{CLI} preview {EXAMPLE} -o /dev/null --trace /dev/null",
        ]
        for command in shell:
            r = subprocess.run(command, shell=True, capture_output=True, timeout=60)
            self.assertEqual((r.returncode, r.stderr), (0, b""), command)

    def test_a_folder_without_room_for_a_temporary_keeps_the_old_file(self):
        full = os.path.join(self.dir, "full")
        os.mkdir(full)
        if subprocess.run(["mount", "-t", "tmpfs", "-o", "nr_inodes=8", "tmpfs", full], capture_output=True).returncode:
            self.skipTest("a small file system cannot be mounted here")
        try:
            out = os.path.join(full, "plan.vnt")
            with open(out, "wb") as f:
                f.write(b"previous script\r\n")
            for i in range(100):  # every inode taken
                try:
                    open(os.path.join(full, str(i)), "wb").close()
                except OSError:
                    break
            r = run("convert", EXAMPLE, "-o", out)
            self.assertEqual(r.returncode, 4)
            self.assertIn(b"No space left", r.stderr)
            with open(out, "rb") as f:
                self.assertEqual(f.read(), b"previous script\r\n")
        finally:
            subprocess.run(["umount", full], check=True)

    def test_interrupting_many_conversions_leaves_no_temporary(self):
        inputs = [os.path.join(self.dir, f"in{i}.jwwin") for i in range(40)]
        for path in inputs:
            with open(path, "wb") as f:
                f.write(lines_stream(20_000))
        out = os.path.join(self.dir, "out")
        for attempt in range(40):
            os.mkdir(out)
            p = subprocess.Popen([CLI, "convert", "-j", "8", *inputs, "-o", out + "/"], stderr=subprocess.DEVNULL)
            time.sleep(0.002 * (attempt % 20))
            p.send_signal(signal.SIGINT)
            p.wait(timeout=60)
            left = [n for n in os.listdir(out) if n.endswith(".tmp")]
            self.assertEqual(left, [], f"attempt {attempt}")
            subprocess.run(["rm", "-rf", out], check=True)

    def test_terminating_signals_leave_no_temporary_and_the_old_file(self):
        big = os.path.join(self.dir, "big.jwwin")
        with open(big, "wb") as f:
            f.write(lines_stream(3_000_000))
        out = os.path.join(self.dir, "out")
        os.mkdir(out)
        target = os.path.join(out, "big.vnt")
        for sig in [signal.SIGHUP, signal.SIGQUIT, signal.SIGUSR1, signal.SIGTERM, signal.SIGINT, signal.SIGPIPE]:
            with self.subTest(signal=sig.name):
                with open(target, "wb") as f:
                    f.write(b"previous script\r\n")
                p = subprocess.Popen([CLI, "convert", big, "-o", target], stderr=subprocess.DEVNULL)
                wait_for_temporary(out, p)
                for name in [n for n in os.listdir(out) if n.endswith(".tmp")]:  # the script, as yet its owner's
                    self.assertEqual(os.stat(os.path.join(out, name)).st_mode & 0o777, 0o600)
                p.send_signal(sig)
                self.assertEqual(p.wait(timeout=60), -sig, "the run ended before the signal")
                self.assertEqual(os.listdir(out), ["big.vnt"])
                with open(target, "rb") as f:
                    self.assertEqual(f.read(), b"previous script\r\n")

    def test_new_files_get_the_umasks_mode_and_the_temporary_is_created_exclusively(self):
        out = os.path.join(self.dir, "plan.vnt")
        with open(out, "wb") as f:
            f.write(b"old")
        fresh = os.path.join(self.dir, "fresh.vnt")
        r = subprocess.run([CLI, "convert", EXAMPLE, "-o", fresh], preexec_fn=lambda: os.umask(0o027), timeout=60)
        self.assertEqual((r.returncode, os.stat(fresh).st_mode & 0o777), (0, 0o640))
        # A link planted at the temporary's name (fixed here) is never written through.
        victim = os.path.join(self.dir, "victim")
        with open(victim, "wb") as f:
            f.write(b"victim")
        os.symlink(victim, os.path.join(self.dir, ".plan.vnt.000000000abc.tmp"))
        env = dict(os.environ, KORVEL_TEMPORARY_NONCE="abc")
        self.assertEqual(run("convert", EXAMPLE, "-o", out, env=env).returncode, 0)
        with open(victim, "rb") as f:
            self.assertEqual(f.read(), b"victim")
        with open(out, "rb") as f:
            self.assertEqual(f.read(), run("convert", EXAMPLE).stdout)

    def test_read_only_outputs_are_replaced_only_when_forced(self):
        out = os.path.join(self.dir, "plan.vnt")
        png = os.path.join(self.dir, "plan.png")
        for path, args in [(out, ("convert", EXAMPLE, "-o", out)), (png, ("preview", EXAMPLE, "-o", png))]:
            with open(path, "wb") as f:
                f.write(b"old")
            os.chmod(path, 0o444)
            r = run(*args)
            self.assertEqual(r.returncode, 4, args)
            assert_one_line_error(self, r)
            self.assertIn("read-only", r.stderr.decode())
            with open(path, "rb") as f:
                self.assertEqual(f.read(), b"old")
            self.assertEqual(run(*args, "--force").returncode, 0, args)
            self.assertEqual(os.stat(path).st_mode & 0o777, 0o444)
            with open(path, "rb") as f:
                self.assertNotEqual(f.read(), b"old")
        # A file its group may write is no read-only file to a user who may write it (root, here).
        if os.geteuid() == 0:
            os.chmod(out, 0o464)
            self.assertEqual(run("convert", EXAMPLE, "-o", out).returncode, 0)

    def test_a_hangup_ignored_at_start_stays_ignored(self):
        big = os.path.join(self.dir, "big.jwwin")
        with open(big, "wb") as f:
            f.write(lines_stream(1_000_000))
        target = os.path.join(self.dir, "big.vnt")
        p = subprocess.Popen([CLI, "convert", big, "-o", target], stderr=subprocess.DEVNULL,
                             preexec_fn=lambda: signal.signal(signal.SIGHUP, signal.SIG_IGN))  # as nohup starts it
        wait_for_temporary(self.dir, p)
        p.send_signal(signal.SIGHUP)
        self.assertEqual(p.wait(timeout=60), 0)
        self.assertEqual(os.path.getsize(target), len(run("convert", big).stdout))

    def test_failed_writes_name_their_cause(self):
        def small_files():
            resource.setrlimit(resource.RLIMIT_FSIZE, (300, 300))
        out = os.path.join(self.dir, "plan.vnt")
        with open(out, "wb") as f:
            f.write(b"previous script\r\n")
        cases = [  # (arguments, limits, words in the message)
            (("convert", EXAMPLE, "-o", out), small_files, "File too large (the old file was kept)"),
            (("convert", EXAMPLE, "-o", os.path.join(self.dir, "n" * 300 + ".vnt")), None, "File name too long"),
            (("convert", EXAMPLE, "-o", os.path.join(self.dir, "no", "x.vnt")), None, "No such file or directory"),
            (("convert", EXAMPLE, "-o", "/dev/full"), None, "No space left on device"),
            (("preview", EXAMPLE, "-o", "/dev/null", "--trace", self.dir), None, "is a folder"),
        ]
        for args, limits, words in cases:
            r = subprocess.run([CLI, *args], capture_output=True, preexec_fn=limits, timeout=60)
            self.assertEqual(r.returncode, 4, args)
            assert_one_line_error(self, r)
            self.assertIn(words, r.stderr.decode(), args)
        with open(out, "rb") as f:
            self.assertEqual(f.read(), b"previous script\r\n")
        self.assertEqual(sorted(os.listdir(self.dir)), ["plan.vnt"])


class Batches(InFolder):
    """Inputs as users name them on any system: patterns (which Windows' shells leave to the program), folders
    of drawings (and their subfolders with -r), and clipboard folders."""

    def setUp(self):
        super().setUp()
        seeds = os.path.join(self.dir, "seeds")
        subprocess.run([MAKE_EXAMPLE, "--corpus", seeds], check=True)
        with open(sorted(glob.glob(os.path.join(seeds, "*.jww")))[0], "rb") as f:
            self.jww = f.read()
        for name in ["\u56f3\u9762/\u5e73\u9762\u56f3.jww", "\u56f3\u9762/Plan2.JWW", "\u56f3\u9762/notes.txt",
                     "\u56f3\u9762/sub/\u8a73\u7d30.jws"]:
            os.makedirs(os.path.dirname(os.path.join(self.dir, name)), exist_ok=True)
            with open(os.path.join(self.dir, name), "wb") as f:
                f.write(self.jww)

    def test_patterns_and_folders_stand_for_their_drawings(self):
        drawings = "\u56f3\u9762"
        cases = [  # (arguments, exit code, the scripts written below out/)
            ([f"{drawings}/*.jww"], 0, ["Plan2.vnt", "\u5e73\u9762\u56f3.vnt"]),
            ([f"{drawings}/\u5e73\u9762?.JWW"], 0, ["\u5e73\u9762\u56f3.vnt"]),
            ([f"{drawings}/p*"], 0, ["Plan2.vnt"]),
            ([drawings], 0, ["Plan2.vnt", "\u5e73\u9762\u56f3.vnt"]),
            (["-r", drawings], 0, ["Plan2.vnt", "sub/\u8a73\u7d30.vnt", "\u5e73\u9762\u56f3.vnt"]),
            ([f"{drawings}/*.xyz"], 1, []),
            ([f"{drawings}/sub/nothing?"], 1, []),
            ([f"{drawings}/sub/*"], 0, ["\u8a73\u7d30.vnt"]),
        ]
        for arguments, code, scripts in cases:
            with self.subTest(arguments=arguments):
                out = os.path.join(self.dir, "out")
                r = subprocess.run([CLI, "convert", *arguments, "-o", "out/"], cwd=self.dir, capture_output=True,
                                   timeout=60)
                self.assertEqual(r.returncode, code, r.stderr)
                written = sorted(os.path.relpath(os.path.join(root, n), out)
                                 for root, _, names in os.walk(out) for n in names)
                self.assertEqual(written, sorted(scripts))
                if code:
                    assert_one_line_error(self, r)
                    self.assertIn(arguments[-1], r.stderr.decode())
                subprocess.run(["rm", "-rf", out], check=True)
        # Names that would write one file are refused, and converted under their whole paths when asked.
        for name in ["dA/plan.jww", "dB/PLAN.jww", "dB/PLAN.jws"]:
            os.makedirs(os.path.join(self.dir, os.path.dirname(name)), exist_ok=True)
            with open(os.path.join(self.dir, name), "wb") as f:
                f.write(self.jww)
        for pair in [["dA/plan.jww", "dB/PLAN.jww"], ["dB/PLAN.jww", "dB/PLAN.jws"]]:
            r = subprocess.run([CLI, "convert", *pair, "-o", "named/"], cwd=self.dir, capture_output=True, timeout=60)
            self.assertEqual(r.returncode, 2)
            self.assertIn(b"--name-by-path", r.stderr)
            r = subprocess.run([CLI, "convert", "--name-by-path", *pair, "-o", "named/"], cwd=self.dir,
                               capture_output=True, timeout=60)
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertEqual(sorted(os.listdir(os.path.join(self.dir, "named"))),
                             sorted(p.replace("/", "_") + ".vnt" for p in pair))
            subprocess.run(["rm", "-rf", os.path.join(self.dir, "named")], check=True)
        # A folder with no drawing says where else to look; a capture's folder is still a clipboard.
        r = run("convert", os.path.join(self.dir, "seeds", ".."), "-o", os.path.join(self.dir, "o/"))
        self.assertEqual(r.returncode, 1)
        self.assertIn(b"-r looks in its subfolders", r.stderr)
        capture = os.path.join(self.dir, "capture")
        os.mkdir(capture)
        with open(os.path.join(capture, "prev.1"), "wb") as f:
            f.write(self.example)
        self.assertEqual(run("convert", capture).stdout, run("convert", EXAMPLE).stdout)


class NoDataLost(InFolder):
    """Command lines that would write over an input, or one output over another, are refused whole."""

    def path(self, *parts):
        return os.path.join(self.dir, *parts)

    def put(self, name, data):
        os.makedirs(os.path.dirname(self.path(name)), exist_ok=True)
        with open(self.path(name), "wb") as f:
            f.write(data)
        return self.path(name)

    def contents(self):
        found = {}
        for root, _, files in os.walk(self.dir):
            for name in files:
                with open(os.path.join(root, name), "rb") as f:
                    found[os.path.relpath(os.path.join(root, name), self.dir)] = f.read()
        return found

    def test_refused_before_anything_is_written(self):
        same = self.put("same.jwwin", self.example)
        os.symlink(same, self.path("link.vnt"))
        a, b = self.put("a/x.jwwin", self.example), self.put("b/x.jwwin", self.example)
        self.put("out/s.vnt", self.example)
        cases = [  # (arguments, words in the message)
            (("convert", same, "-o", same), "is the input"),
            (("convert", same, "-o", self.path("link.vnt")), "is the input"),
            (("convert", same, "-o", self.path("a", "..", "same.jwwin")), "is the input"),
            (("convert", a, b, "-o", self.path("out")), "would both be written to"),
            (("convert", a, self.put("c/X.jwwin", self.example), "-o", self.path("out")), "differ only in case"),
            (("convert", self.put("d/\uff58.jwwin", self.example), self.put("e/\uff38.jwwin", self.example), "-o",
              self.path("out")), "differ only in case"),  # full-width x and X
            (("convert", self.path("out", "s.vnt"), a, "-o", self.path("out")), "is the input"),
            (("convert", a, same, "-o", self.path("one.vnt")), "names a folder"),
            (("preview", same, "-o", self.path("p.png"), "--trace", same), "is the input"),
            (("preview", same, "-o", self.path("p.jpg")), "PNG only"),
            (("preview", same, "-o", self.path("p.png"), "--trace", self.path("a", "..", "p.png")), "both the image"),
            (("capture", self.path("clip"), "--convert", self.path("clip", "prev.1")), "the capture itself"),
            (("convert", self.path("clip"), "-o", self.path("clip", "Jw_win")), "is the input"),
            # the report never takes the place of a script, one that exists or not, by any spelling of its name
            (("convert", same, "-o", self.path("new.vnt"), "--report", self.path("new.vnt")), "also the script"),
            (("convert", same, "-o", self.path("new.vnt"), "--report", self.path("NEW.vnt")), "also the script"),
            (("convert", a, same, "-o", self.path("out"), "--report", self.path("out", "X.VNT")), "also the script"),
        ]
        # Letters Windows takes as one whatever their case, beyond ASCII: Latin-1, Greek, Cyrillic, full-width.
        for upper, lower in [("\u00c9", "\u00e9"), ("\u0391", "\u03b1"), ("\u042f", "\u044f"), ("\u0401", "\u0451"),
                             ("\uff3a", "\uff5a"), ("\uff21", "\uff41"), ("\u2160", "\u2170")]:
            cases.append((("convert", self.put(f"u/{upper}.jwwin", self.example),
                           self.put(f"l/{lower}.jwwin", self.example), "-o", self.path("out")), "differ only in case"))
        self.put("clip/Jw_win", self.example)
        for args, words in cases:
            with self.subTest(args=args):
                before = self.contents()
                r = run(*args)
                self.assertEqual(r.returncode, 2)
                assert_one_line_error(self, r)
                self.assertIn(words, r.stderr.decode())
                self.assertEqual(self.contents(), before)
        self.assertFalse(os.path.exists(self.path("one.vnt")))

    def test_folders_are_walked_as_find_walks_them(self):
        """A link to a folder met on the way is not followed (one to itself would never end, one out of the tree
        would convert what lies outside it); a link named on the command line is."""
        self.put("tree/a.jwwin", b"")
        self.put("tree/a.jww", self.example_jww())
        self.put("tree/sub/b.jww", self.example_jww())
        self.put("outside/c.jww", self.example_jww())
        os.symlink(".", self.path("tree", "loop"))
        os.symlink("..", self.path("tree", "sub", "up"))
        os.symlink(self.path("outside"), self.path("tree", "away"))
        os.symlink(self.path("tree"), self.path("named"))
        for folder in ("tree", "named"):
            with self.subTest(folder=folder):
                r = subprocess.run([CLI, "convert", "-r", folder, "-o", f"out-{folder}/"], cwd=self.dir,
                                   capture_output=True, timeout=60)
                self.assertEqual(r.returncode, 0, r.stderr)
                written = sorted(os.path.relpath(os.path.join(root, n), self.path(f"out-{folder}"))
                                 for root, _, names in os.walk(self.path(f"out-{folder}")) for n in names)
                self.assertEqual(written, ["a.vnt", "sub/b.vnt"])

    def example_jww(self):
        seeds = self.path("seeds")
        if not os.path.isdir(seeds):
            subprocess.run([MAKE_EXAMPLE, "--corpus", seeds], check=True)
        with open(sorted(glob.glob(os.path.join(seeds, "*.jww")))[0], "rb") as f:
            return f.read()

    def test_found_names_are_files_shown_escaped_and_reported_as_json(self):
        self.put("found/-", self.example)  # a file named "-": never standard input
        self.put("found/\x1b[31mred.jwwin", self.example)
        self.put("sjis/x.jww", self.example_jww())
        os.rename(self.path("sjis", "x.jww"), os.path.join(self.path("sjis").encode(), b"\x8c\x9a\x95\xa8.jww"))
        r = subprocess.run([CLI, "convert", "*", "-o", "../out/"], cwd=self.path("found"), input=b"not a drawing",
                           capture_output=True, timeout=60)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(sorted(os.listdir(self.path("out"))), sorted(["-.vnt", "\x1b[31mred.vnt"]))
        with open(self.path("out", "-.vnt"), "rb") as f:
            self.assertEqual(f.read(), run("convert", EXAMPLE).stdout)
        self.assertNotIn(b"\x1b", r.stderr)
        self.assertIn(b"\\x1B[31mred.jwwin", r.stderr)
        report = self.path("report.json")
        r = run("convert", self.path("sjis"), "-o", self.path("out-sjis") + "/", "--report", report)
        self.assertEqual(r.returncode, 0, r.stderr)
        with open(report, "rb") as f:
            entry = json.loads(f.read().decode("utf-8"))["inputs"][0]
        self.assertTrue(entry["input"].endswith("\u5efa\u7269.jww"), entry)  # 建物, decoded from CP932
        self.assertEqual(entry["inputEncoding"], "cp932")
        self.assertTrue(entry["output"].endswith("\u5efa\u7269.vnt"), entry)

    def test_an_empty_script_is_warned_of_even_when_quiet(self):
        # Group 0's scale a subnormal number: it passes the header check, and nothing can be scaled by it.
        stream = bytearray(self.example)
        stream[16:24] = struct.pack("<d", 4e-320)
        path = self.put("tiny.jwwin", bytes(stream))
        for quiet in ([], ["-q"]):
            with self.subTest(quiet=quiet):
                r = run("convert", *quiet, path, "-o", self.path("tiny.vnt"))
                self.assertEqual(r.returncode, 0, r.stderr)
                lines = r.stderr.decode().splitlines()
                self.assertEqual(len(lines), 1 if quiet else 2, lines)
                self.assertIn("warning: ", lines[-1])
                self.assertIn("in a layer group with an unusable scale", lines[-1])

    def test_folders_name_their_outputs_and_options_read_as_users_write_them(self):
        for clip in ["clipA", "clipB"]:
            self.put(os.path.join(clip, "Jw_win"), self.example)
        r = subprocess.run([CLI, "convert", "clipA/", "clipB/", "--output", "out/"], cwd=self.dir,
                           capture_output=True, timeout=60)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(sorted(os.listdir(self.path("out"))), ["clipA.vnt", "clipB.vnt"])
        r = subprocess.run([CLI, "convert", ".", "--output", "../here/"], cwd=self.path("clipA"),
                           capture_output=True, timeout=60)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(os.listdir(self.path("here")), ["clipA.vnt"])
        self.assertEqual(run("preview", EXAMPLE, "--output", self.path("p.png"), "--size", "708X516").returncode, 0)

    def test_a_script_on_a_terminal_is_shown_readable(self):
        import pty
        leader, follower = pty.openpty()
        r = subprocess.run([CLI, "convert", EXAMPLE], stdout=follower, stderr=subprocess.PIPE, timeout=60)
        os.close(follower)
        shown = b""
        while True:
            try:
                chunk = os.read(leader, 65536)
            except OSError:
                break
            if not chunk:
                break
            shown += chunk
        os.close(leader)
        self.assertEqual(r.returncode, 0, r.stderr)
        script = run("convert", EXAMPLE).stdout
        self.assertEqual(shown.replace(b"\r\n", b"\n"), script.decode("cp932").replace("\r\n", "\n").encode())


@unittest.skipUnless(os.path.isdir(REALDATA), "no real data folder")
class RealData(unittest.TestCase):
    def test_drawing_files_are_told_apart_by_their_first_bytes(self):
        files = sorted(glob.glob(os.path.join(REALDATA, "*.jww")) + glob.glob(os.path.join(REALDATA, "*.jws")))
        self.assertTrue(files)
        for path in files:
            with self.subTest(file=os.path.basename(path)):
                self.assertEqual(run("check", path).stdout, b"ok\n")
                every = json.loads(run("dump", "--all-layers", path).stdout)
                copied = json.loads(run("dump", path).stdout)
                self.assertIs(every["complete"], True)
                self.assertLessEqual(len(copied["objects"]), len(every["objects"]))
                self.assertFalse([t for t in every["texts"] if t["text"].startswith("Printer_")])
                with open(path, "rb") as f:
                    self.assertEqual(run("info", "-", stdin=f.read()).stdout, run("info", path).stdout)

    def test_dump_matches_expectations(self):
        files = sorted(glob.glob(os.path.join(REALDATA, "*.expected.json")))
        self.assertTrue(files)
        for path in files:
            stem = os.path.basename(path)[: -len(".expected.json")]
            stream = os.path.join(REALDATA, stem + (".prev1" if stem.endswith(".jwcad711") else ".jwwin"))
            twin = os.path.join(REALDATA, stem + ".sjis.expected.json")  # Unicode reads as its Shift-JIS twin
            path = twin if os.path.exists(twin) else path
            with self.subTest(stream=os.path.basename(stream)):
                with open(path, encoding="utf-8") as f:
                    e = json.load(f)
                r = run("dump", stream)
                self.assertEqual(r.returncode, 0 if e["read"] else 3, r.stderr)
                d = json.loads(r.stdout)
                self.assertIs(d["complete"], e["read"])
                self.assertEqual(d["version"], e["version"])
                self.assertTrue(same([d["originX"], d["originY"]], e["origin"]))
                self.assertTrue(same(d["layerGroupScales"], e["layerGroupScales"]))
                self.assertEqual(d["objectCount"], e["objectCount"])
                for kind in KINDS:
                    self.assertEqual(len(d[kind]), e["top"][kind], kind)
                    self.assertEqual(sum(len(b[kind]) for b in d["blockDefs"]), e["inBlocks"][kind], kind)
                if not e["read"]:
                    continue
                self.assertEqual(len(d["blockDefs"]), e["blockDefCount"])
                for kind, sample in e["samples"].items():
                    self.assertTrue(same(d[kind][0], sample["first"]), kind)
                    self.assertTrue(same(d[kind][-1], sample["last"]), kind)
                for got, want in zip(d["blockDefs"], e["blockDefs"]):
                    for key in ["number", "name", "entityCount"]:
                        self.assertEqual(got[key], want[key])


if __name__ == "__main__":
    result = unittest.main(argv=[sys.argv[0], "-v", *sys.argv[4:]], exit=False).result
    left = os.listdir(SCRATCH)
    os.chdir("/")
    shutil.rmtree(SCRATCH)
    if left:
        print(f"FAIL: the commands left {left} in the folder they ran from", file=sys.stderr)
    sys.exit(0 if result.wasSuccessful() and not left else 1)

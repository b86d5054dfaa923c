#!/usr/bin/python3
"""The one-file page: files packed by web/pack.py read back byte for byte in Emscripten's file
system, subset fonts load under their own names, and the page makes no request, in headless
Chromium from file://.

    /usr/bin/python3 tests/web/pack_test.py BUILD_WEB/web/read_files_demo.js
"""

import base64
import pathlib
import random
import subprocess
import sys
import tempfile
import time
import unittest

from fontTools.ttLib import TTFont

from harness import Browser

ROOT = pathlib.Path(__file__).resolve().parents[2]
PACK = ROOT / "web" / "pack.py"
SUBSET = ROOT / "web" / "subset_fonts.py"
DEMO_SCRIPT = None  # set from the command line

TEXT = "ケプラーの法則　第１法則 Kepler 0-9"


def pack(*args):
    """web/pack.py on the demo's script and wasm, and `args`."""
    return subprocess.run([sys.executable, PACK, "--script", DEMO_SCRIPT, "--wasm",
                           DEMO_SCRIPT.with_suffix(".wasm"), *args], capture_output=True, text=True)


class PackedPage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        work = pathlib.Path(cls.enterClassContext(tempfile.TemporaryDirectory()))
        cls.files = {
            "bytes.bin": bytes(range(256)) * 4 + random.Random(1).randbytes(65536),
            # A 24-bit 800x500 picture of large flat areas compresses like the program's own.
            "kepler.bmp": b"BM" + bytes(52) + (bytes([255, 128, 128]) * 800 * 250 +
                                               bytes([0, 255, 255]) * 800 * 250),
            "empty.dat": b"",
            "Mars.dat": "\"1999-01-01T00:00\",101.5,1.38\r\n\"火星\",0,0\n".encode("utf-8"),
        }
        options = []
        for name, data in cls.files.items():
            (work / name).write_bytes(data)
            options += ["--file", f"{name}={work / name}"]
        cls.fonts = fonts = work / "fonts"
        subprocess.run([sys.executable, SUBSET, "--out", fonts, "--text", TEXT], check=True)
        options += ["--font", "Kepler P Gothic=" + str(fonts / "kepler-p-gothic.woff2"),
                  "--font", "Kepler Gothic UB:700=" + str(fonts / "kepler-gothic-ub.woff2")]
        cls.page = work / "demo.html"
        result = pack("--out", cls.page, "--title", "demo", *options)
        assert result.returncode == 0, result.stderr
        cls.browser = cls.enterClassContext(Browser())
        cls.browser.open(cls.page)
        cls.browser.wait_for("window.demoDone", timeout=60)

    def test_every_file_reads_back_byte_for_byte_by_bare_name_and_nothing_is_requested(self):
        self.assertEqual({name: base64.b64decode(data) for name, data
                          in self.browser.value("window.embeddedFiles").items()}, self.files)
        # Packed compressed: the 1.2 MB picture must not be there as plain base64.
        self.assertLess(self.page.stat().st_size, 700_000)
        self.assertEqual(self.browser.requests(), [])
        self.assertEqual(len(self.browser.requests(include_page=True)), 1)

    def test_subset_fonts_hold_exactly_the_text_and_load_under_their_own_names(self):
        for file in ("kepler-p-gothic", "kepler-gothic-ub"):
            font = TTFont(self.fonts / f"{file}.woff2")  # WOFF2, or the packer would refuse it
            self.assertEqual(set(font.getBestCmap()), {ord(c) for c in TEXT}, file)
            self.assertFalse([r for r in font["name"].names
                              if r.nameID in (1, 4, 6, 16) and "IPA" in r.toUnicode()], file)
            self.assertGreater((self.fonts / f"{file}-LICENSE.txt").stat().st_size, 1000)
        self.assertIn("IPA Font License Agreement v1.0",
                      (self.fonts / "kepler-p-gothic-LICENSE.txt").read_text())
        self.assertEqual(sorted(self.browser.value("window.loadedFonts")),
                         ["Kepler Gothic UB loaded", "Kepler P Gothic loaded"])
        self.assertTrue(self.browser.value(
            "document.fonts.check('bold 16px \"Kepler Gothic UB\"', 'ケプラーの法則')"))

    def test_without_decompression_stream_it_says_so_and_asks_for_nothing(self):  # the last
        b = self.browser
        b.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                 {"source": "delete window.DecompressionStream;"})
        b.open(self.page)
        message = b.wait_for("document.querySelector('pre')?.textContent")
        time.sleep(0.5)  # room for a late fetch of the wasm
        self.assertEqual(message, "この ページ を 開け ません: DecompressionStream がありません")
        self.assertEqual(b.requests(), [])
        self.assertIsNone(b.value("window.demoDone"))


class Packer(unittest.TestCase):
    def test_bad_input_is_refused_with_a_message_and_no_page(self):
        work = pathlib.Path(self.enterContext(tempfile.TemporaryDirectory()))
        (work / "a.dat").write_bytes(b"1")
        (work / "font.ttf").write_bytes(b"\0\1\0\0 not woff2")
        (work / "shell.html").write_text("<html><body></body></html>")
        out = work / "out.html"
        for args, message in [
            (["--file", f"dir/a.dat={work / 'a.dat'}"], "bare file name"),
            (["--file", f"a.dat={work / 'missing.dat'}"], "cannot read file"),
            (["--file", f"a.dat={work / 'a.dat'}", "--file", f"a.dat={work / 'a.dat'}"],
             "given twice"),
            (["--file", "a.dat"], "is not NAME=PATH"),
            (["--font", f"F={work / 'font.ttf'}"], "is not WOFF2"),
            (["--shell", work / "shell.html"], "exactly once"),
            (["--wasm", DEMO_SCRIPT], "is not WebAssembly"),
        ]:
            result = pack("--out", out, *args)  # refused: 2, the message and no page
            self.assertEqual((result.returncode, message in result.stderr, out.exists()),
                             (2, True, False), (args, result.stderr))


if __name__ == "__main__":
    DEMO_SCRIPT = pathlib.Path(sys.argv.pop(1)).resolve()
    unittest.main(verbosity=2)

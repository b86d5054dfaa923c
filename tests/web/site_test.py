#!/usr/bin/python3
"""The site (web/site.py) as a web app in headless Chromium over http://127.0.0.1, from the first
visit through offline to a new build, and the cache's name against the page's bytes.

    /usr/bin/python3 tests/web/site_test.py BUILD_WEB/site
"""

import json
import pathlib
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

from harness import BrowserCase, Server

SITE = None  # set from the command line
SITE_PY = pathlib.Path(__file__).resolve().parents[2] / "web" / "site.py"
NAME = "ケプラーの法則"
QUERY = "?trace&scale=1&clock=virtual"


def png_header(data):  # (width, height, colour type)
    assert data[:8] == b"\x89PNG\r\n\x1a\n" and data[12:16] == b"IHDR"
    width, height, _, color = struct.unpack(">IIBB", data[16:26])
    return width, height, color


def worker_version(folder):
    return re.search(r'const VERSION = "([^"]*)";', (folder / "sw.js").read_text()).group(1)


class WebApp(BrowserCase):
    """One served copy of the site and one browser, through a first visit and a new build played
    offline; the steps run in their numbered order."""

    @classmethod
    def setUpClass(cls):
        cls.folder = pathlib.Path(tempfile.mkdtemp(prefix="kepler-site-"))
        cls.addClassCleanup(shutil.rmtree, cls.folder, ignore_errors=True)
        shutil.copytree(SITE, cls.folder, dirs_exist_ok=True)
        cls.server = Server(cls.folder)
        cls.addClassCleanup(cls.server.stop)
        super().setUpClass()

    def visit(self, url, play=False):  # the window starts, and the circle plays to its end
        b = self.browser
        b.open_url(url)
        b.wait_for("window.keplerFirstFrame", timeout=60)
        if play:
            b.run("document.querySelector('[data-control=\"Command1(0)\"]').click();")
            b.wait_line("Form1 Return Command1(0)", timeout=120)

    def test_1_first_visit_the_page_is_installable_and_stored(self):
        b = self.browser
        b.open_url(self.server.url(QUERY))  # the folder, as a school's server gives its address
        b.wait_for("navigator.serviceWorker.controller", timeout=60)
        manifest = b.driver.execute_cdp_cmd("Page.getAppManifest", {})
        self.assertEqual((manifest["url"], manifest["errors"]),
                         (self.server.url("manifest.webmanifest"), []))
        self.assertEqual(b.driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})
                         ["installabilityErrors"], [])
        data = json.loads(manifest["data"])
        self.assertEqual((data["name"], data["display"], data["orientation"]),
                         (NAME, "standalone", "landscape"))
        icons = [(i["sizes"], png_header((self.folder / i["src"]).read_bytes())[:2])
                 for i in data["icons"]]
        self.assertEqual(icons, [("192x192", (192, 192)), ("512x512", (512, 512))])
        # Safari's Home Screen: its tags, and a 180 px icon without transparency (shown black).
        tags = b.value("""Object.fromEntries([...document.querySelectorAll(
            'meta[name^="apple-"], link[rel="apple-touch-icon"]')].map(
            e => [e.name || e.rel, e.content || e.getAttribute("href")]))""")
        self.assertEqual((tags["apple-mobile-web-app-capable"], tags["apple-mobile-web-app-title"]),
                         ("yes", NAME))
        self.assertEqual(png_header((self.folder / tags["apple-touch-icon"]).read_bytes()),
                         (180, 180, 2))
        # The page and what it links to, under this build's name alone.
        cache = "kepler-laws-" + worker_version(self.folder)
        self.assertEqual(b.value("caches.keys()"), [cache])
        stored = b.value(f"caches.open('{cache}').then(c => c.keys())"
                         ".then(k => k.map(r => r.url.split('/').pop()).sort())")
        self.assertEqual(stored, ["apple-touch-icon.png", "icon-192.png", "icon-512.png",
                                  "index.html", "manifest.webmanifest"])

    # Offline, the stored page shows the window and plays a demonstration: the new one here.
    def test_2_a_new_build_replaces_the_stored_page_on_the_next_visit_and_plays_offline(self):
        page = self.folder / "index.html"
        page.write_text(page.read_text().replace(
            "<head>", '<head>\n<meta name="kepler-build" content="next">', 1))
        worker = self.folder / "sw.js"
        worker.write_text(worker.read_text().replace(worker_version(self.folder), "next"))
        b = self.browser
        self.visit(self.server.url(QUERY))  # this visit finds the new service worker
        b.wait_for("caches.keys().then(k => k.join() === 'kepler-laws-next')", timeout=60,
                   poll=0.2)
        self.server.stop()
        self.visit(self.server.url(QUERY), play=True)  # the one after: the new page, offline
        self.assertEqual(b.value("document.querySelector('meta[name=kepler-build]')?.content"),
                         "next")
        self.visit(self.server.url("index.html" + QUERY))  # by its file's name too

    def test_3_from_file_the_sites_page_runs_and_asks_for_no_service_worker(self):
        self.visit((self.folder / "index.html").as_uri() + QUERY, play=True)
        self.assertEqual([m for m in self.browser.console() if "offline" in m], [])


class CacheName(unittest.TestCase):
    def test_follows_the_pages_bytes(self):
        with tempfile.TemporaryDirectory() as temp:
            versions = []
            for name, text in [("a", "1"), ("b", "1"), ("c", "2")]:
                page, out = pathlib.Path(temp, name + ".html"), pathlib.Path(temp, name)
                page.write_text(f'<head><link rel="icon" href="data:,"></head>{text}')
                subprocess.run([sys.executable, SITE_PY, "--page", page, "--icons", SITE,
                                "--out", out], check=True)
                versions.append(worker_version(out))
            self.assertEqual([v == versions[0] for v in versions], [True, True, False])


if __name__ == "__main__":
    SITE = pathlib.Path(sys.argv.pop(1)).resolve()
    unittest.main(verbosity=2)

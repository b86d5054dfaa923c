#!/usr/bin/env python3
"""Makes the site: the program's page as a web app, a folder for any static web server.

    site.py --page build-web/web/kepler-laws.html --icons ICON_DIR --out build-web/site
            [--beside FILE ...]

The folder holds
  - index.html: the one-file page with the web app's lines in its head: the manifest, Safari's
    Home Screen tags and icon, the tab's icon and the service worker's registration
    (site/register.js);
  - manifest.webmanifest: the name, the icons, landscape, standalone;
  - sw.js (site/sw.js): keeps the page offline, its cache named for this build's digest;
  - icon-192.png, icon-512.png, apple-touch-icon.png from ICON_DIR (the asset tool draws them);
  - the --beside files (the fonts' licences), as they are.
Exits 2 with a message on bad input.
"""

import argparse
import hashlib
import html
import json
import pathlib
import shutil
import sys

HERE = pathlib.Path(__file__).resolve().parent / "site"
NAME = "ケプラーの法則"
ICONS = ["icon-192.png", "icon-512.png", "apple-touch-icon.png"]
# The page's stand-in icon, which keeps a served page from asking for /favicon.ico.
NO_ICON = '<link rel="icon" href="data:,">'
# The page's background, for the browser's frame and the splash of the installed app.
COLOR = "#e0e0e0"

MANIFEST = {
    "name": NAME,
    "short_name": NAME,
    "lang": "ja",
    "start_url": "index.html",
    "scope": "./",
    "display": "standalone",
    "orientation": "landscape",
    "background_color": COLOR,
    "theme_color": COLOR,
    "icons": [
        {"src": "icon-192.png", "sizes": "192x192", "type": "image/png"},
        {"src": "icon-512.png", "sizes": "512x512", "type": "image/png"},
    ],
}


class SiteError(Exception):
    pass


def head_lines(register):
    title = html.escape(NAME)
    return "\n".join([
        '<link rel="icon" href="icon-192.png">',
        "<!-- The web app: its manifest, and what Safari reads for the Home Screen. -->",
        '<link rel="manifest" href="manifest.webmanifest">',
        '<link rel="apple-touch-icon" href="apple-touch-icon.png">',
        '<meta name="apple-mobile-web-app-capable" content="yes">',
        '<meta name="mobile-web-app-capable" content="yes">',
        f'<meta name="apple-mobile-web-app-title" content="{title}">',
        '<meta name="apple-mobile-web-app-status-bar-style" content="default">',
        f'<meta name="theme-color" content="{COLOR}">',
        f"<script>\n{register}</script>",
    ])


def read(path, what):
    try:
        return pathlib.Path(path).read_bytes()
    except OSError as error:
        raise SiteError(f"cannot read {what} {path}: {error.strerror}") from None


def make(page_path, icon_dir, beside, out):
    page = read(page_path, "page").decode("utf-8")
    if page.count(NO_ICON) != 1:
        raise SiteError(f"{page_path} must hold the line {NO_ICON} exactly once")
    register = read(HERE / "register.js", "script").decode("utf-8")
    files = {
        "index.html": page.replace(NO_ICON, head_lines(register)).encode("utf-8"),
        "manifest.webmanifest": (json.dumps(MANIFEST, ensure_ascii=False, indent=2) + "\n")
                                .encode("utf-8"),
    }
    for name in ICONS:
        icon = read(pathlib.Path(icon_dir) / name, "icon")
        if icon[:8] != b"\x89PNG\r\n\x1a\n":
            raise SiteError(f"{icon_dir}/{name} is not a PNG")
        files[name] = icon
    # The cache's name: a digest of everything the service worker stores, so that any change to
    # them makes a new sw.js, which the browser takes for a new build.
    digest = hashlib.sha256()
    for name, data in files.items():
        digest.update(name.encode() + b"\0" + hashlib.sha256(data).digest())
    worker = read(HERE / "sw.js", "service worker").decode("utf-8")
    if worker.count('"@VERSION@"') != 1:
        raise SiteError("site/sw.js must hold \"@VERSION@\" exactly once")
    files["sw.js"] = worker.replace("@VERSION@", digest.hexdigest()[:16]).encode("utf-8")

    out = pathlib.Path(out)
    out.mkdir(parents=True, exist_ok=True)
    for name, data in files.items():
        (out / name).write_bytes(data)
    for path in beside:
        try:
            shutil.copyfile(path, out / pathlib.Path(path).name)
        except OSError as error:
            raise SiteError(f"cannot copy {path}: {error.strerror}") from None


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--page", required=True, help="the packed one-file page")
    parser.add_argument("--icons", required=True, help="the folder of " + ", ".join(ICONS))
    parser.add_argument("--out", required=True, help="the site's folder")
    parser.add_argument("--beside", action="append", default=[], metavar="FILE",
                        help="a file copied into the site as it is")
    args = parser.parse_args(argv)
    try:
        make(args.page, args.icons, args.beside, args.out)
    except SiteError as error:
        print(f"site.py: {error}", file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

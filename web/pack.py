#!/usr/bin/env python3
"""Packs an Emscripten program into ONE offline HTML file.

The program must be linked with -sFORCE_FILESYSTEM=1 and
-sEXPORTED_RUNTIME_METHODS=FS,addRunDependency,removeRunDependency (web/CMakeLists.txt:
kepler_web_page). The page holds:
  - the program's script, and its wasm gzip -9 and base64, compiled through Emscripten's
    Module.instantiateWasm hook. (-sSINGLE_FILE=1 would put the wasm into the script as a data:
    URL, 2.5 times as large, which its loader then fetch()es: a request in the page's network log.)
  - data files, each gzip -9 and base64, written byte for byte into the working folder of
    Emscripten's file system before main() runs (the browser's DecompressionStream inflates them),
    so the program reads them by bare name;
  - WOFF2 fonts, registered with the FontFace API from their bytes, loaded before main() runs.
Nothing is fetched: no data: or blob: URL either, so the page makes no request at all and runs
from file:// as from any web server.

    pack.py --script build-web/x.js --wasm build-web/x.wasm --out page.html --title T
            [--shell shell.html]
            [--file NAME=PATH ...] [--font "FAMILY:WEIGHT=PATH.woff2" ...]

The shell is an HTML page with the line <!--kepler:page--> where the data and scripts go (at
the end of its body); without --shell a bare page is made. Exits 2 with a message on bad input.
"""

import argparse
import base64
import gzip
import html
import json
import pathlib
import re
import sys

MARK = "<!--kepler:page-->"

BARE_SHELL = f"""<!doctype html>
<html lang="ja">
<head><meta charset="utf-8"><title>{{title}}</title></head>
<body>
{MARK}
</body>
</html>
"""

# The glue between the embedded bytes and the program: runs before the program's script.
LOADER = r"""
var Module = typeof Module != "undefined" ? Module : {};
(function () {
  function json(id) { return JSON.parse(document.getElementById(id).textContent); }
  function bytes(base64) {
    var text = atob(base64), out = new Uint8Array(text.length);
    for (var i = 0; i < text.length; ++i) out[i] = text.charCodeAt(i);
    return out;
  }
  async function gunzip(data) {
    var stream = new Blob([data]).stream().pipeThrough(new DecompressionStream("gzip"));
    return new Uint8Array(await new Response(stream).arrayBuffer());
  }
  function say(error) {
    var box = document.createElement("pre");
    box.textContent = "この ページ を 開け ません: " + error;
    document.body.appendChild(box);
  }
  function fail(error) {
    say(error);
    throw error;
  }
  // A browser without DecompressionStream gets the message and nothing more: the hook, set before
  // the program's script runs, keeps Emscripten's loader from fetching the wasm file, which is not
  // there, and the program never starts.
  if (typeof DecompressionStream == "undefined") {
    say("DecompressionStream がありません");
    Module.instantiateWasm = function () { return {}; };
    return;
  }
  var program = gunzip(bytes(document.getElementById("kepler-wasm").textContent));
  Module.instantiateWasm = function (imports, receive) {
    program.then(function (wasm) { return WebAssembly.instantiate(wasm, imports); })
      .then(function (result) { receive(result.instance, result.module); }, fail);
    return {};
  };
  Module.preRun = [].concat(Module.preRun || [], function () {
    Module.addRunDependency("kepler-embedded");
    var files = Object.entries(json("kepler-files")).map(async function (entry) {
      Module.FS.writeFile(entry[0], await gunzip(bytes(entry[1])));
    });
    var fonts = json("kepler-fonts").map(function (font) {
      var face = new FontFace(font.family, bytes(font.data), {weight: font.weight});
      document.fonts.add(face);
      return face.load();
    });
    Promise.all(files.concat(fonts)).then(function () {
      Module.removeRunDependency("kepler-embedded");
    }, fail);
  });
})();
"""


class PackError(Exception):
    pass


def read_bytes(path, what):
    try:
        return pathlib.Path(path).read_bytes()
    except OSError as error:
        raise PackError(f"cannot read {what} {path}: {error.strerror}") from None


def named_path(argument, what):
    name, sep, path = argument.partition("=")
    if not sep or not name or not path:
        raise PackError(f"{what} {argument!r} is not NAME=PATH")
    return name, path


def embedded_json(element_id, value):
    # "<" escaped so that no "</script" can end the element early.
    text = json.dumps(value, ensure_ascii=True, separators=(",", ":")).replace("<", "\\u003c")
    return f'<script type="application/json" id="{element_id}">{text}</script>'


def gzip_base64(data):
    return base64.b64encode(gzip.compress(data, 9, mtime=0)).decode()


def pack(script, wasm, files, fonts, title, shell):
    program = read_bytes(script, "script").decode("utf-8")
    binary = read_bytes(wasm, "wasm")
    if binary[:4] != b"\0asm":
        raise PackError(f"{wasm} is not WebAssembly")
    if re.search(r"</script", program, re.IGNORECASE):
        raise PackError(f"{script} contains '</script', which would end the page's script early")

    data = {}
    for argument in files:
        name, path = named_path(argument, "--file")
        if "/" in name or name in (".", "..") or "\0" in name:
            raise PackError(f"--file name {name!r} must be a bare file name")
        if name in data:
            raise PackError(f"--file {name!r} given twice")
        data[name] = gzip_base64(read_bytes(path, "file"))

    faces = []
    for argument in fonts:
        face, path = named_path(argument, "--font")
        family, _, weight = face.partition(":")
        font = read_bytes(path, "font")
        if font[:4] != b"wOF2":
            raise PackError(f"font {path} is not WOFF2")
        faces.append({"family": family, "weight": weight or "400",
                      "data": base64.b64encode(font).decode()})

    page = BARE_SHELL.replace("{title}", html.escape(title)) if shell is None else read_bytes(
        shell, "shell").decode("utf-8")
    if page.count(MARK) != 1:
        raise PackError(f"the shell must hold the line {MARK} exactly once")
    inserted = "\n".join([
        embedded_json("kepler-files", data),
        embedded_json("kepler-fonts", faces),
        f'<script type="application/octet-stream" id="kepler-wasm">{gzip_base64(binary)}</script>',
        f"<script>{LOADER}</script>",
        f"<script>\n{program}\n</script>",
    ])
    return page.replace(MARK, inserted)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--script", required=True, help="the program's .js")
    parser.add_argument("--wasm", required=True, help="the program's .wasm")
    parser.add_argument("--out", required=True, help="the HTML file to write")
    parser.add_argument("--title", default="", help="the bare page's title")
    parser.add_argument("--shell", help="an HTML page holding the line " + MARK)
    parser.add_argument("--file", action="append", default=[], metavar="NAME=PATH")
    parser.add_argument("--font", action="append", default=[], metavar="FAMILY:WEIGHT=PATH")
    args = parser.parse_args(argv)
    try:
        page = pack(args.script, args.wasm, args.file, args.font, args.title, args.shell)
    except PackError as error:
        print(f"pack.py: {error}", file=sys.stderr)
        return 2
    pathlib.Path(args.out).write_text(page, encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

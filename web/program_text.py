#!/usr/bin/env python3
"""The characters the program can show, for cutting its fonts down to them.

    program_text.py --out FILE [--exclude GLOB]... ROOT...

Writes to FILE every printable ASCII character (numbers, file names and the parts of messages
built at run time are ASCII) and every other character that stands in a string literal of a C++
file under the ROOTs (files or folders). Comments are skipped, so a comment's Japanese does not
count; so are files matching an --exclude glob (texts that never reach the window, such as the
font family names or a terminal-only message). Escapes (\\uXXXX, \\UXXXXXXXX) are read as the
characters they stand for. Exits 2 with a message on bad input.
"""

import argparse
import fnmatch
import pathlib
import re
import sys

ASCII = "".join(chr(c) for c in range(0x20, 0x7F))
SOURCE_SUFFIXES = {".cpp", ".h"}


def string_literals(source):
    """The contents of the string literals of a C++ text, escapes as written, raw strings too."""
    literals = []
    i, n = 0, len(source)
    while i < n:
        c = source[i]
        if source.startswith("//", i):
            i = source.find("\n", i)
            i = n if i < 0 else i
        elif source.startswith("/*", i):
            i = source.find("*/", i + 2)
            i = n if i < 0 else i + 2
        elif c == "R" and source.startswith('R"', i) and not (i and source[i - 1].isalnum()):
            open_paren = source.find("(", i + 2)
            delimiter = ")" + source[i + 2:open_paren] + '"'
            end = source.find(delimiter, open_paren)
            end = n if end < 0 else end
            literals.append(source[open_paren + 1:end].replace("\\", "\\\\"))
            i = end + len(delimiter)
        elif c in "\"'":
            j = i + 1
            while j < n and source[j] != c and source[j] != "\n":
                j += 2 if source[j] == "\\" else 1
            if c == '"':
                literals.append(source[i + 1:j])
            i = j + 1
        else:
            i += 1
    return literals


def unescape(literal):
    return re.sub(r"\\u([0-9a-fA-F]{4})|\\U([0-9a-fA-F]{8})",
                  lambda m: chr(int(m.group(1) or m.group(2), 16)), literal)


def source_files(roots, excludes):
    for root in roots:
        path = pathlib.Path(root)
        if not path.exists():
            raise FileNotFoundError(root)
        files = [path] if path.is_file() else sorted(path.rglob("*"))
        for file in files:
            if file.suffix in SOURCE_SUFFIXES and not any(
                    fnmatch.fnmatch(file.as_posix(), pattern) for pattern in excludes):
                yield file


def program_text(roots, excludes):
    characters = set(ASCII)
    for file in source_files(roots, excludes):
        for literal in string_literals(file.read_text(encoding="utf-8")):
            characters.update(c for c in unescape(literal) if ord(c) > 0x7F)
    return "".join(sorted(characters))


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--out", required=True, type=pathlib.Path)
    parser.add_argument("--exclude", action="append", default=[], metavar="GLOB")
    parser.add_argument("roots", nargs="+")
    args = parser.parse_args(argv)
    try:
        text = program_text(args.roots, args.exclude)
    except (OSError, UnicodeDecodeError) as error:
        print(f"program_text.py: {error}", file=sys.stderr)
        return 2
    args.out.parent.mkdir(parents=True, exist_ok=True)
    args.out.write_text(text, encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

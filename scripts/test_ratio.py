#!/usr/bin/python3
"""How large the tests are against the rest of the code, in the repository's tracked files.

Counts code lines: lines with something besides blanks and comments (C++ and JavaScript // and
/* */ comments; Python and shell # comments, and Python docstrings). Languages: C++ (.cpp, .h),
Python (.py), shell (.sh, and files without an extension that start with a shell #!) and
JavaScript (.js). Build files, HTML, Markdown and data are not counted.

Tests are the files under tests/: what ctest and CI run to pass or fail. Everything else counted
is code: the program (src/), its tools (tools/, web/, cmake helpers in shell or Python), the
scripts, the fuzz harnesses (fuzz/) and the benchmarks (bench/, web/bench/); they are shown
apart in the breakdown so that either can be moved to the other side by hand.

Prints two ratios, C++ tests to the other C++, and tests to code over every language, then a
breakdown by folder. Always exits 0: it reports and fails nothing.

Usage: scripts/test_ratio.py [--files]   (--files: one line per file as well)
"""

import ast
import collections
import os
import subprocess
import sys

LANGUAGES = {".cpp": "C++", ".h": "C++", ".py": "Python", ".sh": "shell", ".js": "JavaScript"}
ORDER = ["C++", "Python", "shell", "JavaScript"]


def language(path):
    extension = os.path.splitext(path)[1]
    if extension in LANGUAGES:
        return LANGUAGES[extension]
    if extension == "" or path.startswith("."):
        try:
            with open(path, "rb") as f:
                first = f.readline()
        except OSError:
            return None
        if first.startswith(b"#!") and (b"sh" in first.split(b"/")[-1]):
            return "shell"
    return None


def c_code_lines(text):
    """Lines of C++ or JavaScript with code outside comments."""
    count = 0
    in_block = False
    for line in text.splitlines():
        code = False
        i, n = 0, len(line)
        quote = None
        while i < n:
            c = line[i]
            if in_block:
                if line.startswith("*/", i):
                    in_block = False
                    i += 2
                    continue
                i += 1
                continue
            if quote:
                if c == "\\":
                    i += 2
                    continue
                if c == quote:
                    quote = None
                i += 1
                continue
            if line.startswith("//", i):
                break
            if line.startswith("/*", i):
                in_block = True
                i += 2
                continue
            if not c.isspace():
                code = True
                if c in "\"'`":
                    quote = c
            i += 1
        count += code
    return count


def hash_code_lines(text, docstrings=()):
    """Lines of Python or shell with code outside # comments and the given docstring lines."""
    count = 0
    for number, line in enumerate(text.splitlines(), start=1):
        stripped = line.strip()
        if stripped and not stripped.startswith("#") and number not in docstrings:
            count += 1
    return count


def docstring_lines(text):
    """Line numbers of the module's, classes' and functions' docstrings."""
    try:
        tree = ast.parse(text)
    except SyntaxError:
        return set()
    lines = set()
    for node in ast.walk(tree):
        if isinstance(node, (ast.Module, ast.ClassDef, ast.FunctionDef, ast.AsyncFunctionDef)):
            body = node.body
            if body and isinstance(body[0], ast.Expr) and isinstance(body[0].value, ast.Constant) \
                    and isinstance(body[0].value.value, str):
                lines.update(range(body[0].lineno, body[0].end_lineno + 1))
    return lines


def code_lines(path, lang):
    with open(path, encoding="utf-8", errors="replace") as f:
        text = f.read()
    if lang in ("C++", "JavaScript"):
        return c_code_lines(text)
    if lang == "Python":
        return hash_code_lines(text, docstring_lines(text))
    return hash_code_lines(text)


def side(path):
    return "test" if path.startswith("tests/") else "code"


def folder(path):
    """The breakdown's row: the top folder and the one below it."""
    parts = path.split("/")[:-1]
    return "/".join(parts[:2]) if parts else "."


def percent(part, whole):
    return "%.1f %%" % (100.0 * part / whole) if whole else "-"


def main():
    os.chdir(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    files = subprocess.run(["git", "ls-files"], check=True, stdout=subprocess.PIPE,
                           text=True).stdout.splitlines()
    totals = collections.Counter()  # (side, language) -> lines
    folders = collections.defaultdict(collections.Counter)  # folder -> language -> lines
    per_file = []
    for path in files:
        lang = language(path)
        if lang is None or not os.path.isfile(path):
            continue
        lines = code_lines(path, lang)
        totals[side(path), lang] += lines
        folders[folder(path)][lang] += lines
        per_file.append((lines, path))

    def total(which, langs=ORDER):
        return sum(totals[which, lang] for lang in langs)

    print("Code lines (not blank, not only a comment); tests are tests/, code all else.")
    print("C++ tests %d / other C++ %d = %s" %
          (total("test", ["C++"]), total("code", ["C++"]),
           percent(total("test", ["C++"]), total("code", ["C++"]))))
    print("All tests %d / all code %d = %s   (C++, Python, shell, JavaScript)" %
          (total("test"), total("code"), percent(total("test"), total("code"))))
    print()
    print("%-24s %-5s %6s %6s %6s %6s %6s" % ("folder", "side", "total", "C++", "Python", "shell",
                                            "JS"))
    for name in sorted(folders, key=lambda f: (side(f + "/"), f)):
        counts = folders[name]
        print("%-24s %-5s %6d %6d %6d %6d %6d" % (
            name, side(name + "/"), sum(counts.values()), *[counts[lang] for lang in ORDER]))
    if "--files" in sys.argv[1:]:
        print()
        for lines, path in sorted(per_file, reverse=True):
            print("%6d %s" % (lines, path))
    return 0


if __name__ == "__main__":
    sys.exit(main())

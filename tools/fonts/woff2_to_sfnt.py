#!/usr/bin/python3
"""Unwraps a WOFF2 font into the plain OpenType file it holds, for the desktop build.

    /usr/bin/python3 tools/fonts/woff2_to_sfnt.py IN.woff2 OUT

The desktop embeds the same two subset faces as the browser page (web/subset_fonts.py cuts them,
as WOFF2); Qt hands the bytes to FreeType, which reads WOFF2 only when it was built with Brotli,
so the program carries them as plain TrueType (glyf) or CFF OpenType files. Only the wrapping
changes: every table, and so every glyph, stays as the subsetter wrote it. Exits 2 with a message
on bad input.
"""

import sys

from fontTools.ttLib import TTFont, TTLibError


def main(argv):
    if len(argv) != 2:
        print(__doc__.split("\n\n")[1].strip(), file=sys.stderr)
        return 2
    source, target = argv
    try:
        font = TTFont(source)
        if font.flavor != "woff2":
            raise TTLibError(f"not a WOFF2 font (flavor {font.flavor!r})")
        font.flavor = None
        font.save(target)
    except (OSError, TTLibError) as error:
        print(f"woff2_to_sfnt.py: {source}: {error}", file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

#!/usr/bin/python3
"""Subsets the program's two Japanese faces to exactly the characters it shows, as WOFF2.

    /usr/bin/python3 web/subset_fonts.py --out DIR (--text TEXT | --text-file FILE)

On the desktop, "ＭＳ Ｐゴシック" is played by IPAPGothic (fonts-ipafont-gothic) and
"HG創英角ｺﾞｼｯｸUB" by Noto Sans CJK JP Bold (fonts-noto-cjk). For each face this writes DIR/FILE.woff2
whose character map holds exactly the given characters (line ends in a text file excepted), with
fontTools' subsetter (pyftsubset's library; hinting and the horizontal layout features kept), with
the desktop's line metrics (use_desktop_line_metrics), and the face's licence beside it.

Licences. The IPA Font License v1.0 lets a document embed the font to show its own content
(Art. 2.5); a subset may be read as a derived program, so, following Art. 3.1, its family and file
names carry no "IPA" (the copyright notice, name ID 0, stays as it is) and the licence text is
shipped beside it. Noto Sans CJK is under the SIL Open Font License 1.1, whose reserved name
("Source") the subset does not use; it is renamed alike, and its licence shipped too.
Prints each file and its size. Exits 2 with a message on bad input.
"""

import argparse
import pathlib
import shutil
import sys

from fontTools import subset
from fontTools.ttLib import TTCollection, TTFont

FACES = [
    {
        "source": "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf",
        "collection_family": None,
        "package": "fonts-ipafont-gothic",
        "family": "Kepler P Gothic",
        "style": "Regular",
        "file": "kepler-p-gothic",
    },
    {
        "source": "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc",
        "collection_family": "Noto Sans CJK JP",
        "package": "fonts-noto-cjk",
        "family": "Kepler Gothic UB",
        "style": "Bold",
        "file": "kepler-gothic-ub",
    },
]

# Name IDs that name the face: family, unique ID, full name, PostScript name, typographic family,
# compatible full name, WWS family. The copyright (0), version (5) and licence (13, 14) stay.
FAMILY_NAME_IDS = (1, 3, 4, 6, 16, 18, 21)


class SubsetError(Exception):
    pass


def load_face(face):
    source = face["source"]
    if not pathlib.Path(source).exists():
        raise SubsetError(f"{source} is missing: apt-get install {face['package']}")
    if face["collection_family"] is None:
        return TTFont(source)
    for number, font in enumerate(TTCollection(source).fonts):
        if font["name"].getDebugName(1) == face["collection_family"]:
            return TTFont(source, fontNumber=number)
    raise SubsetError(f"{source} holds no {face['collection_family']}")


def rename(font, family, style):
    """Gives the face its own family name in every name record and in a CFF table's names."""
    postscript = family.replace(" ", "") + "-" + style
    full = family if style == "Regular" else f"{family} {style}"
    names = font["name"]
    names.names = [record for record in names.names if record.nameID not in FAMILY_NAME_IDS]
    for name_id, text in ((1, family), (3, f"{postscript} (kepler-laws subset)"), (4, full),
                          (6, postscript), (16, family), (18, full), (21, family)):
        names.setName(text, name_id, 3, 1, 0x409)  # Windows, English
    if "CFF " in font:
        cff = font["CFF "].cff
        cff.fontNames = [postscript]
        top = cff.topDictIndex[0]
        top.FamilyName = family
        top.FullName = full


def use_desktop_line_metrics(font):
    """Gives the face one ascent and descent for every browser: the OS/2 table's Windows values,
    which the desktop reads (Qt on FreeType), also as the hhea and typographic values (which
    browsers on Linux, macOS and iPadOS read), with no line gap. IPAPGothic's hhea descent is a
    third smaller than its Windows one, so its lines would otherwise stand 1.2 px closer in a
    browser than on the desktop, and a centred caption half a pixel lower."""
    os2, hhea = font["OS/2"], font["hhea"]
    hhea.ascent, hhea.descent, hhea.lineGap = os2.usWinAscent, -os2.usWinDescent, 0
    os2.sTypoAscender, os2.sTypoDescender, os2.sTypoLineGap = os2.usWinAscent, -os2.usWinDescent, 0
    os2.fsSelection |= 1 << 7  # USE_TYPO_METRICS


def subset_face(face, characters, out_dir):
    font = load_face(face)
    options = subset.Options()
    options.flavor = "woff2"
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.notdef_outline = True
    # The program writes horizontally only: no vertical forms (a fifth of Noto's subset).
    options.layout_features = [f for f in options.layout_features
                               if f not in ("vert", "vrt2", "vkrn", "vpal", "valt")]
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=[ord(c) for c in characters])
    subsetter.subset(font)
    rename(font, face["family"], face["style"])
    use_desktop_line_metrics(font)

    kept = set(font.getBestCmap())
    wanted = {ord(c) for c in characters}
    if kept != wanted:
        missing = "".join(chr(c) for c in sorted(wanted - kept))
        raise SubsetError(f"{face['source']} lacks {missing!r}")
    for record in font["name"].names:
        if record.nameID in FAMILY_NAME_IDS and "IPA" in record.toUnicode():
            raise SubsetError(f"name ID {record.nameID} still says {record.toUnicode()!r}")

    out = out_dir / f"{face['file']}.woff2"
    font.flavor = "woff2"
    font.save(out)
    licence = out_dir / f"{face['file']}-LICENSE.txt"
    shutil.copyfile(f"/usr/share/doc/{face['package']}/copyright", licence)
    return out, licence


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--out", required=True, type=pathlib.Path)
    text = parser.add_mutually_exclusive_group(required=True)
    text.add_argument("--text")
    text.add_argument("--text-file", type=pathlib.Path)
    args = parser.parse_args()
    try:
        raw = args.text if args.text is not None else args.text_file.read_text(encoding="utf-8")
    except (OSError, UnicodeDecodeError) as error:
        print(f"subset_fonts.py: cannot read {args.text_file}: {error}", file=sys.stderr)
        return 2
    characters = sorted(set(raw) - {"\n", "\r"})
    if not characters:
        print("subset_fonts.py: no characters to keep", file=sys.stderr)
        return 2
    args.out.mkdir(parents=True, exist_ok=True)
    try:
        for face in FACES:
            out, licence = subset_face(face, characters, args.out)
            print(f"{out} {out.stat().st_size} bytes ({face['family']}), licence {licence.name}")
    except SubsetError as error:
        print(f"subset_fonts.py: {error}", file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main())

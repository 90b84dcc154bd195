#!/usr/bin/env python3
"""make_phonetic_font.py SOURCE.ttf OUT.ttf

Builds the phonetic-line font: the ASCII code points of the transcription alphabet carry the
phonetic symbols, so the stored line stays ASCII (what the user copies) while the screen shows
the symbols. Made from an OFL font and renamed, as its licence asks of a modified version.
"""
import logging
import string
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

FAMILY = "Chenxing Phonetic"
logging.getLogger("fontTools").setLevel(logging.ERROR)  # subsetting notes about tables we drop

# ASCII character -> the symbol it stands for.
SYMBOLS = {
    "5": 0x02C8, "`": 0x02C8, "9": 0x02CC, ":": 0x02D0,
    "A": 0x00E6, "B": 0x0251, "C": 0x0254, "E": 0x0259, "F": 0x0283, "I": 0x026A,
    "J": 0x028A, "N": 0x014B, "Q": 0x028C, "R": 0x0252, "T": 0x00F0, "V": 0x0292,
    "W": 0x03B8, "\\": 0x025C, "^": 0x0261,
}


def fit_line_to_ink(font):
    """The source's line (ascent 2450, descent 900 units) is 26 px tall at 16 px, more than the
    one-line phonetic box holds, so descenders (p, g, ŋ, ʒ) fell below its edge. The line is made
    exactly as tall as the ink of the characters it maps, so every symbol draws whole."""
    glyf = font["glyf"]
    drawn = set(font.getBestCmap().values())
    boxes = [glyf[name] for name in drawn if getattr(glyf[name], "numberOfContours", 0)]
    top = max(g.yMax for g in boxes)
    bottom = min(g.yMin for g in boxes)
    hhea, os2 = font["hhea"], font["OS/2"]
    hhea.ascent, hhea.descent, hhea.lineGap = top, bottom, 0
    os2.sTypoAscender, os2.sTypoDescender, os2.sTypoLineGap = top, bottom, 0
    os2.usWinAscent, os2.usWinDescent = top, -bottom
    os2.fsSelection |= 1 << 7  # USE_TYPO_METRICS: every renderer takes the same line


def main():
    src, out = sys.argv[1], sys.argv[2]
    font = TTFont(src)
    cmap = font.getBestCmap()
    mapping = {}
    for ch in string.printable[:95]:
        code = SYMBOLS.get(ch, ord(ch))
        if code in cmap:
            mapping[ord(ch)] = cmap[code]
    missing = [ch for ch, code in SYMBOLS.items() if code not in cmap]
    if missing:
        sys.exit(f"{src} lacks the symbols for {missing}")
    opts = subset.Options()
    opts.layout_features = []
    opts.name_IDs = ["*"]
    opts.name_languages = ["*"]
    opts.notdef_outline = True
    opts.hinting = True
    sub = subset.Subsetter(opts)
    sub.populate(glyphs=sorted(set(mapping.values())))
    sub.subset(font)
    for table in font["cmap"].tables:
        if table.isUnicode():
            table.cmap = dict(mapping)
    fit_line_to_ink(font)
    names = font["name"]
    style = names.getDebugName(2) or "Regular"
    for rec in list(names.names):
        if rec.nameID in (1, 16):
            rec.string = FAMILY
        elif rec.nameID == 4:
            rec.string = f"{FAMILY} {style}"
        elif rec.nameID == 6:
            rec.string = f"{FAMILY.replace(' ', '')}-{style.replace(' ', '')}"
        elif rec.nameID in (3, 18):
            rec.string = f"{FAMILY} {style}"
    font.save(out)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Cuts the caption font down to the glyphs of the rank captions, read from the game's own
rank table, so the page carries a few kilobytes instead of the whole face.
Usage: subset-font.py RankTable.h FONT.ttf OUT.woff"""
import re
import sys

from fontTools import subset


def main():
    table, font, out = sys.argv[1:4]
    with open(table, encoding="utf-8") as f:
        captions = re.findall(r'\{\s*-?\d+\s*,\s*"((?:[^"\\]|\\.)*)"\s*\}', f.read())
    if len(captions) < 2:
        sys.exit(f"subset-font: no rank captions found in {table}")
    text = "".join(captions)
    subset.main([font, f"--text={text}", f"--output-file={out}", "--flavor=woff",
                 "--layout-features=*", "--no-hinting", "--desubroutinize"])


if __name__ == "__main__":
    main()

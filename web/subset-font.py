#!/usr/bin/env python3
"""Cuts the caption font down to the glyphs of the rank captions, read from the game's own
rank table as the build writes it, so the page carries a few kilobytes instead of the whole face.
Usage: subset-font.py game-tables.json FONT.ttf OUT.woff"""
import json
import sys

from fontTools import subset


def main():
    table, font, out = sys.argv[1:4]
    with open(table, encoding="utf-8") as f:
        captions = [rank["caption"] for rank in json.load(f)["ranks"]]
    if len(captions) < 2:
        sys.exit(f"subset-font: no rank captions found in {table}")
    text = "".join(captions)
    subset.main([font, f"--text={text}", f"--output-file={out}", "--flavor=woff",
                 "--layout-features=*", "--no-hinting", "--desubroutinize"])


if __name__ == "__main__":
    main()

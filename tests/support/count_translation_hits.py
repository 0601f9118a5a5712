#!/usr/bin/env python3
"""Counts, straight from the quran-json package, the ayat that the translation searches of
the tests should list, with Python's own Unicode case folding and decomposition: an
independent reckoning to set the reader's search against.

Writes one line per search: code TAB query TAB hits, the hits as "surah:ayah" joined by
spaces in surah and ayah order.

Usage: count_translation_hits.py PACKAGE_DIST_DIR OUT_FILE
"""
import json
import sys
import unicodedata

# (language code, query): the searches the issue names, with the default options (either
# case, accents ignored, any part of a word).
SEARCHES = [
    ("ru", "аллах"),
    ("tr", "İbrahim"),
    ("tr", "ibrahim"),
    ("fr", "prière"),
    ("zh", "真主"),
]

# Letters that are letters of their own in a language: ignoring accents keeps them.
OWN_LETTERS = {"tr": set("çğıöşü"), "sv": set("åäö"), "es": set("ñ")}


def fold(text, code):
    if code == "tr":
        text = text.replace("İ", "i").replace("I", "ı")
    text = text.lower()
    kept = OWN_LETTERS.get(code, set())
    out = []
    for ch in text:
        if ch in kept:
            out.append(ch)
            continue
        for part in unicodedata.normalize("NFD", ch):
            if unicodedata.category(part) != "Mn":
                out.append(part)
    return "".join(out).replace("ё", "е")


def main():
    dist, out_path = sys.argv[1], sys.argv[2]
    lines = []
    for code, query in SEARCHES:
        with open(f"{dist}/quran_{code}.json", encoding="utf-8") as f:
            surahs = json.load(f)
        word = fold(query, code)
        hits = [f"{s['id']}:{v['id']}" for s in surahs for v in s["verses"]
                if word in fold(v["translation"], code)]
        lines.append(f"{code}\t{query}\t{' '.join(hits)}\n")
    with open(out_path, "w", encoding="utf-8") as f:
        f.writelines(lines)


if __name__ == "__main__":
    main()

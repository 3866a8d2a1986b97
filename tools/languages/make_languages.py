#!/usr/bin/env python3
"""Builds data/Languages/*.Language from the UTF-8 sources in this folder.

Each source <Name>.txt holds the file exactly as the program reads it, in UTF-8 with LF line
ends: a version line ending in the program's version text, then 73 lines "Label = text".
The output is written in the language's Windows code page with CR LF line ends.

    make_languages.py           write the seven files
    make_languages.py --check   only verify that the written files are up to date
"""

import pathlib
import sys

VERSION_TEXT = "Torvane  4.11"
ITEM_COUNT = 73

# (source name, output file, code page) in LanguageIndex order.
LANGUAGES = [
    ("English", "Torvane_English.Language", "cp1252"),
    ("Spanish", "Torvane_Spanish.Language", "cp1252"),
    ("German", "Torvane_German.Language", "cp1252"),
    ("French", "Torvane_French.Language", "cp1252"),
    ("Dutch", "Torvane_Dutch.Language", "cp1252"),
    ("Polish", "Torvane_Polish.Language", "cp1250"),
    ("Japanese", "Torvane_Japanese.Language", "cp932"),
]

# Items that become drop-down menu entries: "|" would split an entry, ">" and "=" are the
# menu control's sub-menu and separator markers.
MENU_ITEMS = {1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 17, 18, 64} | set(range(20, 27))
# Items whose placeholder the program replaces ("???" call sign, "***" version or title).
PLACEHOLDERS = {42: "???", 58: "???", 61: "???", 51: "***", 71: "***"}

HERE = pathlib.Path(__file__).resolve().parent
OUT_DIR = HERE.parent.parent / "data" / "Languages"


def fail(name, line_no, message):
    sys.exit(f"{name}.txt:{line_no}: {message}")


def parse(name):
    """Returns (version line, [(label, text)]) after checking the source's shape."""
    text = (HERE / f"{name}.txt").read_text(encoding="utf-8")
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    if len(lines) != ITEM_COUNT + 1:
        fail(name, len(lines), f"{len(lines)} lines, want {ITEM_COUNT + 1}")
    version = lines[0]
    at = version.rfind("Torvane")
    if at < 0 or version[at:] != VERSION_TEXT:
        fail(name, 1, f"version line must end in {VERSION_TEXT!r}")
    items = []
    for item, line in enumerate(lines[1:], start=1):
        label, sep, value = line.partition(" = ")
        if not sep or not label.isascii() or not label.isalnum():
            fail(name, item + 1, "want 'Label = text' with a plain label")
        # Both readers must agree: no further "=" (group A takes the text after the last
        # one) and no blanks at the ends (group B keeps them).
        if "=" in value or value != value.strip() or not value:
            fail(name, item + 1, "text empty, padded or holding '='")
        if item in MENU_ITEMS and any(c in value for c in "|>"):
            fail(name, item + 1, "menu text holding '|' or '>'")
        mark = PLACEHOLDERS.get(item)
        if mark and mark not in value:
            fail(name, item + 1, f"text lacks the placeholder {mark}")
        items.append((label, value))
    return version, items


def build(name, codepage):
    version, items = parse(name)
    lines = [version] + [f"{label} = {value}" for label, value in items]
    for line_no, line in enumerate(lines, start=1):
        for ch in line:
            try:
                ch.encode(codepage)
            except UnicodeEncodeError:
                fail(name, line_no, f"{ch!r} (U+{ord(ch):04X}) is not in {codepage}")
    return "".join(line + "\r\n" for line in lines).encode(codepage), items


def main():
    check = "--check" in sys.argv[1:]
    labels = None
    stale = []
    for name, file_name, codepage in LANGUAGES:
        data, items = build(name, codepage)
        these = [label for label, _ in items]
        if labels is None:
            labels = these
        elif these != labels:
            sys.exit(f"{name}.txt: labels differ from {LANGUAGES[0][0]}.txt")
        target = OUT_DIR / file_name
        if check:
            if not target.exists() or target.read_bytes() != data:
                stale.append(file_name)
        else:
            OUT_DIR.mkdir(parents=True, exist_ok=True)
            target.write_bytes(data)
    if stale:
        sys.exit("out of date: " + ", ".join(stale) + " (run make_languages.py)")


if __name__ == "__main__":
    main()

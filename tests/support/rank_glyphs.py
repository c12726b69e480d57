"""Checks the rank glyphs of a score table in a "-textboxes" list: each
NAME=RANK given must have a row whose glyph (U+2460 + rank) stands under
its name, within the row.

    python3 rank_glyphs.py PICTURE.texts NAME=RANK...
"""
import sys

FIRST, LAST = 0x2460, 0x2460 + 17


def boxes(path):
    out = []
    for line in open(path, encoding="utf-8"):
        if line.startswith("text "):
            parts = line.rstrip("\n").split(" | ", 2)
            x, y, w, h = (float(v) for v in parts[1].split())
            out.append((x, y, w, h, parts[2]))
    return out


def main():
    shown = boxes(sys.argv[1])
    glyphs = [(y + h / 2, ord(t) - FIRST) for x, y, w, h, t in shown if len(t) == 1 and FIRST <= ord(t) <= LAST]
    ok = True
    for pair in sys.argv[2:]:
        name, rank = pair.rsplit("=", 1)
        rows = [y + h / 2 for x, y, w, h, t in shown if t == name]
        if not rows:
            print("no row of", name, "among", [t for *_, t in shown][:40])
            ok = False
            continue
        # The row's glyph is the nearest one below the name's line.
        below = sorted((g - rows[0], r) for g, r in glyphs if g > rows[0])
        got = below[0][1] if below else None
        print(name, "wears rank", got, "wanted", rank)
        ok = ok and got == int(rank)
    sys.exit(0 if ok else 1)


main()

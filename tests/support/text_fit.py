#!/usr/bin/env python3
"""Reads the ".texts" files the game writes beside its pictures with
-textboxes and prints every text that leaves the frame it belongs to, runs
off the screen, meets another text or runs over a button, box or page dots
it does not belong to, every HUD plate or labelled button that leaves
the screen, every HUD key tag or message plate over a HUD button, and every
arrow drawn beside a notice or question box. Exit 1 when any does. "--rim N"
first: a text in a panel must also keep N pixels from the panel's top and
bottom edges.

Lines: "screen W H", "frame ID PARENT leaf|panel | x y w h | kind" and
"text FRAME | x y w h | text" (pixels; FRAME -1 is the screen)."""
import sys

SLACK = 3.0     # pixels a letter may overhang its frame by (glyph ink past its advance)
MEET = 1.5      # pixels two boxes may share before they meet


def read(path):
    screen, frames, texts = None, {}, []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("screen "):
                w, h = line.split()[1:3]
                screen = [0.0, 0.0, float(w), float(h)]
                continue
            head, _, rest = line.partition(" | ")
            words = head.split()
            if words[0] == "frame":
                box, _, kind = rest.partition(" | ")
                frames[int(words[1])] = (int(words[2]), words[3] == "leaf", [float(v) for v in box.split()], kind)
            elif words[0] == "text":
                box, _, text = rest.partition(" | ")
                texts.append((int(words[1]), [float(v) for v in box.split()], text))
    return screen, frames, texts


def inside(box, frame):
    x, y, w, h = box
    fx, fy, fw, fh = frame
    return x >= fx - SLACK and y >= fy - SLACK and x + w <= fx + fw + SLACK and y + h <= fy + fh + SLACK


def shared(a, b):
    w = min(a[0] + a[2], b[0] + b[2]) - max(a[0], b[0])
    h = min(a[1] + a[3], b[1] + b[3]) - max(a[1], b[1])
    return min(w, h)


def fmt(r):
    return "(%d,%d %dx%d)" % tuple(round(v) for v in r)


def check(path, rim=0.0):
    screen, frames, texts = read(path)
    faults = []
    # A box over the page (a notice, a question) hides what was drawn before
    # it: the page's texts under it and the page's frames.
    alerts = [fid for fid, frame in frames.items() if frame[3] == "MenuAlert"]

    def chain_of(owner):
        chain, at = set(), owner
        while at >= 0 and at not in chain:
            chain.add(at)
            at = frames[at][0]
        return chain
    first = next((i for i, (owner, _, _) in enumerate(texts) if chain_of(owner) & set(alerts)), len(texts))
    texts = [t for i, t in enumerate(texts)
             if i >= first or not any(shared(t[1], frames[a][2]) > 0 for a in alerts)]
    labelled = {owner for owner, _, _ in texts}
    for owner, box, text in texts:
        chain = chain_of(owner)
        if owner >= 0 and not inside(box, frames[owner][2]):
            faults.append(f"leaves its {frames[owner][3]} {fmt(frames[owner][2])}: \"{text}\" {fmt(box)}")
        # A text in its frame may still run off the screen with it (a
        # button pushed past the edge).
        if not inside(box, screen):
            faults.append(f"runs off the screen: \"{text}\" {fmt(box)}")
        elif rim and owner >= 0 and not frames[owner][1] and (
                box[1] < frames[owner][2][1] + rim or box[1] + box[3] > frames[owner][2][1] + frames[owner][2][3] - rim):
            faults.append(f"lies on the rim of its {frames[owner][3]} {fmt(frames[owner][2])}: \"{text}\" {fmt(box)}")
        covered = max((at for at in chain if at in alerts), default=-1)
        for fid, (_, leaf, fbox, kind) in frames.items():
            if fid < covered:
                continue
            # A text wholly on a picture without a text of its own is put
            # there on purpose (the clock's minutes).
            if fid not in labelled and inside(box, fbox):
                continue
            if leaf and fid not in chain and shared(box, fbox) > MEET:
                faults.append(f"runs over a {kind} {fmt(fbox)}: \"{text}\" {fmt(box)}")
    # The HUD's plates and the pages' labelled buttons (never in a row that
    # scrolls) stand wholly on the screen with their texts: a crop may have
    # cut a text that ran off with its button.
    for fid in labelled:
        if fid >= 0 and frames[fid][3] in ("HudMessage", "ResizableButton") and not inside(frames[fid][2], screen):
            faults.append(f"its {frames[fid][3]} {fmt(frames[fid][2])} runs off the screen")
    # On the HUD a key tag and a message's plate keep off every button, its
    # icon and its count, and a tag stays on the screen.
    buttons = [(fid, f[2]) for fid, f in frames.items() if f[3].startswith("HudButton")]
    for fid, (_, _, fbox, kind) in frames.items():
        if kind not in ("HudKeyTag", "HudMessage"):
            continue
        if kind == "HudKeyTag" and not inside(fbox, screen):
            faults.append(f"its {kind} {fmt(fbox)} runs off the screen")
        for bid, bbox in buttons:
            if shared(fbox, bbox) > MEET:
                faults.append(f"its {kind} {fmt(fbox)} covers a {frames[bid][3]} {fmt(bbox)}")
    # A box over the page (a notice, a question) shows no arrows beside it:
    # they would read as its own.
    boxes = [fbox for _, _, fbox, kind in frames.values() if kind == "MenuAlert"]
    for _, _, fbox, kind in frames.values():
        if kind == "ShowcaseArrow" and boxes and not any(inside(fbox, box) for box in boxes):
            faults.append(f"an arrow {fmt(fbox)} stands outside the box {fmt(boxes[0])} over the page")
    for i, (_, a, ta) in enumerate(texts):
        for _, b, tb in texts[i + 1:]:
            # The same text drawn twice a pixel or two apart is a shadow.
            if ta == tb and abs(a[0] - b[0]) <= 3 and abs(a[1] - b[1]) <= 3:
                continue
            if shared(a, b) > MEET:
                faults.append(f"meets another: \"{ta}\" {fmt(a)} and \"{tb}\" {fmt(b)}")
    return len(texts), faults


def main():
    bad = False
    args, rim = sys.argv[1:], 0.0
    if args[:1] == ["--rim"]:
        # Texts in a panel keep this far from its top and bottom edges.
        rim, args = float(args[1]), args[2:]
    for path in args:
        count, faults = check(path, rim)
        if count == 0:
            print(f"{path}: no texts drawn")
            bad = True
        for fault in faults:
            print(f"{path}: {fault}")
            bad = True
    sys.exit(1 if bad else 0)


if __name__ == "__main__":
    main()

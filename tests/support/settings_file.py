"""Writes a settings file ("tq2_settings.bin") of a profile that has unlocked
one plane and flies it; the game keeps its defaults for every other value
but the options given after it, each as FIELD=KIND:VALUE with KIND b (byte),
i (32-bit integer) or f (float), e.g. 38=f:1.5 for the kill cam's focus delay,
t (text, such as p1=t:NAME for the pilot's name),
B for a table of bytes (p23=B:1,1,0,... the tutorials done) or w for a table
of 32-bit words, comma-separated, a word with a point being a float's bits (27=w:5,1,2,2,0,0.5,... for the skirmish set-ups); p21=w:... the profile's field 21.

    python3 settings_file.py FILE PLANE_ID [FIELD=KIND:VALUE ...]     (12: the f16)
"""
import struct
import sys
import zlib

MASK = 0xFFFFFFFF
OPTIONS, PROFILE = 0, 1
LOCAL_PLANE = 20       # options: the plane flown
PLANE_UNLOCKED = 6     # profile: one byte per plane id, 0 while locked
PLANE_IDS = 256


def scramble(data, block_id):
    state = (0x5EEDF00D ^ ((block_id * 0x9E3779B9) & MASK) ^ len(data)) & MASK
    if state == 0:
        state = 0x5EEDF00D
    out = bytearray(data)
    for i in range(len(out)):
        state ^= (state << 13) & MASK
        state ^= state >> 17
        state ^= (state << 5) & MASK
        out[i] ^= state & 0xFF
    return bytes(out)


def block(block_id, fields):
    payload = b"".join(struct.pack("<HH", field, len(value)) + value for field, value in sorted(fields.items()))
    return struct.pack("<III", block_id, len(payload), zlib.crc32(payload) & MASK) + scramble(payload, block_id)


def option(text):
    field, value = text.split("=", 1)
    kind, number = value.split(":", 1)
    word = lambda w: struct.pack("<f", float(w)) if "." in w else struct.pack("<i", int(w))
    packed = {"b": lambda v: struct.pack("<B", int(v)), "i": lambda v: struct.pack("<i", int(v)),
              "f": lambda v: struct.pack("<f", float(v)),
              "B": lambda v: bytes(int(b) for b in v.split(",")),
              "t": lambda v: v.encode("utf-16-le"),
              "w": lambda v: b"".join(word(w) for w in v.split(","))}[kind](number)
    return int(field), packed


def plane_profile(plane_id, options=()):
    unlocked = bytearray(PLANE_IDS)
    unlocked[plane_id] = 1
    fields = {LOCAL_PLANE: bytes([plane_id])}
    fields.update(option(text) for text in options if text[0] != "p")
    profile = dict([(PLANE_UNLOCKED, bytes(unlocked))] + [option(text[1:]) for text in options if text[0] == "p"])
    blocks = [block(OPTIONS, fields), block(PROFILE, profile)]
    return b"SETS" + struct.pack("<II", 1, len(blocks)) + b"".join(blocks)


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as f:
        f.write(plane_profile(int(sys.argv[2]), sys.argv[3:]))

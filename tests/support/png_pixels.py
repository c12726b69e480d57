#!/usr/bin/env python3
"""Pixels of the game's frame dumps (8-bit RGB or RGBA PNG) for the scripted
runs of the real game: imported for rgb_rows, or run for pixel counts.

  png_pixels.py magenta FILE X0 Y0 X1 Y1     pixels that are clearly magenta
  png_pixels.py diff FILE_A FILE_B X0 Y0 X1 Y1   pixels that differ strongly
  png_pixels.py red FILE X0 Y0 X1 Y1         pixels of opaque red (255, 0, 0 drawn)
  png_pixels.py pink FILE X0 Y0 X1 Y1        pixels of the menus' pulsing focus tint
"""
import struct
import sys
import zlib


def read_png(path):
    data = open(path, 'rb').read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        raise SystemExit(path + ': not a PNG')
    pos, idat, width, height, channels = 8, b'', 0, 0, 0
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            width, height, depth, colour = struct.unpack('>IIBB', body[:10])
            if depth != 8 or colour not in (2, 6):
                raise SystemExit(path + ': only 8-bit RGB or RGBA')
            channels = 3 if colour == 2 else 4
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        # The game writes its dumps unfiltered: only other writers' pictures
        # take the slow per-byte loops.
        if kind == 2:
            line = bytearray((a + b) & 255 for a, b in zip(line, previous))
        elif kind == 1:
            for i in range(channels, stride):
                line[i] = (line[i] + line[i - channels]) & 255
        elif kind == 3:
            for i in range(stride):
                left = line[i - channels] if i >= channels else 0
                line[i] = (line[i] + (left + previous[i]) // 2) & 255
        elif kind == 4:
            for i in range(stride):
                left = line[i - channels] if i >= channels else 0
                up = previous[i]
                corner = previous[i - channels] if i >= channels else 0
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                pred = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                line[i] = (line[i] + pred) & 255
        rows.append(line)
        previous = line
    return width, height, channels, rows


def rgb_rows(path):
    """The picture as rows of (r, g, b) tuples, top row first."""
    _, _, channels, rows = read_png(path)
    return [list(zip(row[0::channels], row[1::channels], row[2::channels])) for row in rows]


def pixel(image, x, y):
    _, _, channels, rows = image
    row = rows[y]
    return row[x * channels], row[x * channels + 1], row[x * channels + 2]


def region(image, box):
    width, height = image[0], image[1]
    x0, y0, x1, y1 = box
    for y in range(max(y0, 0), min(y1, height)):
        for x in range(max(x0, 0), min(x1, width)):
            yield x, y


def main(args):
    tests = {
        'magenta': lambda r, g, b: r > 120 and b > 120 and g + 60 < min(r, b),
        'red': lambda r, g, b: r > 200 and g < 60 and b < 60,
        'pink': lambda r, g, b: r > 200 and 100 < g < 215 and 100 < b < 215,
    }
    if args[0] in tests:
        image = read_png(args[1])
        box = [int(v) for v in args[2:6]]
        print(sum(1 for x, y in region(image, box) if tests[args[0]](*pixel(image, x, y))))
    elif args[0] == 'diff':
        a, b = read_png(args[1]), read_png(args[2])
        box = [int(v) for v in args[3:7]]
        count = 0
        for x, y in region(a, box):
            pa, pb = pixel(a, x, y), pixel(b, x, y)
            count += 1 if sum(abs(u - v) for u, v in zip(pa, pb)) > 150 else 0
        print(count)
    else:
        raise SystemExit('unknown command ' + args[0])


if __name__ == '__main__':
    main(sys.argv[1:])

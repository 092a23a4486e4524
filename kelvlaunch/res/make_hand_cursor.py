#!/usr/bin/env python3
"""Writes hand.cur: the 32 x 32 monochrome pointing hand over the About page's link,
hot spot at the index finger's tip (12, 1). Run it again only to change the picture."""
import struct
import sys

SIZE = 32
HOT_SPOT = (12, 1)


def filled(x, y):
    index = 11 <= x <= 14 and 1 <= y <= 16 and not (y == 1 and x in (11, 14))
    middle = 15 <= x <= 18 and 7 <= y <= 16 and not (y == 7 and x in (15, 18))
    ring = 19 <= x <= 22 and 8 <= y <= 16 and not (y == 8 and x in (19, 22))
    little = 23 <= x <= 25 and 10 <= y <= 17 and not (y == 10 and x in (23, 25))
    palm = 8 <= x <= 25 and 14 <= y <= 25
    thumb = 13 <= y <= 21 and y - 9 <= x <= y - 5
    wrist = 10 <= x <= 23 and 25 <= y <= 30
    return index or middle or ring or little or palm or thumb or wrist


def black(x, y):
    edge = any(not (0 <= x + dx < SIZE and 0 <= y + dy < SIZE and filled(x + dx, y + dy))
               for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
    between_fingers = (x, y) in {(15, v) for v in range(8, 15)} | \
        {(19, v) for v in range(9, 15)} | {(23, v) for v in range(11, 15)}
    return edge or between_fingers or (y == 25 and 10 <= x <= 23)


def rows(bit):
    # Bottom-up rows of 1-bit pixels, 4 bytes each.
    out = b""
    for y in reversed(range(SIZE)):
        value = 0
        for x in range(SIZE):
            value = value << 1 | bit(x, y)
        out += struct.pack(">I", value)
    return out


xor = rows(lambda x, y: int(filled(x, y) and not black(x, y)))   # white inside
mask = rows(lambda x, y: int(not filled(x, y)))                   # transparent outside
header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
image = header + palette + xor + mask
directory = struct.pack("<HHH", 0, 2, 1) + struct.pack(
    "<BBBBHHII", SIZE, SIZE, 0, 0, HOT_SPOT[0], HOT_SPOT[1], len(image), 6 + 16)
with open(sys.argv[1] if len(sys.argv) > 1 else "hand.cur", "wb") as cur:
    cur.write(directory + image)

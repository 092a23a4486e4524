#!/usr/bin/env python3
"""Writes kelvlaunch.ico: a white K on a blue rounded square at 16, 20, 24, 32 and 48 pixels.
Each size has its own geometry, set on whole pixels so that the stem and the arms stay sharp
where the shell shows that size (16 at 100 %, 20 at 125 %, 24 at 150 %, 32 at 200 %).
Run it again only to change the picture."""
import struct
import sys

BLUE = (184, 95, 29)      # blue, green, red
WHITE = (255, 255, 255)
SUPERSAMPLE = 8

# size: corner radius, stem left, stem width, top, bottom, arm width (pixels; the K spans
# top..bottom, its arms end at the stem's mirror image about the centre).
GEOMETRY = {
    16: (3, 4, 2, 3, 13, 1.9),
    20: (4, 5, 2, 4, 16, 2.2),
    24: (4, 6, 3, 5, 19, 2.7),
    32: (6, 8, 3, 6, 26, 3.4),
    48: (8, 12, 5, 9, 39, 5.0),
}


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return ((px - ax - t * dx) ** 2 + (py - ay - t * dy) ** 2) ** 0.5


def shapes(size):
    radius, stem, stem_width, top, bottom, arm = GEOMETRY[size]
    right = size - stem
    joint = (stem + stem_width, top + (bottom - top) * 0.55)

    def inside_square(x, y):
        cx = min(max(x, radius), size - radius)
        cy = min(max(y, radius), size - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius

    def inside_k(x, y):
        if stem <= x <= stem + stem_width and top <= y <= bottom:
            return True
        upper = segment_distance(x, y, joint[0] - arm / 2, joint[1], right - arm / 2, top + arm / 2)
        lower = segment_distance(x, y, joint[0] + arm / 2, joint[1] - arm, right - arm / 2,
                                 bottom - arm / 2)
        inside_rows = top <= y <= bottom and x >= stem + stem_width
        return inside_rows and min(upper, lower) <= arm / 2

    return inside_square, inside_k


def pixel(size, x, y, inside_square, inside_k):
    square = k = 0
    for sy in range(SUPERSAMPLE):
        for sx in range(SUPERSAMPLE):
            fx = x + (sx + 0.5) / SUPERSAMPLE
            fy = y + (sy + 0.5) / SUPERSAMPLE
            if inside_square(fx, fy):
                square += 1
                k += inside_k(fx, fy)
    samples = SUPERSAMPLE * SUPERSAMPLE
    alpha = round(255 * square / samples)
    share = k / square if square else 0
    colour = [round(b + (w - b) * share) for b, w in zip(BLUE, WHITE)]
    return bytes(colour + [alpha])


def image(size):
    inside_square, inside_k = shapes(size)
    colour = b""
    for y in reversed(range(size)):  # bottom-up rows
        for x in range(size):
            colour += pixel(size, x, y, inside_square, inside_k)
    # The AND mask, for systems that ignore the alpha channel: opaque wherever alpha is.
    mask_stride = (size + 31) // 32 * 4
    mask = b""
    for y in reversed(range(size)):
        bits = 0
        for x in range(size):
            bits = bits << 1 | (colour[(size - 1 - y) * size * 4 + x * 4 + 3] == 0)
        mask += (bits << (mask_stride * 8 - size)).to_bytes(mask_stride, "big")
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask),
                         0, 0, 0, 0)
    return header + colour + mask


images = [(size, image(size)) for size in GEOMETRY]
directory = struct.pack("<HHH", 0, 1, len(images))
offset = 6 + 16 * len(images)
for size, data in images:
    directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
with open(sys.argv[1] if len(sys.argv) > 1 else "kelvlaunch.ico", "wb") as ico:
    ico.write(directory + b"".join(data for _, data in images))

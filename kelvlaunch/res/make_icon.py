#!/usr/bin/env python3
"""Writes kelvlaunch.ico: a white K on a blue rounded square at 16, 20, 24, 32 and 48 pixels.
Each size has its own geometry, set on whole pixels so that the stem and the arms stay sharp
where the shell shows that size (16 at 100 %, 20 at 125 %, 24 at 150 %, 32 at 200 %). The
48-pixel image, seen only in large views, has a palette and hard corners: the program stays
small. Run it again only to change the picture."""
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
BITS = {16: 32, 20: 32, 24: 32, 32: 32, 48: 8}  # per pixel: alpha, or a palette and the mask


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


def pixel(x, y, inside_square, inside_k):
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


def image(size, bits):
    inside_square, inside_k = shapes(size)
    rows = [[pixel(x, y, inside_square, inside_k) for x in range(size)]
            for y in reversed(range(size))]  # bottom-up
    # The AND mask, for systems that ignore the alpha channel (and for the palette image).
    opaque = 0 if bits == 32 else 128
    mask_stride = (size + 31) // 32 * 4
    mask = b""
    for row in rows:
        value = 0
        for p in row:
            value = value << 1 | (p[3] <= opaque)
        mask += (value << (mask_stride * 8 - size)).to_bytes(mask_stride, "big")
    # Where the mask shows the screen, the colour is XORed onto it: black leaves it as it is.
    rows = [[p if p[3] > opaque else bytes(4) for p in row] for row in rows]
    if bits == 32:
        palette, colour = b"", b"".join(b"".join(row) for row in rows)
    else:
        colours = sorted({p[:3] for row in rows for p in row})
        palette = b"".join(c + b"\0" for c in colours)
        stride = (size + 3) // 4 * 4
        colour = b"".join(bytes(colours.index(p[:3]) for p in row).ljust(stride, b"\0") for row in rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(colour) + len(mask),
                         0, 0, len(palette) // 4 if palette else 0, 0)
    return header + palette + colour + mask


images = [(size, BITS[size], image(size, BITS[size])) for size in GEOMETRY]
directory = struct.pack("<HHH", 0, 1, len(images))
offset = 6 + 16 * len(images)
for size, bits, data in images:
    directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, bits, len(data), offset)
    offset += len(data)
with open(sys.argv[1] if len(sys.argv) > 1 else "kelvlaunch.ico", "wb") as ico:
    ico.write(directory + b"".join(data for _, _, data in images))

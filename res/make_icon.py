#!/usr/bin/env python3
"""Writes ketterlin.ico, the program's icon: a dot plot (two clusters of events over a pair of
axes) on a rounded light tile. Two images, 32x32 and 16x16, 256 colours each (8 bits per pixel
with a palette and a transparency mask). Deterministic: the same bytes on every run.

Usage: python3 make_icon.py [output.ico]
"""
import struct
import sys

# Palette: index -> (red, green, blue). Unused entries stay black.
TRANSPARENT = 0
TILE = 1
BORDER = 2
AXIS = 3
BLUE = 4
BLUE_DARK = 5
ORANGE = 6
ORANGE_DARK = 7
GREEN = 8
PALETTE = {
    TRANSPARENT: (0, 0, 0),
    TILE: (246, 248, 252),
    BORDER: (70, 90, 120),
    AXIS: (40, 50, 70),
    BLUE: (60, 120, 220),
    BLUE_DARK: (25, 70, 170),
    ORANGE: (245, 150, 40),
    ORANGE_DARK: (200, 95, 10),
    GREEN: (60, 170, 90),
}

# Dots as (x, y, colour) in a 32-unit design space; y grows downwards.
DOTS_32 = [
    # the low-left cluster
    (9, 21, BLUE), (11, 19, BLUE), (12, 22, BLUE_DARK), (10, 17, BLUE), (13, 18, BLUE_DARK),
    (14, 21, BLUE), (8, 19, BLUE_DARK), (12, 16, BLUE), (15, 19, BLUE),
    # the high-right cluster
    (20, 10, ORANGE), (22, 9, ORANGE_DARK), (21, 12, ORANGE), (24, 11, ORANGE),
    (23, 7, ORANGE), (19, 8, ORANGE_DARK), (25, 9, ORANGE_DARK), (22, 13, ORANGE),
    # a few stragglers
    (17, 15, GREEN), (25, 18, GREEN), (16, 7, GREEN),
]
DOTS_16 = [
    (5, 10, BLUE), (6, 9, BLUE_DARK), (7, 11, BLUE), (5, 8, BLUE), (7, 9, BLUE),
    (10, 5, ORANGE), (11, 4, ORANGE_DARK), (12, 6, ORANGE), (10, 3, ORANGE),
    (9, 8, GREEN),
]


def draw(size):
    """The image as rows of palette indices (top row first) and a transparency mask."""
    pixels = [[TRANSPARENT] * size for _ in range(size)]
    opaque = [[False] * size for _ in range(size)]
    radius = 4 if size == 32 else 2
    last = size - 1
    for y in range(size):
        for x in range(size):
            # Rounded corners: outside the quarter circles is transparent.
            cx = min(max(x, radius), last - radius)
            cy = min(max(y, radius), last - radius)
            dist2 = (x - cx) ** 2 + (y - cy) ** 2
            if dist2 > radius * radius:
                continue
            opaque[y][x] = True
            edge = dist2 > (radius - 1) ** 2 or x in (0, last) or y in (0, last)
            pixels[y][x] = BORDER if edge else TILE
    # Axes: an L from the top left down to the bottom left, then to the bottom right.
    margin = 5 if size == 32 else 3
    for y in range(margin, size - margin + 1):
        pixels[y][margin] = AXIS
    for x in range(margin, size - margin + 1):
        pixels[size - margin][x] = AXIS
    if size == 32:
        for x, y, colour in DOTS_32:
            # Dots of 2x2 pixels in the large image.
            for dy in (0, 1):
                for dx in (0, 1):
                    pixels[y + dy][x + dx] = colour
    else:
        for x, y, colour in DOTS_16:
            pixels[y][x] = colour
    return pixels, opaque


def bitmap(size):
    pixels, opaque = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    palette = b"".join(
        struct.pack("BBBB", *reversed(PALETTE.get(i, (0, 0, 0))), 0) for i in range(256))
    xor_rows = []
    and_rows = []
    and_stride = ((size + 31) // 32) * 4
    for y in reversed(range(size)):  # bottom-up
        xor_rows.append(bytes(pixels[y]))  # 8 bpp rows of 16 or 32 bytes are already aligned
        bits = bytearray(and_stride)
        for x in range(size):
            if not opaque[y][x]:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_rows.append(bytes(bits))
    return header + palette + b"".join(xor_rows) + b"".join(and_rows)


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else "ketterlin.ico"
    images = [(32, bitmap(32)), (16, bitmap(16))]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    with open(output, "wb") as file:
        file.write(directory + entries + b"".join(data for _, data in images))


if __name__ == "__main__":
    main()

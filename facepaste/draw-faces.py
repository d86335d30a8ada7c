#!/usr/bin/env python3
"""Draws the two 16 x 16 toolbar faces as 8-bit indexed BMP files: a face
emblem (pale yellow-green, or pink) above the red letters "PDF". The palettes
hold 255 and 173 entries: the drawing's colours first, then a ramp of greys
and tints that the pictures do not use, as a paint program saves them."""
import struct
import sys

EMBLEM = [
    "....######....",
    "..##eeeeee##..",
    ".#eeeeeeeeee#.",
    "#ee##eeee##ee#",
    "#ee##eeee##ee#",
    "#eeeeeeeeeeee#",
    "#ee#eeeeee#ee#",
    ".#ee######ee#.",
    "..##eeeeee##..",
]
LETTERS = [
    "###.##..###",
    "#.#.#.#.#..",
    "###.#.#.##.",
    "#...#.#.#..",
    "#...##..#..",
]


def picture(fill):
    rows = [["w"] * 16 for _ in range(16)]
    for y, line in enumerate(EMBLEM):
        for x, c in enumerate(line):
            if c == "#":
                rows[y][1 + x] = "k"
            elif c == "e":
                rows[y][1 + x] = "f"
    for y, line in enumerate(LETTERS):
        for x, c in enumerate(line):
            if c == "#":
                rows[10 + y][2 + x] = "r"
    return rows


def write_bmp(path, fill, entries):
    named = {"w": (255, 255, 255), "k": (64, 64, 64), "f": fill, "r": (255, 0, 0)}
    order = ["w", "k", "f", "r"]
    palette = [named[n] for n in order]
    step = 0
    while len(palette) < entries:
        level = (step * 37) % 251
        palette.append((level, (level + 85) % 256, (level + 170) % 256))
        step += 1
    index = {n: i for i, n in enumerate(order)}
    rows = picture(fill)
    pixels = b"".join(bytes(index[c] for c in row) for row in reversed(rows))
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    header = struct.pack("<IiiHHIIiiII", 40, 16, 16, 1, 8, 0, len(pixels), 2835, 2835, entries, 0)
    offset = 14 + len(header) + len(table)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as out:
        out.write(file_header + header + table + pixels)


if __name__ == "__main__":
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    write_bmp(folder + "/face1000.bmp", (204, 232, 140), 255)
    write_bmp(folder + "/face1001.bmp", (248, 176, 208), 173)

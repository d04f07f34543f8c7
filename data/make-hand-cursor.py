#!/usr/bin/env python3
"""Draws Dwellmark's hand pointer and writes it as a Windows cursor file.

    make-hand-cursor.py OUTPUT.CUR

The cursor is 32 x 32 with 32-bit colour (BGRA) and an AND mask; its hotspot
is the tip of the pointing finger.
"""
import struct
import sys

# '#' outline, 'o' fill, '.' transparent. Rows from the top.
ART = [
    "......##........................",
    ".....#oo#.......................",
    ".....#oo#.......................",
    ".....#oo#.......................",
    ".....#oo#.......................",
    ".....#oo###.....................",
    ".....#oo#oo###..................",
    ".....#oo#oo#oo##................",
    ".##..#oo#oo#oo#o#...............",
    "#oo#.#oooooooo#oo#..............",
    "#ooo##oooooooooooo#.............",
    ".#oo#ooooooooooooo#.............",
    "..#o#ooooooooooooo#.............",
    "..#ooooooooooooooo#.............",
    "...#oooooooooooooo#.............",
    "...#ooooooooooooo#..............",
    "....#oooooooooooo#..............",
    "....#ooooooooooo#...............",
    ".....#oooooooooo#...............",
    ".....#oooooooooo#...............",
    ".....############...............",
]
SIZE = 32
HOTSPOT = (6, 0)


def pixel(x, y):
    """BGRA of a pixel, and whether the AND mask keeps the screen there."""
    c = ART[y][x] if y < len(ART) and x < len(ART[y]) else "."
    if c == "#":
        return (0, 0, 0, 255), False
    if c == "o":
        return (255, 255, 255, 255), False
    return (0, 0, 0, 0), True


def main():
    for row in ART:
        assert len(row) == SIZE, row
    # Bitmap rows run from the bottom up.
    colour = bytearray()
    mask = bytearray()
    mask_stride = ((SIZE + 31) // 32) * 4
    for y in reversed(range(SIZE)):
        bits = bytearray(mask_stride)
        for x in range(SIZE):
            bgra, transparent = pixel(x, y)
            colour += bytes(bgra)
            if transparent:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    # BITMAPINFOHEADER: the height counts the colour and the mask images.
    dib = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    image = dib + bytes(colour) + bytes(mask)
    header = struct.pack("<HHH", 0, 2, 1)
    offset = len(header) + 16
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, HOTSPOT[0], HOTSPOT[1], len(image), offset)
    with open(sys.argv[1], "wb") as out:
        out.write(header + entry + image)


if __name__ == "__main__":
    main()

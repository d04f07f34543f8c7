#!/usr/bin/env python3
"""Draws Dwellmark's artwork (dwellmark.svg) as a Windows icon file.

    make-icon.py dwellmark.svg OUTPUT.ICO

The icon holds the sizes Windows asks for in Explorer, the Start menu and
"Apps & features": 16 to 64 pixels as 32-bit BGRA bitmaps with an AND mask,
and 256 pixels as PNG. Only what dwellmark.svg uses is drawn: filled
rectangles with rounded corners, filled circles, and straight round-capped
strokes given as "M x y h dx". Each pixel is sampled 4 x 4 times.
"""
import math
import re
import struct
import sys
import xml.etree.ElementTree as ET
import zlib

SIZES = [16, 20, 24, 32, 40, 48, 64, 256]
SAMPLES = 4


def colour(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def rounded_rect(x, y, w, h, r):
    def inside(px, py):
        cx = min(max(px, x + r), x + w - r)
        cy = min(max(py, y + r), y + h - r)
        return x <= px <= x + w and y <= py <= y + h and (px - cx) ** 2 + (py - cy) ** 2 <= r * r
    return inside


def circle(cx, cy, r):
    return lambda px, py: (px - cx) ** 2 + (py - cy) ** 2 <= r * r


def capsule(x0, y0, x1, y1, r):
    def inside(px, py):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / (dx * dx + dy * dy)))
        return (px - x0 - t * dx) ** 2 + (py - y0 - t * dy) ** 2 <= r * r
    return inside


def shapes(svg):
    """(test, rgb) for each element, in painting order, in the SVG's units."""
    root = ET.parse(svg).getroot()
    box = [float(v) for v in root.get("viewBox").split()]
    result = []
    for element in root.iter():
        tag = element.tag.split("}")[-1]
        num = lambda name, default=0.0: float(element.get(name, default))
        if tag == "rect":
            result.append((rounded_rect(num("x"), num("y"), num("width"), num("height"), num("rx")),
                           colour(element.get("fill"))))
        elif tag == "circle":
            result.append((circle(num("cx"), num("cy"), num("r")), colour(element.get("fill"))))
        elif tag == "path":
            m = re.fullmatch(r"M\s*([\d.]+)[\s,]+([\d.]+)\s*h\s*([\d.]+)", element.get("d").strip())
            if not m or element.get("stroke-linecap") != "round":
                sys.exit(f"make-icon.py: cannot draw the path {element.get('d')!r}")
            x, y, dx = (float(v) for v in m.groups())
            result.append((capsule(x, y, x + dx, y, num("stroke-width") / 2), colour(element.get("stroke"))))
    return box, result


def render(box, drawn, size):
    """Rows from the top of (r, g, b, a), straight alpha."""
    scale = box[2] / size
    rows = []
    for row in range(size):
        pixels = []
        for col in range(size):
            r = g = b = a = 0.0  # premultiplied
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    px = box[0] + (col + (sx + 0.5) / SAMPLES) * scale
                    py = box[1] + (row + (sy + 0.5) / SAMPLES) * scale
                    sr = sg = sb = sa = 0.0
                    for test, rgb in drawn:
                        if test(px, py):
                            sr, sg, sb, sa = rgb[0], rgb[1], rgb[2], 1.0
                    r, g, b, a = r + sr * sa, g + sg * sa, b + sb * sa, a + sa
            count = SAMPLES * SAMPLES
            alpha = a / count
            if alpha == 0:
                pixels.append((0, 0, 0, 0))
            else:
                pixels.append(tuple(round(c / a) for c in (r, g, b)) + (round(alpha * 255),))
        rows.append(pixels)
    return rows


def bitmap(rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colours = b"".join(bytes((b, g, r, a)) for pixels in reversed(rows) for (r, g, b, a) in pixels)
    stride = ((size + 31) // 32) * 4
    mask = b""
    for pixels in reversed(rows):
        bits = bytearray(stride)
        for col, pixel in enumerate(pixels):
            if pixel[3] == 0:
                bits[col // 8] |= 0x80 >> (col % 8)
        mask += bytes(bits)
    return header + colours + mask


def png(rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    size = len(rows)
    raw = b"".join(b"\0" + bytes(c for pixel in pixels for c in pixel) for pixels in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    box, drawn = shapes(sys.argv[1])
    images = [(size, png(render(box, drawn, size)) if size >= 256 else bitmap(render(box, drawn, size)))
              for size in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(sys.argv[2], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()

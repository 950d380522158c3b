#!/usr/bin/env python3
"""Draws the program's artwork: a receipt printer with a receipt coming out of it.

Writes, next to this script:
  kestrava.ico   the program icon, 16x16 and 32x32, 32-bit with alpha
  test_page.bmp  the 120x60 monochrome picture printed on the test page

Standard library only and deterministic: the same script always writes the same bytes, so the
committed files can be checked by running it again (`git diff` stays empty).
"""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Colours (R, G, B).
BODY = (55, 71, 79)
BODY_LIGHT = (84, 110, 122)
SLOT = (28, 38, 43)
PAPER = (250, 250, 250)
PAPER_EDGE = (144, 164, 174)
INK = (120, 134, 142)
LAMP = (76, 175, 80)


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    return inside


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def torn_paper(x0, y0, x1, y1, teeth):
    """A receipt whose top edge is torn in a zigzag of `teeth` teeth."""
    width = (x1 - x0) / teeth
    depth = width * 0.6

    def inside(x, y):
        if not (x0 <= x < x1 and y < y1):
            return False
        phase = ((x - x0) % width) / width
        edge = y0 + depth * abs(2 * phase - 1)
        return y >= edge

    return inside


def pictogram(ox=0.0, oy=0.0, size=1.0):
    """The shapes of the pictogram, back to front, in a square of `size` at (ox, oy)."""

    def x(v):
        return ox + v * size

    def y(v):
        return oy + v * size

    return [
        (rounded_rect(x(0.06), y(0.44), x(0.94), y(0.88), 0.09 * size), BODY),
        (rect(x(0.16), y(0.70), x(0.84), y(0.78)), BODY_LIGHT),
        (circle(x(0.80), y(0.56), 0.045 * size), LAMP),
        (rect(x(0.22), y(0.49), x(0.78), y(0.55)), SLOT),
        (torn_paper(x(0.27), y(0.04), x(0.73), y(0.53), 4), PAPER_EDGE),
        (torn_paper(x(0.30), y(0.08), x(0.70), y(0.53), 4), PAPER),
        (rect(x(0.36), y(0.20), x(0.64), y(0.25)), INK),
        (rect(x(0.36), y(0.30), x(0.58), y(0.35)), INK),
        (rect(x(0.36), y(0.40), x(0.62), y(0.45)), INK),
    ]


def render(shapes, width, height, scale_x, scale_y, samples=4):
    """Supersampled RGBA rows, top row first. Shape coordinates are in units of scale_x/y."""
    rows = []
    for py in range(height):
        row = []
        for px in range(width):
            r = g = b = a = 0
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) / scale_x
                    y = (py + (sy + 0.5) / samples) / scale_y
                    for inside, colour in reversed(shapes):
                        if inside(x, y):
                            r += colour[0]
                            g += colour[1]
                            b += colour[2]
                            a += 255
                            break
            n = samples * samples
            covered = a // 255
            if covered == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(r / covered), round(g / covered), round(b / covered),
                            round(a / n)))
        rows.append(row)
    return rows


def icon_image(size):
    """One ICO entry: BITMAPINFOHEADER, BGRA pixels bottom-up, then the AND mask."""
    rows = render(pictogram(), size, size, size, size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + pixels + mask


def write_icon(path, sizes):
    images = [icon_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


def test_page_shapes():
    """The pictogram on the left; on the right, lines of text and a bar pattern that shows how
    evenly the print head burns."""
    shapes = pictogram(0.0, 0.0, 60.0)
    for i, length in enumerate((50, 38, 46, 30)):
        shapes.append((rect(64, 6 + i * 8, 64 + length, 10 + i * 8), SLOT))
    for i in range(13):
        if (i * 7) % 3 != 1:
            shapes.append((rect(64 + i * 4, 40, 66 + i * 4, 54), SLOT))
    return shapes


def write_monochrome_bmp(path, width, height):
    rows = render(test_page_shapes(), width, height, 1.0, 1.0)
    stride = ((width + 31) // 32) * 4
    data = b""
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, (r, g, b, a) in enumerate(row):
            # White where nothing or something light is drawn; the printer burns the rest.
            luminance = (r * 299 + g * 587 + b * 114) // 1000 if a >= 128 else 255
            if luminance >= 160:
                bits[x // 8] |= 0x80 >> (x % 8)
        data += bytes(bits)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 1, 0, len(data), 3780, 3780, 2, 2)
    offset = 14 + len(info) + len(palette)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(file_header + info + palette + data)


if __name__ == "__main__":
    write_icon(os.path.join(HERE, "kestrava.ico"), (16, 32))
    write_monochrome_bmp(os.path.join(HERE, "test_page.bmp"), 120, 60)

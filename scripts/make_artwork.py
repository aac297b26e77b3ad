#!/usr/bin/env python3
"""Draws the program's icon "AAA" (16, 32, 48, 128 and 256 px, with alpha) and the main window's
banner (500 x 100) and writes them as PNG files. Standard library only. The window uses the three
small icons; the installed desktop entry uses all five.

The picture is a stylised cartridge whose label shows rows of data with one bright gap: the free
space the program finds.

    python3 scripts/make_artwork.py [repository root]
"""

import os
import struct
import sys
import zlib

SLATE = (58, 68, 96)
SLATE_EDGE = (34, 40, 58)
LABEL = (232, 236, 244)
DATA = (120, 128, 150)
GAP = (64, 214, 170)
GOLD = (222, 178, 72)
WHITE = (255, 255, 255)

# 5 x 7 letters for the banner's title.
LETTERS = {
    "G": ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "W": ["10001", "10001", "10001", "10101", "10101", "11011", "10001"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
}


def write_png(path, width, height, pixels):
    """pixels: rows of (r, g, b, a) tuples."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)  # no filter
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(png)


def in_rounded_rect(x, y, left, top, right, bottom, radius):
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def cartridge_colour(u, v):
    """The cartridge at unit coordinates (0..1 on both axes); None outside it."""
    if not in_rounded_rect(u, v, 0.10, 0.04, 0.90, 0.96, 0.10):
        return None
    if not in_rounded_rect(u, v, 0.15, 0.09, 0.85, 0.91, 0.07):
        return SLATE_EDGE
    # Contacts along the bottom edge.
    if 0.80 <= v <= 0.91 and 0.22 <= u <= 0.78:
        return GOLD if int((u - 0.22) / 0.08) % 2 == 0 else SLATE
    # The label: rows of data with one gap row.
    if in_rounded_rect(u, v, 0.22, 0.16, 0.78, 0.70, 0.04):
        row = int((v - 0.16) / 0.135)
        inside_row = (v - 0.16) - row * 0.135 > 0.03
        if row == 2 and inside_row:
            return GAP
        if inside_row and 0.27 <= u <= 0.73:
            return DATA
        return LABEL
    return SLATE


def render(width, height, colour_at, samples):
    """Supersamples colour_at(x, y) (pixel coordinates, None = transparent) into RGBA rows."""
    rows = []
    step = 1.0 / samples
    for y in range(height):
        row = []
        for x in range(width):
            total = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(samples):
                for sx in range(samples):
                    colour = colour_at(x + (sx + 0.5) * step, y + (sy + 0.5) * step)
                    if colour is not None:
                        covered += 1
                        for i in range(3):
                            total[i] += colour[i]
            if covered == 0:
                row.append((0, 0, 0, 0))
            else:
                rgb = tuple(int(round(t / covered)) for t in total)
                row.append(rgb + (int(round(255 * covered / samples ** 2)),))
        rows.append(row)
    return rows


def icon(size):
    return render(size, size, lambda x, y: cartridge_colour(x / size, y / size), 4)


def banner_colour(x, y):
    # The cartridge on the left, 80 px tall.
    if 14 <= x < 94 and 10 <= y < 90:
        colour = cartridge_colour((x - 14) / 80, (y - 10) / 80)
        if colour is not None:
            return colour
    # The title in 5 x 7 letters of 6 px cells.
    cell = 6
    left, top = 116, 18
    for index, letter in enumerate("GAPWELL"):
        gx = int((x - left - index * 6 * cell) // cell)
        gy = int((y - top) // cell)
        if 0 <= gx < 5 and 0 <= gy < 7 and LETTERS[letter][gy][gx] == "1":
            return WHITE
    # A row of bytes under the title with a run of free space in it.
    if 78 <= y < 86 and 116 <= x < 476:
        slot = int((x - 116) // 12)
        if (x - 116) % 12 < 10:
            return GAP if 14 <= slot <= 21 else DATA
    # Background: a gradient from dark blue to teal.
    t = x / 500
    return (int(20 + 10 * t), int(30 + 70 * t), int(60 + 50 * t))


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    icons = os.path.join(root, "resources", "icons", "AAA")
    os.makedirs(icons, exist_ok=True)
    for size in (16, 32, 48, 128, 256):
        write_png(os.path.join(icons, "%d.png" % size), size, size, icon(size))
    write_png(os.path.join(root, "resources", "banner.png"), 500, 100, render(500, 100, banner_colour, 2))


if __name__ == "__main__":
    main()

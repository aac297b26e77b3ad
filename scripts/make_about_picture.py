#!/usr/bin/env python3
"""Draws the About window's 32 x 32 picture and writes it as an 8-bit palette PNG.

The picture is a grey game cartridge with a striped label, a run of empty (filler) cells on
it, and a magnifying glass searching them. It uses a small fixed palette in the style of a
256-colour bitmap and needs only the Python standard library.

    python3 scripts/make_about_picture.py [output.png]
"""

import struct
import sys
import zlib
from pathlib import Path

SIZE = 32

# Palette index -> RGB.
WHITE, OUTLINE, BODY, BODY_LIGHT, BODY_DARK, LABEL, LABEL_STRIPE, CELL, CELL_FREE, LENS, \
    LENS_SHINE, RIM, HANDLE = range(13)
PALETTE = [
    (255, 255, 255),  # background, the same white as the header band
    (32, 32, 48),  # outlines
    (160, 160, 176),  # cartridge body
    (208, 208, 224),  # body highlight
    (112, 112, 128),  # body shadow
    (0, 64, 160),  # label
    (96, 160, 224),  # label stripe
    (64, 64, 80),  # used cell
    (255, 224, 96),  # free cell
    (160, 224, 255),  # lens glass
    (240, 252, 255),  # lens shine
    (128, 64, 0),  # lens rim
    (88, 40, 0),  # handle
]


def new_canvas():
    return [[WHITE] * SIZE for _ in range(SIZE)]


def fill_rect(canvas, left, top, right, bottom, colour):
    """Fills the rectangle including both corners."""
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            canvas[y][x] = colour


def outline_rect(canvas, left, top, right, bottom, colour):
    for x in range(left, right + 1):
        canvas[top][x] = colour
        canvas[bottom][x] = colour
    for y in range(top, bottom + 1):
        canvas[y][left] = colour
        canvas[y][right] = colour


def draw_cartridge(canvas):
    fill_rect(canvas, 3, 2, 22, 27, BODY)
    fill_rect(canvas, 4, 3, 21, 3, BODY_LIGHT)
    fill_rect(canvas, 4, 3, 4, 26, BODY_LIGHT)
    fill_rect(canvas, 5, 26, 21, 26, BODY_DARK)
    fill_rect(canvas, 21, 4, 21, 26, BODY_DARK)
    outline_rect(canvas, 3, 2, 22, 27, OUTLINE)
    # Notch in the top edge and the grip ridges.
    fill_rect(canvas, 9, 2, 16, 3, WHITE)
    fill_rect(canvas, 9, 4, 16, 4, OUTLINE)
    fill_rect(canvas, 8, 2, 8, 4, OUTLINE)
    fill_rect(canvas, 17, 2, 17, 4, OUTLINE)
    # Label with two stripes.
    fill_rect(canvas, 6, 7, 19, 14, LABEL)
    fill_rect(canvas, 8, 9, 17, 9, LABEL_STRIPE)
    fill_rect(canvas, 8, 12, 15, 12, LABEL_STRIPE)
    outline_rect(canvas, 6, 7, 19, 14, OUTLINE)


def draw_cells(canvas):
    """A row of data cells: used ones dark, then a run of free ones."""
    for index in range(7):
        left = 5 + index * 2
        colour = CELL if index < 3 else CELL_FREE
        fill_rect(canvas, left, 18, left, 21, colour)
    fill_rect(canvas, 5, 23, 11, 23, CELL)


def draw_magnifier(canvas):
    centre_x, centre_y, radius = 19, 19, 6
    for y in range(SIZE):
        for x in range(SIZE):
            distance = (x - centre_x) ** 2 + (y - centre_y) ** 2
            if distance <= (radius - 1) ** 2:
                canvas[y][x] = LENS
            elif distance <= radius**2 + radius:
                canvas[y][x] = RIM
    fill_rect(canvas, 16, 16, 17, 16, LENS_SHINE)
    fill_rect(canvas, 16, 17, 16, 17, LENS_SHINE)
    # A free cell seen through the lens, drawn larger.
    fill_rect(canvas, 18, 18, 21, 21, CELL_FREE)
    outline_rect(canvas, 18, 18, 21, 21, OUTLINE)
    # The handle runs to the lower right corner.
    for y in range(24, SIZE):
        fill_rect(canvas, y - 1, y, min(y + 1, SIZE - 1), y, HANDLE)


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def encode_png(canvas):
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 3, 0, 0, 0)  # 8-bit, palette colour
    palette = b"".join(struct.pack("BBB", *rgb) for rgb in PALETTE)
    rows = b"".join(b"\x00" + bytes(row) for row in canvas)  # filter type 0 for each row
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + png_chunk(b"PLTE", palette) +
            png_chunk(b"IDAT", zlib.compress(rows, 9)) + png_chunk(b"IEND", b""))


def main():
    default = Path(__file__).resolve().parent.parent / "resources" / "about" / "about.png"
    output = Path(sys.argv[1]) if len(sys.argv) > 1 else default
    canvas = new_canvas()
    draw_cartridge(canvas)
    draw_cells(canvas)
    draw_magnifier(canvas)
    output.parent.mkdir(parents=True, exist_ok=True)
    output.write_bytes(encode_png(canvas))
    print(f"wrote {output}")


if __name__ == "__main__":
    main()

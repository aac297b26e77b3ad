#!/usr/bin/env python3
"""Draws the page's icons from the program's own artwork (the cartridge of make_artwork.py):
192 and 512 px, a 512 px maskable one (the cartridge inside the safe circle on a full square)
and favicon.ico (a 32 px PNG inside an ICO), into web/icons/ and web/. Standard library only.

    python3 scripts/make_web_icons.py [repository root]
"""

import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_artwork import SLATE_EDGE, cartridge_colour, render, write_png  # noqa: E402

# A maskable icon may be cut to a circle of 80 % of its width: the cartridge is drawn smaller.
MASKABLE_SCALE = 0.62


def maskable_colour(size):
    def colour_at(x, y):
        u = 0.5 + (x / size - 0.5) / MASKABLE_SCALE
        v = 0.5 + (y / size - 0.5) / MASKABLE_SCALE
        return cartridge_colour(u, v) or SLATE_EDGE
    return colour_at


def icon(size):
    return render(size, size, lambda x, y: cartridge_colour(x / size, y / size), 2)


def write_ico(path, png_path, size):
    with open(png_path, "rb") as png:
        data = png.read()
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), 6 + 16)
    with open(path, "wb") as out:
        out.write(header + entry + data)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    web = os.path.join(root, "web")
    icons = os.path.join(web, "icons")
    os.makedirs(icons, exist_ok=True)
    for size in (192, 512):
        write_png(os.path.join(icons, "%d.png" % size), size, size, icon(size))
    write_png(os.path.join(icons, "maskable-512.png"), 512, 512, render(512, 512, maskable_colour(512), 2))
    small = os.path.join(icons, "32.png")
    write_png(small, 32, 32, render(32, 32, lambda x, y: cartridge_colour(x / 32, y / 32), 4))
    write_ico(os.path.join(web, "favicon.ico"), small, 32)
    os.remove(small)


if __name__ == "__main__":
    main()

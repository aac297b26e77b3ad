#!/usr/bin/env python3
"""Writes a synthetic Game Boy Advance ROM image for trying Gapwell out.

The image is made up from scratch (no real game): a well-formed cartridge header with a made-up
title, game code and maker code, pseudo-random contents, and free runs of 0xFF and 0x00 of
various lengths at odd and even offsets, one of them crossing a 1 MiB boundary. The end of the
image is padded with 0xFF, as ROM images usually are. Two words point at the run at 0x2000, as a
game's pointer table would point at a blank block of graphics that only looks free.

Usage: make_sample_rom.py OUTPUT [--size MIB]
"""

import argparse
import random

TITLE = b"GAPWELL DEMO"  # 12 characters at 0xA0
GAME_CODE = b"BGWE"      # 4 characters at 0xAC
MAKER_CODE = b"7G"       # 2 characters at 0xB0

# (offset, length, filler byte) of the free runs placed into the image.
FREE_RUNS = [
    (0x000401, 0x0040, 0xFF),  # short run at an odd offset
    (0x002000, 0x0300, 0xFF),
    (0x010001, 0x1000, 0xFF),
    (0x0FFF80, 0x0100, 0xFF),  # crosses the 1 MiB boundary at 0x100000
    (0x123457, 0x0800, 0x00),
    (0x200000, 0x4000, 0x00),
    (0x280010, 0x0200, 0xFF),
]
PADDING = 0x40000  # 0xFF padding at the end
# (offset, value) of little-endian pointer words: 0x08000000 + 0x2000 and its mirror at 0x0A000000.
POINTERS = [
    (0x000C00, 0x08002000),
    (0x001800, 0x0A002000),
]


def header_checksum(rom: bytearray) -> int:
    return (-(sum(rom[0xA0:0xBD]) + 0x19)) & 0xFF


def make_rom(size: int) -> bytearray:
    generator = random.Random(20261207)
    # Random bytes other than 0x00 and 0xFF, so the only free space is the one placed below.
    rom = bytearray(generator.randrange(1, 255) for _ in range(size))
    rom[0xA0:0xAC] = TITLE
    rom[0xAC:0xB0] = GAME_CODE
    rom[0xB0:0xB2] = MAKER_CODE
    rom[0xB2] = 0x96  # fixed value of every GBA header
    rom[0xB3:0xBD] = bytes(10)
    rom[0xBD] = header_checksum(rom)
    rom[0xBE:0xC0] = bytes(2)
    for offset, length, filler in FREE_RUNS:
        if offset + length <= size - PADDING:
            rom[offset:offset + length] = bytes([filler]) * length
    for offset, value in POINTERS:
        rom[offset:offset + 4] = value.to_bytes(4, "little")
    rom[size - PADDING:] = b"\xff" * PADDING
    return rom


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output")
    parser.add_argument("--size", type=int, default=4, help="size in MiB (default 4)")
    arguments = parser.parse_args()
    with open(arguments.output, "wb") as out:
        out.write(make_rom(arguments.size << 20))


if __name__ == "__main__":
    main()

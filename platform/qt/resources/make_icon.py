#!/usr/bin/env python3
"""Draws the program's 32x32 icon, a magnifier over a sound wave, in 16 colours.

Writes tessik_icon.xpm (an XPM that C++ can include) and tessik.png beside this script.
Run it again after changing the drawing; both files are kept in the repository.
"""
import math
import os
import struct
import zlib

SIZE = 32
PALETTE = {
    ".": None,                # transparent
    "k": (0, 0, 0),
    "d": (64, 64, 64),
    "g": (128, 128, 128),
    "l": (192, 192, 192),
    "w": (255, 255, 255),
    "n": (0, 0, 128),         # the wave outside the lens
    "b": (0, 0, 255),
    "c": (0, 128, 128),
    "a": (170, 230, 255),     # the glass
    "m": (128, 0, 0),         # the handle
    "r": (192, 64, 0),
    "y": (255, 255, 0),
}

LENS_X, LENS_Y, LENS_R = 12.0, 12.0, 9.0


def wave_height(x, magnified):
    # A burst of sound: a sine under a bell-shaped envelope.
    centre = 15.5
    spread = 5.0 if magnified else 14.0
    envelope = math.exp(-((x - centre) / spread) ** 2)
    return 1 + envelope * (7 if magnified else 9) * abs(math.sin(x * (0.9 if magnified else 0.7)))


def draw():
    grid = [["." for _ in range(SIZE)] for _ in range(SIZE)]

    def inside_lens(x, y, r=LENS_R):
        return (x + 0.5 - LENS_X) ** 2 + (y + 0.5 - LENS_Y) ** 2 <= r * r

    # The wave across the icon, bars around its middle line.
    mid = 17
    for x in range(1, SIZE - 1):
        if x % 2 == 0:
            continue
        h = int(round(wave_height(x, False)))
        for y in range(mid - h, mid + h + 1):
            grid[y][x] = "n"

    # The glass, and the wave seen through it: taller, wider bars.
    for y in range(SIZE):
        for x in range(SIZE):
            if inside_lens(x, y, LENS_R - 1.5):
                grid[y][x] = "a"
    for x in range(SIZE):
        h = int(round(wave_height(x / 1.3 + 4, True) * 1.1))
        for y in range(mid - h - 3, mid + h - 2):
            if 0 <= y < SIZE and inside_lens(x, y, LENS_R - 1.5) and x % 3 != 2:
                grid[y][x] = "b"
    # A glint on the glass.
    for (x, y) in [(7, 6), (6, 7), (8, 5), (6, 8), (9, 5)]:
        grid[y][x] = "w"

    # The rim.
    for y in range(SIZE):
        for x in range(SIZE):
            if inside_lens(x, y) and not inside_lens(x, y, LENS_R - 1.5):
                outer = not inside_lens(x, y, LENS_R - 0.7)
                grid[y][x] = "k" if outer else "d"

    # The handle, from the rim down to the corner.
    for t in range(0, 100):
        p = 18.5 + t * (29.5 - 18.5) / 99
        for dx in (-1.5, -0.5, 0.5, 1.5):
            x = int(p + dx * 0.7071)
            y = int(p - dx * 0.7071)
            if 0 <= x < SIZE and 0 <= y < SIZE and not inside_lens(x, y):
                grid[y][x] = "r" if abs(dx) < 1 else "m"
    return grid


def write_xpm(grid, path):
    used = sorted({c for row in grid for c in row})
    lines = ['/* XPM */', '// The icon of the main window: a magnifier over a sound wave.',
             '// Drawn by make_icon.py.',
             'static const char* const tessik_icon_xpm[] = {',
             f'    "{SIZE} {SIZE} {len(used)} 1",']
    for c in used:
        colour = PALETTE[c]
        value = "None" if colour is None else "#%02X%02X%02X" % colour
        lines.append(f'    "{c} c {value}",')
    for i, row in enumerate(grid):
        end = "," if i < SIZE - 1 else ""
        lines.append(f'    "{"".join(row)}"{end}')
    lines.append("};")
    with open(path, "w") as out:
        out.write("\n".join(lines) + "\n")


def write_png(grid, path):
    raw = b""
    for row in grid:
        raw += b"\x00"
        for c in row:
            colour = PALETTE[c]
            raw += bytes((0, 0, 0, 0)) if colour is None else bytes(colour + (255,))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(png)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    picture = draw()
    assert len({c for row in picture for c in row}) <= 16
    write_xpm(picture, os.path.join(here, "tessik_icon.xpm"))
    write_png(picture, os.path.join(here, "tessik.png"))

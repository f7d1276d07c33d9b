#!/usr/bin/env python3
"""Writes tessik.ico, the program's icon for Windows: 32x32 pixels in 16 colours.

The picture is the one make_icon.py beside it draws; its colours make the
fixed palette (padded to sixteen), and its transparent pixels the mask. Run it again
after changing the drawing; the .ico is kept in the repository.
"""
import importlib.util
import os
import struct
import sys

sys.dont_write_bytecode = True  # nothing left behind beside the drawing

HERE = os.path.dirname(os.path.abspath(__file__))
DRAWING = os.path.join(HERE, "make_icon.py")
RESOURCES = os.path.join(HERE, "..", "..", "platform", "win32", "resources")

COLOURS = 16


def load_drawing():
    spec = importlib.util.spec_from_file_location("make_icon", DRAWING)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def palette_of(module):
    # Index 0 is black: the colour under the transparent pixels, as the mask expects.
    colours = [(0, 0, 0)]
    for key in sorted(module.PALETTE):
        colour = module.PALETTE[key]
        if colour is not None and colour not in colours:
            colours.append(colour)
    assert len(colours) <= COLOURS, "the drawing has more than 16 colours"
    return colours + [(0, 0, 0)] * (COLOURS - len(colours))


def icon_bytes(module):
    size = module.SIZE
    grid = module.draw()
    palette = palette_of(module)
    # Rows bottom-up; two pixels a byte, the left one in the high half.
    colour_rows = b""
    mask_rows = b""
    for row in reversed(grid):
        indices = [0 if module.PALETTE[c] is None else palette.index(module.PALETTE[c])
                   for c in row]
        colour_rows += bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2))
        bits = 0
        for c in row:
            bits = (bits << 1) | (1 if module.PALETTE[c] is None else 0)
        mask = bits.to_bytes(size // 8, "big")
        mask_rows += mask + b"\x00" * (-len(mask) % 4)
    # The height counts the colour image and the mask together.
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(colour_rows) + len(mask_rows), 0, 0, 0, 0)
    colours = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    image = header + colours + colour_rows + mask_rows
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, COLOURS, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    with open(os.path.join(RESOURCES, "tessik.ico"), "wb") as out:
        out.write(icon_bytes(load_drawing()))

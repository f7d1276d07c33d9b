#!/usr/bin/env python3
"""Draws the program's icon, a magnifier over a sound wave.

The window's own icon is drawn pixel by pixel, 32x32 in 16 colours: tessik_icon.xpm (an
XPM that C++ can include) and tessik.png, beside this script. The same design drawn with
shapes is the icon a desktop shows in its menus: icons/tessik.svg, and icons/NxN/tessik.png
rendered from the same shapes, anti-aliased, at each size of the hicolor theme.
Run it again after changing the drawing; every file it writes is kept in the repository.
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
    rows = [[(0, 0, 0, 0) if PALETTE[c] is None else PALETTE[c] + (255,) for c in row]
            for row in grid]
    write_rgba_png(rows, path)


# The same design as shapes, in the 32-unit square of the pixel drawing (y downwards):
# each is (kind, colour, geometry, clipped to the glass), painted in order.
#   rect (x0, y0, x1, y1)   circle (cx, cy, r)   ring (cx, cy, r0, r1)
#   arc (cx, cy, r0, r1, a0, a1): a band of a ring between two angles in degrees,
#       clockwise from the x axis as on the screen
#   polygon ((x, y), ...): convex, its points in order
THEME_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
GLASS = (LENS_X, LENS_Y, LENS_R - 1.5)


def shapes():
    mid = 17
    result = []
    for x in range(1, SIZE - 1, 2):
        h = int(round(wave_height(x, False)))
        result.append(("rect", "n", (x, mid - h, x + 1, mid + h + 1), False))

    # The handle goes under the rim, which covers its end.
    start, end = 17.5, 30.5
    for half_width, colour in ((2.0, "m"), (1.0, "r")):
        d = half_width * 0.7071
        result.append(("polygon", colour, ((start + d, start - d), (end + d, end - d),
                                           (end - d, end + d), (start - d, start + d)), False))

    result.append(("circle", "a", GLASS, False))
    for x in range(SIZE):
        if x % 3 == 2:
            continue
        h = int(round(wave_height(x / 1.3 + 4, True) * 1.1))
        result.append(("rect", "b", (x, mid - h - 3, x + 1, mid + h - 2), True))
    result.append(("arc", "w", (LENS_X, LENS_Y, 5.9, 7.0, 205.0, 252.0), False))

    result.append(("ring", "d", (LENS_X, LENS_Y, LENS_R - 1.5, LENS_R), False))
    result.append(("ring", "k", (LENS_X, LENS_Y, LENS_R - 0.7, LENS_R), False))
    return result


def number(value):
    return ("%.4f" % value).rstrip("0").rstrip(".")


def hex_colour(code):
    return "#%02x%02x%02x" % PALETTE[code]


def arc_point(cx, cy, r, degrees):
    a = math.radians(degrees)
    return number(cx + r * math.cos(a)), number(cy + r * math.sin(a))


def svg_element(kind, colour, g):
    fill = hex_colour(colour)
    if kind == "rect":
        x0, y0, x1, y1 = g
        return (f'<rect x="{number(x0)}" y="{number(y0)}" width="{number(x1 - x0)}" '
                f'height="{number(y1 - y0)}" fill="{fill}"/>')
    if kind == "circle":
        cx, cy, r = g
        return f'<circle cx="{number(cx)}" cy="{number(cy)}" r="{number(r)}" fill="{fill}"/>'
    if kind == "ring":
        cx, cy, r0, r1 = g
        return (f'<circle cx="{number(cx)}" cy="{number(cy)}" r="{number((r0 + r1) / 2)}" '
                f'fill="none" stroke="{fill}" stroke-width="{number(r1 - r0)}"/>')
    if kind == "arc":
        cx, cy, r0, r1, a0, a1 = g
        large = 1 if a1 - a0 > 180 else 0
        ox0, oy0 = arc_point(cx, cy, r1, a0)
        ox1, oy1 = arc_point(cx, cy, r1, a1)
        ix1, iy1 = arc_point(cx, cy, r0, a1)
        ix0, iy0 = arc_point(cx, cy, r0, a0)
        return (f'<path d="M{ox0} {oy0}A{number(r1)} {number(r1)} 0 {large} 1 {ox1} {oy1}'
                f'L{ix1} {iy1}A{number(r0)} {number(r0)} 0 {large} 0 {ix0} {iy0}Z" '
                f'fill="{fill}"/>')
    points = " ".join(f"{number(x)},{number(y)}" for x, y in g)
    return f'<polygon points="{points}" fill="{fill}"/>'


def write_svg(path):
    cx, cy, r = GLASS
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<!-- The icon of Tessik: a magnifier over a sound wave. Drawn by make_icon.py. -->',
             f'<svg xmlns="http://www.w3.org/2000/svg" width="{SIZE}" height="{SIZE}" '
             f'viewBox="0 0 {SIZE} {SIZE}">',
             '  <defs>',
             f'    <clipPath id="glass"><circle cx="{number(cx)}" cy="{number(cy)}" '
             f'r="{number(r)}"/></clipPath>',
             '  </defs>']
    clipped = []
    for kind, colour, g, clip in shapes():
        if clip:
            clipped.append(svg_element(kind, colour, g))
            continue
        if clipped:
            lines.append('  <g clip-path="url(#glass)">')
            lines.extend("    " + e for e in clipped)
            lines.append("  </g>")
            clipped = []
        lines.append("  " + svg_element(kind, colour, g))
    lines.append("</svg>")
    with open(path, "w") as out:
        out.write("\n".join(lines) + "\n")


def inside(kind, g, x, y):
    if kind == "rect":
        return g[0] <= x < g[2] and g[1] <= y < g[3]
    if kind == "circle":
        return (x - g[0]) ** 2 + (y - g[1]) ** 2 <= g[2] ** 2
    if kind == "ring":
        d = (x - g[0]) ** 2 + (y - g[1]) ** 2
        return g[2] ** 2 < d <= g[3] ** 2
    if kind == "arc":
        cx, cy, r0, r1, a0, a1 = g
        d = (x - cx) ** 2 + (y - cy) ** 2
        if not r0 * r0 <= d <= r1 * r1:
            return False
        return a0 <= math.degrees(math.atan2(y - cy, x - cx)) % 360 <= a1
    # A convex polygon: the point is on the same side of every edge.
    sides = set()
    for (x0, y0), (x1, y1) in zip(g, g[1:] + g[:1]):
        cross = (x1 - x0) * (y - y0) - (y1 - y0) * (x - x0)
        sides.add(cross > 0)
    return len(sides) == 1


def bounds(kind, g):
    if kind == "rect":
        return g
    if kind == "polygon":
        xs = [p[0] for p in g]
        ys = [p[1] for p in g]
        return min(xs), min(ys), max(xs), max(ys)
    r = g[2] if kind == "circle" else g[3]
    return g[0] - r, g[1] - r, g[0] + r, g[1] + r


def render(size, samples=5):
    """The shapes at size x size pixels, each pixel the mean of samples x samples points."""
    grid = size * samples
    unit = grid / SIZE  # sample points per unit of the drawing
    paint = [None] * (grid * grid)
    for kind, colour, g, clip in shapes():
        x0, y0, x1, y1 = bounds(kind, g)
        for sy in range(max(0, int(y0 * unit)), min(grid, int(math.ceil(y1 * unit)) + 1)):
            y = (sy + 0.5) / unit
            for sx in range(max(0, int(x0 * unit)), min(grid, int(math.ceil(x1 * unit)) + 1)):
                x = (sx + 0.5) / unit
                if inside(kind, g, x, y) and (not clip or inside("circle", GLASS, x, y)):
                    paint[sy * grid + sx] = colour
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            total = [0, 0, 0, 0]
            for sy in range(py * samples, (py + 1) * samples):
                for sx in range(px * samples, (px + 1) * samples):
                    code = paint[sy * grid + sx]
                    if code is not None:
                        r, g_, b = PALETTE[code]
                        total[0] += r
                        total[1] += g_
                        total[2] += b
                        total[3] += 1
            covered = total[3]
            if covered == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(total[0] / covered), round(total[1] / covered),
                            round(total[2] / covered), round(255 * covered / samples ** 2)))
        rows.append(row)
    return rows


def write_rgba_png(rows, path):
    size = len(rows)
    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(png)


def write_theme_icons(folder):
    os.makedirs(folder, exist_ok=True)
    write_svg(os.path.join(folder, "tessik.svg"))
    for size in THEME_SIZES:
        os.makedirs(os.path.join(folder, f"{size}x{size}"), exist_ok=True)
        write_rgba_png(render(size), os.path.join(folder, f"{size}x{size}", "tessik.png"))


if __name__ == "__main__":
    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "platform", "qt",
                        "resources")
    picture = draw()
    assert len({c for row in picture for c in row}) <= 16
    write_xpm(picture, os.path.join(here, "tessik_icon.xpm"))
    write_png(picture, os.path.join(here, "tessik.png"))
    write_theme_icons(os.path.join(here, "icons"))

#!/usr/bin/env python3
"""Writes the editor's desktop icon, the cube of its window icon (top, left and right faces in the
axis colours), as fieldsmith.svg and as PNG files at the hicolor sizes, with the standard library only.
Run it from this folder; the outputs are kept in the repository."""
import struct
import zlib

SIZES = (16, 24, 32, 48, 64, 128, 256)
SUPERSAMPLE = 4

# The cube on a 16-unit square, as the window icon draws it.
TOP, LEFT, RIGHT, CENTRE = (8, 1), (1.5, 4.5), (14.5, 4.5), (8, 8)
BOTTOM, LEFT_BOTTOM, RIGHT_BOTTOM = (8, 15), (1.5, 11.5), (14.5, 11.5)
FACES = (
    ((TOP, RIGHT, CENTRE, LEFT), (80, 200, 80)),
    ((LEFT, CENTRE, BOTTOM, LEFT_BOTTOM), (220, 70, 70)),
    ((CENTRE, RIGHT, RIGHT_BOTTOM, BOTTOM), (70, 110, 230)),
)
OUTLINE = 0.6


def inside(polygon, x, y):
    crossings = False
    for (x1, y1), (x2, y2) in zip(polygon, polygon[1:] + polygon[:1]):
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            crossings = not crossings
    return crossings


def edge_distance(polygon, x, y):
    best = 1e9
    for (x1, y1), (x2, y2) in zip(polygon, polygon[1:] + polygon[:1]):
        dx, dy = x2 - x1, y2 - y1
        t = max(0.0, min(1.0, ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy)))
        px, py = x1 + t * dx, y1 + t * dy
        best = min(best, ((x - px) ** 2 + (y - py) ** 2) ** 0.5)
    return best


def sample(x, y):
    """The colour at a point of the 16-unit square, or None outside the cube."""
    for polygon, colour in FACES:
        if edge_distance(polygon, x, y) <= OUTLINE / 2:
            return (0, 0, 0)
    for polygon, colour in FACES:
        if inside(polygon, x, y):
            return colour
    return None


def render(side):
    rows = []
    n = SUPERSAMPLE
    for py in range(side):
        row = bytearray([0])
        for px in range(side):
            r = g = b = a = 0
            for sy in range(n):
                for sx in range(n):
                    c = sample((px + (sx + 0.5) / n) * 16 / side, (py + (sy + 0.5) / n) * 16 / side)
                    if c is not None:
                        r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
            row += bytes((r // a, g // a, b // a, 255 * a // (n * n))) if a else bytes(4)
        rows.append(bytes(row))
    return b"".join(rows)


def png(side, pixels):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", side, side, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(pixels, 9))
            + chunk(b"IEND", b""))


def svg():
    def points(polygon):
        return " ".join(f"{x:g},{y:g}" for x, y in polygon)

    shapes = "".join(
        f'  <polygon points="{points(p)}" fill="#{c[0]:02x}{c[1]:02x}{c[2]:02x}" stroke="#000000" '
        f'stroke-width="{OUTLINE:g}" stroke-linejoin="round"/>\n' for p, c in FACES)
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 16 16">\n'
            + shapes + '</svg>\n')


def main():
    for side in SIZES:
        with open(f"fieldsmith-{side}.png", "wb") as out:
            out.write(png(side, render(side)))
    with open("fieldsmith.svg", "w", encoding="utf-8") as out:
        out.write(svg())


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes the default textures of the toon and sphere-map shading modes beside this script.

Toon.png   a light ramp read left (facing away from the light) to right (facing it): three flat
           bands, cool shadow, soft mid tone and full light, so toon shading shows three shades.
SpeMap.png a sphere map of a bright studio: blue sky fading to a pale horizon, a warm grey floor and
           two soft-box lights, as seen reflected in a mirror ball from the front.

Only the standard library is used, so anyone can regenerate the files: python3 make_textures.py
"""
import math
import os
import struct
import zlib


def write_png(path, width, height, pixel):
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows.extend(bytes(max(0, min(255, round(c * 255))) for c in pixel(x, y)))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                  chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


TOON_BANDS = [(0.45, (0.56, 0.57, 0.70)), (0.68, (0.84, 0.84, 0.90)), (1.01, (1.0, 1.0, 1.0))]


def toon(x, y, width=64):
    level = (x + 0.5) / width
    return next(colour for limit, colour in TOON_BANDS if level < limit)


def mix(a, b, t):
    return tuple(p + (q - p) * t for p, q in zip(a, b))


def smoothstep(edge0, edge1, value):
    t = max(0.0, min(1.0, (value - edge0) / (edge1 - edge0)))
    return t * t * (3 - 2 * t)


SKY_TOP = (0.30, 0.52, 0.86)
SKY_HORIZON = (0.88, 0.92, 0.97)
FLOOR_NEAR = (0.45, 0.41, 0.37)
FLOOR_FAR = (0.22, 0.20, 0.19)
LIGHTS = [((-0.55, 0.62, -0.56), 0.965), ((0.7, 0.35, 0.62), 0.975)]


def environment(direction):
    x, y, z = direction
    if y >= 0:
        colour = mix(SKY_HORIZON, SKY_TOP, smoothstep(0.0, 0.8, y))
    else:
        colour = mix(FLOOR_NEAR, FLOOR_FAR, smoothstep(0.0, 0.7, -y))
        colour = mix(SKY_HORIZON, colour, smoothstep(0.0, 0.06, -y))
    for light, size in LIGHTS:
        length = math.sqrt(sum(c * c for c in light))
        facing = sum(d * c / length for d, c in zip(direction, light))
        colour = mix(colour, (1.0, 1.0, 0.98), smoothstep(size - 0.02, size + 0.01, facing))
    return colour


def sphere_map(x, y, size=256):
    u = (x + 0.5) / size * 2 - 1
    v = 1 - (y + 0.5) / size * 2
    r2 = u * u + v * v
    if r2 > 1:
        scale = 1 / math.sqrt(r2)
        u, v, r2 = u * scale, v * scale, 1.0
    # The ball's normal facing the viewer, who looks along +z; the view ray is reflected about it.
    normal = (u, v, -math.sqrt(max(0.0, 1 - r2)))
    dot = normal[2]
    reflected = tuple((0.0, 0.0, 1.0)[i] - 2 * dot * normal[i] for i in range(3))
    return environment(reflected)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    write_png(os.path.join(here, "Toon.png"), 64, 4, toon)
    write_png(os.path.join(here, "SpeMap.png"), 256, 256, sphere_map)

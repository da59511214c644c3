#!/usr/bin/env python3
"""Writes the sample models and the sample map beside this script: python3 make_samples.py

Sample.map names the models as Data/Sample/..., so open it with the editor started in the folder
that holds Data (as ./run.sh does).
"""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import xfile_writer as xw  # noqa: E402

here = os.path.dirname(os.path.abspath(__file__))


def model(name, parts):
    xw.write(os.path.join(here, name + ".x"), name, parts)


ground = xw.Part((0.42, 0.55, 0.33), specular=(0.05, 0.05, 0.05), power=4)
xw.box(ground, (-8, -0.2, -8), (8, 0, 8))
model("ground", [ground])

crate = xw.Part((0.72, 0.50, 0.28))
xw.box(crate, (-0.5, 0, -0.5), (0.5, 1, 0.5))
bands = xw.Part((0.38, 0.25, 0.14))
xw.box(bands, (-0.52, 0.08, -0.52), (0.52, 0.2, 0.52))
xw.box(bands, (-0.52, 0.8, -0.52), (0.52, 0.92, 0.52))
model("crate", [crate, bands])

shaft = xw.Part((0.85, 0.84, 0.80), specular=(0.4, 0.4, 0.4), power=30)
xw.cylinder(shaft, 0.3, 0.25, 2.75, 24)
stone = xw.Part((0.70, 0.68, 0.64))
xw.box(stone, (-0.45, 0, -0.45), (0.45, 0.25, 0.45))
xw.box(stone, (-0.45, 2.75, -0.45), (0.45, 3.0, 0.45))
model("pillar", [shaft, stone])

trunk = xw.Part((0.40, 0.27, 0.16), specular=(0.02, 0.02, 0.02), power=4)
xw.cylinder(trunk, 0.15, 0, 0.9, 12)
leaves = xw.Part((0.20, 0.52, 0.24), specular=(0.05, 0.08, 0.05), power=6)
xw.cone(leaves, 0.9, 1.4, 20, base_y=0.7)
xw.cone(leaves, 0.7, 1.2, 20, base_y=1.4)
xw.cone(leaves, 0.5, 1.0, 20, base_y=2.0)
model("tree", [trunk, leaves])


def matrix(x, y, z, yaw_degrees=0.0, scale=1.0):
    c, s = math.cos(math.radians(yaw_degrees)) * scale, math.sin(math.radians(yaw_degrees)) * scale
    values = (c, 0, -s, 0, 0, scale, 0, 0, s, 0, c, 0, x, y, z, 1)
    text = (("%.6f" % v).rstrip("0").rstrip(".") for v in values)
    return ",".join("0" if t == "-0" else t for t in text)


placements = [("ground", 0, 0, 0, 0, 1), ("crate", 1.5, 0, -1, 20, 1), ("crate", 2.3, 0, 0.3, -10, 1),
              ("crate", 1.9, 1, -0.4, 35, 0.8), ("pillar", -3, 0, 3, 0, 1), ("pillar", 3, 0, 3, 0, 1),
              ("tree", -4.5, 0, -3, 0, 1.2), ("tree", -2.5, 0, -4.5, 40, 0.9), ("tree", 5, 0, -4, 10, 1.4),
              ("tree", -5.5, 0, 1, 70, 1)]
# The glTF and OBJ letters (make_models.py) stand side by side in front of the default camera.
placements = [(name + ".x", *rest) for name, *rest in placements]
placements += [("letter_F.gltf", -1, 0, -6, 0, 1), ("letter_L.obj", 0.5, 0, -6, 0, 1)]
with open(os.path.join(here, "Sample.map"), "w", newline="") as out:
    for name, x, y, z, yaw, scale in placements:
        out.write("XFileName{Data/Sample/%s},Matrix(%s);\r\n" % (name, matrix(x, y, z, yaw, scale)))

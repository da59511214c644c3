#!/usr/bin/env python3
"""Writes the sample glTF and OBJ models beside this script: python3 make_models.py

letter_F.gltf and letter_L.obj are letters, so a model shown mirrored is seen at once: both read
correctly from the front, which faces +Z in their own right-handed space (towards a glTF viewer's
default camera, and towards the editor's camera looking from -Z once loaded).
"""
import base64
import json
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))
DEPTH = 0.15


def box_faces(x0, y0, x1, y1):
    """The six quads of a box, corners counter-clockwise seen from outside, each with its normal."""
    z0, z1 = -DEPTH, DEPTH
    return [
        ([(x0, y0, z1), (x1, y0, z1), (x1, y1, z1), (x0, y1, z1)], (0, 0, 1)),
        ([(x1, y0, z0), (x0, y0, z0), (x0, y1, z0), (x1, y1, z0)], (0, 0, -1)),
        ([(x0, y0, z0), (x0, y0, z1), (x0, y1, z1), (x0, y1, z0)], (-1, 0, 0)),
        ([(x1, y0, z1), (x1, y0, z0), (x1, y1, z0), (x1, y1, z1)], (1, 0, 0)),
        ([(x0, y1, z1), (x1, y1, z1), (x1, y1, z0), (x0, y1, z0)], (0, 1, 0)),
        ([(x0, y0, z0), (x1, y0, z0), (x1, y0, z1), (x0, y0, z1)], (0, -1, 0)),
    ]


def letter(boxes):
    return [face for b in boxes for face in box_faces(*b)]


# F: a bar on the left, arms to the right at the top and in the middle.
F = letter([(-0.5, 0, -0.2, 1.6), (-0.2, 1.3, 0.6, 1.6), (-0.2, 0.65, 0.35, 0.95)])
# L: a bar on the left, a foot to the right.
L = letter([(-0.5, 0, -0.2, 1.6), (-0.2, 0, 0.5, 0.3)])


def write_gltf(path, faces, colour):
    positions, normals, indices = [], [], []
    for corners, normal in faces:
        base = len(positions)
        positions += corners
        normals += [normal] * 4
        indices += [base, base + 1, base + 2, base, base + 2, base + 3]
    pos = b"".join(struct.pack("<3f", *p) for p in positions)
    nor = b"".join(struct.pack("<3f", *n) for n in normals)
    idx = b"".join(struct.pack("<H", i) for i in indices)
    data = pos + nor + idx
    mins = [min(p[c] for p in positions) for c in range(3)]
    maxs = [max(p[c] for p in positions) for c in range(3)]
    gltf = {
        "asset": {"version": "2.0", "generator": "Data/Sample/make_models.py"},
        "scene": 0,
        "scenes": [{"nodes": [0]}],
        "nodes": [{"name": "F", "mesh": 0}],
        "meshes": [{"name": "F", "primitives": [{"attributes": {"POSITION": 0, "NORMAL": 1}, "indices": 2,
                                                  "material": 0}]}],
        "materials": [{"name": "red", "pbrMetallicRoughness": {"baseColorFactor": colour + [1.0],
                                                               "metallicFactor": 0.0, "roughnessFactor": 1.0}}],
        "buffers": [{"byteLength": len(data),
                     "uri": "data:application/octet-stream;base64," + base64.b64encode(data).decode()}],
        "bufferViews": [
            {"buffer": 0, "byteOffset": 0, "byteLength": len(pos), "target": 34962},
            {"buffer": 0, "byteOffset": len(pos), "byteLength": len(nor), "target": 34962},
            {"buffer": 0, "byteOffset": len(pos) + len(nor), "byteLength": len(idx), "target": 34963},
        ],
        "accessors": [
            {"bufferView": 0, "componentType": 5126, "count": len(positions), "type": "VEC3", "min": mins,
             "max": maxs},
            {"bufferView": 1, "componentType": 5126, "count": len(normals), "type": "VEC3"},
            {"bufferView": 2, "componentType": 5123, "count": len(indices), "type": "SCALAR"},
        ],
    }
    with open(path, "w", newline="\n") as out:
        json.dump(gltf, out, indent=1)
        out.write("\n")


def write_obj(path, faces, colour):
    name = os.path.splitext(os.path.basename(path))[0]
    with open(os.path.join(here, name + ".mtl"), "w", newline="\n") as mtl:
        mtl.write("newmtl blue\nKd %g %g %g\nKs 0.3 0.3 0.3\nNs 20\nd 1\n" % tuple(colour))
    with open(path, "w", newline="\n") as obj:
        obj.write("# made by Data/Sample/make_models.py\nmtllib %s.mtl\no %s\n" % (name, name))
        for corners, _ in faces:
            for x, y, z in corners:
                obj.write("v %g %g %g\n" % (x, y, z))
        normals = []
        for _, n in faces:
            if n not in normals:
                normals.append(n)
                obj.write("vn %g %g %g\n" % n)
        obj.write("usemtl blue\n")
        for i, (_, n) in enumerate(faces):
            k = normals.index(n) + 1
            obj.write("f " + " ".join("%d//%d" % (4 * i + c + 1, k) for c in range(4)) + "\n")


write_gltf(os.path.join(here, "letter_F.gltf"), F, [0.85, 0.2, 0.15])
write_obj(os.path.join(here, "letter_L.obj"), L, [0.2, 0.35, 0.85])

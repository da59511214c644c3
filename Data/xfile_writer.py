"""Writes text DirectX X files of simple solids for the editor's data folder.

A solid is a list of parts; a part has vertices (position, normal), triangles and one material.
Triangles are turned to Direct3D's front-face winding (clockwise seen from outside) by comparing
each one's face normal with its vertices' normals, so generators need not care about the order.
"""
import math


class Part:
    def __init__(self, colour, specular=(0.2, 0.2, 0.2), power=12.0):
        self.vertices = []
        self.triangles = []
        self.colour = colour
        self.specular = specular
        self.power = power

    def vertex(self, position, normal):
        length = math.sqrt(sum(c * c for c in normal)) or 1.0
        self.vertices.append((tuple(position), tuple(c / length for c in normal)))
        return len(self.vertices) - 1

    def triangle(self, a, b, c):
        pa, pb, pc = (self.vertices[i][0] for i in (a, b, c))
        u = [pb[i] - pa[i] for i in range(3)]
        v = [pc[i] - pa[i] for i in range(3)]
        face = (u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0])
        outward = [sum(self.vertices[i][1][k] for i in (a, b, c)) for k in range(3)]
        if sum(face[k] * outward[k] for k in range(3)) < 0:
            b, c = c, b
        self.triangles.append((a, b, c))

    def quad(self, a, b, c, d):
        self.triangle(a, b, c)
        self.triangle(a, c, d)


def box(part, low, high):
    for axis in range(3):
        for sign in (-1, 1):
            normal = [0, 0, 0]
            normal[axis] = sign
            others = [k for k in range(3) if k != axis]
            corners = []
            for s, t in ((0, 0), (0, 1), (1, 1), (1, 0)):
                p = [0, 0, 0]
                p[axis] = high[axis] if sign > 0 else low[axis]
                p[others[0]] = (low, high)[s][others[0]]
                p[others[1]] = (low, high)[t][others[1]]
                corners.append(part.vertex(p, normal))
            part.quad(*corners)


def cone(part, radius, height, segments, base_y=0.0, cap=True):
    """A cone along +Y: base circle at base_y, apex height above it."""
    slope = radius / height
    for i in range(segments):
        a0 = 2 * math.pi * i / segments
        a1 = 2 * math.pi * (i + 1) / segments
        am = (a0 + a1) / 2
        b0 = part.vertex((radius * math.cos(a0), base_y, radius * math.sin(a0)),
                         (math.cos(a0), slope, math.sin(a0)))
        b1 = part.vertex((radius * math.cos(a1), base_y, radius * math.sin(a1)),
                         (math.cos(a1), slope, math.sin(a1)))
        apex = part.vertex((0, base_y + height, 0), (math.cos(am), slope, math.sin(am)))
        part.triangle(b0, b1, apex)
    if cap:
        disc(part, radius, base_y, segments, -1)


def disc(part, radius, y, segments, facing):
    centre = part.vertex((0, y, 0), (0, facing, 0))
    ring = [part.vertex((radius * math.cos(2 * math.pi * i / segments), y,
                         radius * math.sin(2 * math.pi * i / segments)), (0, facing, 0))
            for i in range(segments)]
    for i in range(segments):
        part.triangle(centre, ring[i], ring[(i + 1) % segments])


def cylinder(part, radius, low_y, high_y, segments, caps=True):
    ring = []
    for i in range(segments + 1):
        a = 2 * math.pi * i / segments
        n = (math.cos(a), 0, math.sin(a))
        ring.append((part.vertex((radius * n[0], low_y, radius * n[2]), n),
                     part.vertex((radius * n[0], high_y, radius * n[2]), n)))
    for i in range(segments):
        part.quad(ring[i][0], ring[i + 1][0], ring[i + 1][1], ring[i][1])
    if caps:
        disc(part, radius, low_y, segments, -1)
        disc(part, radius, high_y, segments, 1)


def torus(part, major, minor, segments, sides):
    """A ring around the Y axis through the origin."""
    grid = []
    for i in range(segments + 1):
        u = 2 * math.pi * i / segments
        row = []
        for j in range(sides + 1):
            v = 2 * math.pi * j / sides
            n = (math.cos(v) * math.cos(u), math.sin(v), math.cos(v) * math.sin(u))
            p = ((major + minor * math.cos(v)) * math.cos(u), minor * math.sin(v),
                 (major + minor * math.cos(v)) * math.sin(u))
            row.append(part.vertex(p, n))
        grid.append(row)
    for i in range(segments):
        for j in range(sides):
            part.quad(grid[i][j], grid[i + 1][j], grid[i + 1][j + 1], grid[i][j + 1])


def number(value):
    text = "%.6f" % value
    return "0.000000" if text == "-0.000000" else text


def write(path, name, parts):
    vertices, triangles, materials = [], [], []
    for index, part in enumerate(parts):
        base = len(vertices)
        vertices.extend(part.vertices)
        triangles.extend(((a + base, b + base, c + base), index) for a, b, c in part.triangles)
    lines = ["xof 0302txt 0032", "", "Mesh %s {" % name, " %d;" % len(vertices)]
    lines += [" %s;%s;%s;%s" % (*map(number, p), "," if i + 1 < len(vertices) else ";")
              for i, (p, _) in enumerate(vertices)]
    lines.append(" %d;" % len(triangles))
    lines += [" 3;%d,%d,%d;%s" % (*t, "," if i + 1 < len(triangles) else ";") for i, (t, _) in enumerate(triangles)]
    lines += [" MeshNormals {", "  %d;" % len(vertices)]
    lines += ["  %s;%s;%s;%s" % (*map(number, n), "," if i + 1 < len(vertices) else ";")
              for i, (_, n) in enumerate(vertices)]
    lines.append("  %d;" % len(triangles))
    lines += ["  3;%d,%d,%d;%s" % (*t, "," if i + 1 < len(triangles) else ";") for i, (t, _) in enumerate(triangles)]
    lines += [" }", " MeshMaterialList {", "  %d;" % len(parts), "  %d;" % len(triangles)]
    lines += ["  %d%s" % (m, "," if i + 1 < len(triangles) else ";") for i, (_, m) in enumerate(triangles)]
    for part in parts:
        r, g, b = part.colour
        sr, sg, sb = part.specular
        lines += ["  Material {", "   %s;%s;%s;1.000000;;" % (number(r), number(g), number(b)),
                  "   %s;" % number(part.power), "   %s;%s;%s;;" % (number(sr), number(sg), number(sb)),
                  "   0.000000;0.000000;0.000000;;", "  }"]
    lines += [" }", "}", ""]
    with open(path, "w", newline="\n") as out:
        out.write("\n".join(lines))

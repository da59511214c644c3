// Text X files of simple solids with outward normals and one material, for drawing tests. Faces
// are wound clockwise seen from outside, as Direct3D draws front faces.
#pragma once

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace TestMeshes {

struct Vertex {
    float x, y, z, nx, ny, nz;
};

struct Colour {
    float r, g, b;
};

inline std::string XFile(const std::vector<Vertex>& vertices, const std::vector<int>& triangles,
                         Colour diffuse, Colour specular = {0, 0, 0}, float power = 8.0f) {
    std::ostringstream out;
    out << "xof 0302txt 0032\nMesh solid {\n " << vertices.size() << ";\n";
    for (std::size_t i = 0; i < vertices.size(); ++i)
        out << "  " << vertices[i].x << ";" << vertices[i].y << ";" << vertices[i].z << ";"
            << (i + 1 < vertices.size() ? "," : ";") << "\n";
    const std::size_t faces = triangles.size() / 3;
    out << " " << faces << ";\n";
    for (std::size_t f = 0; f < faces; ++f)
        out << "  3;" << triangles[3 * f] << "," << triangles[3 * f + 1] << "," << triangles[3 * f + 2] << ";"
            << (f + 1 < faces ? "," : ";") << "\n";
    out << " MeshNormals {\n  " << vertices.size() << ";\n";
    for (std::size_t i = 0; i < vertices.size(); ++i)
        out << "  " << vertices[i].nx << ";" << vertices[i].ny << ";" << vertices[i].nz << ";"
            << (i + 1 < vertices.size() ? "," : ";") << "\n";
    out << "  " << faces << ";\n";
    for (std::size_t f = 0; f < faces; ++f)
        out << "  3;" << triangles[3 * f] << "," << triangles[3 * f + 1] << "," << triangles[3 * f + 2] << ";"
            << (f + 1 < faces ? "," : ";") << "\n";
    out << " }\n MeshMaterialList { 1; " << faces << ";";
    for (std::size_t f = 0; f < faces; ++f)
        out << " 0" << (f + 1 < faces ? "," : ";");
    out << ";\n  Material { " << diffuse.r << ";" << diffuse.g << ";" << diffuse.b << ";1.0;; " << power
        << "; " << specular.r << ";" << specular.g << ";" << specular.b << ";; 0.0;0.0;0.0;; }\n }\n}\n";
    return out.str();
}

inline std::string Sphere(float radius, int slices, int stacks, Colour diffuse, Colour specular = {0, 0, 0}) {
    const float pi = 3.14159265f;
    std::vector<Vertex> vertices;
    for (int i = 0; i <= stacks; ++i)
        for (int j = 0; j <= slices; ++j) {
            const float theta = pi * static_cast<float>(i) / static_cast<float>(stacks);
            const float phi = 2.0f * pi * static_cast<float>(j) / static_cast<float>(slices);
            const float nx = std::sin(theta) * std::cos(phi), ny = std::cos(theta),
                        nz = std::sin(theta) * std::sin(phi);
            vertices.push_back({radius * nx, radius * ny, radius * nz, nx, ny, nz});
        }
    std::vector<int> triangles;
    const int row = slices + 1;
    for (int i = 0; i < stacks; ++i)
        for (int j = 0; j < slices; ++j) {
            const int a = i * row + j, b = a + 1, c = a + row, d = c + 1;
            triangles.insert(triangles.end(), {a, b, c, b, d, c});
        }
    return XFile(vertices, triangles, diffuse, specular);
}

// An axis-aligned box from (x0, y0, z0) to (x1, y1, z1), flat-shaded.
inline std::string Box(float x0, float y0, float z0, float x1, float y1, float z1, Colour diffuse) {
    const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2, cz = (z0 + z1) / 2;
    const float hx = (x1 - x0) / 2, hy = (y1 - y0) / 2, hz = (z1 - z0) / 2;
    // Each face: its normal, and "up" as seen from outside; "right" is normal x up.
    const float faces[6][6] = {{0, 0, -1, 0, 1, 0}, {0, 0, 1, 0, 1, 0}, {-1, 0, 0, 0, 1, 0},
                               {1, 0, 0, 0, 1, 0},  {0, 1, 0, 0, 0, 1}, {0, -1, 0, 0, 0, -1}};
    std::vector<Vertex> vertices;
    std::vector<int> triangles;
    for (const auto& f : faces) {
        const float n[3] = {f[0], f[1], f[2]}, v[3] = {f[3], f[4], f[5]};
        const float u[3] = {n[1] * v[2] - n[2] * v[1], n[2] * v[0] - n[0] * v[2], n[0] * v[1] - n[1] * v[0]};
        const int base = static_cast<int>(vertices.size());
        const float corners[4][2] = {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}};
        for (const auto& c : corners) {
            const float px = n[0] + c[0] * u[0] + c[1] * v[0], py = n[1] + c[0] * u[1] + c[1] * v[1],
                        pz = n[2] + c[0] * u[2] + c[1] * v[2];
            vertices.push_back({cx + px * hx, cy + py * hy, cz + pz * hz, n[0], n[1], n[2]});
        }
        triangles.insert(triangles.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
    }
    return XFile(vertices, triangles, diffuse);
}

// A square in the plane y = height, facing up, from -half to half in x and z.
inline std::string Floor(float half, float height, Colour diffuse) {
    const std::vector<Vertex> vertices = {{-half, height, -half, 0, 1, 0},
                                          {-half, height, half, 0, 1, 0},
                                          {half, height, half, 0, 1, 0},
                                          {half, height, -half, 0, 1, 0}};
    return XFile(vertices, {0, 1, 2, 0, 2, 3}, diffuse);
}

} // namespace TestMeshes

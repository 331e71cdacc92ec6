// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/datagen/TitleModel.h"

#include <GL/glu.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <deque>

namespace datagen {

namespace {

struct Vec3 {
    double x, y, z;
};
Vec3 sub(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Non-zero winding number of `p` against all contours: the fill rule of TrueType outlines.
int windingNumber(const std::vector<Contour>& contours, Point2 p) {
    int winding = 0;
    for (const Contour& c : contours) {
        for (size_t i = 0; i < c.size(); ++i) {
            const Point2 a = c[i], b = c[(i + 1) % c.size()];
            const double side = (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y);
            if (a.y <= p.y) {
                if (b.y > p.y && side > 0) ++winding;
            } else if (b.y <= p.y && side < 0) {
                --winding;
            }
        }
    }
    return winding;
}

struct TessState {
    std::deque<Point2> points;  // stable addresses for GLU's vertex data
    std::vector<const Point2*> corners;
    std::vector<std::array<const Point2*, 3>> triangles;
    bool failed = false;
};

void GLAPIENTRY onVertex(void* vertex, void* user) {
    auto* s = static_cast<TessState*>(user);
    s->corners.push_back(static_cast<const Point2*>(vertex));
    if (s->corners.size() == 3) {
        s->triangles.push_back({s->corners[0], s->corners[1], s->corners[2]});
        s->corners.clear();
    }
}
void GLAPIENTRY onBegin(GLenum, void* user) { static_cast<TessState*>(user)->corners.clear(); }
void GLAPIENTRY onEdgeFlag(GLboolean, void*) {}  // its presence makes GLU emit plain triangles
void GLAPIENTRY onCombine(GLdouble coords[3], void* [4], GLfloat[4], void** out, void* user) {
    auto* s = static_cast<TessState*>(user);
    s->points.push_back({coords[0], coords[1]});
    *out = &s->points.back();
}
void GLAPIENTRY onError(GLenum, void* user) { static_cast<TessState*>(user)->failed = true; }

class MeshBuilder {
public:
    MeshBuilder(double minX, double maxX, double minZ, double maxZ)
        : minX_(minX), spanX_(maxX - minX), minZ_(minZ), spanZ_(maxZ - minZ) {}

    // Adds a triangle facing `normal`, reordering its corners so that it is clockwise seen
    // from that side. Each corner carries its own normal (smooth walls, flat caps).
    void triangle(std::array<Vec3, 3> p, std::array<Vec3, 3> n, Vec3 facing) {
        const double side = dot(cross(sub(p[1], p[0]), sub(p[2], p[0])), facing);
        if (std::abs(side) < 1e-8) return;  // a sliver from the tessellator: invisible, unlit
        if (side < 0) {
            std::swap(p[1], p[2]);
            std::swap(n[1], n[2]);
        }
        for (int i = 0; i < 3; ++i) {
            mesh.indices.push_back(static_cast<uint32_t>(mesh.vertices.size()));
            mesh.vertices.push_back({static_cast<float>(p[i].x), static_cast<float>(p[i].y), static_cast<float>(p[i].z),
                                     static_cast<float>(n[i].x), static_cast<float>(n[i].y), static_cast<float>(n[i].z),
                                     static_cast<float>((p[i].x - minX_) / spanX_),
                                     static_cast<float>((minZ_ + spanZ_ - p[i].z) / spanZ_)});
        }
    }

    Mesh mesh;

private:
    double minX_, spanX_, minZ_, spanZ_;
};

}  // namespace

Expected<Mesh> buildTitleMesh(const Font& font, float width, float thickness) {
    std::vector<Contour> contours = font.outlines("glassFalls", 1.0, 6);
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (const Contour& c : contours) {
        for (const Point2& p : c) {
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
        }
    }
    // Font y becomes world z: the letters' tops point toward +z, the far side of the water.
    const double scale = width / (maxX - minX);
    for (Contour& c : contours) {
        for (Point2& p : c) p = {(p.x - (minX + maxX) / 2) * scale, (p.y - (minY + maxY) / 2) * scale};
    }
    const double halfW = (maxX - minX) * scale / 2, halfD = (maxY - minY) * scale / 2;

    TessState state;
    GLUtesselator* tess = gluNewTess();
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
    gluTessNormal(tess, 0, 0, 1);
    gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<void(GLAPIENTRY*)()>(onBegin));
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<void(GLAPIENTRY*)()>(onVertex));
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<void(GLAPIENTRY*)()>(onEdgeFlag));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<void(GLAPIENTRY*)()>(onCombine));
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<void(GLAPIENTRY*)()>(onError));
    gluTessBeginPolygon(tess, &state);
    for (const Contour& c : contours) {
        gluTessBeginContour(tess);
        for (const Point2& p : c) {
            state.points.push_back(p);
            GLdouble coords[3] = {p.x, p.y, 0.0};
            gluTessVertex(tess, coords, &state.points.back());
        }
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);
    gluDeleteTess(tess);
    if (state.failed || state.triangles.empty()) {
        return failure("the glyph outlines could not be tessellated");
    }

    MeshBuilder builder(-halfW, halfW, -halfD, halfD);
    const Vec3 up{0, 1, 0}, down{0, -1, 0};
    for (const auto& t : state.triangles) {
        std::array<Vec3, 3> top, bottom;
        for (int i = 0; i < 3; ++i) {
            top[i] = {t[i]->x, thickness, t[i]->y};
            bottom[i] = {t[i]->x, 0.0, t[i]->y};
        }
        builder.triangle(top, {up, up, up}, up);
        builder.triangle(bottom, {down, down, down}, down);
    }

    // Walls: one quad per outline edge, facing away from the filled letter. Corners where
    // the outline bends gently share an averaged normal so that curves look round.
    for (const Contour& c : contours) {
        const size_t n = c.size();
        std::vector<Vec3> edgeNormals(n);
        for (size_t i = 0; i < n; ++i) {
            const Point2 a = c[i], b = c[(i + 1) % n];
            const double len = std::hypot(b.x - a.x, b.y - a.y);
            if (len == 0) continue;
            Vec3 normal{(b.y - a.y) / len, 0, -(b.x - a.x) / len};
            const Point2 probe{(a.x + b.x) / 2 + normal.x * 1e-4, (a.y + b.y) / 2 + normal.z * 1e-4};
            if (windingNumber(contours, probe) != 0) normal = {-normal.x, 0, -normal.z};
            edgeNormals[i] = normal;
        }
        auto cornerNormal = [&](size_t edge, size_t neighbour) {
            const Vec3 a = edgeNormals[edge], b = edgeNormals[neighbour];
            if (dot(a, b) < std::cos(40.0 * M_PI / 180.0)) return a;
            const Vec3 s{a.x + b.x, 0, a.z + b.z};
            const double len = std::sqrt(dot(s, s));
            return len > 0 ? Vec3{s.x / len, 0, s.z / len} : a;
        };
        for (size_t i = 0; i < n; ++i) {
            const Point2 a = c[i], b = c[(i + 1) % n];
            if (a.x == b.x && a.y == b.y) continue;
            const Vec3 na = cornerNormal(i, (i + n - 1) % n), nb = cornerNormal(i, (i + 1) % n);
            const Vec3 a0{a.x, 0, a.y}, a1{a.x, thickness, a.y}, b0{b.x, 0, b.y}, b1{b.x, thickness, b.y};
            builder.triangle({a0, a1, b1}, {na, na, nb}, edgeNormals[i]);
            builder.triangle({a0, b1, b0}, {na, nb, nb}, edgeNormals[i]);
        }
    }
    if (builder.mesh.vertices.size() > 65535) {
        return failure("the title model has too many vertices for 16-bit indices");
    }
    return builder.mesh;
}

std::string toXFile(const Mesh& mesh, const std::string& textureName) {
    std::string out;
    char line[160];
    auto append = [&](const char* text) { out += text; };
    append("xof 0303txt 0032\n\n");
    append(
        "Material TitleGlass {\n 1.000000;1.000000;1.000000;1.000000;;\n 24.000000;\n"
        " 1.000000;1.000000;1.000000;;\n 0.000000;0.000000;0.000000;;\n");
    out += " TextureFilename {\n  \"" + textureName + "\";\n }\n}\n\n";
    append("Mesh Title {\n");
    const size_t nv = mesh.vertices.size(), nf = mesh.indices.size() / 3;
    // One record per vertex: its count, then the values of `fields` separated by ';', the
    // records by ',' and the last one closed by ';'.
    auto vertexList = [&](auto fields) {
        std::snprintf(line, sizeof line, " %zu;\n", nv);
        append(line);
        for (size_t i = 0; i < nv; ++i) {
            out += " ";
            for (float value : fields(mesh.vertices[i])) {
                std::snprintf(line, sizeof line, "%.6f;", static_cast<double>(value));
                append(line);
            }
            append(i + 1 == nv ? ";\n" : ",\n");
        }
    };
    auto faces = [&]() {
        std::snprintf(line, sizeof line, " %zu;\n", nf);
        append(line);
        for (size_t f = 0; f < nf; ++f) {
            std::snprintf(line, sizeof line, " 3;%u,%u,%u;%s\n", mesh.indices[3 * f], mesh.indices[3 * f + 1],
                          mesh.indices[3 * f + 2], f + 1 == nf ? ";" : ",");
            append(line);
        }
    };
    vertexList([](const MeshVertex& v) { return std::array{v.x, v.y, v.z}; });
    faces();
    append("\n MeshNormals {\n");
    vertexList([](const MeshVertex& v) { return std::array{v.nx, v.ny, v.nz}; });
    faces();
    append(" }\n\n MeshTextureCoords {\n");
    vertexList([](const MeshVertex& v) { return std::array{v.u, v.v}; });
    append(" }\n\n MeshMaterialList {\n  1;\n");
    std::snprintf(line, sizeof line, "  %zu;\n", nf);
    append(line);
    for (size_t f = 0; f < nf; ++f) append(f + 1 == nf ? "  0;\n" : "  0,\n");
    append("  { TitleGlass }\n }\n}\n");
    return out;
}

}  // namespace datagen

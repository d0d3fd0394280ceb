// The default model: a standing woman of our own making. A smooth signed
// distance field of capsules and ellipsoids (negative inside) is
// polygonised by marching tetrahedra on a regular grid; vertex normals come
// from the field's gradient, texture coordinates from a cylindrical
// projection about the vertical axis, and each triangle takes the material
// of the body part nearest to it. Deterministic: no randomness, fixed order.
#include "assets.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_map>
#include <vector>

namespace {

struct V3 {
    double x, y, z;
};
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 operator*(V3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double length(V3 a) { return std::sqrt(dot(a, a)); }

enum Material { HAIR, SKIN, TOP, TROUSERS, SHOES, MATERIALS };
const char* const materialname[MATERIALS] = {"hair", "skin", "top", "trousers", "shoes"};

// One body part: a capsule (segment a-b, radius r) or, when r is 0, an
// ellipsoid centred at a with radii b.
struct Part {
    V3 a, b;
    double r;
    Material m;
};

double partdistance(const Part& p, V3 q) {
    if (p.r > 0) {
        V3 ab = p.b - p.a;
        double t = std::clamp(dot(q - p.a, ab) / dot(ab, ab), 0.0, 1.0);
        return length(q - (p.a + ab * t)) - p.r;
    }
    // Scaled distance to the unit sphere: exact enough near the surface.
    V3 d = q - p.a;
    V3 s = {d.x / p.b.x, d.y / p.b.y, d.z / p.b.z};
    return (length(s) - 1.0) * std::min({p.b.x, p.b.y, p.b.z});
}

// Centimetres, feet on y = 0, facing +z.
std::vector<Part> body() {
    std::vector<Part> parts = {
        {{0, 155, 0.8}, {8.4, 10.8, 9.6}, 0, SKIN},          // head
        {{0, 158.5, -1.6}, {9.3, 10.0, 9.8}, 0, HAIR},       // hair over the crown
        {{0, 150, -5.5}, {0, 131, -6.5}, 6.5, HAIR},         // hair down the back
        {{0, 136, 0}, {0, 147, 0.5}, 5.0, SKIN},             // neck
        {{-14, 130.5, 0}, {14, 130.5, 0}, 5.0, TOP},         // shoulders
        {{0, 120, 0}, {14, 13, 9}, 0, TOP},                  // chest
        {{-6.5, 119, 6}, {5.5, 5.5, 5}, 0, TOP},             // breasts
        {{6.5, 119, 6}, {5.5, 5.5, 5}, 0, TOP},
        {{0, 104, 0}, {11.5, 10, 8}, 0, TOP},                // waist
        {{0, 90, -0.5}, {16.5, 11.5, 10.5}, 0, TROUSERS},    // hips
    };
    for (int side = -1; side <= 1; side += 2) {
        double s = side;
        std::vector<Part> limbs = {
            {{s * 17, 129, 0}, {s * 21, 106, -1}, 4.3, TOP},          // upper arm
            {{s * 21, 106, -1}, {s * 23.5, 82, 2}, 3.4, SKIN},        // forearm
            {{s * 24.2, 73, 2.6}, {2.4, 7.2, 4.0}, 0, SKIN},          // hand
            {{s * 23.6, 70, 5.6}, {s * 23.0, 66.5, 6.2}, 1.2, SKIN},  // thumb
            {{s * 9, 88, 0}, {s * 8, 48, 0.5}, 7.6, TROUSERS},         // thigh
            {{s * 8, 48, 0.5}, {s * 7.6, 9, -1}, 5.0, TROUSERS},       // shin
            {{s * 7.6, 6, -4}, {s * 8.2, 3.2, 13}, 3.6, SHOES},        // foot
        };
        parts.insert(parts.end(), limbs.begin(), limbs.end());
    }
    return parts;
}

// Polynomial smooth minimum: parts blend over about k centimetres.
double smin(double a, double b, double k) {
    double h = std::max(k - std::fabs(a - b), 0.0) / k;
    return std::min(a, b) - h * h * k * 0.25;
}

struct Field {
    std::vector<Part> parts = body();
    double value(V3 q) const {
        double d = 1e9;
        for (const Part& p : parts) d = smin(d, partdistance(p, q), 3.0);
        return d;
    }
    V3 gradient(V3 q) const {
        const double e = 0.05;
        V3 g = {value({q.x + e, q.y, q.z}) - value({q.x - e, q.y, q.z}),
                value({q.x, q.y + e, q.z}) - value({q.x, q.y - e, q.z}),
                value({q.x, q.y, q.z + e}) - value({q.x, q.y, q.z - e})};
        double n = length(g);
        return n > 0 ? g * (1.0 / n) : V3{0, 1, 0};
    }
    Material material(V3 q) const {
        double best = 1e9;
        Material m = SKIN;
        for (const Part& p : parts) {
            double d = partdistance(p, q);
            if (d < best) best = d, m = p.m;
        }
        return m;
    }
};

struct Grid {
    double step;
    V3 origin;
    int nx, ny, nz;
    std::vector<double> values;
    long index(int x, int y, int z) const { return (long(z) * (ny + 1) + y) * (nx + 1) + x; }
    V3 point(long i) const {
        int x = int(i % (nx + 1));
        int y = int(i / (nx + 1) % (ny + 1));
        int z = int(i / (long(nx + 1) * (ny + 1)));
        return {origin.x + x * step, origin.y + y * step, origin.z + z * step};
    }
};

struct Mesh {
    std::vector<V3> positions;
    std::vector<int> triangles;  // three vertex indices each
};

// Vertex on the grid edge between points i and j (field changes sign there),
// shared by every tetrahedron that touches the edge.
int edgevertex(const Grid& g, Mesh& mesh, std::unordered_map<long long, int>& edges, long i, long j) {
    if (i > j) std::swap(i, j);
    long long key = (long long)i * (long long)g.values.size() + j;
    auto found = edges.find(key);
    if (found != edges.end()) return found->second;
    double a = g.values[size_t(i)], b = g.values[size_t(j)];
    double t = a / (a - b);
    V3 p = g.point(i) + (g.point(j) - g.point(i)) * t;
    int v = int(mesh.positions.size());
    mesh.positions.push_back(p);
    edges.emplace(key, v);
    return v;
}

Mesh polygonise(const Field& field, double step) {
    Grid g;
    g.step = step;
    g.origin = {-34, -4, -18};
    g.nx = int(68 / step), g.ny = int(184 / step), g.nz = int(40 / step);
    g.values.resize(size_t(g.nx + 1) * (g.ny + 1) * (g.nz + 1));
    for (size_t i = 0; i < g.values.size(); ++i) g.values[i] = field.value(g.point(long(i)));

    Mesh mesh;
    std::unordered_map<long long, int> edges;
    // Six tetrahedra around the cube's diagonal from corner 0 to corner 7
    // (corner bits: 1 = x, 2 = y, 4 = z); neighbours split shared faces alike.
    const int tetra[6][4] = {{0, 1, 3, 7}, {0, 1, 5, 7}, {0, 2, 3, 7}, {0, 2, 6, 7}, {0, 4, 5, 7}, {0, 4, 6, 7}};
    for (int z = 0; z < g.nz; ++z)
        for (int y = 0; y < g.ny; ++y)
            for (int x = 0; x < g.nx; ++x) {
                long corner[8];
                for (int c = 0; c < 8; ++c) corner[c] = g.index(x + (c & 1), y + (c >> 1 & 1), z + (c >> 2 & 1));
                for (const int* t : tetra) {
                    long in[4], out[4];
                    int nin = 0, nout = 0;
                    for (int k = 0; k < 4; ++k) {
                        long p = corner[t[k]];
                        if (g.values[size_t(p)] < 0) in[nin++] = p;
                        else out[nout++] = p;
                    }
                    if (nin == 0 || nout == 0) continue;
                    if (nin == 1 || nout == 1) {
                        long lone = nin == 1 ? in[0] : out[0];
                        long* others = nin == 1 ? out : in;
                        for (int k = 0; k < 3; ++k)
                            mesh.triangles.push_back(edgevertex(g, mesh, edges, lone, others[k]));
                    } else {
                        int ac = edgevertex(g, mesh, edges, in[0], out[0]);
                        int ad = edgevertex(g, mesh, edges, in[0], out[1]);
                        int bd = edgevertex(g, mesh, edges, in[1], out[1]);
                        int bc = edgevertex(g, mesh, edges, in[1], out[0]);
                        mesh.triangles.insert(mesh.triangles.end(), {ac, ad, bd, ac, bd, bc});
                    }
                }
            }
    return mesh;
}

// Drops triangles whose corners coincide (a corner exactly on the surface
// gives them) and turns every triangle to face outwards, along the gradient.
void tidy(const Field& field, Mesh& mesh) {
    std::vector<int> kept;
    for (size_t t = 0; t < mesh.triangles.size(); t += 3) {
        int a = mesh.triangles[t], b = mesh.triangles[t + 1], c = mesh.triangles[t + 2];
        V3 pa = mesh.positions[size_t(a)], pb = mesh.positions[size_t(b)], pc = mesh.positions[size_t(c)];
        V3 n = cross(pb - pa, pc - pa);
        if (length(n) < 1e-9) continue;
        if (dot(n, field.gradient((pa + pb + pc) * (1.0 / 3))) < 0) std::swap(b, c);
        kept.insert(kept.end(), {a, b, c});
    }
    mesh.triangles.swap(kept);
}

}  // namespace

int writefigure(const char* path, double step) {
    Field field;
    Mesh mesh = polygonise(field, step);
    tidy(field, mesh);

    // Placement: centred on the vertical axis with the top of the head
    // highest, 150 : 135 above and below the origin, so the drawing library's
    // radius estimate is the head height and the feet, which reach towards
    // the camera, stay inside the default view.
    double ymin = 1e9, ymax = -1e9;
    for (const V3& p : mesh.positions) ymin = std::min(ymin, p.y), ymax = std::max(ymax, p.y);
    double lift = -(ymax - (ymax - ymin) * 150.0 / 285.0);

    size_t nvertex = mesh.positions.size(), ntriangle = mesh.triangles.size() / 3;
    std::vector<double> u(nvertex), v(nvertex);
    const double pi = 3.14159265358979323846;
    for (size_t i = 0; i < nvertex; ++i) {
        const V3& p = mesh.positions[i];
        u[i] = std::atan2(p.x, p.z) / (2 * pi) + 0.5;  // the seam runs down the back
        v[i] = (p.y - ymin) / (ymax - ymin);
    }

    FILE* f = fopen(path, "wb");
    if (!f) return 0;
    fprintf(f, "# standing figure, %zu vertices, %zu triangles, made by tools/make_assets\n", nvertex, ntriangle);
    for (const V3& p : mesh.positions) fprintf(f, "v %.4f %.4f %.4f\n", p.x, p.y + lift, p.z);
    for (size_t i = 0; i < nvertex; ++i) fprintf(f, "vt %.4f %.4f\n", u[i], v[i]);
    // Triangles across the seam get their own texture corners one repeat on,
    // so the texture does not run backwards across them.
    std::vector<int> seamcorner(mesh.triangles.size(), 0);
    size_t ntexcoord = nvertex;
    for (size_t t = 0; t < mesh.triangles.size(); t += 3) {
        double lo = 1, hi = 0;
        for (int k = 0; k < 3; ++k) lo = std::min(lo, u[size_t(mesh.triangles[t + k])]), hi = std::max(hi, u[size_t(mesh.triangles[t + k])]);
        if (hi - lo < 0.5) continue;
        for (int k = 0; k < 3; ++k) {
            size_t vi = size_t(mesh.triangles[t + k]);
            if (u[vi] < 0.5) {
                fprintf(f, "vt %.4f %.4f\n", u[vi] + 1.0, v[vi]);
                seamcorner[t + size_t(k)] = int(++ntexcoord);
            }
        }
    }
    for (const V3& p : mesh.positions) {
        V3 n = field.gradient(p);
        fprintf(f, "vn %.4f %.4f %.4f\n", n.x, n.y, n.z);
    }
    std::vector<Material> material(ntriangle);
    for (size_t t = 0; t < ntriangle; ++t) {
        const int* c = &mesh.triangles[t * 3];
        V3 centre = (mesh.positions[size_t(c[0])] + mesh.positions[size_t(c[1])] + mesh.positions[size_t(c[2])]) * (1.0 / 3);
        material[t] = field.material(centre);
    }
    for (int m = 0; m < MATERIALS; ++m) {
        fprintf(f, "usemtl %s\n", materialname[m]);
        for (size_t t = 0; t < ntriangle; ++t) {
            if (material[t] != m) continue;
            fprintf(f, "f");
            for (int k = 0; k < 3; ++k) {
                int vi = mesh.triangles[t * 3 + size_t(k)] + 1;
                int ti = seamcorner[t * 3 + size_t(k)] ? seamcorner[t * 3 + size_t(k)] : vi;
                fprintf(f, " %d/%d/%d", vi, ti, vi);
            }
            fprintf(f, "\n");
        }
    }
    bool ok = ferror(f) == 0;
    ok = fclose(f) == 0 && ok;
    printf("%s: %zu vertices, %zu triangles\n", path, nvertex, ntriangle);
    return ok;
}

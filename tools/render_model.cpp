// Renders a model file the way the viewer shows it with no settings file, to
// look at without Windows:
//   render_model MODEL TEXTURE OUT.png lit|unlit [o1 o2 o3 [dx dy dz]]
// The model goes through the real libraries (kestrin's loadobjsize for
// .obj, harlith's load3DSsize for .3ds, size 150), whose OpenGL calls land
// in the small rasteriser below: the viewer's camera (45 degree vertical
// field of view, 370 units away, the given turns), a 1250x900 graphic box,
// its clear colour, the texture modulated by white, and when lit the fixed
// pipeline's sums for the viewer's one white light along the view axis
// (global ambient 0.2, normals normalised, one normal per face).
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <GL/gl.h>
#include <stb_image.h>
#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "harlith.h"
#include "kestrin.h"

namespace {

const int W = 1250, H = 900;

struct Corner {
    float x, y, z, u, v;
};

struct Renderer {
    bool lit = false;
    double rot[3][3];  // Ry(o1) * Rx(o2) * Rz(o3), as glRotatef composes them
    double shift[3] = {0, 0, -370};
    int tw = 0, th = 0;
    unsigned char* texture = nullptr;
    std::vector<unsigned char> colour = std::vector<unsigned char>(size_t(W) * H * 3);
    std::vector<float> depth = std::vector<float>(size_t(W) * H, 1e30f);

    GLenum mode = 0;
    float normal[3] = {0, 0, 1}, uv[2] = {0, 0};
    std::vector<Corner> corners;
    long triangles = 0;

    void eye(const float p[3], double out[3]) const {
        for (int r = 0; r < 3; ++r) out[r] = rot[r][0] * p[0] + rot[r][1] * p[1] + rot[r][2] * p[2] + shift[r];
    }

    void sample(double u, double v, double rgb[3]) const {
        if (!texture) {
            rgb[0] = rgb[1] = rgb[2] = 1;
            return;
        }
        double fx = (u - std::floor(u)) * tw, fy = (v - std::floor(v)) * th;  // GL_REPEAT
        int x = std::min(tw - 1, int(fx)), y = std::min(th - 1, int(fy));
        const unsigned char* p = texture + (size_t(y) * tw + x) * 3;
        for (int c = 0; c < 3; ++c) rgb[c] = p[c] / 255.0;
    }

    void triangle(const Corner& a, const Corner& b, const Corner& c) {
        ++triangles;
        const Corner* k[3] = {&a, &b, &c};
        double sx[3], sy[3], w[3];
        const double f = 1.0 / std::tan(22.5 * 3.14159265358979323846 / 180.0);
        for (int i = 0; i < 3; ++i) {
            float p[3] = {k[i]->x, k[i]->y, k[i]->z};
            double e[3];
            eye(p, e);
            if (-e[2] < 5.0) return;  // in front of the near plane: not drawn
            w[i] = -e[2];
            sx[i] = (f * double(H) / W * e[0] / w[i] + 1) * 0.5 * W;
            sy[i] = (1 - f * e[1] / w[i]) * 0.5 * H;
        }
        double light = 1.0;
        if (lit) {
            double n[3], len = 0;
            double rn[3];
            for (int r = 0; r < 3; ++r) rn[r] = rot[r][0] * normal[0] + rot[r][1] * normal[1] + rot[r][2] * normal[2];
            for (double x : rn) len += x * x;
            len = std::sqrt(len);
            for (int r = 0; r < 3; ++r) n[r] = len > 0 ? rn[r] / len : 0;
            light = std::min(1.0, 0.2 + std::max(0.0, n[2]));
        }
        double area = (sx[1] - sx[0]) * (sy[2] - sy[0]) - (sx[2] - sx[0]) * (sy[1] - sy[0]);
        if (area == 0) return;
        int x0 = std::max(0, int(std::floor(std::min({sx[0], sx[1], sx[2]}))));
        int x1 = std::min(W - 1, int(std::ceil(std::max({sx[0], sx[1], sx[2]}))));
        int y0 = std::max(0, int(std::floor(std::min({sy[0], sy[1], sy[2]}))));
        int y1 = std::min(H - 1, int(std::ceil(std::max({sy[0], sy[1], sy[2]}))));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                double px = x + 0.5, py = y + 0.5;
                double l0 = ((sx[1] - px) * (sy[2] - py) - (sx[2] - px) * (sy[1] - py)) / area;
                double l1 = ((sx[2] - px) * (sy[0] - py) - (sx[0] - px) * (sy[2] - py)) / area;
                double l2 = 1 - l0 - l1;
                if (l0 < 0 || l1 < 0 || l2 < 0) continue;
                double iw = l0 / w[0] + l1 / w[1] + l2 / w[2];
                float z = float(1 / iw);
                float& d = depth[size_t(y) * W + x];
                if (z > d) continue;  // GL_LEQUAL
                d = z;
                double u = (l0 * k[0]->u / w[0] + l1 * k[1]->u / w[1] + l2 * k[2]->u / w[2]) / iw;
                double v = (l0 * k[0]->v / w[0] + l1 * k[1]->v / w[1] + l2 * k[2]->v / w[2]) / iw;
                double rgb[3];
                sample(u, v, rgb);
                unsigned char* o = &colour[(size_t(y) * W + x) * 3];
                for (int c = 0; c < 3; ++c) o[c] = (unsigned char)std::lround(std::min(1.0, rgb[c] * light) * 255);
            }
    }

    void end() {
        size_t step = mode == GL_QUADS ? 4 : 3;
        for (size_t i = 0; i + step <= corners.size(); i += step) {
            triangle(corners[i], corners[i + 1], corners[i + 2]);
            if (step == 4) triangle(corners[i], corners[i + 2], corners[i + 3]);
        }
        corners.clear();
    }
};

Renderer scene;

void rotation(double o1, double o2, double o3, double out[3][3]) {
    const double d = 3.14159265358979323846 / 180;
    double c1 = std::cos(o1 * d), s1 = std::sin(o1 * d), c2 = std::cos(o2 * d), s2 = std::sin(o2 * d);
    double c3 = std::cos(o3 * d), s3 = std::sin(o3 * d);
    double ry[3][3] = {{c1, 0, s1}, {0, 1, 0}, {-s1, 0, c1}};
    double rx[3][3] = {{1, 0, 0}, {0, c2, -s2}, {0, s2, c2}};
    double rz[3][3] = {{c3, -s3, 0}, {s3, c3, 0}, {0, 0, 1}};
    double t[3][3] = {};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) t[i][j] += ry[i][k] * rx[k][j];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            out[i][j] = 0;
            for (int k = 0; k < 3; ++k) out[i][j] += t[i][k] * rz[k][j];
        }
}

bool endswith(const std::string& s, const char* tail) {
    size_t n = strlen(tail);
    if (s.size() < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (tolower((unsigned char)s[s.size() - n + i]) != tail[i]) return false;
    return true;
}

}  // namespace

extern "C" {
void glBegin(GLenum mode) { scene.mode = mode; }
void glEnd() { scene.end(); }
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { scene.normal[0] = x, scene.normal[1] = y, scene.normal[2] = z; }
void glTexCoord2f(GLfloat s, GLfloat t) { scene.uv[0] = s, scene.uv[1] = t; }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { scene.corners.push_back({x, y, z, scene.uv[0], scene.uv[1]}); }
void glBindTexture(GLenum, GLuint) {}
}

int main(int argc, char** argv) {
    if (argc != 5 && argc != 8 && argc != 11) {
        fprintf(stderr, "usage: %s MODEL TEXTURE OUT.png lit|unlit [o1 o2 o3 [dx dy dz]]\n", argv[0]);
        return 2;
    }
    std::string model = argv[1];
    scene.lit = std::string(argv[4]) == "lit";
    double o[3] = {0, 0, 0}, dxyz[3] = {0, 0, 0};
    for (int i = 0; i < 3 && argc >= 8; ++i) o[i] = atof(argv[5 + i]);
    for (int i = 0; i < 3 && argc >= 11; ++i) dxyz[i] = atof(argv[8 + i]);
    rotation(o[0], o[1], o[2], scene.rot);
    // glTranslatef(-dy, dz, -370 - dx)
    scene.shift[0] = -dxyz[1], scene.shift[1] = dxyz[2], scene.shift[2] = -370 - dxyz[0];
    int channels = 0;
    scene.texture = stbi_load(argv[2], &scene.tw, &scene.th, &channels, 3);
    if (!scene.texture) fprintf(stderr, "render_model: no texture %s, drawing white\n", argv[2]);

    for (size_t i = 0; i < scene.colour.size(); i += 3)
        scene.colour[i] = 64, scene.colour[i + 1] = 102, scene.colour[i + 2] = 255;  // (0.25, 0.4, 1.0)
    if (endswith(model, "3ds"))
        load3DSsize(model.c_str(), "", "", 150);
    else
        loadobjsize(model.c_str(), "", "", 150);
    stbi_image_free(scene.texture);

    int covered = 0, top = H, bottom = -1, left = W, right = -1;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (scene.depth[size_t(y) * W + x] < 1e30f) {
                ++covered;
                top = std::min(top, y), bottom = std::max(bottom, y);
                left = std::min(left, x), right = std::max(right, x);
            }
    printf("%ld triangles; %d pixels covered, rows %d..%d, columns %d..%d of %dx%d\n", scene.triangles, covered, top,
           bottom, left, right, W, H);
    return stbi_write_png(argv[3], W, H, 3, scene.colour.data(), W * 3) ? 0 : 1;
}

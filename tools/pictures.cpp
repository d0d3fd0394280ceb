// The textures and the icon, drawn procedurally: value noise from an integer
// hash, so every run gives the same bytes. JPEG encoding by stb_image_write.
#include "assets.h"

#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

uint32_t hash(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

double lattice(int x, int y, uint32_t seed) { return (hash(x, y, seed) & 0xFFFF) / 65535.0; }

// Smoothly interpolated noise in 0..1 with features about one unit apart.
double noise(double x, double y, uint32_t seed) {
    int ix = int(std::floor(x)), iy = int(std::floor(y));
    double fx = x - ix, fy = y - iy;
    fx = fx * fx * (3 - 2 * fx), fy = fy * fy * (3 - 2 * fy);
    double a = lattice(ix, iy, seed), b = lattice(ix + 1, iy, seed);
    double c = lattice(ix, iy + 1, seed), d = lattice(ix + 1, iy + 1, seed);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

double fractal(double x, double y, uint32_t seed) {
    double sum = 0, amp = 0.5;
    for (int o = 0; o < 4; ++o, x *= 2, y *= 2, amp *= 0.5) sum += amp * noise(x, y, seed + uint32_t(o));
    return sum / 0.9375;
}

struct Image {
    int w, h;
    std::vector<unsigned char> rgb;
    Image(int w_, int h_) : w(w_), h(h_), rgb(size_t(w_) * h_ * 3) {}
    void set(int x, int y, double r, double g, double b) {
        unsigned char* p = &rgb[(size_t(y) * w + x) * 3];
        p[0] = (unsigned char)std::lround(std::clamp(r, 0.0, 255.0));
        p[1] = (unsigned char)std::lround(std::clamp(g, 0.0, 255.0));
        p[2] = (unsigned char)std::lround(std::clamp(b, 0.0, 255.0));
    }
};

int writejpeg(const char* path, const Image& im) {
    int ok = stbi_write_jpg(path, im.w, im.h, 3, im.rgb.data(), 92);
    printf("%s: %dx%d\n", path, im.w, im.h);
    return ok;
}

// Wood at (x, y) of a plank running along x: rings bent by noise, fine grain.
double wood(double x, double y, uint32_t seed) {
    double ring = y * 0.35 + 3.0 * fractal(x * 0.012, y * 0.05, seed);
    double grain = fractal(x * 0.02, y * 0.9, seed + 7);
    return 0.75 + 0.15 * std::sin(ring * 6.2831853) * 0.5 + 0.2 * (grain - 0.5);
}

}  // namespace

// A crate face: a frame of four boards, five horizontal planks inside and a
// diagonal brace, with dark gaps and nail heads.
int writecrate(const char* path) {
    const int n = 256, border = 26;
    Image im(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            double shade;
            bool gap = false;
            int dx = std::min(x, n - 1 - x), dy = std::min(y, n - 1 - y);
            // Signed distance from the brace's centre line (bottom left to top right).
            double brace = (x - (n - 1 - y)) / std::sqrt(2.0);
            if (dx < border || dy < border) {
                bool vertical = dx < border && dx <= dy;
                shade = vertical ? wood(y, x, 11) : wood(x, y, 13) * 0.97;
                gap = dx == 0 || dy == 0 || dx == border - 1 || dy == border - 1 ||
                      (vertical ? false : dx == dy);
            } else if (std::fabs(brace) < 17) {
                shade = wood((x + y) * 0.7071, brace, 17) * 0.95;
                gap = std::fabs(brace) > 15.5;
            } else {
                int plank = (y - border) * 5 / (n - 2 * border);
                shade = wood(x + plank * 57, y, 20 + uint32_t(plank)) * (0.9 + 0.04 * (plank % 2));
                int edge = (y - border) * 5 % (n - 2 * border);
                gap = edge < 5;
            }
            double r = 196 * shade, g = 146 * shade, b = 88 * shade;
            if (gap) r *= 0.35, g *= 0.33, b *= 0.3;
            // Nail heads near the frame's corners.
            for (int cy : {border / 2, n - 1 - border / 2})
                for (int cx : {border / 2, n - 1 - border / 2}) {
                    double d = std::hypot(x - cx, y - cy);
                    if (d < 3.2) r = g = b = 70 + 40 * (3.2 - d);
                }
            im.set(x, y, r, g, b);
        }
    return writejpeg(path, im);
}

// A warm, skin-like tone with a faint checker, so the model's form reads
// even without lighting.
int writeskin(const char* path) {
    const int n = 256;
    Image im(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            bool dark = ((x / 32) + (y / 32)) % 2;
            double f = (dark ? 0.9 : 1.0) * (0.97 + 0.06 * fractal(x * 0.05, y * 0.05, 31));
            im.set(x, y, 233 * f, 190 * f, 160 * f);
        }
    return writejpeg(path, im);
}

namespace {

// The icon's picture at size s: a teal disc with a white standing figure
// (head, body, legs) on it; alpha from coverage, 4x4 samples per pixel.
std::vector<uint32_t> iconpixels(int s) {
    std::vector<uint32_t> px(size_t(s) * s);
    for (int y = 0; y < s; ++y)
        for (int x = 0; x < s; ++x) {
            double disc = 0, figure = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    double u = (x + (sx + 0.5) / 4) / s * 2 - 1, v = (y + (sy + 0.5) / 4) / s * 2 - 1;  // v down
                    if (u * u + v * v > 0.94 * 0.94) continue;
                    disc += 1;
                    bool head = std::hypot(u, v + 0.48) < 0.2;
                    bool torso = std::fabs(u) < 0.24 - 0.1 * (v + 0.2) && v > -0.24 && v < 0.25;
                    bool legs = v >= 0.2 && v < 0.78 && std::fabs(std::fabs(u) - 0.11) < 0.075;
                    bool arms = v > -0.2 && v < 0.22 && std::fabs(u) > 0.28 && std::fabs(u) < 0.4 + 0.1 * v;
                    if (head || torso || legs || arms) figure += 1;
                }
            double a = disc / 16, f = disc > 0 ? figure / disc : 0;
            double r = 20 + (255 - 20) * f, g = 150 + (255 - 150) * f, b = 160 + (255 - 160) * f;
            uint32_t A = uint32_t(std::lround(a * 255));
            px[size_t(y) * s + x] = A << 24 | uint32_t(std::lround(r)) << 16 | uint32_t(std::lround(g)) << 8 |
                                    uint32_t(std::lround(b));
        }
    return px;
}

void put16(std::vector<unsigned char>& out, unsigned v) { out.push_back(v & 0xFF), out.push_back(v >> 8 & 0xFF); }
void put32(std::vector<unsigned char>& out, unsigned v) { put16(out, v & 0xFFFF), put16(out, v >> 16); }

}  // namespace

// ICO: a directory of two images, each a 32-bit BITMAPINFOHEADER image
// (height doubled for the mask) with its bottom-up BGRA rows and a 1-bit
// AND mask for hosts that ignore alpha.
int writeicon(const char* path) {
    const int sizes[2] = {16, 32};
    std::vector<std::vector<unsigned char>> images;
    for (int s : sizes) {
        std::vector<uint32_t> px = iconpixels(s);
        std::vector<unsigned char> im;
        int maskrow = ((s + 31) / 32) * 4;
        put32(im, 40), put32(im, unsigned(s)), put32(im, unsigned(s * 2)), put16(im, 1), put16(im, 32);
        put32(im, 0), put32(im, unsigned(s * s * 4 + maskrow * s)), put32(im, 0), put32(im, 0), put32(im, 0), put32(im, 0);
        for (int y = s - 1; y >= 0; --y)
            for (int x = 0; x < s; ++x) put32(im, px[size_t(y) * s + x]);
        for (int y = s - 1; y >= 0; --y) {
            std::vector<unsigned char> row(size_t(maskrow), 0);
            for (int x = 0; x < s; ++x)
                if ((px[size_t(y) * s + x] >> 24) < 128) row[size_t(x / 8)] |= (unsigned char)(0x80 >> (x % 8));
            im.insert(im.end(), row.begin(), row.end());
        }
        images.push_back(im);
    }
    std::vector<unsigned char> out;
    put16(out, 0), put16(out, 1), put16(out, 2);
    unsigned offset = 6 + 16 * 2;
    for (size_t i = 0; i < 2; ++i) {
        out.push_back((unsigned char)sizes[i]), out.push_back((unsigned char)sizes[i]);
        out.push_back(0), out.push_back(0);
        put16(out, 1), put16(out, 32), put32(out, unsigned(images[i].size())), put32(out, offset);
        offset += unsigned(images[i].size());
    }
    for (const auto& im : images) out.insert(out.end(), im.begin(), im.end());
    FILE* f = fopen(path, "wb");
    if (!f) return 0;
    bool ok = fwrite(out.data(), 1, out.size(), f) == out.size();
    ok = fclose(f) == 0 && ok;
    printf("%s: 16x16 and 32x32\n", path);
    return ok;
}

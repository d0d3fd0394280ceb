// Immediate-mode drawing of a read 3DS file, the way kestrin draws an OBJ
// model: one glBegin/glEnd per face, so a texture can be bound between any
// two faces; the same radius estimate and scale, so a mesh drawn from either
// format comes out the same size; the same generated texture coordinates for
// vertices without mapping coordinates.
#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>

#include <cstring>

#include "model3ds.h"

namespace {

// Rounds to a 32-bit float even where the FPU keeps excess precision (x87).
float f32(double x) {
    volatile float f = float(x);
    return f;
}

struct Scale {
    float s;   // vertex scale
    float ts;  // generated texture coordinate scale: one repeat per radius
};

// A smoothed running maximum of the absolute coordinates over every vertex
// in file order: each coordinate above r moves r half way towards it.
Scale scaleof(const model3ds& model, int size) {
    float r = 0.001f;
    for (uint32_t k = 0; k < model.nmesh; ++k) {
        const mesh3ds& mesh = model.meshes[k];
        for (uint32_t v = 0; v < mesh.nvertex; ++v) {
            float p[3];
            vertex3ds(mesh, v, p);
            for (int c = 0; c < 3; ++c) {
                float m = f32(0.5 * double(r) + 0.5 * double(p[c] < 0 ? -p[c] : p[c]));
                if (m > r) r = m;
            }
        }
    }
    Scale sc;
    sc.ts = f32(1.0f / r);
    sc.s = size >= 1 ? f32(double(size) / double(r)) : 1.0f;
    return sc;
}

uint16_t u16(const unsigned char* p) { return uint16_t(p[0] | (p[1] << 8)); }

float f32le(const unsigned char* p) {
    uint32_t u = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    float f;
    memcpy(&f, &u, sizeof f);
    return f;
}

void face(const mesh3ds& mesh, uint32_t i, Scale sc) {
    const unsigned char* f = mesh.faces + size_t(i) * 8;
    uint32_t corner[3] = {u16(f), u16(f + 2), u16(f + 4)};
    if (corner[0] >= mesh.nvertex || corner[1] >= mesh.nvertex || corner[2] >= mesh.nvertex) return;
    float p[3][3];
    for (int j = 0; j < 3; ++j) vertex3ds(mesh, corner[j], p[j]);
    glBegin(GL_TRIANGLES);
    // Not normalised, every step rounded to float: kestrin's face normal.
    float ax = f32(p[1][0] - p[0][0]), ay = f32(p[1][1] - p[0][1]), az = f32(p[1][2] - p[0][2]);
    float bx = f32(p[2][0] - p[0][0]), by = f32(p[2][1] - p[0][1]), bz = f32(p[2][2] - p[0][2]);
    glNormal3f(f32(f32(ay * bz) - f32(az * by)), f32(f32(az * bx) - f32(ax * bz)), f32(f32(ax * by) - f32(ay * bx)));
    for (int j = 0; j < 3; ++j) {
        if (corner[j] < mesh.ntexcoord) {
            const unsigned char* uv = mesh.texcoords + size_t(corner[j]) * 8;
            glTexCoord2f(f32le(uv), f32le(uv + 4));
        } else {
            glTexCoord2f(p[j][0] * sc.ts, p[j][1] * sc.ts);
        }
        glVertex3f(p[j][0] * sc.s, p[j][1] * sc.s, p[j][2] * sc.s);
    }
    glEnd();
}

// ---- textures by material ---------------------------------------------------

const size_t maxkey = 255;  // kestrin's text length

struct Key {
    char s[maxkey + 1];
    size_t n;
};

void append(Key& k, const char* text, size_t n) {
    for (size_t i = 0; i < n && text[i] && k.n < maxkey; ++i) k.s[k.n++] = text[i];
    k.s[k.n] = 0;
}

void lower(Key& k) {
    for (size_t i = 0; i < k.n; ++i)
        if (k.s[i] >= 'A' && k.s[i] <= 'Z') k.s[i] = char(k.s[i] - 'A' + 'a');
}

const char* skipblanks(const char* p) {
    while (*p == ' ') ++p;
    return p;
}
const char* wordend(const char* p) {
    while (*p && *p != ' ') ++p;
    return p;
}

// Walks textlist ("name id name id ...") for a non-empty key; binds the id
// after it and says so. An empty key matches nothing: a file without name
// or material must not unbind the host's texture.
bool bindlisted(const char* textlist, const Key& key) {
    if (key.n == 0) return false;
    for (const char* w = skipblanks(textlist); *w;) {
        const char* e = wordend(w);
        const char* id = skipblanks(e);
        if (size_t(e - w) == key.n && memcmp(w, key.s, key.n) == 0) {
            long value = 0;
            bool negative = *id == '-';
            if (*id == '-' || *id == '+') ++id;
            for (; *id >= '0' && *id <= '9' && value < 0x7FFFFFFF; ++id) value = value * 10 + (*id - '0');
            glBindTexture(GL_TEXTURE_2D, GLuint(negative ? -value : value));
            return true;
        }
        w = skipblanks(wordend(id));
    }
    return false;
}

// The texture of one material (name, n bytes; none for faces without one):
// its key prefix + name in lower case, else the fallback deftext, or prefix
// twice when deftext is empty. When neither is listed the bound texture stays.
void choosetexture(const char* prefix, const char* name, size_t n, const char* textlist, const char* deftext) {
    Key key = {{0}, 0};
    append(key, prefix, maxkey);
    append(key, name, n);
    lower(key);
    if (bindlisted(textlist, key)) return;
    key.n = 0;
    if (deftext[0]) {
        append(key, deftext, maxkey);
    } else {
        append(key, prefix, maxkey);
        append(key, prefix, maxkey);
    }
    bindlisted(textlist, key);
}

// Group of each face of the mesh being drawn (u16 face indices: 65536 at most).
const uint32_t nogroup = 0xFFFFFFFF;
uint32_t facegroup[65536];

}  // namespace

void draw3ds(const model3ds& model, int size, const char* prefix, const char* textlist, const char* deftext) {
    Scale sc = scaleof(model, size);
    // With nothing listed no texture can be found: skip the lookups.
    bool lookup = *skipblanks(textlist) != 0;
    bool chosen = false;
    uint32_t current = nogroup;
    for (uint32_t k = 0; k < model.nmesh; ++k) {
        const mesh3ds& mesh = model.meshes[k];
        if (!lookup) {
            for (uint32_t i = 0; i < mesh.nface; ++i) face(mesh, i, sc);
            continue;
        }
        for (uint32_t i = 0; i < mesh.nface; ++i) facegroup[i] = nogroup;
        // A face listed in two groups keeps the later one.
        for (uint32_t g = mesh.firstgroup; g < mesh.firstgroup + mesh.ngroup; ++g)
            for (uint32_t j = 0; j < model.groups[g].nface; ++j) {
                uint16_t f = u16(model.groups[g].faces + size_t(j) * 2);
                if (f < mesh.nface) facegroup[f] = g;
            }
        for (uint32_t i = 0; i < mesh.nface; ++i) {
            uint32_t g = facegroup[i];
            if (!chosen || g != current) {
                if (g == nogroup)
                    choosetexture(prefix, "", 0, textlist, deftext);
                else
                    choosetexture(prefix, model.groups[g].name, model.groups[g].namelen, textlist, deftext);
                chosen = true;
                current = g;
            }
            face(mesh, i, sc);
        }
    }
}

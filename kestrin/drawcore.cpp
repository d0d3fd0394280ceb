// The shared drawing of kestrin and harlith (see drawcore.h).
#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>

#include "drawcore.h"
#include "kit.h"

namespace {

// Rounds to a 32-bit float even where the FPU keeps excess precision (x87).
float f32(double x) {
    volatile float f = float(x);
    return f;
}

// Walks textlist pair by pair (name, id) for the key. Returns the position
// of the name found, or null. An empty key matches the end of the list.
const char* search(const char* textlist, const char$& key, int& dialogs) {
    const char* p = textlist;
    char$ word;
    word = firstwordc$(p);
    if (dialogs) {
        char* answer;
        confirm(strc$("usef$=", key, "/textlist$=", textlist), answer);
        if (chr$(answer) == chr$("no")) dialogs = 0;
    }
    while (word.s[0] && word != key) {
        p = nextwordc$(nextwordc$(p));
        word = firstwordc$(p);
    }
    return word == key ? p : nullptr;
}

// Binds the id after the name found, when the key is not empty: an empty
// key (a file named ".obj", faces before any material) would match the end
// of the list and bind texture 0 over the host's own.
bool bindfound(const char* found, const char$& key, int dialogs) {
    if (!found || !key.s[0]) return false;
    int id = val(firstwordc$(nextwordc$(found)));
    if (dialogs) notice(strc$("bindtext=", key, " itext=", str$(id)));
    glBindTexture(GL_TEXTURE_2D, GLuint(id));
    return true;
}

}  // namespace

float radiusafter(float r, const float p[3]) {
    for (int c = 0; c < 3; ++c) {
        float a = p[c];
        float m = f32(0.5 * double(r) + 0.5 * double(a < 0 ? -a : a));
        r = max(r, m);
    }
    return r;
}

drawscale scaleof(float r, int size) {
    drawscale sc;
    sc.ts = f32(1.0f / r);
    sc.s = size >= 1 ? f32(double(size) / double(r)) : 1.0f;
    return sc;
}

void drawfaceof(const drawface& face, drawscale sc) {
    glBegin(face.corners == 4 ? GL_QUADS : GL_TRIANGLES);
    if (face.normal == normalgiven) {
        glNormal3f(face.givennormal[0], face.givennormal[1], face.givennormal[2]);
    } else if (face.normal == normalcomputed) {
        // Not normalised: the caller rescales normals if it lights the model.
        // Every step rounded to float, so that the x87 build (which would
        // keep 80 bits) sends the same normal as the others.
        const float* p0 = face.position[0];
        const float* p1 = face.position[1];
        const float* p2 = face.position[2];
        float ax = f32(p1[0] - p0[0]), ay = f32(p1[1] - p0[1]), az = f32(p1[2] - p0[2]);
        float bx = f32(p2[0] - p0[0]), by = f32(p2[1] - p0[1]), bz = f32(p2[2] - p0[2]);
        glNormal3f(f32(f32(ay * bz) - f32(az * by)), f32(f32(az * bx) - f32(ax * bz)),
                   f32(f32(ax * by) - f32(ay * bx)));
    }
    for (int j = 0; j < face.corners; ++j) {
        const float* p = face.position[j];
        const float* uv = face.texcoord[j];
        if (uv)
            glTexCoord2f(uv[0], uv[1]);
        else
            glTexCoord2f(p[0] * sc.ts, p[1] * sc.ts);
        glVertex3f(p[0] * sc.s, p[1] * sc.s, p[2] * sc.s);
    }
    glEnd();
}

void bindmaterial(const char* prefix, const char* name, size_t namelen, const char* textlist,
                  const char* deftext, int& dialogs) {
    char$ pre;
    pre = prefix;
    char$ material;
    size_t n = 0;
    while (n < namelen && n < size_t(cbufferlen - 1) && name[n]) {
        material.s[n] = name[n];
        ++n;
    }
    material.s[n] = 0;

    char$ key;
    key = lowerc$(pre + material);
    // The search may turn the dialogs off before the binding's notice.
    const char* found = search(textlist, key, dialogs);
    if (bindfound(found, key, dialogs)) return;
    if (deftext[0])
        key = deftext;
    else
        key = pre + pre;
    found = search(textlist, key, dialogs);
    bindfound(found, key, dialogs);
}

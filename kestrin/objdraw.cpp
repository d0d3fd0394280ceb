// Immediate-mode drawing of a model record: one glBegin/glEnd per face so
// the caller may bind a texture between any two faces, and nothing else of
// OpenGL's state is touched.
//
// A record may hold any index (a caller can fill one by hand), so every
// array access goes through slot(): anything outside 0..99999 reads the
// all-zero slot 0 and nothing outside the record is ever read.
#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>

#include <climits>

#include "kit.h"
#include "objtype.h"

namespace {

int slot(int i) { return i >= 0 && i < OBJ_SLOTS ? i : 0; }

int clampcount(int n) { return n < 0 ? 0 : n > OBJ_MAXELEMENTS ? OBJ_MAXELEMENTS : n; }

// Rounds to a 32-bit float even where the FPU keeps excess precision (x87).
float f32(double x) {
    volatile float f = float(x);
    return f;
}

struct Scale {
    float s;   // vertex scale
    float ts;  // generated texture coordinate scale: one repeat per radius
};

// A smoothed running maximum of the absolute coordinates: each coordinate
// above r moves r half way towards it.
Scale scaleof(const obj_type* obj) {
    float r = 0.001f;
    int n = clampcount(obj->nvertex);
    for (int v = 1; v <= n; ++v)
        for (int c = 0; c < 3; ++c) {
            float a = obj->vertex[v][c];
            float m = f32(0.5 * double(r) + 0.5 * double(a < 0 ? -a : a));
            r = max(r, m);
        }
    Scale sc;
    sc.ts = f32(1.0f / r);
    sc.s = size >= 1 ? f32(double(size) / double(r)) : 1.0f;
    return sc;
}

void face(const obj_type* obj, int i, Scale sc, bool filetexcoords) {
    const face_type& f = obj->face[i];
    bool quad = f.vi[3] != 0;
    glBegin(quad ? GL_QUADS : GL_TRIANGLES);
    int n = f.ni[0];
    if (n > 0) {
        const float* nv = obj->normal[slot(n)];
        glNormal3f(nv[0], nv[1], nv[2]);
    } else if (n == 0) {
        // Not normalised: the caller rescales normals if it lights the model.
        const float* p0 = obj->vertex[slot(f.vi[0])];
        const float* p1 = obj->vertex[slot(f.vi[1])];
        const float* p2 = obj->vertex[slot(f.vi[2])];
        // Every step rounded to float, so that the x87 build (which would
        // keep 80 bits) sends the same normal as the others.
        float ax = f32(p1[0] - p0[0]), ay = f32(p1[1] - p0[1]), az = f32(p1[2] - p0[2]);
        float bx = f32(p2[0] - p0[0]), by = f32(p2[1] - p0[1]), bz = f32(p2[2] - p0[2]);
        glNormal3f(f32(f32(ay * bz) - f32(az * by)), f32(f32(az * bx) - f32(ax * bz)),
                   f32(f32(ax * by) - f32(ay * bx)));
    }
    for (int j = 0; j < (quad ? 4 : 3); ++j) {
        const float* p = obj->vertex[slot(f.vi[j])];
        int t = f.ti[j];
        if (filetexcoords && t != 0) {
            const float* uv = obj->texcoord[slot(t)];
            glTexCoord2f(uv[0], uv[1]);
        } else {
            glTexCoord2f(p[0] * sc.ts, p[1] * sc.ts);
        }
        glVertex3f(p[0] * sc.s, p[1] * sc.s, p[2] * sc.s);
    }
    glEnd();
}

// A record's text read at most 255 characters deep, so an unterminated
// field cannot lead the reading out of the record.
char$ textof(const char$& field) {
    char$ r;
    int n = 0;
    while (n < cbufferlen - 1 && field.s[n]) {
        r.s[n] = field.s[n];
        ++n;
    }
    r.s[n] = 0;
    return r;
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

void bind(const char* found, const char$& key, int dialogs) {
    int id = val(firstwordc$(nextwordc$(found)));
    if (dialogs) notice(strc$("bindtext=", key, " itext=", str$(id)));
    glBindTexture(GL_TEXTURE_2D, GLuint(id));
}

// The texture of material k - 1: its key (prefix + name, lower case), else
// the fallback key; when neither is listed the bound texture stays.
void choosetexture(const obj_type* obj, int k, const char* textlist, const char* deftext, int& dialogs) {
    char$ prefix = textof(obj->prefix);
    char$ key;
    key = lowerc$(prefix + textof(obj->matname[k - 1]));
    // An empty key (a file named ".obj", faces before any material) would
    // match the end of the list and bind texture 0 over the host's own.
    const char* found = search(textlist, key, dialogs);
    if (found && key.s[0]) {
        bind(found, key, dialogs);
        return;
    }
    if (deftext[0]) key = deftext;
    else key = prefix + prefix;
    found = search(textlist, key, dialogs);
    if (found && key.s[0]) bind(found, key, dialogs);
}

}  // namespace

void drawobj(obj_type* obj, const char* textlist, const char* deftext) {
    Scale sc = scaleof(obj);
    int dialogs = test == 1;  // "no" in a dialog turns off this call's copy only
    if (dialogs) notice(strc$("usef$=", textof(obj->matname[0]), " textlist$=", textlist));
    int k = 0;     // current material number + 1
    int next = 0;  // last face of the current material range
    int n = clampcount(obj->nface);
    for (int i = 1; i <= n; ++i) {
        if (i > next) {
            while (i > next && k <= OBJ_MAXMATERIALS - 1) {
                ++k;
                next = obj->matstart[k];  // empty ranges are skipped
            }
            // A record without end sentinel stays with its last material
            // rather than looking the texture up again for every face.
            if (i > next) next = INT_MAX;
            choosetexture(obj, k, textlist, deftext, dialogs);
        }
        face(obj, i, sc, true);
    }
}

void drawobj2(obj_type* obj) {
    Scale sc = scaleof(obj);
    int n = clampcount(obj->nface);
    for (int i = 1; i <= n; ++i) face(obj, i, sc, false);
}
